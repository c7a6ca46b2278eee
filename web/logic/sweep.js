// The depth compared: the same program at every depth the simulator
// accepts, as rows of figures and a chart, and the schedule's own figures.
// Gives sweepRows, summary, chartSvg.
'use strict';

const T = require('../words/words.js').t;

// Every depth the simulator accepts: [3, 4, .. 10] for limits.depth [3, 10].
const depthsOf = (limits) =>
  Array.from({ length: limits.depth[1] - limits.depth[0] + 1 }, (_, k) => limits.depth[0] + k);

// The same program at every depth, the count unchanged. runSim is
// hazardSim.run; run is {program, report}, the run being compared.
// Returns one row per depth: {depth, status, performance, bubbles, cycles}
// (performance, bubbles and cycles null when that run is not complete).
function sweepRows(runSim, run, limits) {
  return depthsOf(limits).map((depth) => {
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
  const [lo, hi] = [rows[0].depth, rows[rows.length - 1].depth];
  const x = (d) => L + ((d - lo) / (hi - lo)) * (W - L - R);
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

module.exports = { sweepRows, summary, chartSvg };
