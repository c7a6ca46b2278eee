// The editors' program reordered: its instructions as a list to move (a
// move that would change what it computes is refused, and why is said),
// the order's corrected diagram beside it, its best order on request, the
// order put into the editor or reset. Gives mount(box, store).
'use strict';

const { createOrderList } = require('./order-list.js');
const { breachWords } = require('../logic/reorder.js');
const { instrLabel } = require('../logic/schedule.js');
const svg = require('../logic/diagram-svg.js');
const corrected = require('../logic/diagram-corrected.js');
const T = require('../words/words.js').t;

function mount(section, store) {
  const $ = (id) => section.querySelector('#reorder-' + id);
  const label = (i) => instrLabel(store.state.run.report.instructions[i]);
  const list = createOrderList($('list'), { label, move: store.moveOrder, t: T });

  function draw(state) {
    const r = state.reorder;
    if ((section.hidden = !r || Boolean(state.exercise || state.opening))) return;
    const { refusal: b, moved: m, best, record } = r;
    list.render(r.order);
    $('status').textContent = b ? breachWords(state.run.report.instructions, b) : m ? T('orderMoved', { label: label(m.instr), at: m.to + 1, n: record.report.bubbles }) : '';
    const how = best && (best.exact ? T('proved') : T('bestFound', { bound: best.bound }));
    $('found').textContent = best ? T('bestIs', { n: best.bubbles, how, order: best.order.join(' ') }) : '';
    drawDiagram(record);
  }

  // The order's diagram, drawn while the view is near the screen: an edit
  // read elsewhere on the page draws no diagram here.
  let near = false;
  let drawn = null;
  function drawDiagram(record) {
    if (!near || drawn === record) return;
    drawn = record;
    $('diagram').innerHTML = svg.pageHtml(corrected.draw(record.report), 'order');
    $('diagram').querySelector('.diagram').tabIndex = 0; // it scrolls: one Tab stop
  }
  const view = section.ownerDocument.defaultView;
  new view.IntersectionObserver((seen) => {
    near = seen[seen.length - 1].isIntersecting;
    if (store.state.reorder && !section.hidden) drawDiagram(store.state.reorder.record);
  }, { rootMargin: '50%' }).observe(section);

  for (const [id, action] of [['best', store.showBest], ['apply', store.applyOrder], ['reset', store.resetOrder]])
    $(id).addEventListener('click', () => action());
  for (const event of ['run', 'reorder', 'exercise', 'lang']) store.on(event, draw);
}

module.exports = { mount };
