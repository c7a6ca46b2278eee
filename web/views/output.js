// What the shown run gave: the status line (the page's one place that says
// whether the simulator is loading, ran or failed, and why), the console
// text exactly as the program printed it, and after a complete run links to
// download both result files.
// Gives mount(box, store).
'use strict';

const { parts } = require('./dom.js');
const { statusText } = require('../logic/faults.js');
const T = require('../words/words.js').t;

// box: the section that holds the status, the downloads and the console.
function mount(box, store) {
  const { status, downloads, analysis, correction, consoleBox } = parts(box, {
    status: 'status', downloads: 'downloads', analysis: 'download-analysis', correction: 'download-schedule', consoleBox: 'console',
  });
  const urls = [];

  // The status: [text, status number or null, 'ok' | 'fail' | ''], of
  // the shown run, or while an exercise hides it, of the editors' files.
  function statusOf(state) {
    const record = state.shown || state.run;
    if (state.failure) return [T(state.failure.key, state.failure), null, 'fail'];
    if (!state.ready) return [T('loading'), null, ''];
    if (state.stale && record === state.run) return [T('stale'), null, ''];
    if (!record) return ['', null, ''];
    const s = record.result.status;
    return [statusText(record, state.limits), s, s === state.limits.statuses.ok ? 'ok' : 'fail'];
  }

  function drawStatus(state) {
    const [text, number, look] = statusOf(state);
    status.textContent = text;
    if (number === null) delete status.dataset.status;
    else status.dataset.status = String(number);
    status.className = look;
  }

  function blobUrl(text) {
    const url = URL.createObjectURL(new Blob([text == null ? '' : text], { type: 'text/plain' }));
    urls.push(url);
    return url;
  }

  function drawRun(state) {
    while (urls.length) URL.revokeObjectURL(urls.pop());
    const record = state.shown;
    const result = record && record.result;
    consoleBox.textContent = result ? result.console : '';
    // A failed run leaves its result files empty or unmade: nothing to download.
    const made = result && result.status === state.limits.statuses.ok;
    downloads.hidden = !made;
    if (made) {
      analysis.href = blobUrl(result.analysis);
      correction.href = blobUrl(result.schedule);
    }
    drawStatus(state);
  }

  store.on('shown', drawRun);
  for (const event of ['ready', 'files', 'run', 'lang']) store.on(event, drawStatus);
  drawStatus(store.state);
}

module.exports = { mount };
