// Grading an exercise: from the run report, the cells of the answer, what
// each takes as right and its key; from the answers typed, a verdict for
// every cell, what was answered, the score and, for a wrong cell, the mistake
// it names and what the table shows. Pure functions; under Node too.
// Gives KINDS, NONE_WORDS, readAsked, cellId, distances, gridHead, cells, readKind,
// readPerformance, givenOrder, reorderKey, accepted, judge, generalReason, grade, keyText, keyAnswers.
'use strict';

const model = require('../logic/schedule.js');
const teach = require('../logic/teach.js');
const { breach, breachWords } = require('../logic/reorder.js');
const { bestOrder } = require('../logic/best-order.js');
const T = require('../words/words.js').t;

// The kinds a hazard cell takes besides 'none', in the order the analysis
// checks them: where several hold, the table shows the last.
const KINDS = ['RAW', 'WAR', 'WAW'];
// What reads as 'none' in a kind or registers cell, in any case.
const NONE_WORDS = ['NONE', 'NICIUNUL', 'NIMIC', '-'];

// 'hsp', 'ph', ...: the parts asked, in the order h, s, p, r (the hazards
// of the analysis table, the correction table's IN, the performance figure,
// the order with the fewest bubbles); null for any other letter, a letter
// twice or none.
function readAsked(text) {
  if (typeof text !== 'string' || !/^[hspr]{1,4}$/.test(text) || new Set(text).size !== text.length) return null;
  return 'hspr'.split('').filter((c) => text.includes(c)).join('');
}

// A cell's name in the answers: 'kind:3:1', 'registers:3:1', 'entry:3',
// 'performance', 'order', 'fewest'.
const id = (answer, instr, distance) =>
  instr == null ? answer : answer === 'entry' ? `entry:${instr}` : `${answer}:${instr}:${distance}`;

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
// hazard at that distance or null; the order's and the fewest bubbles'
// with reorder, the reordering's key (reorderKey, with tried: {an order
// as answered: its bubbles by the simulator}).
function cells(report, asked, reorder) {
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
  if (asked.includes('r')) out.push({ id: 'order', answer: 'order', reorder }, { id: 'fewest', answer: 'fewest', reorder });
  return out;
}

// ---- reordering: the key and an order given ----

// An order answered ('2 0 1 3': the instructions' numbers as written, in
// their new order), or null when it does not name each number once.
function readOrder(report, text) {
  const order = plain(text).split(/\s+/).map(Number);
  const n = report.instructions.length;
  return order.length === n && order.every((i, k) => Number.isInteger(i) && i >= 0 && i < n && order.indexOf(i) === k) ? order : null;
}

// The order an answer stands for: the one given, else as written.
const givenOrder = (report, text) => readOrder(report, text) || report.instructions.map((ins) => ins.index);

// The reordering's key: one best order, its bubbles as bubblesOf(order)
// gives them (the simulator's run of the program in that order), and
// whether the search proved them the fewest: {order, fewest, exact, ...}.
function reorderKey(report, bubblesOf) {
  const best = bestOrder(report.instructions, report.depth);
  return Object.assign(best, { fewest: bubblesOf(best.order) });
}

// ---- reading an answer: any text is read, blank is not answered ----

const plain = (text) => String(text == null ? '' : text).trim();

// 'none', 'RAW', 'WAR', 'WAW', or null: not answered (nothing chosen, or no choice).
function readKind(text) {
  const t = plain(text).toUpperCase();
  if (NONE_WORDS.includes(t)) return 'none';
  return KINDS.includes(t) ? t : null;
}

// 'r1, R4 r1' -> ['R1', 'R4']: the set of registers named; 'none' or
// blank -> [].
function readRegisters(text) {
  const t = plain(text).toUpperCase();
  if (NONE_WORDS.includes(t)) return [];
  const names = t.split(/[\s,;]+/).filter(Boolean);
  return [...new Set(names.map((n) => n.replace(/^R0*(?=[0-9])/, 'R')))].sort();
}

function readEntry(text) {
  const t = plain(text);
  return /^[0-9]{1,9}$/.test(t) ? Number(t) : null;
}

// A percentage as typed ('52,625 %', '40', '.5') rounded half up at two
// decimals, on its digits: '52.63', '40.00', '0.50'; null when it is no number.
function readPerformance(text) {
  const m = /^([0-9]*)(?:[.,]([0-9]*))?%?$/.exec(String(text == null ? '' : text).replace(/\s+/g, ''));
  if (!m || m[1] + (m[2] || '') === '') return null;
  const decimals = (m[2] || '').padEnd(3, '0');
  let hundredths = BigInt((m[1] || '0') + decimals.slice(0, 2));
  if (decimals[2] >= '5') hundredths += 1n;
  const digits = hundredths.toString().padStart(3, '0');
  return digits.slice(0, -2) + '.' + digits.slice(-2);
}

// ---- what a cell takes as right ----

const unique = (list) => [...new Set(list)];
const same = (a, b) => [...a].sort().join() === [...b].sort().join();
const ownRegisters = (h) => unique(h.kinds.find((k) => k.kind === h.shown.kind).registers);

// What a cell takes as right: kind: {kind} ('none' where the table shows
// nothing); registers: {sets}, the registers of the kind shown and those
// DEPEND prints (one set when they are the same; [[]] for none); entry:
// {entry}; performance: {performance}, the printed figure; order and
// fewest: the reordering's key.
function accepted(report, cell) {
  if (cell.reorder) return cell.reorder;
  const h = cell.hazard;
  if (cell.answer === 'kind') return { kind: h ? h.shown.kind : 'none' };
  if (cell.answer === 'registers') {
    if (!h) return { sets: [[]] };
    const own = ownRegisters(h);
    const depend = unique(h.shown.registers);
    return { sets: same(own, depend) ? [own] : [own, depend] };
  }
  if (cell.answer === 'entry') return { entry: report.instructions[cell.instr].entry };
  return { performance: report.performance };
}

// ---- why a cell is wrong: the mistake named, then what the tables show ----

const label = (report, i) => model.instrLabel(report.instructions[i]);

// What the analysis table shows at the cell and why.
function kindShown(report, cell) {
  const h = cell.hazard;
  if (!h) return T('whyNoHz', { d: cell.distance, a: label(report, cell.instr), b: label(report, cell.instr - cell.distance) });
  const kinds = h.kinds.map((k) => teach.kindText(k, cell.instr, cell.instr - cell.distance)).join('; ');
  const why = teach.dependWhy(h);
  return T('whyKind', { shown: teach.shownText(h), kinds }) + (why ? T('whyDepend', { why }) : '') + (h.kinds.length > 1 ? T('whyLast') : '');
}

// A kind marked where the table shows nothing, when the instruction has that
// kind (or another) with an instruction at another distance.
function elsewhere(report, cell, given) {
  const others = report.instructions[cell.instr].hazards.filter((h) => h.distance !== cell.distance);
  const ofKind = others.filter((h) => h.kinds.some((k) => k.kind === given));
  const h = (ofKind.length ? ofKind : others)[0];
  if (!h) return '';
  const k = ofKind.length ? h.kinds.find((x) => x.kind === given) : h.kinds.find((x) => x.kind === h.shown.kind);
  return T('whyElsewhere', { k: k.kind, r: teach.registers(k.registers), e: label(report, cell.instr - h.distance), d2: h.distance, d: cell.distance });
}

function kindReason(report, cell, given) {
  const h = cell.hazard;
  if (given === null) return T('notAnswered') + kindShown(report, cell);
  if (!h) return kindShown(report, cell) + elsewhere(report, cell, given);
  if (given === 'none') return T('missed') + kindShown(report, cell);
  if (h.kinds.some((k) => k.kind === given)) return T('whyNotLast', { g: given, k: h.shown.kind }) + kindShown(report, cell);
  return T('whyNotKind', { g: given }) + kindShown(report, cell);
}

// DEPEND's places, each with the check that wrote it, and the shown kind's own.
function dependPlaces(h) {
  const places = teach.dependWriters(h).map((w, p) =>
    T(w.kind === h.shown.kind ? 'placeOwn' : 'placeLeft', { k: w.kind, r: w.register, p: p + 1 }));
  return T('dependPrints', { regs: h.shown.registers.join(','), places: places.join(T('and')), k: h.shown.kind, own: teach.registers(ownRegisters(h)) });
}

function registersShown(cell) {
  const h = cell.hazard;
  if (!h) return T('whyNoRegs', { d: cell.distance });
  const own = ownRegisters(h);
  if (same(own, unique(h.shown.registers))) return T('whyRegs', { r: h.shown.registers.join(',') });
  return T('whyRegsTwo', { own: own.join(','), k: h.shown.kind, regs: unique(h.shown.registers).join(',') }) + dependPlaces(h);
}

// The given registers that only another kind holding at h has, by kind: [{kind, regs}].
function othersGiven(h, given) {
  const own = ownRegisters(h);
  return h.kinds
    .filter((k) => k.kind !== h.shown.kind)
    .map((k) => ({ kind: k.kind, regs: unique(k.registers).filter((r) => given.includes(r) && !own.includes(r)) }))
    .filter((k) => k.regs.length);
}

// given: the registers read, or null when the kind is not answered.
function registersReason(report, cell, given, text) {
  const h = cell.hazard;
  if (given === null) return (plain(text) ? T('regsNoKind') : T('notAnswered')) + registersShown(cell);
  if (h && given.length === 0) return T('missed') + registersShown(cell);
  const other = h && h.kinds.find((k) => k.kind !== h.shown.kind && same(unique(k.registers), given));
  if (other) return T('regsOther', { k: other.kind, shown: h.shown.kind }) + registersShown(cell);
  const mixed = h ? othersGiven(h, given) : [];
  const list = mixed.map((m) => T('regsOf', { r: m.regs.join(','), n: m.regs.length, k: m.kind })).join(T('and'));
  return (mixed.length ? T('regsMixed', { list, n: mixed.length, shown: h.shown.kind }) : '') + registersShown(cell);
}

function entryShown(report, i) {
  const text = T('whyEntry', { e: report.instructions[i].entry });
  const d = teach.delayOf(report, i);
  if (d) return text + teach.delayText(report, d);
  return text + (i === 0 ? T('whyFirst') : T('whyFree', { p: i - 1 }));
}

function entryReason(report, i, text) {
  if (!plain(text)) return T('notAnswered') + entryShown(report, i);
  const given = readEntry(text);
  if (given === null) return T('notCycle') + entryShown(report, i);
  const off = given - report.instructions[i].entry;
  return T(off > 0 ? 'entryLate' : 'entryEarly', { n: Math.abs(off) }) + entryShown(report, i);
}

function performanceShown(report) {
  const n = report.instructions.length;
  return T('whyPerf', { p: report.performance, D: report.depth, n, B: report.bubbles, w: report.cycles.written, c: report.cycles.corrected });
}

function performanceReason(report, text) {
  if (!plain(text)) return T('notAnswered') + performanceShown(report);
  const given = readPerformance(text);
  if (given === null) return T('notNumber') + performanceShown(report);
  return (given === '100.00' ? T('perfNoBubbles') : '') + performanceShown(report);
}

const fewestShown = (report, key) => T('whyFewest', { f: key.fewest, order: key.order.join(' '), w: report.bubbles });

// What the tables show at a cell and why, the mistake left out: the reason
// for any wrong answer.
function generalReason(report, cell) {
  if (cell.answer === 'kind') return kindShown(report, cell);
  if (cell.answer === 'registers') return registersShown(cell);
  if (cell.answer === 'entry') return entryShown(report, cell.instr);
  if (cell.answer === 'fewest') return fewestShown(report, cell.reorder);
  return performanceShown(report);
}

// One cell's answer judged on its own (a registers cell as if its kind
// were answered): {answered, right, reason}, reason only when not right.
// A wrong order's reason is the first dependence it breaks, else how many
// bubbles more than the fewest it needs.
function judge(report, cell, text) {
  const key = accepted(report, cell);
  let answered = plain(text) !== '';
  let right;
  let why;
  if (cell.answer === 'kind') {
    const given = readKind(text);
    answered = given !== null;
    right = given === key.kind;
    why = () => kindReason(report, cell, given);
  } else if (cell.answer === 'registers') {
    const given = readRegisters(text);
    answered = true;
    right = key.sets.some((set) => same(set, given));
    why = () => registersReason(report, cell, given, text);
  } else if (cell.answer === 'entry') {
    right = readEntry(text) === key.entry;
    why = () => entryReason(report, cell.instr, text);
  } else if (cell.answer === 'order') {
    answered = readOrder(report, text) !== null;
    const order = givenOrder(report, text);
    const b = breach(report.instructions, order);
    const bubbles = key.tried[order.join(' ')];
    right = !b && bubbles === key.fewest;
    why = () => (answered ? '' : T('notAnswered')) + (b
      ? breachWords(report.instructions, b)
      : T('orderMore', { b: bubbles, n: bubbles - key.fewest, f: key.fewest }));
  } else if (cell.answer === 'fewest') {
    right = readEntry(text) === key.fewest;
    why = () => (!answered ? T('notAnswered') : readEntry(text) === null ? T('notNumber') : '') + fewestShown(report, key);
  } else {
    right = readPerformance(text) === key.performance;
    why = () => performanceReason(report, text);
  }
  return right ? { answered, right } : { answered, right, reason: why() };
}

// answers: {cell id: text}, a missing one counting as blank (the order as
// written); reorder: as cells takes it. A registers cell is answered once
// its kind cell is. Returns {cells: [{...cell, answered, right, key,
// reason}], right, answered, total}; reason only on wrong cells.
function grade(report, asked, answers, reorder) {
  const given = (cellId) => (answers && answers[cellId] != null ? String(answers[cellId]) : '');
  const out = cells(report, asked, reorder).map((c) => {
    let verdict;
    if (c.answer === 'registers' && readKind(given(id('kind', c.instr, c.distance))) === null)
      verdict = { answered: false, right: false, reason: registersReason(report, c, null, given(c.id)) };
    else verdict = judge(report, c, given(c.id));
    return Object.assign({}, c, { key: keyText(report, c) }, verdict);
  });
  const count = (what) => out.filter((c) => c[what]).length;
  return { cells: out, right: count('right'), answered: count('answered'), total: out.length };
}

// The key of a cell as the table prints it: a kind or 'none', DEPEND's
// registers ('' for none), the entry cycle, the figure; a best order's
// numbers apart by spaces, the fewest bubbles.
function keyText(report, cell) {
  if (cell.answer === 'kind') return cell.hazard ? cell.hazard.shown.kind : 'none';
  if (cell.answer === 'registers') return cell.hazard ? cell.hazard.shown.registers.join(',') : '';
  if (cell.answer === 'entry') return String(report.instructions[cell.instr].entry);
  if (cell.reorder) return String(cell.answer === 'order' ? cell.reorder.order.join(' ') : cell.reorder.fewest);
  return report.performance;
}

// The answers that score full marks: each cell's key.
function keyAnswers(report, asked, reorder) {
  const out = {};
  for (const c of cells(report, asked, reorder)) out[c.id] = keyText(report, c);
  return out;
}

module.exports = {
  KINDS, NONE_WORDS, readAsked, cellId: id, distances, gridHead, cells, readKind, readPerformance,
  givenOrder, reorderKey, accepted, judge, generalReason, grade, keyText, keyAnswers,
};
