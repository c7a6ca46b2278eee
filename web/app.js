// The page's wiring: examples, editors and loaded files kept in the browser,
// running the simulator whenever they change, showing its console, status and
// result files, handing the run to the run model, and share links.
(function () {
  'use strict';

  const words = window.hazardText;
  const T = words.t;
  const MAX_LINK = 2000000; // Chromium refuses longer addresses
  const VIEW_LIMIT = 100000;
  const STORE_KEY = 'hazard-sim.editors';
  const STORE_BYTES = 1000000; // a loaded file larger than this is stored as its editor's text
  const EDIT_PAUSE = 80; // ms of quiet typing before the run: the run and drawing take the rest of 300 ms

  const $ = (id) => document.getElementById(id);
  const ui = {
    example: $('example'),
    run: $('run'),
    share: $('share'),
    notice: $('notice'),
    shareBox: $('share-box'),
    shareNote: $('share-note'),
    shareLink: $('share-link'),
    status: $('status'),
    downloads: $('downloads'),
    downloadAnalysis: $('download-analysis'),
    downloadSchedule: $('download-schedule'),
    console: $('console'),
    main: document.querySelector('main'),
  };
  const editors = { config: $('config'), program: $('program') };
  const notes = { config: $('config-note'), program: $('program-note') };

  // A file loaded from disk or a share link is kept exactly until its editor is edited.
  const loaded = { config: null, program: null };
  const blobUrls = [];
  let simReady = false;
  let pending = 0;

  const examples = Array.isArray(window.hazardExamples) ? window.hazardExamples : [];
  const sim = window.hazardSim;

  // What the page says in an element, kept so that a switch of language says it again.
  const said = new Map();
  function put(el, text) {
    said.set(el, text);
    delete el.dataset.w;
    el.textContent = text();
  }
  window.hazardRun.on('lang', () => said.forEach((text, el) => (el.textContent = text())));

  function showNotice(key, params) {
    put(ui.notice, () => (key ? T(key, params) : ''));
    ui.notice.hidden = !key;
  }

  // content: a string or a Uint8Array. The editor shows it as text; whatever
  // the editor would change (line ends, bytes that are not UTF-8) is kept as it was.
  // A large file's view holds only its start: a textarea of megabytes takes seconds to lay out.
  function setEditor(name, content) {
    const bytes = typeof content === 'string' ? null : content;
    const text = bytes ? new TextDecoder('utf-8').decode(bytes.subarray(0, VIEW_LIMIT)) : content;
    editors[name].value = text;
    loaded[name] = bytes === null && editors[name].value === text ? null : content;
    const example = bytes === null && loaded[name] !== null;
    put(notes[name], () => {
      let note = '';
      if (bytes) note = T('noteLoaded', { n: bytes.length });
      else if (example) note = T('noteExample');
      if (bytes && bytes.length > VIEW_LIMIT) note += T('noteView', { n: VIEW_LIMIT });
      return note && note + T('noteEdit');
    });
  }

  function contentOf(name) {
    return loaded[name] !== null ? loaded[name] : editors[name].value;
  }

  function pickExample(name) {
    const example = examples.find((e) => e.name === name);
    if (!example) return;
    setEditor('config', String(example.config));
    setEditor('program', String(example.program));
    ui.example.value = name;
  }

  function clearOutputs() {
    while (blobUrls.length) URL.revokeObjectURL(blobUrls.pop());
    ui.console.textContent = '';
    ui.downloads.hidden = true;
  }

  // What is kept of an editor in local storage: a loaded file's bytes when
  // they are not too many, else the text it shows.
  function stored(name) {
    const content = contentOf(name);
    if (typeof content === 'string') return { text: content };
    if (content.length <= STORE_BYTES) return { bytes: window.hazardShare.toBase64Url(content) };
    return { text: editors[name].value };
  }

  function save() {
    try {
      localStorage.setItem(STORE_KEY, JSON.stringify({ config: stored('config'), program: stored('program') }));
    } catch (e) {
      // storage full or disabled: the editors still hold the work
    }
  }

  // Both editors' contents as last stored, or null.
  function restore() {
    let kept;
    try {
      kept = JSON.parse(localStorage.getItem(STORE_KEY));
    } catch (e) {
      return null;
    }
    const content = (k) => {
      if (!k || typeof k !== 'object') return null;
      if (typeof k.text === 'string') return k.text;
      return typeof k.bytes === 'string' ? window.hazardShare.fromBase64Url(k.bytes) : null;
    };
    const config = kept && content(kept.config);
    const program = kept && content(kept.program);
    return config !== null && program !== null ? { config, program } : null;
  }

  // The shown results belong to files that have changed since: they are
  // marked so until the next run replaces them.
  function markStale() {
    ui.main.classList.add('stale');
    put(ui.status, () => T('stale'));
    delete ui.status.dataset.status;
    ui.status.className = '';
  }

  function runSoon() {
    markStale();
    clearTimeout(pending);
    pending = setTimeout(run, EDIT_PAUSE);
  }

  function blobUrl(content, type) {
    const url = URL.createObjectURL(new Blob([content == null ? '' : content], { type }));
    blobUrls.push(url);
    return url;
  }

  function showStatus(status) {
    put(ui.status, () => T('status', { s: status, m: T(status >= 0 && status <= 4 ? 'st' + status : 'stX') }));
    ui.status.dataset.status = String(status);
    ui.status.className = status === 0 ? 'ok' : 'fail';
  }

  function run() {
    clearTimeout(pending);
    if (!simReady) return;
    clearOutputs();
    ui.main.classList.remove('stale');
    const config = contentOf('config');
    const program = contentOf('program');
    let result;
    try {
      result = sim.run(config, program);
    } catch (e) {
      const why = e && e.message ? e.message : String(e);
      put(ui.status, () => T('simFail', { e: why }));
      ui.status.dataset.status = '';
      ui.status.className = 'fail';
      window.hazardRun.setRun(null);
      return;
    }
    ui.console.textContent = result.console;
    showStatus(result.status);
    ui.downloadAnalysis.href = blobUrl(result.analysis, 'text/plain');
    ui.downloadSchedule.href = blobUrl(result.schedule, 'text/plain');
    ui.downloads.hidden = false;
    window.hazardRun.setRun({ config, program, result });
  }

  async function copyLink() {
    const fragment = ((window.hazardExercise && window.hazardExercise.linkFragment()) ||
      window.hazardShare.encodeShare(contentOf('config'), contentOf('program'))) + '&lang=' + words.lang;
    if (fragment.length > MAX_LINK) {
      showNotice('tooBig');
      ui.shareBox.hidden = true;
      return;
    }
    showNotice('');
    location.hash = fragment;
    ui.shareLink.value = location.href;
    put(ui.shareNote, () => T('link'));
    ui.shareBox.hidden = false;
    try {
      await navigator.clipboard.writeText(location.href);
      put(ui.shareNote, () => T('linkCopied'));
    } catch (e) {
      put(ui.shareNote, () => T('linkCopy'));
      ui.shareLink.focus();
      ui.shareLink.select();
    }
  }

  // Fills the editors from a share link in the address, unless they hold
  // its files already. Returns what decodeShare gave: null when the address
  // holds no share link, {error} when it is malformed (the editors stay as
  // they were), or the two files.
  function applyHash() {
    const shared = (window.hazardExercise && window.hazardExercise.filesOf(location.hash)) ||
      window.hazardShare.decodeShare(location.hash);
    if (shared === null) return null;
    if (shared.error) {
      showNotice('badLink');
      return shared;
    }
    showNotice('');
    const same = window.hazardShare.sameBytes;
    if (same(shared.config, contentOf('config')) && same(shared.program, contentOf('program'))) return null;
    ui.example.selectedIndex = -1;
    setEditor('config', shared.config);
    setEditor('program', shared.program);
    save();
    return shared;
  }

  const wellFormed = (shared) => shared !== null && !shared.error;

  async function loadFile(name, input) {
    const file = input.files && input.files[0];
    if (!file) return;
    try {
      setEditor(name, new Uint8Array(await file.arrayBuffer()));
      ui.example.selectedIndex = -1;
      showNotice('');
      save();
      run();
    } catch (e) {
      showNotice('fileUnread', { f: file.name });
    }
    input.value = '';
  }

  for (const example of examples) {
    const option = document.createElement('option');
    option.value = option.textContent = String(example.name);
    ui.example.appendChild(option);
  }
  ui.example.addEventListener('change', () => {
    pickExample(ui.example.value);
    save();
    run();
  });
  for (const name of ['config', 'program']) {
    editors[name].addEventListener('input', () => {
      loaded[name] = null;
      put(notes[name], () => '');
      ui.example.selectedIndex = -1;
      save();
      runSoon();
    });
    $(name + '-file').addEventListener('change', (event) => loadFile(name, event.target));
  }
  ui.run.addEventListener('click', run);
  document.addEventListener('keydown', (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === 'Enter') {
      event.preventDefault();
      run();
    }
  });
  ui.share.addEventListener('click', copyLink);
  window.addEventListener('hashchange', () => {
    if (wellFormed(applyHash())) run();
  });

  // Opening: the files of a share link, else the editors as last kept, else the first example.
  const kept = restore();
  if (kept) {
    setEditor('config', kept.config);
    setEditor('program', kept.program);
    ui.example.selectedIndex = -1;
    const example = examples.find((e) => e.config === kept.config && e.program === kept.program);
    if (example) ui.example.value = example.name;
  } else {
    const first = examples.find((e) => e.name === 'six') || examples[0];
    if (first) pickExample(first.name);
  }
  applyHash();

  if (!sim || !sim.ready || typeof sim.run !== 'function') {
    put(ui.status, () => T('simLoadFail'));
    return;
  }
  Promise.resolve(sim.ready).then(
    () => {
      simReady = true;
      ui.run.disabled = false;
      run();
    },
    () => put(ui.status, () => T('simLoadFail'))
  );
})();
