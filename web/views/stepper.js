// The cycle stepper: steps through either schedule of the shown run one
// cycle at a time (buttons, slider, arrow keys, play) and shows what each
// stage holds and what enters in that cycle. Pinned (by its button, or by a
// step on a narrow screen), its buttons and strip stay at the bottom of the
// screen while the stepper itself is out of view, beside the diagrams.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const { instrLabel } = require('../logic/schedule.js');
const steps = require('../logic/steps.js');
const T = require('../words/words.js').t;

const PLAY_MS = 1000;
const NARROW = '(max-width: 700px)';
const SIGNS = { first: '|<', prev: '<', next: '>', last: '>|' };

function mount(section, store) {
  const option = (value) => el('option', { value });
  const which = el('select', { id: 'step-schedule' }, [option('corrected'), option('written')]);
  const buttons = {};
  for (const key of ['first', 'prev', 'play', 'next', 'last']) buttons[key] = el('button', { type: 'button' });
  const slider = el('input', { type: 'range', id: 'cycle', min: '0', max: '0', step: '1', value: '0' });
  const where = el('output', { id: 'cycle-now' });
  const now = el('ol', { id: 'pipeline-now', class: 'pipeline-now' });
  const note = el('p', { id: 'cycle-note', class: 'cycle-note', 'aria-live': 'polite' });
  const title = el('h2');
  const scheduleWord = el('span');
  const cycleWord = el('span');
  const pin = el('button', { type: 'button', class: 'step-pin', 'aria-pressed': 'false' });
  const dock = el('div', { class: 'step-dock' }, [
    el('div', { class: 'step-controls' }, [
      el('label', {}, [scheduleWord, which]),
      el('span', { class: 'step-buttons' }, Object.values(buttons)),
      el('label', { class: 'step-slider' }, [cycleWord, slider]),
      where,
      pin,
    ]),
    now,
  ]);
  const slot = el('div', { class: 'step-dock-slot' }, [dock]);
  section.append(title, slot, note);
  let timer = null;
  let pinned = false;
  let away = false; // the stepper's own place is out of view

  // Docked at the bottom of the screen while pinned and away; its place keeps its height.
  function place() {
    const docked = pinned && away && !section.hidden;
    if (docked === dock.classList.contains('docked')) return;
    slot.style.minHeight = docked ? slot.offsetHeight + 'px' : '';
    dock.classList.toggle('docked', docked);
    section.classList.toggle('docked', docked); // the page leaves room at its end for the strip (views.css)
  }
  function setPinned(on) {
    pinned = on;
    pin.setAttribute('aria-pressed', String(on));
    place();
  }
  const win = section.ownerDocument.defaultView;
  const narrow = win.matchMedia(NARROW);
  if (typeof win.IntersectionObserver === 'function') {
    new win.IntersectionObserver((seen) => {
      away = !seen[seen.length - 1].isIntersecting;
      place();
    }).observe(slot);
  }

  // A button's name, and its text when it has no sign of its own.
  function name(key) {
    const b = buttons[key === 'pause' ? 'play' : key];
    b.textContent = SIGNS[key] || T(key);
    b.title = T(key);
    b.setAttribute('aria-label', T(key));
  }

  function label() {
    now.setAttribute('aria-label', T('stagesNow'));
    which.options[0].textContent = T('schedCorrected');
    which.options[1].textContent = T('schedWritten');
    title.textContent = T('stepTitle');
    scheduleWord.textContent = T('schedule') + ' ';
    cycleWord.textContent = T('cycleLbl') + ' ';
    for (const key of Object.keys(SIGNS)) name(key);
    name(timer === null ? 'play' : 'pause');
    pin.textContent = T('stepPin');
    pin.setAttribute('aria-label', T('stepPin'));
  }

  const lastCycle = () => store.state.shown[store.state.cycle.which].lastCycle;
  const go = (cycle) => store.step({ which: store.state.cycle.which, cycle: Math.max(0, Math.min(lastCycle(), cycle)) });

  // The strip and the words of the state's cycle.
  function draw(state) {
    const run = state.shown;
    section.hidden = !state.cycle || !run || !run.report;
    if (section.hidden) {
      stop();
      now.replaceChildren();
      note.textContent = '';
      return;
    }
    const { which: w, cycle } = state.cycle;
    const sched = run[w];
    which.value = w;
    slider.max = String(sched.lastCycle);
    slider.value = String(cycle);
    const ins = run.report.instructions;
    now.replaceChildren(...steps.strip(sched, cycle).map((s) => {
      const look = s.instr === null ? 'empty' : s.instr === -1 ? 'bubble' : 'busy';
      const what = s.instr === null ? T('nothing') : s.instr === -1 ? T('bubbleWaits', { i: s.waitsFor }) : instrLabel(ins[s.instr]);
      const data = { stage: s.stage, instr: s.instr === null ? '' : s.instr };
      if (s.instr === -1) data.waits = s.waitsFor;
      return el('li', { class: 'stage ' + look, dataset: data }, [
        el('span', { class: 'stage-name', text: T('stage', { s: s.stage }) }),
        el('span', { class: 'stage-what', text: what }),
      ]);
    }));
    const text = T('cycleOf', { c: cycle, last: sched.lastCycle });
    where.textContent = text;
    slider.setAttribute('aria-valuetext', text);
    note.textContent = steps.cycleText(run.report, steps.cycleEvent(run, w, cycle), cycle);
  }

  function stop() {
    if (timer === null) return;
    clearInterval(timer);
    timer = null;
    name('play');
  }

  function play() {
    if (store.state.cycle.cycle >= lastCycle()) go(0);
    name('pause');
    timer = setInterval(() => {
      if (!store.state.cycle || store.state.cycle.cycle >= lastCycle()) stop();
      else go(store.state.cycle.cycle + 1);
    }, PLAY_MS);
  }

  // A user's step stops playing, and on a narrow screen pins the stepper.
  const step = (to) => () => {
    stop();
    if (narrow.matches) setPinned(true);
    go(to());
  };
  buttons.first.addEventListener('click', step(() => 0));
  buttons.prev.addEventListener('click', step(() => store.state.cycle.cycle - 1));
  buttons.next.addEventListener('click', step(() => store.state.cycle.cycle + 1));
  buttons.last.addEventListener('click', step(() => lastCycle()));
  buttons.play.addEventListener('click', () => (timer === null ? play() : stop()));
  pin.addEventListener('click', () => setPinned(!pinned));
  slider.addEventListener('input', step(() => Number(slider.value)));
  which.addEventListener('change', () => {
    stop();
    const cycle = Math.min(store.state.cycle.cycle, store.state.shown[which.value].lastCycle);
    store.step({ which: which.value, cycle });
  });
  // Left and right step from anywhere in the control; the slider and the
  // list handle their own keys.
  section.addEventListener('keydown', (event) => {
    if (event.target === slider || event.target === which || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.key === 'ArrowLeft' || event.key === 'ArrowRight') {
      event.preventDefault();
      step(() => store.state.cycle.cycle + (event.key === 'ArrowLeft' ? -1 : 1))();
    }
  });

  store.on('shown', (state) => {
    stop();
    draw(state);
    setPinned(false);
  });
  store.on('cycle', draw);
  store.on('lang', (state) => {
    label();
    draw(state);
  });
  label();
  draw(store.state);
}

module.exports = { mount };
