// The exercise box: its setup (what is asked; on the editors' files, or
// generated from a seed), its message, and the open exercise with its own
// files, the answer form (its new order a list that takes any move), the
// check with a sign and a reason on every wrong cell, the solution and
// closing. The editors are never touched here.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const { createOrderList } = require('./order-list.js');
const check = require('../exercise/check.js');
const { moved } = require('../logic/reorder.js');
const { instrText, instrLabel } = require('../logic/schedule.js');
const T = require('../words/words.js').t;

// A kind select's values and what it shows: '' (not answered, the start), none and the kinds.
const kindNames = () => Object.fromEntries([['', T('kindUnanswered')], ['none', T('none')], ...check.KINDS.map((k) => [k, k])]);
const SETUP = { seed: 'exercise-seed', depth: 'exercise-depth', count: 'exercise-count', level: 'exercise-level' };

const cellId = (node) => check.cellId(node.dataset.answer, node.dataset.instr, node.dataset.distance);
const field = (node) => el('span', { class: 'answer-field' }, [node, el('span', { class: 'verdict', 'aria-hidden': 'true' })]);

function describe(ex) {
  const asked = ex.asked.split('').map((c) => T('part' + c.toUpperCase())).join(', ');
  const s = ex.source;
  const from = s.kind === 'generated' ? T('fromSeed', { seed: s.seed, level: T(s.level) }) : T('fromFiles');
  return T('describe', { depth: ex.run.report.depth, n: ex.run.report.instructions.length, from, asked });
}

function rules(asked) {
  const items = [];
  if (asked.includes('h')) items.push(T('ruleKind'), T('ruleRegs'));
  if (asked.includes('s')) items.push(T('ruleEntry'));
  if (asked.includes('p')) items.push(T('rulePerf'));
  if (asked.includes('r')) items.push(T('ruleR'));
  return el('details', { class: 'exercise-rules' }, [el('summary', { text: T('rules') }), el('ul', {}, items.map((t) => el('li', { text: t })))]);
}

function kindSelect(i, d) {
  const select = el('select', { 'aria-label': T('askKind', { i, d }), dataset: { answer: 'kind', instr: i, distance: d } });
  for (const [value, name] of Object.entries(kindNames())) select.append(el('option', { value, text: name }));
  return select;
}

// The new order: a list of the program's instructions that takes any move
// (refusing one would tell a dependence), each kept as the order's answer;
// the moved item keeps the focus, so that a screen reader says its place.
function orderField(ex, store) {
  const report = ex.run.report;
  const ol = el('ol', { id: 'exercise-reorder-list', 'aria-labelledby': 'exercise-reorder-ask', dataset: { answer: 'order' } });
  let order = check.givenOrder(report, ex.answers.order);
  const list = createOrderList(ol, {
    label: (i) => instrLabel(report.instructions[i]),
    t: T,
    move(from, to) {
      order = moved(order, from, to);
      store.answer('order', order.join(' '));
      list.render(order);
    },
  });
  list.render(order);
  return el('div', { class: 'exercise-reorder' }, [
    el('p', { id: 'exercise-reorder-ask', text: T('askOrder') }),
    el('div', { class: 'answer-field' }, [ol, el('span', { class: 'verdict', 'aria-hidden': 'true' })]),
    el('p', {}, [
      el('label', { for: 'exercise-fewest', text: T('fewest') + ': ' }),
      field(el('input', { id: 'exercise-fewest', type: 'text', size: '4', inputmode: 'numeric', autocomplete: 'off', dataset: { answer: 'fewest' } })),
    ]),
  ]);
}

// The answer form: a grid of the hazards' and entries' cells, the
// performance, the new order and its bubbles.
function form(ex, store) {
  const { asked } = ex;
  const report = ex.run.report;
  const spread = check.distances(report, asked);
  const rows = report.instructions.map((ins) => {
    const i = ins.index;
    const cells = [el('td', { text: String(i) }), el('th', { scope: 'row', class: 'exercise-instr', text: instrText(ins) })];
    for (let d = 1; d <= spread; d++) {
      if (d > i) {
        cells.push(el('td', { class: 'exercise-none', 'aria-hidden': 'true', text: '-' }));
        continue;
      }
      const regs = el('input', {
        type: 'text', size: '7', autocomplete: 'off', spellcheck: 'false', placeholder: T('registers'), style: '--ph: ' + T('registers').length,
        'aria-label': T('askRegs', { i, d }), dataset: { answer: 'registers', instr: i, distance: d },
      });
      cells.push(el('td', {}, [field(kindSelect(i, d)), field(regs)]));
    }
    if (asked.includes('s')) {
      const entry = el('input', {
        type: 'text', size: '4', inputmode: 'numeric', autocomplete: 'off',
        'aria-label': T('askEntry', { i }), dataset: { answer: 'entry', instr: i },
      });
      cells.push(el('td', {}, [field(entry)]));
    }
    return el('tr', {}, cells);
  });
  const parts = [];
  if (asked.includes('h') || asked.includes('s')) {
    const head = check.gridHead(report, asked).map((text) => el('th', { scope: 'col', text }));
    parts.push(el('div', { class: 'exercise-scroll' }, [el('table', { class: 'exercise-grid' }, [
      el('caption', { text: T('gridCaption') }),
      el('thead', {}, [el('tr', {}, head)]),
      el('tbody', {}, rows),
    ])]));
  }
  if (asked.includes('p')) {
    const perf = el('input', { id: 'exercise-performance', type: 'text', size: '8', autocomplete: 'off', dataset: { answer: 'performance' } });
    parts.push(el('p', {}, [el('label', { for: 'exercise-performance', text: T('perfPct') }), field(perf)]));
  }
  if (asked.includes('r')) parts.push(orderField(ex, store));
  return parts;
}

function whereText(c) {
  if (c.answer === 'kind') return T('whereKind', { i: c.instr, d: c.distance });
  if (c.answer === 'registers') return T('whereRegs', { i: c.instr, d: c.distance });
  if (c.answer === 'entry') return T('whereEntry', { i: c.instr });
  if (c.reorder) return T(c.answer === 'order' ? 'newOrder' : 'fewest');
  return T('perf');
}

function mount(section, store) {
  const find = (id) => section.querySelector('#' + id);
  const setup = find('exercise-setup');
  const open = find('exercise-open');
  const message = find('exercise-message');
  const asked = [...section.querySelectorAll('input[name="exercise-asked"]')];
  let drawn = null; // the exercise the form was drawn for

  const answerElements = () => [...open.querySelectorAll('[data-answer]')];

  // ---- the setup ----

  const askedNow = () => asked.filter((c) => c.checked).map((c) => c.value).join('');
  function readSetup() {
    const values = { asked: askedNow() };
    for (const [key, id] of Object.entries(SETUP)) values[key] = find(id).value;
    store.setSetup(values);
  }
  setup.addEventListener('input', readSetup);
  setup.addEventListener('change', readSetup);
  find('exercise-start').addEventListener('click', () => {
    store.openExercise({ asked: store.state.setup.asked || '', source: { kind: 'files' } }, 'setup');
  });
  find('exercise-generate').addEventListener('click', () => {
    const s = store.state.setup;
    const source = { kind: 'generated', seed: s.seed, depth: s.depth, count: s.count, level: s.level };
    store.openExercise({ asked: s.asked || '', source }, 'setup');
  });

  function drawRanges(state) {
    const l = state.limits;
    find('depth-range').textContent = T('depthRange', { lo: l ? l.depth[0] : '', hi: l ? l.depth[1] : '' });
    find('count-range').textContent = T('countRange', { lo: l ? l.count[0] : '', hi: l ? l.count[1] : '' });
  }

  function drawSetup(state) {
    for (const c of asked) c.checked = state.setup.asked.includes(c.value);
    for (const [key, id] of Object.entries(SETUP)) if (find(id).value !== state.setup[key]) find(id).value = state.setup[key];
  }

  // ---- the message ----

  function drawMessage(state) {
    const m = state.exerciseMessage;
    message.hidden = !m;
    message.replaceChildren();
    if (!m) return;
    message.append(el('p', { text: T(m.key, m.params) }));
    if (m.console) message.append(el('pre', { class: 'exercise-console', tabindex: '0', lang: 'ro', 'aria-label': T('runMessages'), text: m.console }));
  }

  // ---- the open exercise ----

  function drawExercise(ex) {
    const report = ex.run.report;
    const program = report.depth + '\n' + report.count + '\n\n' + report.instructions.map(instrText).join('\n');
    const formBox = el('form', { id: 'exercise-form', 'aria-label': T('exAnswer') }, form(ex, store));
    open.replaceChildren(
      el('p', { id: 'exercise-what', text: describe(ex) }),
      el('p', { class: 'exercise-files-note', text: T('exFiles') }),
      el('pre', { id: 'exercise-program', tabindex: '0', 'aria-label': T('exProgram'), text: program }),
      rules(ex.asked),
      formBox,
      el('p', { class: 'toolbar' }, [
        el('button', { id: 'exercise-check', type: 'button', text: T('check'), on: { click: () => store.checkAnswer() } }),
        el('button', { id: 'exercise-solution', type: 'button', text: T('solution'), on: { click: () => store.reveal() } }),
        el('button', { id: 'exercise-close', type: 'button', text: T('close'), on: { click: () => store.closeExercise('setup') } }),
      ]),
      el('p', { id: 'exercise-score', 'aria-live': 'polite' }),
      el('span', { id: 'exercise-right-word', class: 'visually-hidden', text: T('right') }),
      el('ol', { id: 'exercise-reasons' })
    );
    // A kind kept as any other text (before "none" was a choice of its own, '') reads as the form reads it.
    for (const node of answerElements()) {
      const v = ex.answers[cellId(node)];
      if (typeof v === 'string') node.value = node.tagName === 'SELECT' ? check.readKind(v) || '' : v;
    }
    const typed = (event) => {
      const node = event.target.closest('[data-answer]');
      if (node) store.answer(cellId(node), node.value);
    };
    formBox.addEventListener('input', typed);
    formBox.addEventListener('change', typed);
    // Enter in an answer cell checks, a select's included: its list, while open, keeps the key.
    formBox.addEventListener('keydown', (event) => {
      const plainEnter = event.key === 'Enter' && !event.isComposing && !(event.altKey || event.ctrlKey || event.metaKey || event.shiftKey);
      if (!plainEnter || !event.target.closest('[data-answer]') || event.target.closest('button')) return;
      event.preventDefault();
      formBox.requestSubmit();
    });
    formBox.addEventListener('submit', (event) => {
      event.preventDefault();
      store.checkAnswer();
    });
  }

  // Every cell's sign and the reasons of the wrong ones, as the answer stood when checked.
  function drawMarks(ex) {
    const result = check.grade(ex.run.report, ex.asked, ex.checked, ex.reorder);
    const byId = new Map(result.cells.map((c) => [c.id, c]));
    const reasons = [];
    for (const node of answerElements()) {
      const c = byId.get(cellId(node));
      const right = Boolean(c && c.right);
      node.dataset.verdict = right ? 'right' : 'wrong';
      node.setAttribute('aria-invalid', right ? 'false' : 'true');
      const sign = node.parentNode.querySelector('.verdict');
      sign.textContent = right ? '\u2713' : '\u2717';
      sign.className = 'verdict ' + (right ? 'right' : 'wrong');
      sign.title = T(right ? 'right' : 'wrong');
      const whyId = 'why-' + cellId(node).replace(/:/g, '-');
      node.setAttribute('aria-describedby', right ? 'exercise-right-word' : whyId);
      if (right) continue;
      const text = (ex.checked[c.id] || '').trim();
      const wrote = c.answer === 'kind' ? (c.answered ? kindNames()[check.readKind(text)] : '') : text;
      reasons.push(el('li', { id: whyId }, [
        el('span', { class: 'verdict wrong', text: '\u2717 ' + T('wrong') }), ' ',
        el('strong', { text: whereText(c) }),
        wrote ? T('wrote', { w: '"' + wrote + '"', why: c.reason }) : T('wroteNone', { why: c.reason }),
      ]));
    }
    find('exercise-reasons').replaceChildren(...reasons);
    const score = find('exercise-score');
    score.dataset.right = String(result.right);
    score.dataset.answered = String(result.answered);
    score.dataset.total = String(result.total);
    score.textContent = T('score', { r: result.right, n: result.total, a: result.answered }) + T(result.right === result.total ? 'allRight' : 'someWrong');
  }

  function draw(state, again) {
    const ex = state.exercise;
    drawMessage(state);
    setup.hidden = Boolean(ex);
    open.hidden = !ex;
    const opened = ex && ex !== drawn;
    const closed = !ex && drawn;
    if (ex && (opened || again)) drawExercise(ex);
    if (!ex) open.replaceChildren();
    if (ex && ex.checked) drawMarks(ex);
    drawn = ex;
    if (opened && ex.from === 'setup') {
      const first = open.querySelector('input[data-answer], select[data-answer], [data-answer] li');
      if (first) first.focus();
    }
    if (closed) find('exercise-start').focus();
  }

  store.on('setup', drawSetup);
  store.on('ready', drawRanges);
  store.on('exercise', (state) => draw(state, false));
  store.on('lang', (state) => {
    drawRanges(state);
    draw(state, true);
  });
  drawRanges(store.state);
  drawSetup(store.state);
  draw(store.state, false);
}

module.exports = { mount };
