// The two editors, config.txt and program.txt: the text of each file, its
// line numbers, the lines the simulator reads as 0, finds faulty or does not
// read (marked beside the line; under the editor, each fault with its line
// and column and the line with the character picked out, from the bytes
// that ran), a note when it runs a loaded file's exact bytes, loading a
// file from disk, Tab typed as a tab, and a plain copy of each for print.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const faults = require('../logic/faults.js');
const T = require('../words/words.js').t;

const NAMES = ['config', 'program'];
const SIGNS = { error: '!', zero: '0', unread: '-' };

// One editor, built in its element: its name, hint and file button, its
// line numbers beside it, what its marks say and its note under it, and a
// copy of its text for print. Returns how it draws the run's help.
function mountOne(name, box, store) {
  const hint = el('span', { class: 'hint', id: name + '-hint' });
  const load = el('span', { id: name + '-load' });
  const file = el('input', { type: 'file', id: name + '-file', 'aria-labelledby': `${name}-load ${name}-name` });
  const editor = el('textarea', { id: name, rows: box.dataset.rows, spellcheck: 'false', autocomplete: 'off', wrap: 'off', 'aria-describedby': 'editor-keys' });
  const numbers = el('pre', { class: 'line-numbers', id: name + '-lines', 'aria-hidden': 'true' });
  const help = el('ul', { class: 'line-help', id: name + '-help', 'aria-live': 'polite' });
  const note = el('p', { class: 'file-note', id: name + '-note' });
  const copy = el('pre', { class: 'print-text', 'aria-hidden': 'true' });
  box.append(
    el('div', { class: 'editor-head' }, [
      el('label', { for: name, id: name + '-name', text: name + '.txt' }), ' ', hint, ' ',
      el('label', { class: 'file-button' }, [load, file]),
    ]),
    el('div', { class: 'editor-body' }, [numbers, editor]),
    copy,
    help,
    note
  );
  let marks = new Map();

  function drawNumbers() {
    const count = editor.value.split('\n').length;
    let html = '';
    for (let k = 1; k <= count; k++) {
      const mark = marks.get(k);
      html += mark ? `<span class="line-${mark}">${SIGNS[mark]} ${k}</span>\n` : `${k}\n`;
    }
    numbers.innerHTML = html;
    numbers.scrollTop = editor.scrollTop;
  }

  function drawFile(state) {
    const content = state.files[name];
    const text = store.editorText(content);
    if (editor.value !== text) editor.value = text;
    copy.textContent = editor.value;
    let words = '';
    if (typeof content !== 'string') words = T('noteLoaded', { n: content.length });
    else if (editor.value !== content) words = T('noteExample');
    if (typeof content !== 'string' && content.length > store.VIEW_LIMIT) words += T('noteView', { n: store.VIEW_LIMIT });
    note.textContent = words && words + T('noteEdit');
    drawNumbers();
  }

  function drawHelp(mine) {
    marks = mine.marks;
    help.replaceChildren(...mine.notes.map((n) => el('li', { class: 'line-' + n.kind }, [
      SIGNS[n.kind] + ' ' + n.text,
      n.shown && el('code', { class: 'fault-line' }, [n.shown.before, el('mark', { text: n.shown.mark }), n.shown.after]),
    ])));
    drawNumbers();
  }

  editor.addEventListener('input', () => {
    drawNumbers();
    store.setFiles({ [name]: editor.value }, 'typed');
  });
  editor.addEventListener('scroll', () => {
    numbers.scrollTop = editor.scrollTop;
  });
  // Tab types a tab, as in a text file; Escape then Tab leaves the editor.
  let leaving = false;
  editor.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') leaving = true;
    else if (event.key === 'Tab' && !leaving && !event.shiftKey && !event.ctrlKey && !event.altKey && !event.metaKey) {
      event.preventDefault();
      editor.ownerDocument.execCommand('insertText', false, '\t'); // kept in the editor's undo, heard as an input
    } else if (event.key !== 'Shift') leaving = false;
  });
  editor.addEventListener('blur', () => {
    leaving = false;
  });
  file.addEventListener('change', async () => {
    const chosen = file.files && file.files[0];
    if (!chosen) return;
    try {
      store.setFiles({ [name]: new Uint8Array(await chosen.arrayBuffer()) }, 'file');
    } catch (e) {
      store.notice('fileUnread', { f: chosen.name });
    }
    file.value = '';
  });

  function drawWords(state) {
    const l = state.limits;
    load.textContent = T('load');
    if (name === 'program') hint.textContent = T('progHint');
    else hint.textContent = l ? T('cfgHint', { d0: l.depth[0], d1: l.depth[1], n0: l.count[0], n1: l.count[1] }) : '';
  }

  store.on('files', drawFile);
  store.on('ready', drawWords);
  store.on('lang', (state) => {
    drawWords(state);
    drawFile(state);
  });
  drawWords(store.state);
  drawFile(store.state);
  return drawHelp;
}

// box: holds one element for each editor, its file's name in data-file.
function mount(box, store) {
  const parts = NAMES.map((name) => mountOne(name, box.querySelector(`[data-file="${name}"]`), store));
  const drawHelp = (state) => {
    const help = faults.editorHelp(state.run, state.limits);
    NAMES.forEach((name, k) => parts[k](help[name]));
  };
  for (const event of ['run', 'ready', 'lang']) store.on(event, drawHelp);
}

module.exports = { mount };
