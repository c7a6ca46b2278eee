// The page's one state and the only code that runs the simulator. Views read
// `state`, change it only through the actions below and hear what changed
// through `on`; nothing else holds a part of it.
// Gives createStore.
'use strict';

const schedule = require('../logic/schedule.js');
const shareLinks = require('../logic/share.js');
const sweep = require('../logic/sweep.js');
const storage = require('./storage.js');
const wayBack = require('./way-back.js');
const words = require('../words/words.js');
const exerciseGen = require('../exercise/gen.js');
const exerciseCheck = require('../exercise/check.js');
const exerciseLink = require('../exercise/link.js');
const exerciseVariants = require('../exercise/variants.js');
const moodle = require('../exercise/moodle.js');
const keyCsv = require('../exercise/key-csv.js');

const EDIT_PAUSE = 80; // ms of quiet typing before the run: the run and drawing take the rest of 300 ms
const VIEW_LIMIT = 100000; // an editor shows a loaded file's first bytes only: megabytes take seconds to lay out
const NAMES = ['config', 'program'];
const KEPT_NOTICES = ['keptNoFiles', 'keptFewBack']; // what storage refused; they stay until it takes all again

// The events, one for each part of the state that can change:
//   ready     the simulator has loaded (ready, limits), failed to or broke in a run (failure)
//   files     the editors' files (files, example, back, stale)
//   run       the run of the editors' files (run), or a run that failed (failure)
//   shown     the run the results draw (shown()), also when an exercise hides or shows them
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
const EVENTS = ['ready', 'files', 'run', 'shown', 'exercise', 'setup', 'sheet', 'export', 'lang', 'pick', 'cycle', 'notice', 'link', 'address'];

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
  const written = { editors: null, 'files-back': null }; // the texts this tab last wrote or read
  let keptBack = 0; // how many pairs of the way back storage holds
  let toldTab = false; // whether the notice said once that another tab changed the files
  let selfKept = null; // this tab's editors as last kept on the way back for another tab's sake
  let generator = null;
  let pending = 0;
  let waiting = null; // an exercise asked for before the simulator was ready
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

  // ---- the editors' files ----

  // What an editor shows of a file: its text, or a loaded file's first bytes as text.
  function editorText(content) {
    return typeof content === 'string' ? content : new TextDecoder('utf-8').decode(content.subarray(0, VIEW_LIMIT));
  }

  const samePair = (a, b) => NAMES.every((n) => shareLinks.sameBytes(a[n], b[n]));

  function put(files) {
    for (const name of NAMES) if (name in files) state.files[name] = files[name];
    const example = examples.find((e) => samePair(e, state.files));
    state.example = example ? example.name : null;
    state.stale = true;
  }

  // files: {config, program}, either or both. how: 'typed' (an edit:
  // runs after a pause of typing), or what replaced them: 'example',
  // 'file', 'link' (the pair they replace goes on the way back).
  function setFiles(files, how) {
    const before = { config: state.files.config, program: state.files.program };
    const replaced = how !== 'typed';
    if (replaced && samePair(before, Object.assign({}, before, files))) return;
    put(files);
    if (replaced) wayBack.leave(state.back, before, state.files, samePair);
    if (state.notice && !KEPT_NOTICES.includes(state.notice.key)) state.notice = null;
    save(replaced);
    emit('files', 'notice');
    if (how === 'typed') {
      timer.clearTimeout(pending);
      pending = timer.setTimeout(run, EDIT_PAUSE);
    } else run();
  }

  // Brings back the pair the editors held before their last replacement
  // (see store/way-back.js: in turn, none lost).
  function filesBack() {
    const pair = wayBack.stepBack(state.back, { config: state.files.config, program: state.files.program }, samePair);
    if (!pair) return;
    put(pair);
    save(true);
    emit('files', 'notice');
    run();
  }

  // ---- the files kept in the browser, shared with the page's other tabs ----

  // A pair of files as local storage keeps it, and back; null when not readable.
  function stored(pair) {
    const out = {};
    for (const name of NAMES) out[name] = storage.fromContent(pair[name], editorText(pair[name]));
    return out;
  }
  function unstored(value) {
    const config = storage.toContent(value && value.config);
    const program = storage.toContent(value && value.program);
    return config !== null && program !== null ? { config, program } : null;
  }
  // A way back as kept: its readable pairs, each with when it left the
  // editors and the tab it was kept for, if any.
  function unstoredBack(list) {
    const out = [];
    list.forEach((p, k) => {
      const pair = unstored(p);
      if (!pair) return;
      pair.at = Number.isSafeInteger(p.at) ? p.at : k + 1;
      if (typeof p.tab === 'string') pair.tab = p.tab;
      out.push(pair);
    });
    return out;
  }

  // The way back as kept, merged into this one if another tab changed it
  // since this tab last wrote or read it. Returns whether it was.
  function takeBack() {
    const text = kept.text('files-back');
    if (text === null || text === written['files-back']) return false;
    written['files-back'] = text;
    const list = storage.parse(text);
    if (Array.isArray(list)) wayBack.merge(state.back, unstoredBack(list), state.files, samePair, tab);
    return true;
  }

  // Keeps the way back's n pairs that left the editors last and, with self,
  // this tab's editors tagged as its own, for when another tab writes over them.
  function writeBack(n, self) {
    const newest = state.back.slice().sort((a, b) => b.at - a.at).slice(0, n);
    const list = state.back.filter((p) => newest.includes(p));
    if (self) list.push(Object.assign({}, state.files, { at: wayBack.next(state.back), tab }));
    const text = kept.set('files-back', list.map((p) => Object.assign(stored(p), { at: p.at }, p.tab ? { tab: p.tab } : {})));
    if (text === null) return false;
    written['files-back'] = text;
    keptBack = n;
    return true;
  }
  const saveBack = (self) => {
    takeBack();
    for (let n = state.back.length; n >= 0 && !writeBack(n, self); n--);
  };

  // Keeps the editors' files and, with back, the way back. Another tab's
  // files that the editors' key holds are first kept on the way back. The
  // editors come first: when storage refuses them, the way back gives up
  // room, the pairs that left the editors longest ago first; the notice
  // says what could not be kept.
  function save(back) {
    const theirs = kept.text('editors');
    if (theirs !== null && theirs !== written.editors) {
      const value = storage.parse(theirs);
      const pair = unstored(value);
      if (pair && value.tab !== tab && !samePair(pair, state.files)) {
        wayBack.keepTab(state.back, String(value.tab || 'other'), pair, state.files, samePair);
        back = true;
      }
    }
    if (back) saveBack(false);
    const editors = Object.assign(stored(state.files), { tab });
    let text = kept.set('editors', editors);
    for (let n = keptBack - 1; text === null && n >= 0; n--) if (writeBack(n, false)) text = kept.set('editors', editors);
    if (text !== null) written.editors = text;
    const why = text === null ? { key: 'keptNoFiles', params: {} } : keptBack < state.back.length ? { key: 'keptFewBack', params: { k: keptBack, n: state.back.length } } : null;
    if (why) state.notice = why;
    else if (state.notice && KEPT_NOTICES.includes(state.notice.key)) state.notice = null;
  }

  // Another tab changed what the browser keeps: its way back is taken in;
  // when it wrote its editors over this tab's, this tab's are kept on the
  // way back in storage (once for each state of them), and the notice says
  // so the first time.
  function heard(key) {
    if (key === 'files-back' && takeBack()) emit('files');
    if (key !== 'editors') return;
    const pair = unstored(kept.get('editors'));
    if (!pair || samePair(pair, state.files)) return;
    if (!selfKept || !samePair(selfKept, state.files)) {
      saveBack(true);
      selfKept = { config: state.files.config, program: state.files.program };
    }
    if (toldTab) return;
    toldTab = true;
    state.notice = { key: 'otherTab', params: {} };
    emit('notice');
  }

  function pickExample(name) {
    const example = examples.find((e) => e.name === name);
    if (example) setFiles({ config: String(example.config), program: String(example.program) }, 'example');
  }

  // ---- runs ----

  // A run that breaks the simulator (it trapped or exited) ends its use: the
  // page says so as for a failed start, and runs no more.
  function simRun(config, program) {
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

  // Runs the editors' files now.
  function run() {
    timer.clearTimeout(pending);
    if (!state.ready) return;
    const config = state.files.config;
    const program = state.files.program;
    state.stale = false;
    try {
      state.run = schedule.runRecord(config, program, simRun(config, program));
      state.failure = null;
    } catch (e) {
      state.run = null;
      state.failure = e && e.broken ? { key: 'simLoadFail' } : { key: 'simFail', e: e && e.message ? e.message : String(e) };
    }
    emit('run');
    if (!state.exercise) shownChanged();
  }

  // A new run to draw: nothing picked, the stepper at its first cycle in
  // the schedule it showed last.
  function shownChanged() {
    const record = shown();
    state.pick = null;
    const which = state.cycle ? state.cycle.which : 'corrected';
    state.cycle = record && record.report && record.report.instructions.length > 0 ? { which, cycle: 0 } : null;
    emit('shown');
  }

  // The run the results draw: the editors' run, or while an exercise is
  // open its own run once checked or shown (until then, none).
  function shown() {
    const ex = state.exercise;
    if (ex) return ex.revealed ? ex.run : null;
    return state.run;
  }

  // The rows of the depth comparison of a run, worked out once.
  function sweepOf(record) {
    if (!record || !record.report) return null;
    if (!sweeps.has(record)) sweeps.set(record, sweep.sweepRows(simRun, record, state.limits));
    return sweeps.get(record);
  }

  // ---- the simulator ----

  function ready() {
    const limits = sim.limits;
    state.ready = true;
    state.limits = limits;
    generator = exerciseGen.create(limits);
    emit('ready');
    run();
    if (waiting) {
      const w = waiting;
      waiting = null;
      state.opening = false;
      openExercise(w.request, w.from);
    }
  }

  function failed() {
    state.failure = { key: 'simLoadFail' };
    emit('ready');
  }

  // ---- exercises ----

  const exerciseKey = (fragment) => 'exercise.' + exerciseGen.hash32(fragment).toString(36);

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
      const p = generator.readParams(source);
      if (p.error) return from === 'link' ? exerciseLinkError('badExParams', { e: p.why }) : sayExercise(p.why.key, p.why.params);
      source = Object.assign({ kind: 'generated' }, p);
      files = generator.exercise(p);
    } else if ('config' in request) {
      files = { config: request.config, program: request.program };
    } else {
      if (state.stale) run();
      files = { config: state.files.config, program: state.files.program };
    }
    let record = state.run;
    if (!record || state.stale || !samePair(record, files)) {
      try {
        record = schedule.runRecord(files.config, files.program, simRun(files.config, files.program));
      } catch (e) {
        return sayExercise('simFail', { e: e && e.message ? e.message : String(e) });
      }
    }
    if (!record.report) return sayExercise('noRunEx', { s: record.result.status }, record.result.console);
    const ex = { asked, source, config: files.config, program: files.program, run: record, from };
    ex.fragment = exerciseLink.fragment(ex);
    const answers = kept.get(exerciseKey(ex.fragment));
    ex.answers = answers && typeof answers === 'object' ? answers : {};
    ex.checked = null;
    ex.revealed = false;
    state.exercise = ex;
    state.exerciseMessage = null;
    emit('exercise');
    shownChanged();
    if (from !== 'link') toAddress(ex.fragment, 'push');
  }

  // A fault in an exercise link, said where the page opens (over the
  // editors) and in the exercise box.
  function exerciseLinkError(key, params) {
    if (state.exercise) closeExercise('link');
    notice(key, params);
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
    emit('exercise');
    reveal();
  }

  // Shows the exercise's results: its run's console, diagrams and views.
  function reveal() {
    const ex = state.exercise;
    if (!ex || ex.revealed) return;
    ex.revealed = true;
    emit('exercise');
    shownChanged();
  }

  // from: 'setup' (the exercise's own button: the address forgets its
  // link) or 'link' (the address no longer holds it).
  function closeExercise(from) {
    if (!state.exercise) return;
    state.exercise = null;
    state.exerciseMessage = null;
    emit('exercise');
    shownChanged();
    if (from !== 'link') toAddress('', 'replace');
  }

  function setSetup(values) {
    Object.assign(state.setup, values);
    emit('setup');
    if (kept.set('setup', state.setup) === null) sayExport({ key: 'keptNoSetup' });
    else if (state.exportMessage || state.exportFiles) sayExport(null);
  }

  // ---- a class's variants ----

  // The variants of request ({from, to, names, depth, count, level}, see
  // exercise/variants.js), each with its run's report: {variants} or {error}.
  function variantRuns(request) {
    if (!state.ready) return { error: { key: 'stillLoading' } };
    const made = exerciseVariants.variants(generator, request);
    if (made.error) return made;
    for (const v of made.variants) v.report = simRun(v.files.config, v.files.program).report;
    if (made.variants.some((v) => !v.report)) return { error: { key: 'sheetFail' } };
    return made;
  }

  // The setup's variants, as a request of variantRuns.
  function setupRequest() {
    const s = state.setup;
    return { from: s.from, to: s.to, names: s.byNames ? s.names : null, depth: s.depth, count: s.count, level: s.level };
  }

  // A class's variants as files for the teacher: form 'moodle' (the
  // question bank, Moodle XML, in one file or, past moodle.MAX_BYTES, in
  // several: {files: [{name, text, type, count, first, last, byNames}]},
  // count the variants a file holds, first and last their first's and
  // last's seed or name as the sheet names it) or 'csv' (the key: {files:
  // [{name, text, type}]}). request: as variantRuns', with asked ('hsp',
  // ...). Or {error: {key, params}}.
  function classFile(form, request) {
    const asked = exerciseCheck.readAsked(request && request.asked);
    if (asked === null) return { error: { key: 'askSome' } };
    const made = variantRuns(request);
    if (made.error) return made;
    const vs = made.variants;
    if (form === 'csv') return { files: [{ text: keyCsv.file(vs, asked), name: 'hazard-sim-key.csv', type: 'text/csv' }] };
    const who = exerciseVariants.variantName;
    return {
      files: moodle.files(vs, request, asked).map((f) => ({
        text: f.text, name: f.name, type: 'application/xml', count: f.to - f.from + 1, first: who(vs[f.from]), last: who(vs[f.to]), byNames: vs[0].name !== null,
      })),
    };
  }

  // error: why the class's files could not be made, or null; files: the
  // question bank's files to list, or null.
  function sayExport(error, files) {
    state.exportMessage = error ? { key: error.key, params: error.params || {} } : null;
    state.exportFiles = files || null;
    emit('export');
  }

  // The setup's variants as one file to save ({name, text, type, ...}), or
  // null: with the message why not, or with a question bank in several files
  // in exportFiles, to be saved one by one.
  function exportClass(form) {
    const made = classFile(form, Object.assign(setupRequest(), { asked: state.setup.asked }));
    if (made.error) {
      sayExport(made.error);
      return null;
    }
    // A question bank in one file takes the place of a list; the key keeps it.
    const several = made.files.length > 1;
    sayExport(null, several ? made.files : form === 'csv' ? state.exportFiles : null);
    return several ? null : made.files[0];
  }

  // what: 'students' (the students' sheets) or 'key' (the answer key), the
  // part laid out for printing.
  function makeSheet(what) {
    const asked = exerciseCheck.readAsked(state.setup.asked);
    const made = asked === null ? { error: { key: 'askSome' } } : variantRuns(setupRequest());
    const part = what === 'key' ? 'key' : 'students';
    state.sheet = made.error
      ? { what: part, message: { key: made.error.key, params: made.error.params || {} } }
      : { what: part, variants: made.variants, asked };
    emit('sheet');
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

  // The language, the setup and the files kept from the last visit, else the first example.
  function restore() {
    const lang = kept.get('lang');
    if (words.use(lang)) state.lang = lang;
    const setup = kept.get('setup') || {};
    for (const key of Object.keys(state.setup)) if (typeof setup[key] === typeof state.setup[key]) state.setup[key] = setup[key];
    written['files-back'] = kept.text('files-back');
    written.editors = kept.text('editors');
    const back = storage.parse(written['files-back']);
    const value = storage.parse(written.editors);
    const editors = unstored(value);
    // A pair kept for the tab that wrote the editors last is an older state of them.
    const older = (p) => editors && p.tab && p.tab === value.tab;
    if (Array.isArray(back)) state.back.push(...unstoredBack(back).filter((p) => !older(p)).slice(-wayBack.KEEP));
    keptBack = state.back.length;
    if (editors) put(editors);
    else {
      const first = examples.find((e) => e.name === 'six') || examples[0];
      if (first) put({ config: String(first.config), program: String(first.program) });
    }
  }

  restore();
  if (deps.watch) deps.watch((key) => heard(storage.keyOf(key)));

  return {
    EVENTS,
    VIEW_LIMIT,
    get state() {
      return state;
    },
    on,
    shown,
    sweepOf,
    editorText,
    variantRuns,
    setupRequest,
    classFile,
    // actions
    ready,
    failed,
    setFiles,
    filesBack,
    pickExample,
    run,
    openExercise,
    exerciseLinkError,
    answer,
    checkAnswer,
    reveal,
    closeExercise,
    setSetup,
    makeSheet,
    exportClass,
    setLang,
    pick,
    step,
    notice,
    share,
    linkMade,
  };
}

module.exports = { createStore };
