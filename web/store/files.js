// The store's part for the editors' files: what replaces them, the way back
// ("Previous files"), and both kept in the browser and shared with the
// page's other tabs (how a pair comes back in turn: way-back.js).
// Gives create, VIEW_LIMIT, editorText, samePair.
'use strict';

const shareLinks = require('../logic/share.js');
const storage = require('./storage.js');
const wayBack = require('./way-back.js');

const VIEW_LIMIT = 100000; // an editor shows a loaded file's first bytes only: megabytes take seconds to lay out
const NAMES = ['config', 'program'];
const KEPT_NOTICES = ['keptNoFiles', 'keptFewBack']; // what storage refused; they stay until it takes all again

// What an editor shows of a file: its text, or a loaded file's first bytes as text.
function editorText(content) {
  return typeof content === 'string' ? content : new TextDecoder('utf-8').decode(content.subarray(0, VIEW_LIMIT));
}

const samePair = (a, b) => NAMES.every((n) => shareLinks.sameBytes(a[n], b[n]));

// A pair of files as local storage keeps it, and back; null when not readable.
function stored(pair) {
  const out = {};
  for (const name of NAMES) out[name] = storage.fromContent(pair[name], editorText(pair[name]));
  return out;
}
function unstored(value) {
  const config = storage.toContent(value && value.config);
  const program = storage.toContent(value && value.program);
  return config !== null && program !== null ? { config, program } : null;
}
// A way back as kept: its readable pairs, each with when it left the
// editors and the tab it was kept for, if any.
function unstoredBack(list) {
  const out = [];
  list.forEach((p, k) => {
    const pair = unstored(p);
    if (!pair) return;
    pair.at = Number.isSafeInteger(p.at) ? p.at : k + 1;
    if (typeof p.tab === 'string') pair.tab = p.tab;
    out.push(pair);
  });
  return out;
}

// inner: the store's {state, emit, kept, examples, tab, run, runLater};
// run() runs the editors' files now, runLater() after a pause of typing.
function create(inner) {
  const { state, emit, kept, examples, tab } = inner;
  const written = { editors: null, 'files-back': null }; // the texts this tab last wrote or read
  let keptBack = 0; // how many pairs of the way back storage holds
  let toldTab = false; // whether the notice said once that another tab changed the files
  let selfKept = null; // this tab's editors as last kept on the way back for another tab's sake

  function put(files) {
    for (const name of NAMES) if (name in files) state.files[name] = files[name];
    const example = examples.find((e) => samePair(e, state.files));
    state.example = example ? example.name : null;
    state.stale = true;
  }

  // files: {config, program}, either or both. how: 'typed' (an edit:
  // runs after a pause of typing), or what replaced them: 'example',
  // 'file', 'link' (the pair they replace goes on the way back).
  function setFiles(files, how) {
    const before = { config: state.files.config, program: state.files.program };
    const replaced = how !== 'typed';
    if (replaced && samePair(before, Object.assign({}, before, files))) return;
    put(files);
    if (replaced) wayBack.leave(state.back, before, state.files, samePair);
    if (state.notice && !KEPT_NOTICES.includes(state.notice.key)) state.notice = null;
    save(replaced);
    emit('files', 'notice');
    if (how === 'typed') inner.runLater();
    else inner.run();
  }

  // Brings back the pair the editors held before their last replacement
  // (see store/way-back.js: in turn, none lost).
  function filesBack() {
    const pair = wayBack.stepBack(state.back, { config: state.files.config, program: state.files.program }, samePair);
    if (!pair) return;
    put(pair);
    save(true);
    emit('files', 'notice');
    inner.run();
  }

  function pickExample(name) {
    const example = examples.find((e) => e.name === name);
    if (example) setFiles({ config: String(example.config), program: String(example.program) }, 'example');
  }

  // The way back as kept, merged into this one if another tab changed it
  // since this tab last wrote or read it. Returns whether it was.
  function takeBack() {
    const text = kept.text('files-back');
    if (text === null || text === written['files-back']) return false;
    written['files-back'] = text;
    const list = storage.parse(text);
    if (Array.isArray(list)) wayBack.merge(state.back, unstoredBack(list), state.files, samePair, tab);
    return true;
  }

  // Keeps the way back's n pairs that left the editors last and, with self,
  // this tab's editors tagged as its own, for when another tab writes over them.
  function writeBack(n, self) {
    const newest = state.back.slice().sort((a, b) => b.at - a.at).slice(0, n);
    const list = state.back.filter((p) => newest.includes(p));
    if (self) list.push(Object.assign({}, state.files, { at: wayBack.next(state.back), tab }));
    const text = kept.set('files-back', list.map((p) => Object.assign(stored(p), { at: p.at }, p.tab ? { tab: p.tab } : {})));
    if (text === null) return false;
    written['files-back'] = text;
    keptBack = n;
    return true;
  }
  const saveBack = (self) => {
    takeBack();
    for (let n = state.back.length; n >= 0 && !writeBack(n, self); n--);
  };

  // Keeps the editors' files and, with back, the way back. Another tab's
  // files that the editors' key holds are first kept on the way back. The
  // editors come first: when storage refuses them, the way back gives up
  // room, the pairs that left the editors longest ago first; the notice
  // says what could not be kept.
  function save(back) {
    const theirs = kept.text('editors');
    if (theirs !== null && theirs !== written.editors) {
      const value = storage.parse(theirs);
      const pair = unstored(value);
      if (pair && value.tab !== tab && !samePair(pair, state.files)) {
        wayBack.keepTab(state.back, String(value.tab || 'other'), pair, state.files, samePair);
        back = true;
      }
    }
    if (back) saveBack(false);
    const editors = Object.assign(stored(state.files), { tab });
    let text = kept.set('editors', editors);
    for (let n = keptBack - 1; text === null && n >= 0; n--) if (writeBack(n, false)) text = kept.set('editors', editors);
    if (text !== null) written.editors = text;
    const why = text === null ? { key: 'keptNoFiles', params: {} } : keptBack < state.back.length ? { key: 'keptFewBack', params: { k: keptBack, n: state.back.length } } : null;
    if (why) state.notice = why;
    else if (state.notice && KEPT_NOTICES.includes(state.notice.key)) state.notice = null;
  }

  // Another tab changed what the browser keeps: its way back is taken in;
  // when it wrote its editors over this tab's, this tab's are kept on the
  // way back in storage (once for each state of them), and the notice says
  // so the first time.
  function heard(key) {
    if (key === 'files-back' && takeBack()) emit('files');
    if (key !== 'editors') return;
    const pair = unstored(kept.get('editors'));
    if (!pair || samePair(pair, state.files)) return;
    if (!selfKept || !samePair(selfKept, state.files)) {
      saveBack(true);
      selfKept = { config: state.files.config, program: state.files.program };
    }
    if (toldTab) return;
    toldTab = true;
    state.notice = { key: 'otherTab', params: {} };
    emit('notice');
  }

  // The files and the way back kept from the last visit, else the first example.
  function restore() {
    written['files-back'] = kept.text('files-back');
    written.editors = kept.text('editors');
    const back = storage.parse(written['files-back']);
    const value = storage.parse(written.editors);
    const editors = unstored(value);
    // A pair kept for the tab that wrote the editors last is an older state of them.
    const older = (p) => editors && p.tab && p.tab === value.tab;
    if (Array.isArray(back)) state.back.push(...unstoredBack(back).filter((p) => !older(p)).slice(-wayBack.KEEP));
    keptBack = state.back.length;
    if (editors) put(editors);
    else {
      const first = examples.find((e) => e.name === 'six') || examples[0];
      if (first) put({ config: String(first.config), program: String(first.program) });
    }
  }

  return { setFiles, filesBack, pickExample, heard, restore };
}

module.exports = { create, VIEW_LIMIT, editorText, samePair };
