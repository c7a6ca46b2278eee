// Beside the console, in any language but Romanian: the meaning of every
// line the shown run printed, worked out from its files, its status and its
// report; each line quoted as the simulator wrote it.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const inputHelp = require('../logic/input-help.js');
const words = require('../words/words.js');

function mount(box, store) {
  function draw(state) {
    const record = state.shown;
    box.hidden = state.lang === 'ro' || !record || !record.result || !state.limits;
    if (box.hidden) return box.replaceChildren();
    const input = inputHelp.create(state.limits);
    const said = input.messages(record.config, record.program, record.result.status, record.report);
    const items = said.map((m) => el('li', {}, [el('q', { lang: 'ro', text: m.ro }), ' = ' + words.t(m.k, m.p)]));
    box.replaceChildren(el('h3', { text: words.t('meanings') }), el('ul', {}, items));
  }
  store.on('shown', draw);
  store.on('lang', draw);
  draw(store.state);
}

module.exports = { mount };
