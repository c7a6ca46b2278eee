// The store's part for the editors' program reordered: the order of its
// instructions, the simulator's run of the program in that order, the last
// move refused, the best order once asked for; and the best order of any
// two files, for scripts. Gives create.
'use strict';

const reorder = require('../logic/reorder.js');
const { bestOrder } = require('../logic/best-order.js');
const { statusText } = require('../logic/faults.js');

// inner: the store's {state, emit, recordOf, orderRun, setFiles}.
function create(inner) {
  const { state, emit } = inner;
  const text = (record, order) => reorder.programText(record.report.instructions, order);
  const runOf = (record, order) => inner.orderRun(record.config, record.report, order);

  // state.reorder for the editors' run as written, null unless complete:
  // {order, record (the run of that order), refusal (what the last move
  // would have broken, as reorder.breach gives it), moved ({instr, to}: the
  // last move made), best}. The caller tells 'run'.
  function follow(best = null) {
    const run = state.run;
    state.reorder = run && run.report && { order: [...run.report.instructions.keys()], record: run, refusal: null, moved: null, best };
  }

  function moveOrder(from, to) {
    const r = state.reorder;
    if (!r || !(from in r.order) || !(to in r.order)) return;
    r.refusal = reorder.moveBreach(state.run.report.instructions, r.order, from, to);
    r.moved = r.refusal ? null : { instr: r.order[from], to };
    if (r.moved) r.record = runOf(state.run, (r.order = reorder.moved(r.order, from, to)));
    emit('reorder');
  }

  function resetOrder() {
    if (!state.reorder) return;
    follow(state.reorder.best);
    emit('reorder');
  }

  // {order, bubbles, performance, exact, bound}: bubbles and performance
  // those of the simulator's run of the order found.
  function bestOf(record) {
    const { order, exact, bound } = bestOrder(record.report.instructions, record.report.depth);
    const { bubbles, performance } = runOf(record, order).report;
    return { order, bubbles, performance, exact, bound };
  }

  function showBest() {
    if (!state.reorder || state.reorder.best) return;
    state.reorder.best = bestOf(state.run);
    emit('reorder');
  }

  // Puts the program in this order into the program editor; what it
  // replaces goes on the way back.
  function applyOrder() {
    if (state.reorder) inner.setFiles({ program: text(state.run, state.reorder.order) }, 'reorder');
  }

  // The best order of {config, program}; for files that do not run to the
  // end, throws an Error with the page's status line and the console's messages.
  function best(files) {
    const record = inner.recordOf(files.config, files.program);
    if (!record.report) throw new Error(statusText(record, state.limits) + '\n' + record.result.console.trim());
    return bestOf(record);
  }

  return { follow, actions: { moveOrder, resetOrder, showBest, applyOrder, best } };
}

module.exports = { create };
