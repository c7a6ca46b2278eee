// The shown run's figures under the status: bubbles, cycles as written and
// corrected, cycles per instruction both ways, and the performance.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const sweep = require('../logic/sweep.js');

const { summary } = sweep;

function mount(box, store) {
  function draw(state) {
    const record = state.shown;
    const report = record && record.report;
    if (!report) return box.replaceChildren();
    const rows = summary(report).map(([name, value]) => el('div', {}, [el('dt', { text: name }), el('dd', { text: value })]));
    box.replaceChildren(el('dl', { class: 'schedule-figures' }, rows));
  }
  store.on('shown', draw);
  store.on('lang', draw);
}

module.exports = { mount };
