// The class's files for the teacher, beside the sheet's fields: the question
// bank for Moodle and the key as CSV of the sheet's variants, with the
// exercise setup's depth, count, level and parts asked, saved as files; a
// question bank too large for one file listed as links, one a file; the
// message when they cannot be made.
// Gives mount(box, store).
'use strict';

const { el, parts, download } = require('./dom.js');
const T = require('../words/words.js').t;

function mount(box, store) {
  const find = parts(box, {
    moodle: 'moodle-export', csv: 'key-csv', message: 'export-message', files: 'moodle-files', note: 'moodle-files-note', list: 'moodle-files-list',
  });
  let listed = null; // the files the links save, and each one's address
  let urls = [];

  const save = (form) => {
    const made = store.exportClass(form);
    if (made) download(made.text, made.name, made.type);
    else if (form === 'moodle' && store.state.exportFiles) find.note.focus();
  };
  find.moodle.addEventListener('click', () => save('moodle'));
  find.csv.addEventListener('click', () => save('csv'));

  // The variants a file holds, in words.
  function holds(f) {
    const which = f.count === 1 ? (f.byNames ? f.first : T('moodleFileSeed', { seed: f.first }))
      : f.byNames ? T('moodleFileNames', { first: f.first, last: f.last }) : T('exportSeeds', { from: f.first, to: f.last });
    return T('moodleFileLink', { file: f.name, n: f.count, which });
  }

  function drawFiles(files) {
    if (files !== listed) {
      urls.forEach((url) => URL.revokeObjectURL(url));
      urls = (files || []).map((f) => URL.createObjectURL(new Blob([f.text], { type: f.type })));
      listed = files;
    }
    find.files.hidden = !files;
    find.note.textContent = files ? T('moodleFilesNote', { n: files.length }) : '';
    find.list.replaceChildren(...(files || []).map((f, k) => el('li', {}, [el('a', { href: urls[k], download: f.name, text: holds(f) })])));
  }

  function draw(state) {
    const m = state.exportMessage;
    find.message.hidden = !m;
    find.message.textContent = m ? T(m.key, m.params) : '';
    drawFiles(state.exportFiles);
  }
  store.on('export', draw);
  store.on('lang', draw);
  draw(store.state);
}

module.exports = { mount };
