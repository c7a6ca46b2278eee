// The run model: the one record of the current run that every view draws
// from, the page's events between views, and what both schedules hold in
// each cycle, worked out once from the simulator's run report.
(function (root) {
  'use strict';

  // ---- what a schedule holds, from the report alone ----

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

  // ---- the current run and the events between views ----

  const listeners = {};
  let current = null;

  // name: 'run' (detail: the current run, after every run or clearing),
  // 'pick' (a hazard or delay picked out, or null), 'cycle' (the stepper's
  // {which, cycle}, or null).
  function on(name, fn) {
    (listeners[name] = listeners[name] || []).push(fn);
  }

  function emit(name, detail) {
    for (const fn of listeners[name] || []) {
      try {
        fn(detail);
      } catch (e) {
        // One view's fault must not keep the others from drawing.
        if (root.console) root.console.error(e);
      }
    }
  }

  // run: {config, program, result} with result as hazardSim.run returns it
  // (its report null unless the status is 0), or null when there is no run.
  function setRun(run) {
    current = run;
    if (run && run.result && run.result.report) {
      run.report = run.result.report;
      run.written = schedule(run.report, 'written');
      run.corrected = schedule(run.report, 'corrected');
    } else if (run) {
      run.report = null;
    }
    emit('run', current);
  }

  const api = {
    instrText,
    instrLabel,
    schedule,
    occupant,
    on,
    emit,
    setRun,
    get current() {
      return current;
    },
    // sel: null, {type: 'hazard', instr, earlier, distance} or {type: 'delay', instr, earlier}.
    pick: (sel) => emit('pick', sel || null),
    // sel: null or {which: 'written' | 'corrected', cycle}.
    cycle: (sel) => emit('cycle', sel || null),
  };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.hazardRun = api;
})(this);
