// The depth compared: the shown run's program at every depth the simulator
// accepts, the count unchanged, as a chart and a table, the current depth
// marked. The store works the rows out once per run, when this is drawn.
// Gives mount(box, store).
'use strict';

const { el } = require('./dom.js');
const sweep = require('../logic/sweep.js');
const T = require('../words/words.js').t;

const { chartSvg } = sweep;

function table(report, rows) {
  const head = ['depth', 'bubbles', 'cycWritten', 'cycCorrected', 'perf'].map((key) => el('th', { scope: 'col', text: T(key) }));
  const body = rows.map((r) => {
    const mine = r.depth === report.depth;
    const cells = r.performance === null
      ? [T('stateN', { s: r.status }), '', '', '']
      : [String(r.bubbles), String(r.cycles.written), String(r.cycles.corrected), r.performance + '%'];
    const data = { depth: r.depth, performance: r.performance === null ? '' : r.performance, bubbles: r.bubbles === null ? '' : r.bubbles };
    return el('tr', { class: mine ? 'current' : null, 'aria-current': mine ? 'true' : null, dataset: data }, [
      el('th', { scope: 'row', text: mine ? T('depthNow', { d: r.depth }) : String(r.depth) }),
      ...cells.map((c) => el('td', { text: c })),
    ]);
  });
  return el('table', { id: 'depth-sweep' }, [
    el('caption', { text: T('sweepCaption', { n: report.count }) }),
    el('thead', {}, [el('tr', {}, head)]),
    el('tbody', {}, body),
  ]);
}

function mount(section, store) {
  function draw(state) {
    const record = state.shown;
    const rows = store.sweepOf(record);
    section.hidden = !rows;
    if (!rows) return section.replaceChildren();
    const chart = el('div', { class: 'sweep-chart-box' });
    chart.innerHTML = chartSvg(rows, record.report.depth);
    const tableBox = el('div', { class: 'sweep-table-box', tabindex: '0', role: 'region', 'aria-label': T('sweepTable') }, [table(record.report, rows)]);
    section.replaceChildren(el('h2', { text: T('comparison') }), el('div', { class: 'sweep' }, [chart, tableBox]));
  }
  store.on('shown', draw);
  store.on('lang', draw);
}

module.exports = { mount };
