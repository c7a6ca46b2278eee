// What the teaching views share: a delay's arithmetic worked out from the run
// report, and the words for instructions, hazard kinds and delays.
// Gives registers, kindText, shownText, dependWriters, dependLeft, dependWhy, dependText, whyWaits, delayOf, delayText.
'use strict';

const model = require('./schedule.js');
const T = require('../words/words.js').t;

function registers(list) {
  return [...new Set(list)].join(T('and'));
}

// One kind of hazard between the later and the earlier instruction, in words.
function kindText(k, later, earlier) {
  return T('kind' + k.kind, { r: registers(k.registers), later, earlier });
}

// What the table prints for a hazard: "WAW, with R3 in DEPEND".
function shownText(h) {
  return T('shownAs', { k: h.shown.kind, regs: h.shown.registers.join(',') });
}

// The registers DEPEND prints for a hazard, each with the kind whose check
// wrote it there: the checks write their matches from the first place on,
// each over the one before (RAW, then WAR, then WAW), so a place can keep a
// register of a kind the table does not show. [{register, kind}]
function dependWriters(h) {
  return h.shown.registers.map((register, place) => {
    let kind = null;
    for (const k of h.kinds) if (k.registers.length > place) kind = k.kind;
    return { register, kind };
  });
}

// The registers DEPEND prints that the shown kind's check did not write. [{register, kind}]
const dependLeft = (h) => dependWriters(h).filter((w) => w.kind !== h.shown.kind);

// Where DEPEND prints more than the shown kind's registers, which are the
// shown kind's and where each other one comes from ("the WAR is on R2; R32
// is left from the RAW check"); else ''.
function dependWhy(h) {
  const left = dependLeft(h);
  if (!left.length) return '';
  const own = h.kinds.find((k) => k.kind === h.shown.kind).registers;
  return T('dependWhy', {
    k: h.shown.kind,
    own: registers(own),
    left: left.map((w) => T('dependFrom', { r: w.register, k: w.kind })).join(T('and')),
  });
}

// Where DEPEND prints more than the shown kind's registers, what it prints
// and where each other register comes from; else ''.
function dependText(h) {
  const why = dependWhy(h);
  return why && T('dependLeft', { regs: h.shown.registers.join(','), k: h.shown.kind, why });
}

// Why a WAR or a WAW between the later and the earlier instruction makes
// the later one wait, in this model, with the run's depth: one sentence
// for each of the two kinds that holds, else ''.
function whyWaits(h, later, depth) {
  return h.kinds
    .filter((k) => k.kind !== 'RAW')
    .map((k) => T('why' + k.kind, { r: registers(k.registers), i: later, e: h.earlier, D: depth, D1: depth - 1 }))
    .join('');
}

// How instruction i came to its entry cycle in the corrected schedule, or
// null when it has no hazard (it then enters right after what came before):
//   earlier, distance  its nearest hazard
//   entered            the cycle the earlier one entered
//   need               the first cycle it may enter: entered + depth - 1
//   before             the bubbles inserted before it, ahead of its own
//   would              the cycle it would enter without its own bubbles
//   delay              its bubbles: need - would, or 0 when that is not above 0
function delayOf(report, i) {
  const ins = report.instructions[i];
  if (!ins || !ins.nearest) return null;
  const { earlier, distance } = ins.nearest;
  const entered = report.instructions[earlier].entry;
  const need = entered + report.depth - 1;
  const would = ins.entry - ins.delay;
  const hazard = ins.hazards.find((h) => h.distance === distance) || null;
  return {
    instr: i,
    earlier,
    distance,
    hazard,
    entered,
    need,
    before: would - i,
    would,
    delay: Math.max(0, need - would),
  };
}

// The arithmetic of a delay, with the run's numbers.
function delayText(report, d) {
  const ins = report.instructions;
  const later = model.instrLabel(ins[d.instr]);
  const earlier = model.instrLabel(ins[d.earlier]);
  const kinds = d.hazard ? d.hazard.kinds.map((k) => T('kindOn', { k: k.kind, r: registers(k.registers) })).join(', ') : '';
  const head = T('delayHead', {
    later, earlier, d: d.distance, kinds: kinds ? ': ' + kinds : '', e: d.earlier, entered: d.entered,
    depth: report.depth, need: d.need, i: d.instr, would: d.would, before: d.before,
  });
  return T(d.delay > 0 ? 'delayWait' : 'delayNone', { head, need: d.need, would: d.would, n: d.delay });
}

module.exports = { registers, kindText, shownText, dependWriters, dependLeft, dependWhy, dependText, whyWaits, delayOf, delayText };
