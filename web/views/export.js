// The class's files for the teacher, beside the sheet's fields: the question
// bank for Moodle and the key as CSV of the sheet's variants, with the
// exercise setup's depth, count, level and parts asked, saved as files; the
// message when they cannot be made.
// Gives mount(box, store).
'use strict';

const { parts, download } = require('./dom.js');
const T = require('../words/words.js').t;

function mount(box, store) {
  const find = parts(box, { moodle: 'moodle-export', csv: 'key-csv', message: 'export-message' });

  const save = (form) => {
    const made = store.exportClass(form);
    if (made) download(made.text, made.name, made.type);
  };
  find.moodle.addEventListener('click', () => save('moodle'));
  find.csv.addEventListener('click', () => save('csv'));

  function draw(state) {
    const m = state.exportMessage;
    find.message.hidden = !m;
    find.message.textContent = m ? T(m.key, m.params) : '';
  }
  store.on('export', draw);
  store.on('lang', draw);
  draw(store.state);
}

module.exports = { mount };
