// The store's part for the open exercise's life: opened from the setup or a
// link (waiting for the simulator if need be), its answers kept in the
// browser, checked, its results shown, closed; its message.
// Gives create.
'use strict';

const exerciseGen = require('../exercise/gen.js');
const exerciseCheck = require('../exercise/check.js');
const exerciseLink = require('../exercise/link.js');

const exerciseKey = (fragment) => 'exercise.' + exerciseGen.hash32(fragment).toString(36);

// inner: the store's {state, emit, kept, generator, reorderKey, samePair, run,
// recordOf, orderRun, show, notice, toAddress}; generator() is the
// page's one exercise generator, recordOf(config, program) a run of two
// files (it throws when the simulator could not run them), show(record)
// makes record the run the results draw.
function create(inner) {
  const { state, emit, kept } = inner;
  let waiting = null; // an exercise asked for before the simulator was ready

  function sayExercise(key, params, consoleText) {
    state.exerciseMessage = key ? { key, params: params || {}, console: consoleText || '' } : null;
    emit('exercise');
  }

  // request: {asked, source: {kind: 'generated', seed, depth, count,
  // level}} or {asked, source: {kind: 'files'}} with config and program,
  // or without them for the editors' files. from: 'setup' (the address
  // then shows the exercise's link) or 'link' (it holds it already).
  function openExercise(request, from) {
    if (!state.ready) {
      waiting = { request, from };
      state.opening = true;
      emit('exercise');
      return;
    }
    const asked = exerciseCheck.readAsked(request.asked);
    if (asked === null) return from === 'link' ? exerciseLinkError('badExAsked') : sayExercise('askSome');
    let files;
    let source = request.source;
    if (source.kind === 'generated') {
      const generator = inner.generator();
      const values = Object.assign({}, source, { asked });
      try {
        files = generator.exercise(values);
      } catch (e) {
        return from === 'link' ? exerciseLinkError('badExParams', { e: e.why }) : sayExercise(e.why.key, e.why.params);
      }
      source = Object.assign({ kind: 'generated' }, generator.readParams(values));
    } else if ('config' in request) {
      files = { config: request.config, program: request.program };
    } else {
      if (state.stale) inner.run();
      files = { config: state.files.config, program: state.files.program };
    }
    let record = state.run;
    if (!record || state.stale || !inner.samePair(record, files)) {
      try {
        record = inner.recordOf(files.config, files.program);
      } catch (e) {
        return sayExercise('simFail', { e: e && e.message ? e.message : String(e) });
      }
    }
    if (!record.report) return sayExercise('noRunEx', { s: record.result.status }, record.result.console);
    let reorder = null;
    if (asked.includes('r')) {
      if (record.report.instructions.length < 3) return sayExercise('badCountR');
      reorder = inner.reorderKey(files.config, record.report);
      if (!reorder.exact) return sayExercise('reorderUnproved');
      reorder.tried = {};
    }
    const ex = { asked, source, config: files.config, program: files.program, run: record, from, reorder };
    ex.fragment = exerciseLink.fragment(ex);
    const answers = kept.get(exerciseKey(ex.fragment));
    ex.answers = answers && typeof answers === 'object' ? answers : {};
    ex.checked = null;
    ex.revealed = false;
    state.exercise = ex;
    state.exerciseMessage = null;
    inner.show(null);
    emit('exercise', 'shown');
    if (from !== 'link') inner.toAddress(ex.fragment, 'push');
  }

  // The simulator is ready: the exercise asked for before, if any, opens.
  function openWaiting() {
    if (!waiting) return;
    const w = waiting;
    waiting = null;
    state.opening = false;
    openExercise(w.request, w.from);
  }

  // A fault in an exercise link, said where the page opens (over the
  // editors) and in the exercise box.
  function exerciseLinkError(key, params) {
    if (state.exercise) closeExercise('link');
    inner.notice(key, params);
    sayExercise(key, params);
  }

  function answer(id, value) {
    const ex = state.exercise;
    if (!ex) return;
    ex.answers[id] = String(value);
    const refused = kept.set(exerciseKey(ex.fragment), ex.answers) === null;
    if (refused !== Boolean(state.exerciseMessage && state.exerciseMessage.key === 'keptNoAnswers')) sayExercise(refused ? 'keptNoAnswers' : null);
  }

  // Checks the answer as it stands, and shows the results.
  function checkAnswer() {
    const ex = state.exercise;
    if (!ex) return;
    ex.checked = Object.assign({}, ex.answers);
    kept.set(exerciseKey(ex.fragment), ex.answers);
    if (ex.reorder) {
      const order = exerciseCheck.givenOrder(ex.run.report, ex.checked.order);
      const text = order.join(' ');
      if (!(text in ex.reorder.tried)) ex.reorder.tried[text] = inner.orderRun(ex.config, ex.run.report, order).report.bubbles;
    }
    emit('exercise');
    reveal();
  }

  // Shows the exercise's results: its run's console, diagrams and views.
  function reveal() {
    const ex = state.exercise;
    if (!ex || ex.revealed) return;
    ex.revealed = true;
    inner.show(ex.run);
    emit('exercise', 'shown');
  }

  // from: 'setup' (the exercise's own button: the address forgets its
  // link) or 'link' (the address no longer holds it).
  function closeExercise(from) {
    if (!state.exercise) return;
    state.exercise = null;
    state.exerciseMessage = null;
    inner.show(state.run);
    emit('exercise', 'shown');
    if (from !== 'link') inner.toAddress('', 'replace');
  }

  return { openExercise, openWaiting, exerciseLinkError, answer, checkAnswer, reveal, closeExercise };
}

module.exports = { create };
