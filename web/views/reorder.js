// The editors' program reordered: its instructions as a list to move
// (a move that would change what it computes is refused, and why is said),
// the bubbles, performance and corrected diagram of the order, its best
// order on request, and the order put into the editor. Gives mount(box, store).
'use strict';

const { el, parts } = require('./dom.js');
const { createOrderList } = require('./order-list.js');
const { instrLabel } = require('../logic/schedule.js');
const svg = require('../logic/diagram-svg.js');
const corrected = require('../logic/diagram-corrected.js');
const T = require('../words/words.js').t;

function mount(section, store) {
  const $ = parts(section, {
    list: 'reorder-list', figures: 'reorder-figures', status: 'reorder-status', best: 'reorder-best',
    apply: 'reorder-apply', reset: 'reorder-reset', found: 'reorder-found', diagram: 'reorder-diagram',
  });
  const touch = section.ownerDocument.defaultView.matchMedia('(hover: none), (pointer: coarse)');
  const label = (i) => instrLabel(store.state.run.report.instructions[i]);
  const list = createOrderList($.list, { label, name: label, move: store.moveOrder, t: T });
  let speak = false; // whether the status has a move to tell since the run

  function said(r) {
    const b = r.refusal;
    if (b) return T('breach' + b.kind, { later: label(b.later), earlier: label(b.earlier), r: b.register });
    const { bubbles: n, performance: p } = r.record.report;
    return r.moved ? T('orderMoved', { label: label(r.moved.instr), at: r.moved.to + 1, n, p }) : T('orderWritten', { n, p });
  }

  function draw(state) {
    const r = state.reorder;
    section.hidden = !r || Boolean(state.exercise) || state.opening;
    if (section.hidden) return;
    const report = r.record.report;
    list.render(r.order);
    $.figures.replaceChildren(
      ...[['bubbles', report.bubbles], ['perf', report.performance + '%']].map(([k, v]) => el('div', {}, [el('dt', { text: T(k) }), el('dd', { text: String(v) })]))
    );
    $.status.textContent = speak ? said(r) : '';
    const best = r.best;
    $.found.textContent = best ? T(best.exact ? 'bestProved' : 'bestFound', { n: best.bubbles, order: best.order.join(' '), p: best.performance, bound: best.bound }) : '';
    $.diagram.innerHTML = svg.pageHtml(corrected.draw(report, touch.matches), 'order');
    $.diagram.querySelector('.diagram').tabIndex = 0;
  }

  $.best.addEventListener('click', store.showBest);
  $.apply.addEventListener('click', store.applyOrder);
  $.reset.addEventListener('click', store.resetOrder);
  store.on('run', (state) => {
    speak = false;
    draw(state);
  });
  store.on('reorder', (state) => {
    speak = true;
    draw(state);
  });
  for (const event of ['exercise', 'lang']) store.on(event, draw);
  touch.addEventListener('change', () => draw(store.state));
}

module.exports = { mount };
