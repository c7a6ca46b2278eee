// The depth compared: the same program at every depth, as a chart and a table, and the schedule's figures.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const DEPTHS = [3, 4, 5, 6, 7, 8, 9, 10];
  const T = (node ? require('./words.js') : root.hazardText).t;

  // The same program at every depth, the count unchanged. runSim is
  // hazardSim.run; run is {program, report}, the run being compared.
  // Returns one row per depth: {depth, status, performance, bubbles, cycles}
  // (performance, bubbles and cycles null when that run is not complete).
  function sweepRows(runSim, run) {
    return DEPTHS.map((depth) => {
      const result = depth === run.report.depth
        ? { status: 0, report: run.report }
        : runSim(`${depth}\n${run.report.count}\n`, run.program);
      const r = result.status === 0 ? result.report : null;
      return {
        depth,
        status: result.status,
        performance: r ? r.performance : null,
        bubbles: r ? r.bubbles : null,
        cycles: r ? { written: r.cycles.written, corrected: r.cycles.corrected } : null,
      };
    });
  }

  // The corrected schedule's figures beside its diagram: [name, value].
  function summary(report) {
    const n = report.lines;
    const perInstr = (cycles) => (n > 0 ? (cycles / n).toFixed(2) : '-');
    return [
      [T('bubbles'), String(report.bubbles)],
      [T('cycWritten'), String(report.cycles.written)],
      [T('cycCorrected'), String(report.cycles.corrected)],
      [T('cpiWritten'), perInstr(report.cycles.written)],
      [T('cpiCorrected'), perInstr(report.cycles.corrected)],
      [T('perf'), report.performance + '%'],
    ];
  }

  // The performance figure against the depth, in SVG; the current depth is
  // drawn larger, as a square, and named under its axis label.
  function chartSvg(rows, current) {
    const W = 380;
    const H = 212;
    const L = 44;
    const R = 30;
    const TOP = 22;
    const B = 52;
    const x = (d) => L + ((d - DEPTHS[0]) / (DEPTHS[DEPTHS.length - 1] - DEPTHS[0])) * (W - L - R);
    const y = (p) => TOP + (1 - p / 100) * (H - TOP - B);
    let out =
      `<svg class="sweep-chart" viewBox="0 0 ${W} ${H}" role="img" aria-label="${T('chart')}">`;
    for (const p of [0, 25, 50, 75, 100]) {
      out += `<line class="grid" x1="${L}" x2="${W - R}" y1="${y(p)}" y2="${y(p)}"/>` +
        `<text class="axis" x="${L - 6}" y="${y(p) + 4}" text-anchor="end">${p}%</text>`;
    }
    const done = rows.filter((r) => r.performance !== null);
    out += `<polyline class="line" points="${done.map((r) => `${x(r.depth)},${y(+r.performance)}`).join(' ')}"/>`;
    for (const r of rows) {
      const cx = x(r.depth);
      const mine = r.depth === current;
      out += `<text class="axis${mine ? ' current' : ''}" x="${cx}" y="${H - B + 16}" text-anchor="middle">${r.depth}</text>`;
      if (mine) out += `<text class="axis current" x="${cx}" y="${H - B + 30}" text-anchor="middle">${T('current')}</text>`;
      if (r.performance === null) continue;
      const cy = y(+r.performance);
      out += mine
        ? `<rect class="point current" x="${cx - 6}" y="${cy - 6}" width="12" height="12"/>`
        : `<circle class="point" cx="${cx}" cy="${cy}" r="3.5"/>`;
      out += `<text class="value${mine ? ' current' : ''}" x="${cx}" y="${cy - (mine ? 11 : 8)}" text-anchor="middle">${Math.round(+r.performance)}</text>`;
    }
    return out + `<text class="axis" x="${(L + W - R) / 2}" y="${H - 6}" text-anchor="middle">${T('depthAxis')}</text></svg>`;
  }

  const api = { DEPTHS, sweepRows, summary, chartSvg };
  if (node) {
    module.exports = api;
    return;
  }
  root.hazardSweep = api;

  // ---- the comparison and the summary ----

  const model = root.hazardRun;
  const section = document.getElementById('comparison');
  const summaryBox = document.getElementById('schedule-summary');
  const el = (tag, text) => Object.assign(document.createElement(tag), text === undefined ? {} : { textContent: text });

  function drawSummary(report) {
    const dl = el('dl');
    dl.className = 'schedule-figures';
    for (const [name, value] of summary(report)) {
      const row = el('div');
      row.append(el('dt', name), el('dd', value));
      dl.append(row);
    }
    summaryBox.textContent = '';
    summaryBox.append(dl);
  }

  function drawComparison(report, rows) {
    const table = el('table');
    table.id = 'depth-sweep';
    table.append(el('caption', T('sweepCaption', { n: report.count })));
    const headRow = el('tr');
    for (const key of ['depth', 'bubbles', 'cycWritten', 'cycCorrected', 'perf'])
      headRow.append(Object.assign(el('th', T(key)), { scope: 'col' }));
    table.append(el('thead'));
    table.tHead.append(headRow);
    const body = el('tbody');
    for (const r of rows) {
      const tr = el('tr');
      const mine = r.depth === report.depth;
      tr.dataset.depth = String(r.depth);
      tr.dataset.performance = r.performance === null ? '' : r.performance;
      tr.dataset.bubbles = r.bubbles === null ? '' : String(r.bubbles);
      if (mine) {
        tr.className = 'current';
        tr.setAttribute('aria-current', 'true');
      }
      const depthCell = Object.assign(el('th', mine ? T('depthNow', { d: r.depth }) : String(r.depth)), { scope: 'row' });
      const cells = r.performance === null
        ? [T('stateN', { s: r.status }), '', '', '']
        : [String(r.bubbles), String(r.cycles.written), String(r.cycles.corrected), r.performance + '%'];
      tr.append(depthCell, ...cells.map((c) => el('td', c)));
      body.append(tr);
    }
    table.append(body);
    const chart = el('div');
    chart.className = 'sweep-chart-box';
    chart.innerHTML = chartSvg(rows, report.depth);
    section.textContent = '';
    const tableBox = el('div');
    tableBox.className = 'sweep-table-box';
    tableBox.tabIndex = 0;
    tableBox.setAttribute('role', 'region');
    tableBox.setAttribute('aria-label', T('sweepTable'));
    tableBox.append(table);
    const wrap = el('div');
    wrap.className = 'sweep';
    wrap.append(chart, tableBox);
    section.append(el('h2', T('comparison')), wrap);
  }

  // The rows are worked out once per run; another language only draws them again.
  let rowsOf = { run: null, rows: null };
  function draw(run) {
    const report = run && run.report;
    section.hidden = !report;
    if (!report) {
      section.textContent = '';
      summaryBox.textContent = '';
      return;
    }
    if (rowsOf.run !== run) rowsOf = { run, rows: sweepRows(root.hazardSim.run, run) };
    drawSummary(report);
    drawComparison(report, rowsOf.rows);
  }
  model.on('run', draw);
  model.on('lang', () => draw(model.current));
})(this);
