// The page's wiring: examples, editors and loaded files, running the simulator,
// showing its console, status and result files, the diagrams and share links.
(function () {
  'use strict';

  const STATUS_MEANING = {
    0: 'rulare completa',
    1: 'program.txt nu poate fi deschis',
    2: 'un fisier de rezultate nu poate fi creat sau scris, sau programul are erori de sintaxa',
    3: 'config.txt nu poate fi deschis',
    4: 'o valoare de configurare este in afara limitelor',
  };
  const MAX_LINK = 2000000; // Chromium refuses longer addresses
  const VIEW_LIMIT = 100000;

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
    diagramNote: $('diagram-note'),
    analysisBlock: $('analysis-block'),
    scheduleBlock: $('schedule-block'),
    analysisDiagram: $('analysis-diagram'),
    scheduleDiagram: $('schedule-diagram'),
    scheduleSummary: $('schedule-summary'),
  };
  const editors = { config: $('config'), program: $('program') };
  const notes = { config: $('config-note'), program: $('program-note') };

  // A file loaded from disk or a share link is kept exactly until its editor is edited.
  const loaded = { config: null, program: null };
  const svgs = { analysis: '', schedule: '' };
  const blobUrls = [];
  let simReady = false;
  let ownHash = '';

  const examples = Array.isArray(window.hazardExamples) ? window.hazardExamples : [];
  const sim = window.hazardSim;

  function showNotice(text) {
    ui.notice.textContent = text;
    ui.notice.hidden = !text;
  }

  // content: a string or a Uint8Array. The editor shows it as text; whatever
  // the editor would change (line ends, bytes that are not UTF-8) is kept as it was.
  // A large file's view holds only its start: a textarea of megabytes takes seconds to lay out.
  function setEditor(name, content) {
    const bytes = typeof content === 'string' ? null : content;
    const text = bytes ? new TextDecoder('utf-8').decode(bytes.subarray(0, VIEW_LIMIT)) : content;
    editors[name].value = text;
    loaded[name] = bytes === null && editors[name].value === text ? null : content;
    let note = '';
    if (bytes) note = `Se ruleaza continutul exact incarcat (${bytes.length} octeti)`;
    else if (loaded[name] !== null) note = 'Se ruleaza continutul exact al exemplului';
    if (bytes && bytes.length > VIEW_LIMIT) note += `; editorul arata doar primii ${VIEW_LIMIT} octeti`;
    if (note) note += '. O modificare in editor il inlocuieste cu textul din editor.';
    notes[name].textContent = note;
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
    hideDiagrams();
  }

  function hideDiagrams() {
    ui.analysisBlock.hidden = true;
    ui.scheduleBlock.hidden = true;
    ui.analysisDiagram.textContent = '';
    ui.scheduleDiagram.textContent = '';
    ui.scheduleSummary.textContent = '';
    svgs.analysis = svgs.schedule = '';
    ui.diagramNote.hidden = false;
  }

  function blobUrl(content, type) {
    const url = URL.createObjectURL(new Blob([content == null ? '' : content], { type }));
    blobUrls.push(url);
    return url;
  }

  function showStatus(status) {
    const meaning = STATUS_MEANING[status] || 'stare necunoscuta';
    ui.status.textContent = `Stare ${status}: ${meaning}`;
    ui.status.dataset.status = String(status);
    ui.status.className = status === 0 ? 'ok' : 'fail';
  }

  function showDiagrams(result) {
    const model = window.hazardDiagram.readRun(result);
    if (!model) {
      ui.diagramNote.textContent = 'Tabelele rularii nu au putut fi citite; diagramele lipsesc.';
      return;
    }
    svgs.analysis = window.hazardDiagram.analysisSvg(model);
    svgs.schedule = window.hazardDiagram.scheduleSvg(model);
    ui.analysisDiagram.innerHTML = svgs.analysis;
    ui.scheduleDiagram.innerHTML = svgs.schedule;
    ui.scheduleSummary.textContent = window.hazardDiagram.summaryText(model);
    ui.analysisBlock.hidden = false;
    ui.scheduleBlock.hidden = false;
    ui.diagramNote.hidden = true;
  }

  function run() {
    if (!simReady) return;
    clearOutputs();
    ui.diagramNote.textContent = 'Diagramele apar dupa o rulare completa (stare 0).';
    let result;
    try {
      result = sim.run(contentOf('config'), contentOf('program'));
    } catch (e) {
      ui.status.textContent = 'Simulatorul nu a putut rula: ' + (e && e.message ? e.message : String(e));
      ui.status.dataset.status = '';
      ui.status.className = 'fail';
      return;
    }
    ui.console.textContent = result.console;
    showStatus(result.status);
    ui.downloadAnalysis.href = blobUrl(result.analysis, 'text/plain');
    ui.downloadSchedule.href = blobUrl(result.schedule, 'text/plain');
    ui.downloads.hidden = false;
    if (result.status === 0) showDiagrams(result);
    window.hazardRun.setRun({ config: contentOf('config'), program: contentOf('program'), result });
  }

  function downloadSvg(which, fileName) {
    if (!svgs[which]) return;
    const a = document.createElement('a');
    a.href = blobUrl('<?xml version="1.0" encoding="UTF-8"?>\n' + svgs[which] + '\n', 'image/svg+xml');
    a.download = fileName;
    document.body.appendChild(a);
    a.click();
    a.remove();
  }

  async function copyLink() {
    const fragment = window.hazardShare.encodeShare(contentOf('config'), contentOf('program'));
    if (fragment.length > MAX_LINK) {
      showNotice('Fisierele sunt prea mari pentru un link (peste 2 MB); linkul nu a fost creat.');
      ui.shareBox.hidden = true;
      return;
    }
    showNotice('');
    ownHash = '#' + fragment;
    location.hash = fragment;
    ui.shareLink.value = location.href;
    ui.shareNote.textContent = 'Link';
    ui.shareBox.hidden = false;
    try {
      await navigator.clipboard.writeText(location.href);
      ui.shareNote.textContent = 'Link copiat';
    } catch (e) {
      ui.shareNote.textContent = 'Copiati linkul';
      ui.shareLink.focus();
      ui.shareLink.select();
    }
  }

  // Fills the editors from the address. Returns what decodeShare gave: null
  // when the address holds no share link, {error} when it is malformed, or
  // the two files.
  function applyHash() {
    const shared = window.hazardShare.decodeShare(location.hash);
    if (shared === null) return null;
    ui.example.selectedIndex = -1;
    if (shared.error) {
      setEditor('config', '');
      setEditor('program', '');
      clearOutputs();
      if (simReady) ui.status.textContent = 'Nicio rulare.';
      showNotice('Linkul de partajare nu este valid; pagina porneste goala.');
      return shared;
    }
    showNotice('');
    setEditor('config', shared.config);
    setEditor('program', shared.program);
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
    } catch (e) {
      showNotice(`Fisierul ${file.name} nu a putut fi citit.`);
    }
    input.value = '';
  }

  for (const example of examples) {
    const option = document.createElement('option');
    option.value = option.textContent = String(example.name);
    ui.example.appendChild(option);
  }
  ui.example.addEventListener('change', () => pickExample(ui.example.value));
  for (const name of ['config', 'program']) {
    editors[name].addEventListener('input', () => {
      loaded[name] = null;
      notes[name].textContent = '';
      ui.example.selectedIndex = -1;
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
  $('download-analysis-svg').addEventListener('click', () => downloadSvg('analysis', 'diagrama_analiza.svg'));
  $('download-schedule-svg').addEventListener('click', () => downloadSvg('schedule', 'diagrama_corectie.svg'));
  window.addEventListener('hashchange', () => {
    if (location.hash === ownHash) return;
    if (wellFormed(applyHash())) run();
  });

  const shared = applyHash();
  let runAtStart = wellFormed(shared);
  if (shared === null) {
    const first = examples.find((e) => e.name === 'six') || examples[0];
    if (first) pickExample(first.name);
    runAtStart = Boolean(first);
  }

  if (!sim || !sim.ready || typeof sim.run !== 'function') {
    ui.status.textContent = 'Simulatorul nu s-a putut incarca.';
    return;
  }
  Promise.resolve(sim.ready).then(
    () => {
      simReady = true;
      ui.run.disabled = false;
      ui.status.textContent = 'Nicio rulare.';
      if (runAtStart) run();
    },
    () => {
      ui.status.textContent = 'Simulatorul nu s-a putut incarca.';
    }
  );
})();
