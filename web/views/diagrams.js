// The two pipeline diagrams of the shown run, as written and corrected:
// drawn from its report, their marks picking a hazard or a delay on hover
// and focus, lit by the page's pick and the stepper's cycle, and each saved
// as an SVG file by its button.
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

// One diagram's block, built at the end of section: its title, its button, its box.
function mountOne(d, section, store) {
  const title = el('h2', { id: d.name + '-title' });
  const button = el('button', { id: `download-${d.name}-svg`, type: 'button', 'aria-labelledby': `download-${d.name}-svg ${d.name}-title` });
  const box = el('div', { id: d.name + '-diagram', class: 'diagram-box' });
  const block = el('div', { class: 'diagram-block', id: d.name + '-block', hidden: true }, [
    el('div', { class: 'diagram-head' }, [title, button]),
    box,
  ]);
  section.append(block);
  let file = '';

  const light = (cls, selector) => {
    for (const node of box.querySelectorAll('.' + cls)) node.classList.remove(cls);
    if (selector) for (const node of box.querySelectorAll(selector)) node.classList.add(cls);
  };
  const drawPick = (state) => light('picked', svg.pickedSelector(state.pick));
  const drawCycle = (state) => light('current-cycle', svg.cycleSelector(state.cycle, d.which));

  function draw(state) {
    title.textContent = T(d.which);
    button.textContent = T('svg');
    const record = store.shown();
    const report = record && record.report;
    block.hidden = !report;
    file = '';
    box.textContent = '';
    if (!report) return;
    const diagram = d.draw(report);
    box.innerHTML = svg.pageHtml(diagram);
    file = svg.standalone(diagram);
    drawPick(state);
    drawCycle(state);
  }

  const markOf = (node) => (node && node.closest ? node.closest(svg.MARKS) : null);
  const enter = (event) => {
    const mark = markOf(event.target);
    const record = store.shown();
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
}

// section: the element that holds both diagrams' blocks.
function mount(section, store) {
  const doc = section.ownerDocument;
  doc.head.append(el('style', { text: svg.pageStyle() }));
  for (const d of DIAGRAMS) mountOne(d, section, store);
}

module.exports = { mount };
