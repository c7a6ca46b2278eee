// The store's part for reordering the editors' program: the order of its
// instructions, the simulator's run of the program in that order, the last
// move refused and, once asked for, the best order; the best order of any
// two files for scripts. Gives create.
'use strict';

const reorder = require('../logic/reorder.js');
const { bestOrder } = require('../logic/best-order.js');
const { statusText } = require('../logic/faults.js');

// inner: the store's {state, emit, recordOf, setFiles}; setFiles(files,
// how) replaces the editors' files as files.js does.
function create(inner) {
  const { state, emit } = inner;

  // The run of record's program in order, with its config.
  function runOf(record, order) {
    if (order.every((i, p) => i === p)) return record;
    return inner.recordOf(record.config, reorder.programText(record.report.instructions, order));
  }

  // state.reorder for the editors' run as it is written: {order, record
  // (the run of that order), refusal (what the last move would have
  // broken, as reorder.breach gives it), moved ({instr, to}: the last move
  // made), best}; null unless the run is complete.
  function written() {
    const run = state.run;
    if (!run || !run.report) return null;
    return { order: run.report.instructions.map((ins) => ins.index), record: run, refusal: null, moved: null, best: null };
  }

  // The editors' run changed (the caller tells 'run').
  function follow() {
    state.reorder = written();
  }

  function move(from, to) {
    const r = state.reorder;
    if (!r || !(from in r.order) || !(to in r.order) || from === to) return;
    r.refusal = reorder.moveBreach(state.run.report.instructions, r.order, from, to);
    r.moved = r.refusal ? null : { instr: r.order[from], to };
    if (!r.refusal) {
      r.order = reorder.moved(r.order, from, to);
      r.record = runOf(state.run, r.order);
    }
    emit('reorder');
  }

  function reset() {
    if (!state.reorder) return;
    state.reorder = Object.assign(written(), { best: state.reorder.best });
    emit('reorder');
  }

  // {order, bubbles, performance, exact, bound} of a complete run; bubbles
  // and performance are those of the simulator's run of that order.
  function bestOf(record) {
    const found = bestOrder(record.report.instructions, record.report.depth);
    const report = runOf(record, found.order).report;
    return { order: found.order, bubbles: report.bubbles, performance: report.performance, exact: found.exact, bound: found.bound };
  }

  function showBest() {
    if (!state.reorder || state.reorder.best) return;
    state.reorder.best = bestOf(state.run);
    emit('reorder');
  }

  // Puts the program in this order into the program editor; what it
  // replaces goes on the way back.
  function apply() {
    if (state.reorder) inner.setFiles({ program: reorder.programText(state.run.report.instructions, state.reorder.order) }, 'reorder');
  }

  // The best order of {config, program}; throws an Error with the page's
  // status line and the console's messages for files that do not run to the end.
  function best(files) {
    const record = inner.recordOf(files.config, files.program);
    if (!record.report) throw new Error(statusText(record, state.limits) + '\n' + record.result.console.trim());
    return bestOf(record);
  }

  return { follow, move, reset, showBest, apply, best };
}

module.exports = { create };
