// The page's address, and the only code that reads or writes it: the '#'
// part holds a share link (both files), an exercise link or neither, and may
// carry the sender's language (lang=) until she picks her own. Opening the
// page or following a link hands what it holds to the store; what the store
// wants shown (an opened exercise, a link made) is written here.
// Gives create.
'use strict';

const share = require('../logic/share.js');
const exerciseLink = require('../exercise/link.js');
const words = require('../words/words.js');

// win: the window (location, history, performance, events).
function create(store, win) {
  const loc = win.location;
  // The share link whose files the editors took last: followed again
  // (Back to it, a reload), it does not replace what was typed since.
  let applied = null;

  const plain = () => loc.pathname + loc.search;

  // Hands the store what the '#' part holds. opening: the page is being
  // opened, not a link followed.
  function read(hash, opening) {
    const lang = share.linkLang(hash);
    if (words.known(lang)) store.setLang(lang, false);
    const ex = exerciseLink.read(hash);
    if (ex !== null) {
      if (ex.error) store.exerciseLinkError(ex.error);
      else if (!store.state.exercise || store.state.exercise.fragment !== share.withoutLang(hash)) {
        store.closeExercise('link');
        store.openExercise(ex, 'link');
      }
      return;
    }
    if (store.state.exercise) store.closeExercise('link');
    const files = share.decodeShare(hash);
    if (files === null) return;
    if (files.error) return store.notice('badLink');
    const text = share.withoutLang(hash);
    const again = text === applied || (opening && reloaded());
    applied = text;
    if (!again) store.setFiles(files, 'link');
  }

  function reloaded() {
    const nav = win.performance && win.performance.getEntriesByType ? win.performance.getEntriesByType('navigation')[0] : null;
    return Boolean(nav && (nav.type === 'reload' || nav.type === 'back_forward'));
  }

  // What the store wants the address to hold: an exercise's link when it
  // opens (a new entry, so that Back closes it), none when it closes, a
  // share link when one is asked for (then told back as the whole address).
  function write(want) {
    const hash = want.fragment ? '#' + want.fragment : '';
    if (loc.hash !== hash) {
      if (want.how === 'push') win.history.pushState(null, '', plain() + hash);
      else win.history.replaceState(null, '', plain() + hash);
    }
    const files = share.decodeShare(hash);
    if (files && !files.error) applied = share.withoutLang(hash);
    if (want.link) store.linkMade(loc.href);
  }

  // A link's language holds until she picks one; from then on her pick,
  // kept by the store, wins, reloads included: the address drops lang=.
  function langPicked(lang) {
    const linked = share.linkLang(loc.hash);
    if (!linked || linked === lang) return;
    const rest = share.withoutLang(loc.hash);
    win.history.replaceState(win.history.state, '', plain() + (rest ? '#' + rest : ''));
  }

  return {
    start() {
      read(loc.hash, true);
      win.addEventListener('hashchange', () => read(loc.hash, false));
      store.on('address', (state) => write(state.address));
      store.on('lang', (state) => langPicked(state.lang));
    },
  };
}

module.exports = { create };
