// The exercise view: sets an exercise on the editors' files or a generated
// one, hides the run's results while it is open, takes the answer and keeps
// it in the browser, checks it cell by cell and gives the exercise's link.
(function (root) {
  'use strict';

  const gen = root.hazardExerciseGen;
  const check = root.hazardExerciseCheck;
  const link = root.hazardExerciseLink;
  const model = root.hazardRun;
  const $ = (id) => document.getElementById(id);
  const MAX_LINK = 2000000; // as for share links
  const STORE = 'hazard-sim.exercise.';
  const T = root.hazardText.t;
  const kindNames = () => ({ '': T('none'), RAW: 'RAW', WAR: 'WAR', WAW: 'WAW' });

  // The open exercise: {asked, source, config, program, report, fragment}.
  let current = null;

  function el(tag, props, children) {
    const node = document.createElement(tag);
    for (const [k, v] of Object.entries(props || {})) {
      if (k === 'text') node.textContent = v;
      else if (k === 'dataset') Object.assign(node.dataset, v);
      else node.setAttribute(k, v);
    }
    for (const c of children || []) node.append(c);
    return node;
  }

  // A message (a word's key, or a function giving the text), and the run's
  // own console text under it if any; said again when the language changes.
  let said = [''];
  function say(words, consoleText) {
    said = [words, consoleText];
    const text = typeof words === 'function' ? words() : words && T(words);
    const box = $('exercise-message');
    box.textContent = '';
    box.hidden = !text;
    if (!text) return;
    box.append(el('p', { text }));
    if (consoleText) box.append(el('pre', { class: 'exercise-console', tabindex: '0', lang: 'ro', 'aria-label': T('runMessages'), text: consoleText }));
  }

  function askedFromSetup() {
    return [...document.querySelectorAll('input[name="exercise-asked"]:checked')].map((c) => c.value).join('');
  }

  const sameFiles = (a, b) =>
    root.hazardShare.sameBytes(a.config, b.config) && root.hazardShare.sameBytes(a.program, b.program);
  const storeKey = () => STORE + gen.hash32(current.fragment).toString(36);

  function loadAnswers() {
    try {
      const kept = JSON.parse(localStorage.getItem(storeKey()));
      return kept && typeof kept === 'object' ? kept : {};
    } catch (e) {
      return {};
    }
  }

  function saveAnswers() {
    try {
      localStorage.setItem(storeKey(), JSON.stringify(answers()));
    } catch (e) {
      // storage full or disabled: the form still holds the answer
    }
  }

  const answerElements = () => [...$('exercise-open').querySelectorAll('[data-answer]')];
  const cellId = (node) => check.cellId(node.dataset.answer, node.dataset.instr, node.dataset.distance);

  function answers() {
    const out = {};
    for (const node of answerElements()) out[cellId(node)] = node.value;
    return out;
  }

  // ---- the form ----

  function describe(ex) {
    const asked = ex.asked.split('').map((c) => T('part' + c.toUpperCase())).join(', ');
    const s = ex.source;
    const from = s.kind === 'generated' ? T('fromSeed', { seed: s.seed, level: T(s.level) }) : T('fromFiles');
    return T('describe', { depth: ex.report.depth, n: ex.report.instructions.length, from, asked });
  }

  function rules(asked) {
    const items = [];
    if (asked.includes('h')) items.push(T('ruleKind'), T('ruleRegs'));
    if (asked.includes('s')) items.push(T('ruleEntry'));
    if (asked.includes('p')) items.push(T('rulePerf'));
    return el('details', { class: 'exercise-rules' }, [el('summary', { text: T('rules') }), el('ul', {}, items.map((t) => el('li', { text: t })))]);
  }

  function kindSelect(i, d) {
    const select = el('select', {
      'aria-label': T('askKind', { i, d }),
      dataset: { answer: 'kind', instr: i, distance: d },
    });
    for (const [value, name] of Object.entries(kindNames())) select.append(el('option', { value, text: name }));
    return select;
  }

  const mark = () => el('span', { class: 'verdict', 'aria-hidden': 'true' });

  function field(node) {
    return el('span', { class: 'answer-field' }, [node, mark()]);
  }

  // The answer grid's column heads, here and on the class sheet.
  function gridHead(report, asked) {
    const head = ['IN', T('instr')];
    for (let d = 1; d <= check.distances(report, asked); d++) head.push(`DIST ${d}`);
    if (asked.includes('s')) head.push(T('inCorrected'));
    return head;
  }

  function form(ex) {
    const asked = ex.asked;
    const spread = check.distances(ex.report, asked);
    const head = gridHead(ex.report, asked).map((text) => el('th', { scope: 'col', text }));
    const rows = ex.report.instructions.map((ins) => {
      const i = ins.index;
      const cells = [el('td', { text: String(i) }), el('th', { scope: 'row', class: 'exercise-instr', text: model.instrText(ins) })];
      for (let d = 1; d <= spread; d++) {
        if (d > i) {
          cells.push(el('td', { class: 'exercise-none', 'aria-hidden': 'true', text: '-' }));
          continue;
        }
        const regs = el('input', {
          type: 'text', size: '7', autocomplete: 'off', spellcheck: 'false', placeholder: T('registers'),
          'aria-label': T('askRegs', { i, d }),
          dataset: { answer: 'registers', instr: i, distance: d },
        });
        cells.push(el('td', {}, [field(kindSelect(i, d)), field(regs)]));
      }
      if (asked.includes('s')) {
        const entry = el('input', {
          type: 'text', size: '4', inputmode: 'numeric', autocomplete: 'off',
          'aria-label': T('askEntry', { i }),
          dataset: { answer: 'entry', instr: i },
        });
        cells.push(el('td', {}, [field(entry)]));
      }
      return el('tr', {}, cells);
    });
    const table = el('table', { class: 'exercise-grid' }, [
      el('caption', { text: T('gridCaption') }),
      el('thead', {}, [el('tr', {}, head)]),
      el('tbody', {}, rows),
    ]);
    const parts = [];
    if (asked.includes('h') || asked.includes('s')) parts.push(el('div', { class: 'exercise-scroll' }, [table]));
    if (asked.includes('p')) {
      const perf = el('input', { id: 'exercise-performance', type: 'text', size: '8', autocomplete: 'off', dataset: { answer: 'performance' } });
      parts.push(el('p', {}, [el('label', { for: 'exercise-performance', text: T('perfPct') }), field(perf)]));
    }
    return parts;
  }

  function render(ex) {
    const box = $('exercise-open');
    box.textContent = '';
    box.append(
      el('p', { id: 'exercise-what', text: describe(ex) }),
      el('p', { class: 'exercise-files-note', text: T('exFiles') }),
      el('pre', { id: 'exercise-program', tabindex: '0', 'aria-label': T('exProgram'), text: ex.report.depth + '\n' + ex.report.count + '\n\n' + ex.report.instructions.map((ins) => model.instrText(ins)).join('\n') }),
      rules(ex.asked),
      el('form', { id: 'exercise-form', 'aria-label': T('exAnswer') }, form(ex)),
      el('p', { class: 'toolbar' }, [
        el('button', { id: 'exercise-check', type: 'button', text: T('check') }),
        el('button', { id: 'exercise-solution', type: 'button', text: T('solution') }),
        el('button', { id: 'exercise-close', type: 'button', text: T('close') }),
      ]),
      el('p', { id: 'exercise-score', 'aria-live': 'polite' }),
      el('span', { id: 'exercise-right-word', class: 'visually-hidden', text: T('right') }),
      el('ol', { id: 'exercise-reasons' })
    );
    const kept = loadAnswers();
    for (const node of answerElements()) {
      const v = kept[cellId(node)];
      if (typeof v === 'string') node.value = v;
    }
    $('exercise-form').addEventListener('input', saveAnswers);
    $('exercise-form').addEventListener('change', saveAnswers);
    $('exercise-form').addEventListener('submit', (e) => {
      e.preventDefault();
      grade();
    });
    $('exercise-check').addEventListener('click', grade);
    $('exercise-solution').addEventListener('click', reveal);
    $('exercise-close').addEventListener('click', close);
  }

  // ---- opening, checking, closing ----

  // ex: {asked, source, config, program}. Refused, with the run's own
  // messages, when the files do not give a complete run.
  function open(ex) {
    let result;
    try {
      result = root.hazardSim.run(ex.config, ex.program);
    } catch (e) {
      const why = e && e.message ? e.message : String(e);
      say(() => T('simFail', { e: why }));
      return false;
    }
    if (result.status !== 0 || !result.report) {
      say(() => T('noRunEx', { s: result.status }), result.console);
      return false;
    }
    current = Object.assign({}, ex, { report: result.report });
    current.fragment = link.fragment(current);
    say('');
    render(current);
    document.body.classList.add('exercise-hide');
    $('exercise-setup').hidden = true;
    $('exercise-open').hidden = false;
    return true;
  }

  // The address holds the exercise, so that a reload or the page's own
  // share button gives it again; the page's hash handling fills the editors.
  function toAddress() {
    if (current.fragment.length > MAX_LINK) return;
    if (location.hash.slice(1) !== current.fragment) location.hash = current.fragment;
  }

  function whereText(c) {
    if (c.answer === 'kind') return T('whereKind', { i: c.instr, d: c.distance });
    if (c.answer === 'registers') return T('whereRegs', { i: c.instr, d: c.distance });
    if (c.answer === 'entry') return T('whereEntry', { i: c.instr });
    return T('perf');
  }

  function grade() {
    if (!current) return;
    const given = answers();
    const result = check.grade(current.report, current.asked, given);
    const byId = new Map(result.cells.map((c) => [c.id, c]));
    const list = $('exercise-reasons');
    list.textContent = '';
    for (const node of answerElements()) {
      const c = byId.get(cellId(node));
      const right = Boolean(c && c.right);
      node.dataset.verdict = right ? 'right' : 'wrong';
      node.setAttribute('aria-invalid', right ? 'false' : 'true');
      const m = node.parentNode.querySelector('.verdict');
      m.textContent = right ? '\u2713' : '\u2717';
      m.className = 'verdict ' + (right ? 'right' : 'wrong');
      m.title = T(right ? 'right' : 'wrong');
      const whyId = 'why-' + cellId(node).replace(/:/g, '-');
      node.setAttribute('aria-describedby', right ? 'exercise-right-word' : whyId);
      if (!right) {
        const text = given[c.id].trim();
        const wrote = c.answer === 'kind' ? kindNames()[text] || text : text;
        list.append(el('li', { id: whyId }, [
          el('span', { class: 'verdict wrong', text: '\u2717 ' + T('wrong') }), ' ',
          el('strong', { text: whereText(c) }),
          T('wrote', { w: wrote ? '"' + wrote + '"' : T('wroteNothing'), why: c.reason }),
        ]));
      }
    }
    const score = $('exercise-score');
    score.dataset.right = String(result.right);
    score.dataset.total = String(result.total);
    score.textContent = T('score', { r: result.right, n: result.total }) + T(result.right === result.total ? 'allRight' : 'someWrong');
    saveAnswers();
    reveal();
  }

  // Shows the run's results again, for the exercise's own files.
  function reveal() {
    if (!current) return;
    document.body.classList.remove('exercise-hide');
    const shown = model.current;
    if (!shown || !sameFiles(shown, current)) {
      history.replaceState(null, '', location.pathname + location.search);
      toAddress();
    }
  }

  function close() {
    current = null;
    document.body.classList.remove('exercise-hide');
    $('exercise-open').hidden = true;
    $('exercise-open').textContent = '';
    $('exercise-setup').hidden = false;
    say('');
    if (link.read(location.hash)) history.replaceState(null, '', location.pathname + location.search);
    $('exercise-start').focus();
  }

  function start(ex) {
    if (!open(ex)) return;
    toAddress();
    const first = $('exercise-open').querySelector('[data-answer]');
    if (first) first.focus();
  }

  function startOnEditors() {
    const asked = askedFromSetup();
    if (!asked) return say('askSome');
    const runButton = $('run');
    if (runButton.disabled) return say('stillLoading');
    runButton.click(); // the editors' files as they are now
    const shown = model.current;
    if (!shown) return say('editorsFail');
    start({ asked, source: { kind: 'files' }, config: shown.config, program: shown.program });
  }

  function startGenerated() {
    const asked = askedFromSetup();
    if (!asked) return say('askSome');
    const params = setupParams();
    const p = gen.readParams(params);
    if (p.error) return say(() => gen.readParams(params).error);
    start(Object.assign({ asked, source: Object.assign({ kind: 'generated' }, p) }, gen.exercise(p)));
  }

  function setupParams() {
    return { seed: $('exercise-seed').value, depth: $('exercise-depth').value, count: $('exercise-count').value, level: $('exercise-level').value };
  }

  // An exercise link in the address opens its exercise, with the answer
  // kept in this browser, if any; the page's own link of the open one does not.
  function fromAddress() {
    const ex = link.read(location.hash);
    if (ex === null) return;
    if (current && root.hazardText.withoutLang(location.hash) === current.fragment) return;
    if (ex.error) {
      const hash = location.hash;
      document.body.classList.remove('exercise-hide');
      say(() => link.read(hash).error);
      return;
    }
    if (current) close();
    open(ex);
  }

  // Another language: the message and the open exercise in its words, the
  // answer and its marks kept.
  model.on('lang', () => {
    say(...said);
    if (!current) return;
    const given = answers();
    const graded = Boolean($('exercise-score').dataset.total);
    render(current);
    for (const node of answerElements()) if (cellId(node) in given) node.value = given[cellId(node)];
    if (graded) grade();
  });

  $('exercise-start').addEventListener('click', startOnEditors);
  $('exercise-generate').addEventListener('click', startGenerated);
  window.addEventListener('hashchange', fromAddress);
  // Until the simulator is loaded, an exercise in the address keeps the results hidden.
  if (link.read(location.hash)) document.body.classList.add('exercise-hide');
  Promise.resolve(root.hazardSim && root.hazardSim.ready).then(fromAddress, () => document.body.classList.remove('exercise-hide'));

  // The files the address holds, for the page's own hash handling, and the
  // open exercise's link for its share button; the setup, the grid's heads
  // and the element maker for the class sheet.
  root.hazardExercise = {
    filesOf(hash) {
      const ex = link.read(hash);
      if (ex === null) return null;
      return ex.error ? { error: true } : { config: ex.config, program: ex.program };
    },
    linkFragment: () => (current ? current.fragment : null),
    setupParams,
    askedFromSetup,
    gridHead,
    el,
  };
})(this);
