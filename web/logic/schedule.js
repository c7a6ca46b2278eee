// What a run holds, from the simulator's run report alone: an instruction's
// text, what each of the two schedules puts into the pipeline in each cycle,
// and the run record that the store keeps and every view draws from.
// Gives instrText, instrLabel, schedule, occupant, runRecord.
'use strict';

// "MUL R3,R3,R1": an instruction as its line reads, without extra spaces.
function instrText(ins) {
  return ins.opcode + ' ' + [ins.dest].concat(ins.sources).join(',');
}

// "3: MUL R3,R3,R1", with the 0-based line index the tables print.
function instrLabel(ins) {
  return ins.index + ': ' + instrText(ins);
}

// One schedule of a report: 'written' (instruction i enters in cycle i) or
// 'corrected' (it enters in its entry cycle, behind its bubbles).
//   entries[i]   the cycle instruction i enters
//   entered[c]   what enters in cycle c: an instruction index, -1 for a
//                bubble, undefined after the last entry
//   waitsFor[c]  for a bubble's cycle, the instruction that waits behind it
//   bubbles      the bubbles' cycles, in order
//   lastCycle    the last cycle in which anything is in the pipeline
function schedule(report, which) {
  const n = report.instructions.length;
  const entries = report.instructions.map((ins) => (which === 'corrected' ? ins.entry : ins.index));
  const entered = [];
  const waitsFor = [];
  const bubbles = [];
  report.instructions.forEach((ins, i) => {
    const delay = which === 'corrected' ? ins.delay : 0;
    for (let b = delay; b >= 1; b--) {
      const c = entries[i] - b;
      entered[c] = -1;
      waitsFor[c] = i;
      bubbles.push(c);
    }
    entered[entries[i]] = i;
  });
  const lastCycle = n === 0 ? -1 : entries[n - 1] + report.depth - 1;
  return { which, depth: report.depth, entries, entered, waitsFor, bubbles, lastCycle };
}

// What is in stage s (1 .. depth) in cycle c: {instr} for an instruction,
// {bubble, waitsFor} for a bubble, null for nothing.
function occupant(sched, cycle, stage) {
  const c = cycle - stage + 1;
  if (c < 0 || !(c in sched.entered)) return null;
  const e = sched.entered[c];
  return e === -1 ? { bubble: true, waitsFor: sched.waitsFor[c] } : { instr: e };
}

// The record of one run: the files it ran on, what hazardSim.run gave
// (result), its report (null unless the run completed) and, with a report,
// both schedules worked out once.
function runRecord(config, program, result) {
  const report = result && result.report ? result.report : null;
  return Object.freeze({
    config,
    program,
    result,
    report,
    written: report ? schedule(report, 'written') : null,
    corrected: report ? schedule(report, 'corrected') : null,
  });
}

module.exports = { instrText, instrLabel, schedule, occupant, runRecord };
