// The page's frame: the language switch, the fixed words of index.html
// (data-w: its text, data-wl: its aria-label) and the page's language, and
// which parts show: the results are hidden while an exercise is being
// answered, and dimmed while the files they came from have changed.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const words = require('../words/words.js');

const T = words.t;

function mount(doc, store) {
  const select = doc.getElementById('lang');
  for (const code of words.langs()) select.append(el('option', { value: code, lang: code, text: words.nameOf(code) }));
  select.addEventListener('change', () => store.setLang(select.value));

  function sayWords() {
    doc.documentElement.lang = store.state.lang;
    for (const node of doc.querySelectorAll('[data-w]')) node.textContent = T(node.dataset.w);
    for (const node of doc.querySelectorAll('[data-wl]')) node.setAttribute('aria-label', T(node.dataset.wl));
    select.value = store.state.lang;
  }

  function showParts() {
    const s = store.state;
    const answering = Boolean(s.exercise && !s.exercise.revealed) || s.opening;
    doc.body.classList.toggle('exercise-hide', answering);
    doc.querySelector('main').classList.toggle('stale', s.stale && s.shown === s.run && s.ready);
  }

  store.on('lang', sayWords);
  for (const event of ['files', 'run', 'shown', 'exercise', 'ready']) store.on(event, showParts);
  sayWords();
  showParts();
}

module.exports = { mount };
