// The question bank for Moodle: a class's variants as Moodle XML files of
// at most 2 MB each (one when the class fits), each with a category named
// after the request, then one Cloze question per variant whose gaps are the
// answer form's cells in the form's order, each answer's mark and feedback
// decided by exercise/check.js as the page decides them.
// Gives MAX_BYTES, files, gap.
'use strict';

const check = require('./check.js');
const { variantName } = require('./variants.js');
const { instrText } = require('../logic/schedule.js');
const T = require('../words/words.js').t;

const MAX_BYTES = 2097152; // of one file, in UTF-8: Moodle's default upload limit
const ID_MAX = 100; // characters of Moodle's <idnumber>
const SEPARATORS = [',', ', ', ' ']; // between registers, as a registers gap takes them
const PERCENT = ['', '%', ' %']; // after the performance figure, as its gap takes it

const xml = (text) => String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const html = (text) => xml(text).replace(/"/g, '&quot;');
// HTML in a CDATA section, which ends at the first ']]>'.
const cdata = (text) => '<![CDATA[' + text.split(']]>').join(']]]]><![CDATA[>') + ']]>';
// An answer or a feedback in a gap: the gap's own marks taken literally.
const literal = (text) => String(text).replace(/[\\}#~"]/g, '\\$&');

// One gap: {weight:TYPE:alternatives}. alternatives: [{answer, right,
// feedback}], '=' marking a right one, '%0%' a wrong one.
function gap(type, alternatives) {
  const alt = (a) => (a.right ? '=' : '%0%') + (a.raw ? a.answer : literal(a.answer)) + (a.feedback ? '#' + literal(xml(a.feedback)) : '');
  return `{1:${type}:${alternatives.map(alt).join('~')}}`;
}

// An alternative marked by the page's own grading of that answer.
function judged(report, cell, text, answer) {
  const verdict = check.judge(report, cell, text);
  return { answer: answer === undefined ? text : answer, right: verdict.right, feedback: verdict.reason || '' };
}

const orders = (set) => (set.length <= 1 ? [set] : set.flatMap((first, k) => orders(set.filter((_, j) => j !== k)).map((rest) => [first].concat(rest))));

// A set of registers in every order, each way of writing them apart; the
// words for none for no register.
function writings(set) {
  if (set.length === 0) return check.NONE_WORDS.map((w) => w.toLowerCase());
  return [...new Set(orders(set).flatMap((order) => SEPARATORS.map((sep) => order.join(sep))))];
}

// The wrong answers that say most about the cell: other kinds' registers,
// none where there is a hazard.
function registersTried(cell) {
  const h = cell.hazard;
  if (!h) return [];
  return ['none'].concat(h.kinds.map((k) => [...new Set(k.registers)].join(',')));
}

// The wrong cycles most often written: one off either way, the cycle without
// this instruction's own bubbles, the cycle with none at all.
function entriesTried(report, cell) {
  const ins = report.instructions[cell.instr];
  return [ins.entry - 1, ins.entry + 1, ins.entry - ins.delay, ins.index].filter((e) => e >= 0);
}

// The printed figure with a point or a comma, with or without '%' after it.
const figureForms = (figure) => [figure, figure.replace('.', ',')].flatMap((f) => PERCENT.map((p) => f + p));

// The alternatives of a cell's gap, each once: a kind's choices always in
// the order none, RAW, WAR, WAW, so that no place tells the right one; the
// others' right ones first, and a catch-all last where the gap takes one.
function alternatives(report, cell) {
  const key = check.accepted(report, cell);
  if (cell.answer === 'kind') return ['none'].concat(check.KINDS).map((k) => judged(report, cell, k, k === 'none' ? T('none') : k));
  const catchAll = { answer: '*', raw: true, right: false, feedback: check.generalReason(report, cell) };
  let list;
  if (cell.answer === 'registers') {
    // DEPEND as the table prints it, a register twice included.
    const printed = cell.hazard ? [cell.hazard.shown.registers.join(',')] : [];
    list = key.sets.flatMap(writings).concat(printed, registersTried(cell)).map((text) => judged(report, cell, text)).concat(catchAll);
  } else if (cell.answer === 'entry' || cell.answer === 'fewest') {
    // The fewest bubbles: wrong as written.
    const tried = cell.answer === 'entry' ? [key.entry].concat(entriesTried(report, cell)) : [key.fewest, report.bubbles];
    list = tried.map((e) => Object.assign(judged(report, cell, String(e)), { answer: `${e}:0`, raw: true }));
  } else {
    const tried = key.performance === '100.00' ? [] : ['100', '100%'];
    list = figureForms(key.performance).concat(tried).map((text) => judged(report, cell, text)).concat(catchAll);
  }
  const seen = new Set();
  const once = list.filter((a) => !seen.has(a.answer.toLowerCase()) && seen.add(a.answer.toLowerCase()));
  return once.filter((a) => a.right).concat(once.filter((a) => !a.right));
}

// The performance is matched as text, which no site's number format reads
// otherwise; a whole number of cycles reads the same in any format.
const TYPES = { kind: 'MULTICHOICE', registers: 'SHORTANSWER', entry: 'NUMERICAL', performance: 'SHORTANSWER', fewest: 'NUMERICAL' };
const cellGap = (report, cell) => gap(TYPES[cell.answer], alternatives(report, cell));

// The question's text: the depth, the program, how to answer, then the
// grid of gaps as the page's form lays them out, the performance and the
// fewest bubbles after reordering (the order itself no gap can grade).
function questionText(v, asked) {
  const report = v.report;
  const cells = check.cells(report, asked, v.reorder);
  const out = [
    `<p>${html(T('moodleHead', { depth: report.depth, n: report.instructions.length }))}</p>`,
    `<pre>${html(v.files.config + '\n' + v.files.program)}</pre>`,
    `<p>${html(T('moodleHow'))}</p>`,
  ];
  if (asked.includes('h') || asked.includes('s')) {
    const spread = check.distances(report, asked);
    out.push('<table border="1" cellpadding="4">', '<thead><tr>' + check.gridHead(report, asked).map((h) => `<th>${html(h)}</th>`).join('') + '</tr></thead>', '<tbody>');
    for (const ins of report.instructions) {
      const row = [String(ins.index), instrText(ins)].map((t) => `<td>${html(t)}</td>`);
      const own = cells.filter((c) => c.instr === ins.index);
      for (let d = 1; d <= spread; d++) {
        const at = own.filter((c) => c.distance === d);
        row.push(at.length ? `<td>${at.map((c) => cellGap(report, c)).join(' ')}</td>` : '<td>-</td>');
      }
      if (asked.includes('s')) row.push(`<td>${cellGap(report, own.find((c) => c.answer === 'entry'))}</td>`);
      out.push(`<tr>${row.join('')}</tr>`);
    }
    out.push('</tbody>', '</table>');
  }
  const perf = cells.find((c) => c.answer === 'performance');
  if (perf) out.push(`<p>${html(T('perfPct'))}${cellGap(report, perf)}</p>`);
  const fewest = cells.find((c) => c.answer === 'fewest');
  if (fewest) out.push(`<p>${html(T('fewest'))}: ${cellGap(report, fewest)}</p>`);
  return out.join('\n');
}

// The category's name, from the request: its seeds or names, depth, count,
// level and parts asked. Moodle reads '/' in it as a level below: doubled.
function category(variants, request, asked) {
  const p = variants[0].params;
  const which = request.names != null ? T('exportNames', { n: variants.length, seed: p.seed }) : T('exportSeeds', { from: p.seed, to: variants[variants.length - 1].params.seed });
  return T('exportCategory', { which, depth: p.depth, n: p.count, level: p.level, asked }).replace(/\//g, '//');
}

// An <idnumber> for each variant, its seed or name as the sheet names it:
// unique in the category (a name that is already one gets ' (2)') and at
// most ID_MAX characters (a longer seed keeps its last digits, which tell a
// range's seeds apart).
function idNumbers(variants) {
  const used = new Set();
  return variants.map((v) => {
    const base = variantName(v).slice(-ID_MAX);
    let id = base;
    for (let k = 2; used.has(id); k++) id = `${base} (${k})`;
    used.add(id);
    return id;
  });
}

// One question, its lines ending in a line end. Moodle takes anything like a
// tag out of a name and shows the rest as HTML: the name is written as HTML
// text, so that the bank shows it as typed.
function question(v, id, asked) {
  const name = v.name !== null ? variantName(v) : T('exportSeedName', { seed: v.seed });
  return [
    '  <question type="cloze">',
    `    <name><text>${xml(html(name))}</text></name>`,
    `    <questiontext format="html"><text>${cdata(questionText(v, asked))}</text></questiontext>`,
    '    <generalfeedback format="html"><text></text></generalfeedback>',
    '    <penalty>0.3333333</penalty>',
    '    <hidden>0</hidden>',
    `    <idnumber>${xml(id)}</idnumber>`,
    '  </question>',
    '',
  ].join('\n');
}

const bytes = (text) => new TextEncoder().encode(text).length;

// variants: [{seed, name, repeat, params, files, report, reorder}] (the store's
// variantRuns); request: {names, ...} as it was asked for; asked: 'hsp', ...
// Returns the Moodle XML files, [{name, text, from, to}] (the variants from
// .. to, counted from 0): hazard-sim-moodle.xml when the class fits in
// MAX_BYTES, else hazard-sim-moodle-<i>-of-<n>.xml, each the same category
// and then as many whole questions, in the class's order, as fit.
function files(variants, request, asked) {
  const head = [
    '<?xml version="1.0" encoding="UTF-8"?>',
    '<quiz>',
    '  <question type="category">',
    `    <category><text>${xml('$course$/top/' + category(variants, request, asked))}</text></category>`,
    '    <info format="html"><text></text></info>',
    '  </question>',
    '',
  ].join('\n');
  const tail = '</quiz>\n';
  const ids = idNumbers(variants);
  const parts = [];
  let part = null;
  variants.forEach((v, k) => {
    const text = question(v, ids[k], asked);
    const size = bytes(text);
    if (!part || part.size + size > MAX_BYTES) {
      part = { from: k, texts: [], size: bytes(head) + bytes(tail) };
      parts.push(part);
    }
    part.texts.push(text);
    part.size += size;
    part.to = k;
  });
  return parts.map((p, i) => ({
    name: parts.length === 1 ? 'hazard-sim-moodle.xml' : `hazard-sim-moodle-${i + 1}-of-${parts.length}.xml`,
    text: head + p.texts.join('') + tail,
    from: p.from,
    to: p.to,
  }));
}

module.exports = { MAX_BYTES, files, gap };
