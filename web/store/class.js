// The store's part for a class: the setup's values, the page's one exercise
// generator (made once the simulator's limits are known), a class's variants
// with their runs, the sheet to print and the files for the teacher.
// Gives create.
'use strict';

const exerciseGen = require('../exercise/gen.js');
const exerciseCheck = require('../exercise/check.js');
const exerciseVariants = require('../exercise/variants.js');
const moodle = require('../exercise/moodle.js');
const keyCsv = require('../exercise/key-csv.js');

// inner: the store's {state, emit, kept, runFiles, orderRun};
// runFiles(config, program) is the simulator's run, as hazardSim.run gives it.
function create(inner) {
  const { state, emit, kept, runFiles } = inner;
  let generator = null;

  // The simulator has loaded: the generator for its limits.
  function start(limits) {
    generator = exerciseGen.create(limits);
  }

  function setSetup(values) {
    Object.assign(state.setup, values);
    emit('setup');
    if (kept.set('setup', state.setup) === null) sayExport({ key: 'keptNoSetup' });
    else if (state.exportMessage || state.exportFiles) sayExport(null);
  }

  // The reordering key of a report's program (exercise/check.js), each order
  // counted by the simulator's run of it under config.
  const reorderKey = (config, report) => exerciseCheck.reorderKey(report, (order) => inner.orderRun(config, report, order).report.bubbles);

  // The variants of request ({from, to, names, depth, count, level, asked},
  // see exercise/variants.js), each with its run's report and, with r
  // asked, its reordering's key (exercise/check.js's reorderKey): {variants} or {error}.
  function variantRuns(request) {
    if (!generator) return { error: { key: 'stillLoading' } };
    const made = exerciseVariants.variants(generator, request);
    if (made.error) return made;
    for (const v of made.variants) v.report = runFiles(v.files.config, v.files.program).report;
    if (made.variants.some((v) => !v.report)) return { error: { key: 'sheetFail' } };
    if (String(request.asked).includes('r'))
      for (const v of made.variants) v.reorder = reorderKey(v.files.config, v.report);
    return made;
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
    const made = classFile(form, exerciseVariants.setupRequest(state.setup));
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
    const made = asked === null ? { error: { key: 'askSome' } } : variantRuns(Object.assign(exerciseVariants.setupRequest(state.setup), { asked }));
    const part = what === 'key' ? 'key' : 'students';
    state.sheet = made.error
      ? { what: part, message: { key: made.error.key, params: made.error.params || {} } }
      : { what: part, variants: made.variants, asked };
    emit('sheet');
  }

  // The setup kept from the last visit, each value of the kind it has.
  function restore() {
    const setup = kept.get('setup') || {};
    for (const key of Object.keys(state.setup)) if (typeof setup[key] === typeof state.setup[key]) state.setup[key] = setup[key];
  }

  return { start, generator: () => generator, reorderKey, setSetup, variantRuns, classFile, exportClass, makeSheet, restore };
}

module.exports = { create };
