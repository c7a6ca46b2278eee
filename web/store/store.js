// The page's one state and the only code that runs the simulator. Views read
// `state`, change it only through the actions below and hear what changed
// through `on`. The runs are its own; its parts, made here, keep the editors'
// files (files.js), the open exercise (exercise.js), a class (class.js) and
// the editors' program reordered (reorder.js).
// Gives createStore.
'use strict';

const schedule = require('../logic/schedule.js');
const shareLinks = require('../logic/share.js');
const { programText } = require('../logic/reorder.js');
const sweep = require('../logic/sweep.js');
const storage = require('./storage.js');
const filesPart = require('./files.js');
const exercisePart = require('./exercise.js');
const classPart = require('./class.js');
const reorderPart = require('./reorder.js');
const words = require('../words/words.js');

const EDIT_PAUSE = 80; // ms of quiet typing before the run: the run and drawing take the rest of 300 ms

// The events, one for each part of the state that can change:
//   ready     the simulator has loaded (ready, limits), failed to or broke in a run (failure)
//   files     the editors' files (files, example, back, stale)
//   run       the run of the editors' files (run), or a run that failed (failure)
//   shown     the run the results draw (shown), also when an exercise hides or shows them
//   exercise  the open exercise, its answers and checks, its message
//   setup     the exercise setup's values
//   sheet     the class sheet
//   export    why the class's files could not be made, or the question bank's files
//   lang      the language
//   pick      the hazard or delay picked out
//   cycle     the stepper's schedule and cycle
//   notice    the notice over the editors
//   link      the share link made
//   address   what the address should hold (for the address's owner)
//   reorder   the editors' program reordered (reorder)
const EVENTS = ['ready', 'files', 'run', 'shown', 'exercise', 'setup', 'sheet', 'export', 'lang', 'pick', 'cycle', 'notice', 'link', 'address', 'reorder'];

// deps: {sim: window.hazardSim ({ready, run, limits}; its run is called
// anew each time, so a wrapper put on it later counts every run),
// area: local storage, examples: [{name, config, program}], timer:
// {setTimeout, clearTimeout}, watch: (listener) calls listener(key) when
// another tab changes a key of local storage; tab: this tab's name}.
function createStore(deps) {
  const sim = deps.sim;
  const kept = storage.create(deps.area);
  const examples = deps.examples || [];
  const timer = deps.timer;
  const tab = deps.tab || Math.random().toString(36).slice(2);
  let pending = 0;
  const sweeps = new WeakMap(); // run record -> its rows at every depth

  const state = {
    ready: false,
    limits: null,
    failure: null, // null, {key: 'simLoadFail'} or {key: 'simFail', e}
    examples,
    files: { config: '', program: '' }, // a string (text) or a Uint8Array (bytes, exactly)
    example: null, // the name of the example the files are, if they are one
    back: [], // the way back: pairs the editors held before being replaced (store/way-back.js)
    stale: true,
    run: null,
    // The run the results draw: the editors' run, or while an exercise is
    // open its own run once checked or shown (until then, none).
    shown: null,
    exercise: null,
    opening: false, // an exercise is asked for and waits for the simulator
    exerciseMessage: null, // {key, params, console}
    setup: { asked: 'hsp', seed: '1', depth: '5', count: '8', level: 'many', from: '1', to: '10', byNames: false, names: '' },
    sheet: null, // {what: 'students' | 'key', variants, asked} or {what, message: {key, params}}
    exportMessage: null, // {key, params}: why the class's files could not be made
    exportFiles: null, // a question bank in several files: [{name, text, type, count, first, last, byNames}]
    lang: words.lang,
    pick: null,
    cycle: null,
    notice: null, // {key, params}
    link: null, // {url}
    address: null, // {fragment, how: 'push' | 'replace', link}
    reorder: null, // the editors' complete run in another order (store/reorder.js)
  };

  const listeners = {};
  function on(name, fn) {
    if (!EVENTS.includes(name)) throw new Error('no event ' + name);
    (listeners[name] = listeners[name] || []).push(fn);
  }
  function emit(...names) {
    for (const name of names) {
      for (const fn of listeners[name] || []) {
        try {
          fn(state);
        } catch (e) {
          // One view's fault must not keep the others from drawing.
          console.error(e);
        }
      }
    }
  }

  // ---- the parts ----

  const inner = { state, emit, kept, examples, tab, run, runLater, runFiles, recordOf, orderRun, show, notice, toAddress };
  const editors = filesPart.create(inner);
  const classroom = classPart.create(inner);
  const exercise = exercisePart.create(Object.assign({ generator: classroom.generator, reorderKey: classroom.reorderKey, samePair: filesPart.samePair }, inner));
  const reordering = reorderPart.create(Object.assign({ setFiles: editors.setFiles }, inner));

  // ---- runs ----

  // The simulator's run of two files, as hazardSim.run gives it. A run that
  // breaks the simulator (it trapped or exited) ends its use: the page says
  // so as for a failed start, and runs no more.
  function runFiles(config, program) {
    try {
      return sim.run(config, program);
    } catch (e) {
      if (e && e.broken && state.ready) {
        state.ready = false;
        failed();
      }
      throw e;
    }
  }

  // A run as the results draw it (logic/schedule.js); throws when the
  // simulator could not run the files.
  function recordOf(config, program) {
    return schedule.runRecord(config, program, runFiles(config, program));
  }

  // The run of a report's program with its instructions in another order,
  // under config, as recordOf gives it.
  function orderRun(config, report, order) {
    return recordOf(config, programText(report.instructions, order));
  }

  // Runs the editors' files now.
  function run() {
    timer.clearTimeout(pending);
    if (!state.ready) return;
    state.stale = false;
    try {
      state.run = recordOf(state.files.config, state.files.program);
      state.failure = null;
    } catch (e) {
      state.run = null;
      state.failure = e && e.broken ? { key: 'simLoadFail' } : { key: 'simFail', e: e && e.message ? e.message : String(e) };
    }
    reordering.follow();
    if (state.exercise) return emit('run');
    show(state.run);
    emit('run', 'shown');
  }

  // Runs the editors' files after a pause of typing.
  function runLater() {
    timer.clearTimeout(pending);
    pending = timer.setTimeout(run, EDIT_PAUSE);
  }

  // A new run for the results to draw (the caller tells 'shown'): nothing
  // picked, the stepper at its first cycle in the schedule it showed last.
  function show(shown) {
    state.shown = shown;
    state.pick = null;
    const which = state.cycle ? state.cycle.which : 'corrected';
    state.cycle = shown && shown.report && shown.report.instructions.length > 0 ? { which, cycle: 0 } : null;
  }

  // The rows of the depth comparison of a run, worked out once.
  function sweepOf(record) {
    if (!record || !record.report) return null;
    if (!sweeps.has(record)) sweeps.set(record, sweep.sweepRows(runFiles, record, state.limits));
    return sweeps.get(record);
  }

  // ---- the simulator ----

  function ready() {
    state.ready = true;
    state.limits = sim.limits;
    classroom.start(state.limits);
    emit('ready');
    run();
    exercise.openWaiting();
  }

  function failed() {
    state.failure = { key: 'simLoadFail' };
    emit('ready');
  }

  // ---- the language, picks and the stepper ----

  // keep: whether the browser keeps the choice for the next visit.
  function setLang(code, keep) {
    if (!words.use(code) || code === state.lang) return;
    state.lang = code;
    if (keep !== false) kept.set('lang', code);
    emit('lang');
  }

  // sel: null, {type: 'hazard', instr, earlier, distance} or {type: 'delay', instr, earlier}.
  function pick(sel) {
    state.pick = sel || null;
    emit('pick');
  }

  // sel: null or {which: 'written' | 'corrected', cycle}.
  function step(sel) {
    state.cycle = sel || null;
    emit('cycle');
  }

  // ---- notices, links and the address ----

  function notice(key, params) {
    state.notice = key ? { key, params: params || {} } : null;
    emit('notice');
  }

  // link: the address is asked to tell back the link it then holds (linkMade).
  function toAddress(fragment, how, link) {
    state.address = { fragment, how, link: Boolean(link) };
    emit('address');
  }

  // Asks for a link to what is on the page: the open exercise, else both
  // files, in the language in use. The address's owner puts it in the
  // address and answers with linkMade.
  function share() {
    const files = shareLinks.encodeShare(state.files.config, state.files.program);
    const fragment = (state.exercise ? state.exercise.fragment : files) + '&lang=' + state.lang;
    state.link = null;
    if (fragment.length > shareLinks.MAX_LINK) {
      notice('tooBig');
      emit('link');
      return;
    }
    notice(null);
    toAddress(fragment, 'push', true);
  }

  function linkMade(url) {
    state.link = { url };
    emit('link');
  }

  // ---- opening ----

  // The language, the setup and the files kept from the last visit.
  const lang = kept.get('lang');
  if (words.use(lang)) state.lang = lang;
  classroom.restore();
  editors.restore();
  if (deps.watch) deps.watch((key) => editors.heard(storage.keyOf(key)));

  return {
    EVENTS,
    VIEW_LIMIT: filesPart.VIEW_LIMIT,
    get state() {
      return state;
    },
    on,
    sweepOf,
    editorText: filesPart.editorText,
    // the page's one exercise generator, null until the simulator is ready
    generator: classroom.generator,
    variantRuns: classroom.variantRuns,
    classFile: classroom.classFile,
    // actions
    ready,
    failed,
    setFiles: editors.setFiles,
    filesBack: editors.filesBack,
    pickExample: editors.pickExample,
    run,
    openExercise: exercise.openExercise,
    exerciseLinkError: exercise.exerciseLinkError,
    answer: exercise.answer,
    checkAnswer: exercise.checkAnswer,
    reveal: exercise.reveal,
    closeExercise: exercise.closeExercise,
    setSetup: classroom.setSetup,
    makeSheet: classroom.makeSheet,
    exportClass: classroom.exportClass,
    // moveOrder(from, to), resetOrder, showBest, applyOrder and best({config, program})
    ...reordering.actions,
    setLang,
    pick,
    step,
    notice,
    share,
    linkMade,
  };
}

module.exports = { createStore };
