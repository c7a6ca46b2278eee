// The two pipeline diagrams of the shown run, as written and corrected:
// drawn from its report (for touch on a touch screen, opening at the cycles
// where the gutter would crowd them out), their marks picking a hazard or a
// delay on hover and focus, walked with the arrow keys (one Tab stop a
// diagram), lit by the page's pick and the stepper's cycle (kept in view), a
// sign at each edge beyond which the diagram scrolls, in tiles for paper
// (drawn just after it, or at once when a print begins), and each saved as
// an SVG file by its button.
// Gives mount(box, store).
'use strict';

const { el, download } = require('./dom.js');
const svg = require('../logic/diagram-svg.js');
const written = require('../logic/diagram-written.js');
const corrected = require('../logic/diagram-corrected.js');
const T = require('../words/words.js').t;

// Each diagram: the schedule it draws (its title's word), its elements' first name, its file.
const DIAGRAMS = [
  { which: 'written', name: 'analysis', file: 'diagrama_analiza.svg', draw: written.draw },
  { which: 'corrected', name: 'schedule', file: 'diagrama_corectie.svg', draw: corrected.draw },
];

// The cycles a diagram shows beside its row labels when it opens, also on a phone.
const LEAST_CYCLES = 8;

// One diagram's block, built at the end of section: its title, its button,
// its box; drawn for touch while the media query `touch` holds.
function mountOne(d, section, store, touch) {
  const title = el('h2', { id: d.name + '-title' });
  const button = el('button', { id: `download-${d.name}-svg`, type: 'button', 'aria-labelledby': `download-${d.name}-svg ${d.name}-title` });
  const box = el('div', { id: d.name + '-diagram', class: 'diagram-box' });
  // Its tiles, shown only on paper: the first kept on one page with the head
  // and legend (Firefox keeps no break-after: avoid), the others after them.
  const lead = el('div', { class: 'diagram-print' });
  const paper = el('div', { class: 'diagram-print' });
  const block = el('div', { class: 'diagram-block', id: d.name + '-block', hidden: true }, [
    el('div', { class: 'diagram-keep' }, [el('div', { class: 'diagram-head' }, [title, button]), box, lead]),
    paper,
  ]);
  section.append(block);
  let file = '';
  let drawn = null; // the diagram on the page
  let bubbles = new Map(); // its bubbles by the cycle they entered
  let inPipeline = []; // the bubbles lit with the stage they are in now
  let measured = false; // cue() has measured the diagram drawn
  let tiles = null; // makes the tiles for paper of the diagram drawn, until they are
  const timer = section.ownerDocument.defaultView;
  let seen = null; // where the box is scrolled and how far it can be, its width, the diagram's scale on the screen, the room of the edges' signs
  const scroller = () => box.querySelector('.diagram');

  // Lights the marks of the diagram on the screen (not its tiles for paper).
  const light = (cls, selector) => {
    const s = scroller();
    if (!s) return;
    for (const node of s.querySelectorAll('.' + cls)) node.classList.remove(cls);
    if (selector) for (const node of s.querySelectorAll(selector)) node.classList.add(cls);
  };
  const drawPick = (state) => light('picked', svg.pickedSelector(state.pick));

  // Scrolls the diagram sideways, if need be, to show the cycle's column
  // beside the row labels, clear of the edges' signs and a cell or more from
  // either edge; from what cue() measured, so that a step lays out nothing.
  function follow(cycle) {
    if (!seen || !seen.zoom) return;
    const labels = drawn.side.width * seen.zoom;
    const w = svg.SIZE.cellW * seen.zoom;
    const room = Math.max(w, seen.sign);
    const x = labels + ((drawn.gutter ? drawn.gutter.width : 0) + svg.cycleX(cycle)) * seen.zoom;
    let to = seen.left;
    if (x < seen.left + labels + room) to = x - labels - room;
    else if (x + w > seen.left + seen.width - room) to = x + w + room - seen.width;
    to = Math.max(0, Math.min(to, seen.end));
    if (Math.abs(to - seen.left) > 0.5) scroller().scrollLeft = seen.left = to;
  }

  // A gutter that leaves fewer than LEAST_CYCLES cycles beside the row
  // labels (on a phone) is scrolled away at first, its end under the left
  // edge's sign: the cycles begin beside the labels, the gutter one swipe back.
  function openAtCycles() {
    if (!drawn.gutter || !seen.zoom) return;
    if ((drawn.side.width + drawn.gutter.width + LEAST_CYCLES * svg.SIZE.cellW) * seen.zoom <= seen.width) return;
    scroller().scrollLeft = drawn.gutter.width * seen.zoom - seen.sign;
    cue();
  }

  function drawCycle(state) {
    const record = state.shown;
    const marks = svg.cycleMarks(state.cycle, record && record[d.which]);
    light('current-cycle', marks.selector);
    for (const b of inPipeline) {
      b.classList.remove('in-pipeline');
      b.querySelector('.now').textContent = '';
    }
    inPipeline = marks.bubbles.map(({ cycle, stage }) => {
      const b = bubbles.get(cycle);
      b.classList.add('in-pipeline');
      b.querySelector('.now').textContent = String(stage);
      return b;
    });
    if (marks.selector) follow(state.cycle.cycle);
  }

  // The signs at the edges beyond which the diagram scrolls.
  function cue() {
    const s = scroller();
    if (!s || !drawn) return;
    const wrap = s.parentNode;
    wrap.classList.toggle('more-left', s.scrollLeft > 1);
    wrap.classList.toggle('more-right', s.scrollLeft < s.scrollWidth - s.clientWidth - 1);
    seen = {
      left: s.scrollLeft,
      end: s.scrollWidth - s.clientWidth,
      width: s.clientWidth,
      zoom: s.querySelector('.hzd-main').getBoundingClientRect().width / drawn.main.width,
      sign: wrap.querySelector('.scroll-cue').offsetWidth + 2,
    };
  }

  function draw(state) {
    title.textContent = T(d.which);
    button.textContent = T('svg');
    const record = state.shown;
    const report = record && record.report;
    block.hidden = !report;
    section.classList.toggle('drawn', Boolean(report)); // the note of no diagram hides, the keys show (page.css)
    file = '';
    drawn = null;
    seen = null;
    tiles = null;
    inPipeline = [];
    box.textContent = '';
    lead.textContent = '';
    paper.textContent = '';
    if (!report) return;
    const diagram = (drawn = d.draw(report, touch.matches));
    box.innerHTML = svg.pageHtml(diagram, d.name);
    file = svg.standalone(diagram);
    bubbles = new Map([...box.querySelectorAll('.diagram .bubble')].map((b) => [Number(b.dataset.cycle), b]));
    // One Tab stop: the first mark, or the box itself when it has none.
    const first = scroller().querySelector(svg.FOCUSABLE);
    if (first) first.tabIndex = 0;
    else scroller().tabIndex = 0;
    measured = false;
    if (onScreen()) measure();
    drawPick(state);
    drawCycle(state);
    tiles = () => svg.printTiles(touch.matches ? d.draw(report, false) : diagram);
    if (timer.requestIdleCallback) timer.requestIdleCallback(drawTiles, { timeout: 500 });
    else timer.setTimeout(drawTiles, 0);
  }

  // Off the screen a diagram is not laid out (content-visibility, page.css):
  // what cue() measures waits until it comes near.
  const onScreen = () => !box.checkVisibility || scroller().checkVisibility({ contentVisibilityAuto: true });
  function measure() {
    measured = true;
    cue();
    openAtCycles();
  }
  box.addEventListener('contentvisibilityautostatechange', (event) => {
    if (event.skipped || !drawn || measured) return;
    measure();
    drawCycle(store.state); // the stepper's cycle followed into view
  });

  // The tiles for paper, drawn for a mouse whatever the screen, once the
  // diagram is on the screen and the page idle (or at once when a print begins).
  function drawTiles() {
    if (!tiles) return;
    paper.innerHTML = tiles();
    tiles = null;
    if (paper.firstElementChild) lead.append(paper.firstElementChild);
  }
  timer.addEventListener('beforeprint', drawTiles);

  // The arrow keys walk the marks: left and right one by one, up and down to
  // the previous or next row that has any, Home and End to the first and last.
  function walk(event) {
    const mark = event.target.closest ? event.target.closest(svg.FOCUSABLE) : null;
    if (!mark || event.altKey || event.ctrlKey || event.metaKey) return;
    const marks = [...scroller().querySelectorAll(svg.FOCUSABLE)];
    const k = marks.indexOf(mark);
    const row = (m) => m && m.dataset.instr;
    const above = marks.slice(0, k).filter((m) => row(m) !== row(mark)).pop();
    const to = {
      ArrowRight: marks[k + 1],
      ArrowLeft: marks[k - 1],
      ArrowDown: marks.slice(k).find((m) => row(m) !== row(mark)),
      ArrowUp: above && marks.find((m) => row(m) === row(above)),
      Home: marks[0],
      End: marks[marks.length - 1],
    };
    if (!(event.key in to)) return;
    event.preventDefault();
    if (to[event.key]) to[event.key].focus();
  }
  box.addEventListener('keydown', walk);
  box.addEventListener('focusin', (event) => {
    if (!event.target.matches(svg.FOCUSABLE)) return;
    for (const m of scroller().querySelectorAll(svg.FOCUSABLE)) m.tabIndex = m === event.target ? 0 : -1;
  });
  box.addEventListener('scroll', cue, true);
  if (typeof ResizeObserver === 'function') new ResizeObserver(cue).observe(box);

  const markOf = (node) => (node && node.closest ? node.closest(svg.MARKS) : null);
  const enter = (event) => {
    const mark = markOf(event.target);
    const record = store.state.shown;
    if (!mark || mark === markOf(event.relatedTarget) || !record || !record.report) return;
    const sel = svg.selectionOf(mark, record.report);
    if (sel) store.pick(sel);
  };
  const leave = (event) => {
    const mark = markOf(event.target);
    if (mark && mark !== markOf(event.relatedTarget)) store.pick(null);
  };
  box.addEventListener('pointerover', enter);
  box.addEventListener('focusin', enter);
  box.addEventListener('pointerout', leave);
  box.addEventListener('focusout', leave);
  button.addEventListener('click', () => {
    if (file) download(file, d.file, 'image/svg+xml');
  });

  store.on('shown', draw);
  store.on('lang', draw);
  store.on('pick', drawPick);
  store.on('cycle', drawCycle);
  touch.addEventListener('change', () => draw(store.state));
}

// section: the element that holds both diagrams' blocks.
function mount(section, store) {
  const doc = section.ownerDocument;
  doc.head.append(el('style', { text: svg.pageStyle() }));
  const keys = el('p', { class: 'hint key-hint diagram-keys' });
  section.append(keys);
  const label = () => (keys.textContent = T('diagramKeys'));
  store.on('lang', label);
  label();
  // Drawn for touch where the page hides its words on keys.
  const touch = doc.defaultView.matchMedia('(hover: none), (pointer: coarse)');
  for (const d of DIAGRAMS) mountOne(d, section, store, touch);
}

module.exports = { mount };
