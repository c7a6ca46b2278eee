// The class sheet: its fields (a range of seeds, or a class seed and a list
// of names, each name its own variant, a name given again numbered with a
// variant of its own) and the two things printed from them,
// each laid out by its own button: the students' sheets, one variant a page
// with an answer grid that fills it, and the compact answer key. The sheet
// is printed alone, never shown on screen.
// Gives mount(box, store).
'use strict';

const { el, parts } = require('./dom.js');
const check = require('../exercise/check.js');
const paper = require('../exercise/paper.js');
const classVariants = require('../exercise/variants.js');
const { instrText } = require('../logic/schedule.js');
const T = require('../words/words.js').t;

const mm = (n) => n.toFixed(2) + 'mm';
const td = (text, props) => el('td', Object.assign({ text: String(text) }, props));
const headRow = (head) => el('tr', {}, head.map((text) => el('th', { scope: 'col', text })));
const colgroup = (widths) => el('colgroup', {}, widths.map((w) => el('col', { style: 'width: ' + mm(w) })));

// Who a variant is for, and the line under it: a range's variant with a
// line for the student's name, or a name with its variant's number.
function who(k, v) {
  if (v.name === null) return [T('variant', { k: k + 1, seed: v.seed }), T('sheetNameLine')];
  return [classVariants.variantName(v), T('sheetNamed', { k: k + 1, seed: v.seed })];
}

const SHOW_REPEATED = 5; // names the note lists as given more than once

// What the note adds when a list gives a name more than once: which names,
// and how the first of them is numbered.
function repeatedNote(plan) {
  const again = plan.names.filter((n, k) => plan.repeats[k] === 2);
  if (again.length === 0) return '';
  const first = again[0];
  const times = plan.names.filter((n) => n === first).length;
  const example = Array.from({ length: times }, (_, k) => classVariants.variantName({ name: first, repeat: k + 1 }));
  const names = again.slice(0, SHOW_REPEATED).join(', ') + (again.length > SHOW_REPEATED ? ', ...' : '');
  return T('sheetRepeated', { names, example: example.join(', ') });
}

// ---- the students' sheets ----

function rulesText(asked, lines) {
  const rules = [];
  if (asked.includes('h')) rules.push(T('sheetRuleH') + (lines === 2 ? T('sheetRuleLines') : ''));
  if (asked.includes('s')) rules.push(T('sheetRuleS'));
  if (asked.includes('p')) rules.push(T('sheetRuleP'));
  if (asked.includes('r')) rules.push(T('ruleR'));
  return rules.join(' ');
}

// The answer grid: the program, one instruction a row, and an empty cell
// (data-sheet-cell) for each answer asked.
function answerGrid(report, asked, layout) {
  const spread = check.distances(report, asked);
  const widths = [layout.columns.in, layout.columns.instr].concat(Array(spread).fill(layout.columns.dist));
  if (asked.includes('s')) widths.push(layout.columns.entry);
  const rows = report.instructions.map((ins) => {
    const i = ins.index;
    const cells = [td(i), el('th', { scope: 'row', text: instrText(ins) })];
    for (let d = 1; d <= spread; d++)
      cells.push(d > i ? td('-', { class: 'sheet-none' }) : td('', { dataset: { sheetCell: 'hazard', instr: i, distance: d } }));
    if (asked.includes('s')) cells.push(td('', { dataset: { sheetCell: 'entry', instr: i } }));
    return el('tr', {}, cells);
  });
  const grid = el('table', { class: 'sheet-grid' + (layout.lines === 2 ? ' sheet-two-lines' : '') }, [
    colgroup(widths),
    el('thead', {}, [headRow(check.gridHead(report, asked))]),
    el('tbody', {}, rows),
  ]);
  grid.style.setProperty('--row', mm(layout.row));
  return grid;
}

function studentPage(k, v, asked) {
  const { params: p, report } = v;
  const layout = paper.gridLayout({
    count: report.instructions.length,
    spread: check.distances(report, asked),
    entry: asked.includes('s'),
    perf: asked.includes('p'),
    order: asked.includes('r'),
  });
  const [title, under] = who(k, v);
  const page = el('section', { class: 'sheet-variant' }, [
    el('div', { class: 'sheet-top' }, [
      el('h2', { text: title }),
      el('p', { class: 'sheet-info' }, [el('span', { text: under }), el('span', { text: T('sheetInfo', { depth: p.depth, n: p.count }) })]),
      el('p', { class: 'sheet-rules', text: rulesText(asked, layout.lines) }),
    ]),
  ]);
  if (check.gridHead(report, asked).length > 2) page.append(answerGrid(report, asked, layout));
  else page.append(el('pre', { class: 'sheet-program', text: v.files.program }));
  const box = (cell) => el('span', { class: 'sheet-box', dataset: { sheetCell: cell } });
  if (asked.includes('p')) page.append(el('p', { class: 'sheet-perf' }, [el('span', { text: T('sheetPerfLabel') }), box('performance')]));
  if (asked.includes('r'))
    page.append(el('p', { class: 'sheet-order' }, [el('span', { text: T('newOrder') + ' (IN):' })].concat(report.instructions.map(() => box('order')))),
      el('p', { class: 'sheet-perf' }, [el('span', { text: T('fewest') + ':' }), box('fewest')]));
  return page;
}

// ---- the key ----

const registerSet = (list) => [...new Set(list)].sort().join(',');

// A hazard as the key prints it: the kind and DEPEND, and after a slash the
// kind's own registers where DEPEND holds others too (either is right).
function hazardKey(h) {
  if (!h) return '-';
  const shown = h.shown.registers.join(',');
  const own = h.kinds.find((kind) => kind.kind === h.shown.kind);
  const alone = own ? registerSet(own.registers) : '';
  return h.shown.kind + ' ' + shown + (alone && alone !== registerSet(h.shown.registers) ? ' / ' + alone : '');
}

function keyBlock(k, v) {
  const { params: p, report } = v;
  const info = T('keyInfo', { depth: p.depth, n: p.count, p: report.performance }) + (v.reorder ? T('keyReorder', { f: v.reorder.fewest, order: v.reorder.order.join(' ') }) : '');
  const [title, under] = who(k, v);
  const spread = check.distances(report, 'hsp');
  const rows = report.instructions.map((ins) => {
    const cells = [td(ins.index), el('th', { scope: 'row', text: instrText(ins) })];
    for (let d = 1; d <= spread; d++) cells.push(td(d > ins.index ? '' : hazardKey(ins.hazards.find((h) => h.distance === d))));
    cells.push(td(ins.entry + (ins.delay ? ' (+' + ins.delay + ')' : '')));
    return el('tr', {}, cells);
  });
  return el('section', { class: 'sheet-key-variant' }, [
    el('h3', {}, [el('span', { text: v.name === null ? title : `${title} (${under})` }), ' ',
      el('span', { class: 'sheet-key-info', text: info })]),
    el('table', { class: 'sheet-key-grid' }, [el('thead', {}, [headRow(check.gridHead(report, 'hsp'))]), el('tbody', {}, rows)]),
  ]);
}

function keyPages(sheet) {
  const key = el('section', { class: 'sheet-key' }, [el('h2', { text: T('sheetKey') }), el('p', { class: 'sheet-rules', text: T('keyLegend') })]);
  sheet.variants.forEach((v, k) => key.append(keyBlock(k, v)));
  return key;
}

// ---- the fields ----

// box: the sheet's fields; the sheet itself goes at the end of the page's body.
function mount(box, store) {
  const doc = box.ownerDocument;
  const win = doc.defaultView;
  const f = parts(box, {
    byRange: 'sheet-by-range', byNames: 'sheet-by-names', fromWord: 'sheet-from-word', from: 'sheet-from', toField: 'sheet-to-field',
    to: 'sheet-to', namesWord: 'sheet-names-word', names: 'sheet-names', note: 'sheet-note', students: 'sheet-print-students', key: 'sheet-print-key',
  });
  let told = 'plan'; // what the note says: the plan of the fields, or what the last print made of it

  // Typing a name chooses the list; the range's button chooses the range again, the names kept.
  const read = (byNames) => store.setSetup({ from: f.from.value, to: f.to.value, names: f.names.value, byNames });
  f.from.addEventListener('input', () => read(f.byNames.checked));
  f.to.addEventListener('input', () => read(f.byNames.checked));
  f.names.addEventListener('input', () => read(f.byNames.checked || f.names.value.trim() !== ''));
  f.byRange.addEventListener('change', () => read(false));
  f.byNames.addEventListener('change', () => read(true));

  function print(what) {
    store.makeSheet(what);
    if (!store.state.sheet.variants) return; // the note says why
    doc.body.classList.add('sheet-print');
    win.print();
  }
  f.students.addEventListener('click', () => print('students'));
  f.key.addEventListener('click', () => print('key'));
  win.addEventListener('afterprint', () => doc.body.classList.remove('sheet-print'));

  function drawNote(state) {
    const sheet = state.sheet;
    if (told === 'sheet' && sheet) {
      if (sheet.message) f.note.textContent = T(sheet.message.key, sheet.message.params);
      else f.note.textContent = T(sheet.what === 'key' ? 'sheetPrintedKey' : 'sheetPrintedStudents', { n: sheet.variants.length });
      return;
    }
    const plan = classVariants.choose(classVariants.setupRequest(state.setup));
    if (plan.error) f.note.textContent = T(plan.error.key, plan.error.params);
    else if (plan.names) f.note.textContent = T('sheetPlanNames', { n: plan.names.length, seed: String(state.setup.from).trim() }) + repeatedNote(plan);
    else f.note.textContent = T('sheetPlanRange', { n: plan.seeds.length, from: plan.seeds[0], to: plan.seeds[plan.seeds.length - 1] });
  }

  function drawFields(state) {
    const s = state.setup;
    for (const [name, node] of [['from', f.from], ['to', f.to], ['names', f.names]]) if (node.value !== s[name]) node.value = s[name];
    f.byRange.checked = !s.byNames;
    f.byNames.checked = s.byNames;
    f.toField.hidden = s.byNames;
    f.fromWord.textContent = T(s.byNames ? 'sheetClassSeed' : 'sheetFrom');
    f.namesWord.textContent = T('sheetNames', { n: classVariants.MAX_VARIANTS });
  }

  function drawSheet(state) {
    const old = doc.getElementById('sheet');
    if (old) old.remove();
    const sheet = state.sheet;
    if (!sheet || !sheet.variants) return;
    const page = el('div', { id: 'sheet', dataset: { variants: sheet.variants.length, what: sheet.what } });
    if (sheet.what === 'key') page.append(keyPages(sheet));
    else sheet.variants.forEach((v, k) => page.append(studentPage(k, v, sheet.asked)));
    doc.body.append(page);
  }

  store.on('setup', (state) => {
    told = 'plan';
    drawFields(state);
    drawNote(state);
  });
  store.on('sheet', (state) => {
    told = 'sheet';
    drawSheet(state);
    drawNote(state);
  });
  store.on('lang', (state) => {
    drawFields(state);
    drawSheet(state);
    drawNote(state);
  });
  drawFields(store.state);
  drawNote(store.state);
}

module.exports = { mount };
