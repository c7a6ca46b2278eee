// What a cycle of either schedule holds and says: the stages' occupants,
// what enters in that cycle and the words for it, for the stepper.
// Gives strip, cycleEvent, cycleText.
'use strict';

const model = require('./schedule.js');
const teach = require('./teach.js');
const T = require('../words/words.js').t;

// Stages 1 .. depth in a cycle: instr is an index, -1 for a bubble (with
// waitsFor, the instruction behind it) or null for nothing.
function strip(sched, cycle) {
  const out = [];
  for (let s = 1; s <= sched.depth; s++) {
    const o = model.occupant(sched, cycle, s);
    if (!o) out.push({ stage: s, instr: null });
    else if (o.bubble) out.push({ stage: s, instr: -1, waitsFor: o.waitsFor });
    else out.push({ stage: s, instr: o.instr });
  }
  return out;
}

// What enters in a cycle of one schedule of a run:
//   {type: 'instr', instr, conflicts, delay}: conflicts are its hazards whose
//     earlier instruction entered fewer than depth - 1 cycles before it, each
//     with `ago` (how many cycles before); delay its arithmetic in the
//     corrected schedule (null in the one as written, or without a hazard);
//   {type: 'bubble', instr, ordinal, of, delay}: the ordinal-th of the `of`
//     bubbles that instruction instr waits behind;
//   {type: 'none'}: nothing enters.
function cycleEvent(run, which, cycle) {
  const sched = run[which];
  const report = run.report;
  const e = sched.entered[cycle];
  if (e === undefined) return { type: 'none' };
  if (e === -1) {
    const i = sched.waitsFor[cycle];
    const own = sched.bubbles.filter((c) => sched.waitsFor[c] === i);
    return { type: 'bubble', instr: i, ordinal: own.indexOf(cycle) + 1, of: own.length, delay: teach.delayOf(report, i) };
  }
  const conflicts = [];
  for (const h of report.instructions[e].hazards) {
    const ago = sched.entries[e] - sched.entries[h.earlier];
    if (ago < report.depth - 1) conflicts.push(Object.assign({ ago }, h));
  }
  const delay = which === 'corrected' ? teach.delayOf(report, e) : null;
  return { type: 'instr', instr: e, conflicts, delay };
}

// The words for what enters in a cycle.
function cycleText(report, ev, cycle) {
  const ins = report.instructions;
  const lastStage = report.depth;
  if (ev.type === 'none') return T('cycNone', { s: lastStage });
  const label = model.instrLabel(ins[ev.instr]);
  const d1 = report.depth - 1;
  if (ev.type === 'bubble')
    return T('cycBubble', { which: ev.of > 1 ? T('bubbleOf', { k: ev.ordinal, n: ev.of }) : T('bubbleOnly'), label }) +
      teach.delayText(report, ev.delay);
  let text = T('cycIn', { label });
  for (const c of ev.conflicts) {
    const kinds = c.kinds.map((k) => teach.kindText(k, ev.instr, c.earlier)).join('; ');
    text += T('cycConflict', { e: model.instrLabel(ins[c.earlier]), ago: c.ago, depth: report.depth, d1, kinds });
    const why = teach.dependWhy(c);
    if (why) text += T('cycDepend', { regs: c.shown.registers.join(','), k: c.shown.kind, why });
  }
  const d = ev.delay;
  if (d && d.delay > 0) text += T('cycWaited', { n: d.delay, e: d.earlier, entered: d.entered, d1 });
  else if (d) text += T('cycNoWait', { e: d.earlier, entered: d.entered, ago: cycle - d.entered, d1 });
  else if (ev.conflicts.length === 0 && ev.instr > 0) text += T('cycFree');
  return text;
}

module.exports = { strip, cycleEvent, cycleText };
