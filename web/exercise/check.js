// Grading an exercise: from the run report, the cells of the answer and
// their key; from the answers typed, a verdict for every cell, the score and,
// for a wrong cell, what the table shows and why. Pure functions; under Node too.
// Gives readAsked, cellId, distances, gridHead, cells, grade, keyAnswers.
'use strict';

const model = require('../logic/schedule.js');
const teach = require('../logic/teach.js');
const T = require('../words/words.js').t;

// 'hsp', 'ph', ...: the parts asked, in the order h, s, p (the hazards of
// the analysis table, the correction table's IN, the performance figure);
// null for any other letter, a letter twice or none.
function readAsked(text) {
  if (typeof text !== 'string' || !/^[hsp]{1,3}$/.test(text) || new Set(text).size !== text.length) return null;
  return 'hsp'.split('').filter((c) => text.includes(c)).join('');
}

// A cell's name in the answers: 'kind:3:1', 'registers:3:1', 'entry:3', 'performance'.
const id = (answer, instr, distance) =>
  answer === 'performance' ? answer : answer === 'entry' ? `entry:${instr}` : `${answer}:${instr}:${distance}`;

// The most distances an instruction's hazards are asked at: none unless
// the hazards are asked, else up to depth - 2 and never past the first line.
const distances = (report, asked) =>
  asked.includes('h') ? Math.min(report.depth - 2, report.instructions.length - 1) : 0;

// The answer grid's column heads, on the page and on the class sheet.
function gridHead(report, asked) {
  const head = ['IN', T('instr')];
  for (let d = 1; d <= distances(report, asked); d++) head.push(`DIST ${d}`);
  if (asked.includes('s')) head.push(T('inCorrected'));
  return head;
}

// The cells of the answer, in the order of the tables, each with its key:
// {id, answer, instr, distance, hazard} where hazard is the report's
// hazard at that distance or null.
function cells(report, asked) {
  const out = [];
  const spread = distances(report, asked);
  for (const ins of report.instructions) {
    for (let d = 1; d <= Math.min(ins.index, spread); d++) {
      const hazard = ins.hazards.find((h) => h.distance === d) || null;
      out.push({ id: id('kind', ins.index, d), answer: 'kind', instr: ins.index, distance: d, hazard });
      out.push({ id: id('registers', ins.index, d), answer: 'registers', instr: ins.index, distance: d, hazard });
    }
    if (asked.includes('s')) out.push({ id: id('entry', ins.index), answer: 'entry', instr: ins.index });
  }
  if (asked.includes('p')) out.push({ id: 'performance', answer: 'performance' });
  return out;
}

// ---- reading an answer: any text is graded ----

function readKind(text) {
  const t = String(text == null ? '' : text).trim().toUpperCase();
  return ['-', 'NONE', 'NIMIC', 'NICIUNUL'].includes(t) ? '' : t;
}

// 'r1, R4 r1' -> ['R1', 'R4']: the set of registers named.
function readRegisters(text) {
  const names = String(text == null ? '' : text).toUpperCase().split(/[\s,;]+/).filter(Boolean);
  return [...new Set(names.map((n) => n.replace(/^R0*(?=[0-9])/, 'R')))].sort();
}

function readEntry(text) {
  const t = String(text == null ? '' : text).trim();
  return /^[0-9]{1,9}$/.test(t) ? Number(t) : null;
}

// '52,63 %' -> '52.63'.
function readPerformance(text) {
  return String(text == null ? '' : text).trim().replace(/\s*%$/, '').trim().replace(',', '.');
}

// ---- what the tables show, and why: in the explanation list's words ----

const regs = (list) => list.join(',');

function kindReason(report, cell, given) {
  const h = cell.hazard;
  const i = cell.instr;
  const e = i - cell.distance;
  if (!h)
    return T('whyNoHz', { d: cell.distance, a: model.instrLabel(report.instructions[i]), b: model.instrLabel(report.instructions[e]) });
  const kinds = h.kinds.map((k) => teach.kindText(k, i, e)).join('; ');
  let text = (given === '' ? T('missed') : '') + T('whyKind', { shown: teach.shownText(h), kinds });
  if (h.kinds.length > 1) text += T('whyLast');
  return text;
}

function registersReason(cell) {
  const h = cell.hazard;
  if (!h) return T('whyNoRegs', { d: cell.distance });
  let text = T('whyRegs', { r: regs(h.shown.registers) });
  if (h.kinds.length > 1) text += T('whyChecks', { list: h.kinds.map((k) => `${k.kind} (${regs(k.registers)})`).join(', ') });
  return text;
}

function entryReason(report, i) {
  const text = T('whyEntry', { e: report.instructions[i].entry });
  const d = teach.delayOf(report, i);
  if (d) return text + teach.delayText(report, d);
  return text + (i === 0 ? T('whyFirst') : T('whyFree', { p: i - 1 }));
}

function performanceReason(report) {
  const n = report.instructions.length;
  return T('whyPerf', { p: report.performance, D: report.depth, n, B: report.bubbles, w: report.cycles.written, c: report.cycles.corrected });
}

// The key of a cell as the table prints it ('' for nothing).
function keyText(report, cell) {
  if (cell.answer === 'kind') return cell.hazard ? cell.hazard.shown.kind : '';
  if (cell.answer === 'registers') return cell.hazard ? regs(cell.hazard.shown.registers) : '';
  if (cell.answer === 'entry') return String(report.instructions[cell.instr].entry);
  return report.performance;
}

// answers: {cell id: text}, a missing one counting as empty. Returns
// {cells: [{...cell, right, key, reason}], right, total}; reason only on
// wrong cells.
function grade(report, asked, answers) {
  const given = (c) => (answers && answers[c.id] != null ? String(answers[c.id]) : '');
  const out = cells(report, asked).map((c) => {
    const text = given(c);
    const key = keyText(report, c);
    let right;
    let reason;
    if (c.answer === 'kind') {
      right = readKind(text) === key;
      if (!right) reason = kindReason(report, c, readKind(text));
    } else if (c.answer === 'registers') {
      right = readRegisters(text).join(',') === readRegisters(key).join(',');
      if (!right) reason = registersReason(c);
    } else if (c.answer === 'entry') {
      right = readEntry(text) === report.instructions[c.instr].entry;
      if (!right) reason = entryReason(report, c.instr);
    } else {
      right = readPerformance(text) === report.performance;
      if (!right) reason = performanceReason(report);
    }
    return Object.assign({}, c, { right, key }, right ? {} : { reason });
  });
  return { cells: out, right: out.filter((c) => c.right).length, total: out.length };
}

// The answers that score full marks: each cell's key.
function keyAnswers(report, asked) {
  const out = {};
  for (const c of cells(report, asked)) out[c.id] = keyText(report, c);
  return out;
}

module.exports = { readAsked, cellId: id, distances, gridHead, cells, grade, keyAnswers };
