// Help in both editors: line numbers, and after each run the lines that the
// simulator reads as 0, finds faulty or does not read, marked beside the
// line and told in words under the editor (from web/input-help.js).
(function () {
  'use strict';

  const input = window.hazardInput;
  const T = window.hazardText.t;
  const SIGNS = { error: '!', zero: '0', unread: '-' };
  const parts = {};
  for (const name of ['config', 'program']) {
    parts[name] = {
      editor: document.getElementById(name),
      lines: document.getElementById(name + '-lines'),
      help: document.getElementById(name + '-help'),
      marks: new Map(), // line number -> 'error' | 'zero' | 'unread'
    };
  }

  function drawNumbers(name) {
    const p = parts[name];
    const count = p.editor.value.split('\n').length;
    let html = '';
    for (let k = 1; k <= count; k++) {
      const mark = p.marks.get(k);
      html += mark ? `<span class="line-${mark}">${SIGNS[mark]} ${k}</span>\n` : `${k}\n`;
    }
    p.lines.innerHTML = html;
    p.lines.scrollTop = p.editor.scrollTop;
  }

  function show(name, marks, notes) {
    const p = parts[name];
    p.marks = marks;
    p.help.textContent = '';
    for (const note of notes) {
      const li = document.createElement('li');
      li.className = 'line-' + note.kind;
      li.textContent = SIGNS[note.kind] + ' ' + note.text;
      p.help.appendChild(li);
    }
    drawNumbers(name);
  }

  const span = (list) => (list.length === 1 ? T('line1', { a: list[0] }) : T('lines', { a: list[0], b: list[list.length - 1] }));

  function explain(run) {
    if (!run || run.config === undefined) {
      show('config', new Map(), []);
      show('program', new Map(), []);
      return;
    }
    const cmarks = new Map();
    const cnotes = [];
    const conf = run.config === null ? null : input.config(run.config);
    for (const line of conf ? conf.lines : []) {
      if (line.why === '') continue;
      cmarks.set(line.line, 'zero');
      cnotes.push({ kind: 'zero', text: T('zeroNote', { line: line.line, name: T('name_' + line.name), why: T('why_' + line.why) }) });
    }
    show('config', cmarks, cnotes);

    const pmarks = new Map();
    const pnotes = [];
    if (conf && run.program !== null) {
      const prog = input.program(run.program, conf);
      if (!prog.read) pnotes.push({ kind: 'unread', text: T('noProg') });
      for (const line of prog.lines) {
        if (!line.errors.length) continue;
        pmarks.set(line.line, 'error');
        pnotes.push({ kind: 'error', text: T('errNote', { line: line.line, fields: line.errors.join(', ') }) });
      }
      for (const k of prog.unread) pmarks.set(k, 'unread');
      if (prog.unread.length)
        pnotes.push({ kind: 'unread', text: T('unreadNote', { span: span(prog.unread), n: conf.count }) });
      if (prog.cut) pnotes.push({ kind: 'unread', text: T('cutNote', { line: prog.cut }) });
    }
    show('program', pmarks, pnotes);
  }

  window.hazardRun.on('run', explain);
  window.hazardRun.on('lang', () => explain(window.hazardRun.current));
  for (const name of Object.keys(parts)) {
    const p = parts[name];
    p.editor.addEventListener('input', () => drawNumbers(name));
    p.editor.addEventListener('scroll', () => {
      p.lines.scrollTop = p.editor.scrollTop;
    });
    drawNumbers(name);
  }
})();
