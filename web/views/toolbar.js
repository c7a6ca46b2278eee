// The bar over the editors: the example list (a choice is loaded on a click
// or Enter, not while the arrow keys walk it), Run and Ctrl+Enter, the
// previous files, the share link and its box, and the notice.
// Gives mount(box, store).
'use strict';

const { el, parts } = require('./dom.js');
const T = require('../words/words.js').t;

// box: the section that holds the bar, the notice and the share box.
function mount(box, store) {
  const { examples, runButton, back, shareButton, notice, shareBox, shareNote, shareLink } = parts(box, {
    examples: 'example', runButton: 'run', back: 'files-back', shareButton: 'share',
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
    notice.hidden = !state.notice;
    notice.textContent = state.notice ? T(state.notice.key, state.notice.params) : '';
  }

  function drawLink(state) {
    shareBox.hidden = !state.link;
    if (!state.link) return;
    shareLink.value = state.link.url;
    shareNote.textContent = T(copied === null ? 'link' : copied ? 'linkCopied' : 'linkCopy');
  }

  // A closed list changes its value on every arrow key: such a change is
  // only a look, loaded by Enter; a click or a pick from the open list loads.
  let walking = false;
  examples.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      store.pickExample(examples.value);
      return;
    }
    walking = true;
    setTimeout(() => (walking = false));
  });
  examples.addEventListener('change', () => {
    if (!walking) store.pickExample(examples.value);
  });
  examples.addEventListener('blur', () => drawFiles(store.state));

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
