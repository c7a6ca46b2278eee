// The key of a class's variants as CSV (RFC 4180), for teachers who grade
// elsewhere: a byte order mark and a header row, then one row per cell of
// each variant's answer form, with what exercise/check.js takes as right
// there; no field a spreadsheet would read as a formula.
// Gives file.
'use strict';

const check = require('./check.js');
const { variantName } = require('./variants.js');
const { instrText } = require('../logic/schedule.js');
const T = require('../words/words.js').t;

const BOM = '\ufeff'; // tells a spreadsheet the file is UTF-8
const NUMBER = /^[-+]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$/;

// A field that starts as a formula would ('=', '+', '-', '@', a tab or a
// carriage return) and is no number gets a leading "'"; a field is quoted
// when it holds a comma, a quote or a line end.
function field(text) {
  const safe = /^[=+\-@\t\r]/.test(text) && !NUMBER.test(text) ? "'" + text : text;
  return /[",\r\n]/.test(safe) ? '"' + safe.replace(/"/g, '""') + '"' : safe;
}
// A row ends in CRLF.
const row = (fields) => fields.map((f) => field(String(f))).join(',') + '\r\n';

const ASKED = { kind: 'csvKind', registers: 'registers', entry: 'inCorrected', performance: 'perf', order: 'newOrder', fewest: 'fewest' };

// The right answer in words: both register sets where they differ; a best
// order as the instructions' numbers apart by spaces.
function answerText(report, cell) {
  if (cell.reorder) return check.keyText(report, cell);
  const key = check.accepted(report, cell);
  if (cell.answer === 'kind') return key.kind === 'none' ? T('none') : key.kind;
  if (cell.answer === 'registers') return key.sets.map((set) => (set.length ? set.join(',') : T('none'))).join(T('csvOr'));
  if (cell.answer === 'entry') return key.entry;
  return key.performance;
}

// variants: [{seed, name, repeat, report, reorder}] (the store's variantRuns); asked: 'hsp', ...
function file(variants, asked) {
  let out = BOM + row([T('csvVariant'), 'IN', T('instr'), 'DIST', T('csvAsked'), T('csvAnswer')]);
  for (const v of variants) {
    const who = variantName(v);
    for (const cell of check.cells(v.report, asked, v.reorder)) {
      const ins = cell.instr === undefined ? null : v.report.instructions[cell.instr];
      out += row([who, ins ? ins.index : '', ins ? instrText(ins) : '', cell.distance || '', T(ASKED[cell.answer]), answerText(v.report, cell)]);
    }
  }
  return out;
}

module.exports = { file };
