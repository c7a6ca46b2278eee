// The bar over the editors: the example list (a choice is loaded by the
// pointer, Enter or its Open button, never while keys walk it), Run and
// Ctrl+Enter, the previous files, the share link and its box, and the notice.
// Gives mount(box, store).
'use strict';

const { el, parts } = require('./dom.js');
const T = require('../words/words.js').t;

// box: the section that holds the bar, the notice and the share box.
function mount(box, store) {
  const { examples, openButton, runButton, back, shareButton, notice, shareBox, shareNote, shareLink } = parts(box, {
    examples: 'example', openButton: 'example-load', runButton: 'run', back: 'files-back', shareButton: 'share',
    notice: 'notice', shareBox: 'share-box', shareNote: 'share-note', shareLink: 'share-link',
  });
  let copied = null; // whether the last link made reached the clipboard

  for (const e of store.state.examples) examples.append(el('option', { value: e.name, text: e.name }));

  function drawFiles(state) {
    if (state.example === null) examples.selectedIndex = -1;
    else examples.value = state.example;
    back.disabled = state.back.length === 0;
    back.title = T('backCount', { n: state.back.length });
  }

  function drawNotice(state) {
    const text = state.notice ? T(state.notice.key, state.notice.params) : '';
    notice.hidden = !text;
    if (notice.textContent !== text) notice.textContent = text; // the same notice is not announced again
  }

  function drawLink(state) {
    shareBox.hidden = !state.link;
    if (!state.link) return;
    shareLink.value = state.link.url;
    shareNote.textContent = T(copied === null ? 'link' : copied ? 'linkCopied' : 'linkCopy');
  }

  // The list loads a choice made with the pointer (a change with no key
  // pressed since it took focus or was clicked), Enter, or the Open button;
  // a change made by keys, with the list open or closed, is only a look.
  let keyed = false;
  const load = () => {
    if (examples.selectedIndex >= 0) store.pickExample(examples.value);
  };
  for (const event of ['focus', 'pointerdown']) examples.addEventListener(event, () => (keyed = false));
  examples.addEventListener('keydown', (event) => {
    keyed = true;
    if (event.key !== 'Enter') return;
    event.preventDefault();
    load();
  });
  examples.addEventListener('change', () => {
    if (!keyed) load();
  });
  openButton.addEventListener('click', load);
  // A look left unloaded shows the editors' example again, unless the Open button takes it.
  examples.addEventListener('blur', (event) => event.relatedTarget !== openButton && drawFiles(store.state));
  openButton.addEventListener('blur', (event) => event.relatedTarget !== examples && drawFiles(store.state));

  runButton.addEventListener('click', () => store.run());
  box.ownerDocument.addEventListener('keydown', (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === 'Enter') {
      event.preventDefault();
      store.run();
    }
  });
  back.addEventListener('click', () => store.filesBack());
  shareButton.addEventListener('click', () => store.share());

  store.on('ready', (state) => {
    runButton.disabled = !state.ready;
  });
  store.on('files', drawFiles);
  store.on('notice', drawNotice);
  store.on('link', async (state) => {
    copied = null;
    drawLink(state);
    if (!state.link) return;
    try {
      await navigator.clipboard.writeText(state.link.url);
      copied = true;
    } catch (e) {
      copied = false;
      shareLink.focus();
      shareLink.select();
    }
    drawLink(store.state);
  });
  store.on('lang', (state) => {
    drawFiles(state);
    drawNotice(state);
    drawLink(state);
  });
  drawFiles(store.state);
}

module.exports = { mount };
