// The page's start: loads the simulator as window.hazardSim, makes the
// store, mounts every view on its element, hands the address to its owner
// and, once the simulator has loaded, lets the store run. Scripts also get
// the store's one exercise generator as hazardSim.exercise and a class's
// question bank for Moodle as hazardSim.moodleFiles (and, when it fits one
// file, hazardSim.moodle), and the best order of a program as hazardSim.best.
'use strict';

const simulator = require('./binding/sim.js');
const examples = require('./examples.js');
const address = require('./store/address.js');
const { createStore } = require('./store/store.js');
const { t } = require('./words/words.js');
const views = {
  page: require('./views/page.js'),
  toolbar: require('./views/toolbar.js'),
  editors: require('./views/editors.js'),
  output: require('./views/output.js'),
  figures: require('./views/figures.js'),
  consoleWords: require('./views/console-words.js'),
  diagrams: require('./views/diagrams.js'),
  stepper: require('./views/stepper.js'),
  explain: require('./views/explain.js'),
  sweep: require('./views/sweep.js'),
  reorder: require('./views/reorder.js'),
  exercise: require('./views/exercise.js'),
  sheet: require('./views/sheet.js'),
  export: require('./views/export.js'),
};

const $ = (id) => document.getElementById(id);
function localArea() {
  try {
    return window.localStorage;
  } catch (e) {
    return null; // storage turned off: nothing is kept between visits
  }
}

const sim = (window.hazardSim = simulator.load(window.createHazardSim));
// Another tab of the page changing what the browser keeps.
const watch = (listener) => window.addEventListener('storage', (event) => listener(event.key));
const store = createStore({ sim, area: localArea(), examples, timer: window, watch });

// Each view and the element it draws in; a new view is one more line.
views.page.mount(document, store);
views.toolbar.mount($('inputs'), store);
views.editors.mount($('inputs'), store);
views.output.mount($('outputs'), store);
views.figures.mount($('schedule-summary'), store);
views.consoleWords.mount($('console-words'), store);
views.diagrams.mount($('diagrams'), store);
views.stepper.mount($('stepper'), store);
views.explain.mount($('explanations'), store);
views.sweep.mount($('comparison'), store);
views.reorder.mount($('reorder'), store);
views.exercise.mount($('exercise'), store);
views.sheet.mount($('sheet-setup'), store);
views.export.mount($('class-export'), store);

address.create(store, window).start();

sim.ready.then(
  () => {
    store.ready();
    sim.exercise = store.generator().exercise;
    // {config, program} -> {order, bubbles, performance, exact, bound}; files
    // that do not run to the end throw an Error with the page's status line.
    sim.best = store.best;
    // request: {from, to, names, depth, count, level, asked}; a bad one throws
    // an Error with the page's message, as hazardSim.exercise does.
    // moodleFiles gives [{name, text}], each file at most 2 MB; moodle the
    // text of a class that fits one, and throws for a larger one.
    sim.moodleFiles = (request) => {
      const made = store.classFile('moodle', request);
      if (made.error) throw new Error(t(made.error.key, made.error.params));
      return made.files.map((f) => ({ name: f.name, text: f.text }));
    };
    sim.moodle = (request) => {
      const files = sim.moodleFiles(request);
      if (files.length > 1) throw new Error(t('moodleTooBig', { n: files.length }));
      return files[0].text;
    };
  },
  () => store.failed()
);
