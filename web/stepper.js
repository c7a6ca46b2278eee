// The cycle stepper: steps through either schedule one cycle at a time and shows what each stage holds.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const teach = node ? require('./teach.js') : root.hazardTeach;
  const { model, T } = teach; // the run model, and the page's words
  const PLAY_MS = 1000;

  // Stages 1 .. depth in a cycle: instr is an index, -1 for a bubble (with
  // waitsFor, the instruction behind it) or null for nothing.
  function strip(sched, cycle) {
    const out = [];
    for (let s = 1; s <= sched.depth; s++) {
      const o = model.occupant(sched, cycle, s);
      if (!o) out.push({ stage: s, instr: null });
      else if (o.bubble) out.push({ stage: s, instr: -1, waitsFor: o.waitsFor });
      else out.push({ stage: s, instr: o.instr });
    }
    return out;
  }

  // What enters in a cycle of one schedule of a run:
  //   {type: 'instr', instr, conflicts, delay}: conflicts are its hazards whose
  //     earlier instruction entered fewer than depth - 1 cycles before it, each
  //     with `ago` (how many cycles before); delay its arithmetic in the
  //     corrected schedule (null in the one as written, or without a hazard);
  //   {type: 'bubble', instr, ordinal, of, delay}: the ordinal-th of the `of`
  //     bubbles that instruction instr waits behind;
  //   {type: 'none'}: nothing enters.
  function cycleEvent(run, which, cycle) {
    const sched = run[which];
    const report = run.report;
    const e = sched.entered[cycle];
    if (e === undefined) return { type: 'none' };
    if (e === -1) {
      const i = sched.waitsFor[cycle];
      const delay = teach.delayOf(report, i); // its bubbles start in cycle delay.would
      return { type: 'bubble', instr: i, ordinal: cycle - delay.would + 1, of: report.instructions[i].delay, delay };
    }
    const conflicts = [];
    for (const h of report.instructions[e].hazards) {
      const ago = sched.entries[e] - sched.entries[h.earlier];
      if (ago < report.depth - 1) conflicts.push(Object.assign({ ago }, h));
    }
    const delay = which === 'corrected' ? teach.delayOf(report, e) : null;
    return { type: 'instr', instr: e, conflicts, delay };
  }

  // The words for what enters in a cycle.
  function cycleText(report, ev, cycle) {
    const ins = report.instructions;
    const lastStage = report.depth;
    if (ev.type === 'none') return T('cycNone', { s: lastStage });
    const label = model.instrLabel(ins[ev.instr]);
    const d1 = report.depth - 1;
    if (ev.type === 'bubble')
      return T('cycBubble', { which: ev.of > 1 ? T('bubbleOf', { k: ev.ordinal, n: ev.of }) : T('bubbleOnly'), label }) +
        teach.delayText(report, ev.delay);
    let text = T('cycIn', { label });
    for (const c of ev.conflicts) {
      const kinds = c.kinds.map((k) => teach.kindText(k, ev.instr, c.earlier)).join('; ');
      text += T('cycConflict', { e: model.instrLabel(ins[c.earlier]), ago: c.ago, depth: report.depth, d1, kinds });
    }
    const d = ev.delay;
    if (d && d.delay > 0) text += T('cycWaited', { n: d.delay, e: d.earlier, entered: d.entered, d1 });
    else if (d) text += T('cycNoWait', { e: d.earlier, entered: d.entered, ago: cycle - d.entered, d1 });
    else if (ev.conflicts.length === 0 && ev.instr > 0) text += T('cycFree');
    return text;
  }

  if (node) {
    module.exports = { strip, cycleEvent, cycleText };
    return;
  }

  // ---- the control ----

  const section = document.getElementById('stepper');
  const el = (tag, props, children) => {
    const e = Object.assign(document.createElement(tag), props || {});
    for (const c of children || []) e.append(c);
    return e;
  };
  // A button's name, in the current language, and its text when it has no sign of its own.
  const named = (b, key, sign) => {
    b.textContent = sign || T(key);
    b.title = T(key);
    b.setAttribute('aria-label', T(key));
  };
  const signs = { first: '|<', prev: '<', next: '>', last: '>|' };
  const button = () => el('button', { type: 'button' });
  const words = {
    corrected: el('option', { value: 'corrected' }),
    written: el('option', { value: 'written' }),
    title: el('h2'),
    schedule: el('span'),
    cycle: el('span'),
  };
  const ui = {
    which: el('select', { id: 'step-schedule' }, [words.corrected, words.written]),
    first: button(),
    prev: button(),
    play: button(),
    next: button(),
    last: button(),
    cycle: el('input', { type: 'range', id: 'cycle', min: '0', max: '0', step: '1', value: '0' }),
    where: el('output', { id: 'cycle-now' }),
    now: el('ol', { id: 'pipeline-now', className: 'pipeline-now' }),
    note: el('p', { id: 'cycle-note', className: 'cycle-note' }),
  };
  ui.note.setAttribute('aria-live', 'polite');
  // The control's own words, put in again when the language changes.
  function label() {
    ui.now.setAttribute('aria-label', T('stagesNow'));
    words.corrected.textContent = T('schedCorrected');
    words.written.textContent = T('schedWritten');
    words.title.textContent = T('stepTitle');
    words.schedule.textContent = T('schedule') + ' ';
    words.cycle.textContent = T('cycleLbl') + ' ';
    for (const key of Object.keys(signs)) named(ui[key], key, signs[key]);
    named(ui.play, timer === null ? 'play' : 'pause');
  }
  section.append(
    words.title,
    el('div', { className: 'step-controls' }, [
      el('label', {}, [words.schedule, ui.which]),
      el('span', { className: 'step-buttons' }, [ui.first, ui.prev, ui.play, ui.next, ui.last]),
      el('label', { className: 'step-slider' }, [words.cycle, ui.cycle]),
      ui.where,
    ]),
    ui.now,
    ui.note
  );

  let run = null;
  let timer = null;
  let stageItems = [];

  function buildStrip(depth) {
    ui.now.textContent = '';
    stageItems = [];
    for (let s = 1; s <= depth; s++) {
      const what = el('span', { className: 'stage-what' });
      const li = el('li', { className: 'stage' }, [el('span', { className: 'stage-name', textContent: T('stage', { s }) }), what]);
      li.dataset.stage = String(s);
      ui.now.append(li);
      stageItems.push({ li, what });
    }
  }

  function show(cycle) {
    const which = ui.which.value;
    const sched = run[which];
    cycle = Math.max(0, Math.min(sched.lastCycle, cycle));
    ui.cycle.value = String(cycle);
    const ins = run.report.instructions;
    strip(sched, cycle).forEach((s, k) => {
      const item = stageItems[k];
      item.li.dataset.instr = s.instr === null ? '' : String(s.instr);
      item.li.className = 'stage ' + (s.instr === null ? 'empty' : s.instr === -1 ? 'bubble' : 'busy');
      item.what.textContent =
        s.instr === null ? T('nothing') : s.instr === -1 ? T('bubbleWaits', { i: s.waitsFor }) : model.instrLabel(ins[s.instr]);
    });
    const text = T('cycleOf', { c: cycle, last: sched.lastCycle });
    ui.where.textContent = text;
    ui.cycle.setAttribute('aria-valuetext', text);
    ui.note.textContent = cycleText(run.report, cycleEvent(run, which, cycle), cycle);
    model.cycle({ which, cycle });
  }

  const current = () => Number(ui.cycle.value);

  function stop() {
    if (timer === null) return;
    clearInterval(timer);
    timer = null;
    named(ui.play, 'play');
  }

  function play() {
    const last = run[ui.which.value].lastCycle;
    if (current() >= last) show(0);
    named(ui.play, 'pause');
    timer = setInterval(() => {
      if (!run || current() >= run[ui.which.value].lastCycle) stop();
      else show(current() + 1);
    }, PLAY_MS);
  }

  // A user's step stops playing.
  const step = (to) => () => {
    stop();
    show(to());
  };
  ui.first.addEventListener('click', step(() => 0));
  ui.prev.addEventListener('click', step(() => current() - 1));
  ui.next.addEventListener('click', step(() => current() + 1));
  ui.last.addEventListener('click', step(() => run[ui.which.value].lastCycle));
  ui.play.addEventListener('click', () => (timer === null ? play() : stop()));
  ui.cycle.addEventListener('input', step(current));
  ui.which.addEventListener('change', () => {
    ui.cycle.max = String(run[ui.which.value].lastCycle);
    step(current)();
  });
  // Left and right step from anywhere in the control; the slider and the
  // select handle their own keys.
  section.addEventListener('keydown', (event) => {
    if (event.target === ui.cycle || event.target === ui.which || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.key === 'ArrowLeft' || event.key === 'ArrowRight') {
      event.preventDefault();
      step(() => current() + (event.key === 'ArrowLeft' ? -1 : 1))();
    }
  });

  model.on('run', (r) => {
    stop();
    run = r && r.report && r.report.instructions.length > 0 ? r : null;
    section.hidden = run === null;
    if (run === null) {
      ui.now.textContent = '';
      ui.note.textContent = '';
      model.cycle(null);
      return;
    }
    buildStrip(run.report.depth);
    ui.cycle.max = String(run[ui.which.value].lastCycle);
    show(0);
  });
  // Another language: the same run and cycle in its words.
  model.on('lang', () => {
    label();
    if (!run) return;
    buildStrip(run.report.depth);
    show(current());
  });
  label();
})(this);
