// The class sheet: a generated exercise's variants for a range of seeds,
// each on its own A4 page with its files and an empty answer grid, then the
// answer key with both tables and the performance figure of every variant;
// printed alone, never shown on screen.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const check = require('../exercise/check.js');
const { instrText } = require('../logic/schedule.js');
const T = require('../words/words.js').t;

const row = (cells, tag) => el('tr', {}, cells.map((c) => el(tag || 'td', { text: String(c) })));
const table = (caption, head, rows, cls) =>
  el('table', { class: cls }, [el('caption', { text: caption }), el('thead', {}, [row(head, 'th')]), el('tbody', {}, rows)]);

function variantPage(k, v, asked) {
  const { params: p, report } = v;
  const spread = check.distances(report, asked);
  const head = check.gridHead(report, asked);
  const rows = report.instructions.map((ins) => {
    const cells = [ins.index, instrText(ins)];
    for (let d = 1; d <= spread; d++) cells.push(d > ins.index ? '-' : '');
    if (asked.includes('s')) cells.push('');
    return row(cells);
  });
  const page = el('section', { class: 'sheet-variant' }, [
    el('h2', { text: T('variant', { k: k + 1, seed: p.seed }) }),
    el('p', { text: T('sheetHead', { depth: p.depth, n: p.count }) }),
  ]);
  if (head.length > 2) {
    // The grid holds the program, one line a row, and fits one A4 page.
    const grid = table(T('sheetGrid'), head, rows, 'sheet-grid');
    grid.style.setProperty('--row', Math.min(6.5, 225 / p.count).toFixed(2) + 'mm');
    page.append(grid);
  } else {
    page.append(el('pre', { class: 'sheet-program', text: v.files.program }));
  }
  if (asked.includes('p')) page.append(el('p', { class: 'sheet-performance', text: T('sheetPerf') }));
  return page;
}

function keyBlock(k, v) {
  const { params: p, report } = v;
  const analysis = [];
  const corrected = [];
  for (const ins of report.instructions) {
    const own = [ins.index, ins.opcode, ins.dest, ins.sources.join(',')];
    const lines = ins.hazards.length ? ins.hazards : [null];
    lines.forEach((h, n) => {
      const first = n === 0 ? own : ['', '', '', ''];
      analysis.push(row(first.concat(h ? [h.distance, h.shown.registers.join(','), h.shown.kind] : ['', '', ''])));
    });
    corrected.push(row([ins.entry, ins.opcode, ins.dest, ins.sources.join(','), ins.delay]));
  }
  return el('section', { class: 'sheet-key-variant' }, [
    el('h3', { text: T('variant', { k: k + 1, seed: p.seed }) }),
    table(T('keyAnalysis'), ['IN', 'OPCODE', 'DEST', 'SOURCES', 'DIST', 'DEPEND', 'HAZARD'], analysis, 'sheet-table'),
    table(T('keyCorrection'), ['IN', 'OPCODE', 'DEST', 'SOURCES', T('bubblesBefore')], corrected, 'sheet-table'),
    el('p', { text: T('keyPerf', { p: report.performance }) }),
  ]);
}

// box: the sheet's fields; the sheet itself goes at the end of the page's body.
function mount(box, store) {
  const doc = box.ownerDocument;
  const find = (id) => box.querySelector('#' + id);
  const from = find('sheet-from');
  const to = find('sheet-to');
  const note = find('sheet-note');
  const print = find('sheet-print');

  const read = () => store.setSetup({ from: from.value, to: to.value });
  from.addEventListener('input', read);
  to.addEventListener('input', read);
  find('sheet-make').addEventListener('click', () => store.makeSheet());
  print.addEventListener('click', () => box.ownerDocument.defaultView.print());

  function draw(state) {
    const old = doc.getElementById('sheet');
    if (old) old.remove();
    const sheet = state.sheet;
    const made = Boolean(sheet && sheet.variants);
    doc.body.classList.toggle('sheet-print', made);
    print.hidden = !made;
    if (!sheet) return (note.textContent = '');
    if (!made) return (note.textContent = T(sheet.message.key, sheet.message.params));
    const page = el('div', { id: 'sheet', 'data-variants': String(sheet.variants.length) });
    sheet.variants.forEach((v, k) => page.append(variantPage(k, v, sheet.asked)));
    const key = el('section', { class: 'sheet-key' }, [el('h2', { text: T('sheetKey') })]);
    sheet.variants.forEach((v, k) => key.append(keyBlock(k, v)));
    page.append(key);
    doc.body.append(page);
    note.textContent = T('sheetReady', { n: sheet.variants.length });
  }

  store.on('sheet', draw);
  store.on('lang', draw);
  store.on('setup', (state) => {
    if (from.value !== state.setup.from) from.value = state.setup.from;
    if (to.value !== state.setup.to) to.value = state.setup.to;
  });
}

module.exports = { mount };
