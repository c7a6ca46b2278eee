// The diagram of the corrected schedule: each instruction enters in its
// entry cycle; its bubbles wait in its own row just before it, so that only
// the delayed instruction is seen to wait while those ahead go on. While
// the stepper's cycle lights a bubble, its `now` holds the stage it is in.
// Drawn for touch, its rows are as tall as the other diagram's.
// Gives draw.
'use strict';

const svg = require('./diagram-svg.js');
const model = require('./schedule.js');
const T = require('../words/words.js').t;
const { SIZE, rowY, cycleX } = svg;

// touch: drawn for a touch screen.
function draw(report, touch) {
  const H = touch ? SIZE.touch : SIZE.cellH;
  const sched = model.schedule(report, 'corrected');
  const n = report.instructions.length;
  const depth = report.depth;
  const cycles = sched.lastCycle + 1;
  const labels = svg.labelColumn(report);
  const height = rowY(n, H) + SIZE.pad;
  let right = cycleX(cycles);
  const main = [];
  const notes = [];
  const rows = [];
  const bubblesOf = (i) => sched.bubbles.filter((c) => sched.waitsFor[c] === i);
  for (const ins of report.instructions) {
    const y = rowY(ins.index, H);
    main.push(...svg.stageCells(ins.index, ins.entry, depth, H));
    rows.push([cycleX(ins.entry - ins.delay), cycleX(ins.entry + depth)]);
    if (ins.delay === 0) continue;
    const e = ins.nearest.earlier; // a delay comes from the nearest hazard
    const words = T('waitWords', { label: model.instrLabel(ins), n: ins.delay, e: model.instrLabel(report.instructions[e]) });
    let delay = `<g class="delay" data-instr="${ins.index}" tabindex="-1" role="img" aria-label="${svg.esc(words)}"><title>${svg.esc(words)}</title>`;
    for (const c of bubblesOf(ins.index)) {
      const x = cycleX(c);
      delay +=
        `<g class="bubble" data-bubble="${sched.bubbles.indexOf(c)}" data-cycle="${c}" data-waits="${ins.index}">` +
        `<rect x="${x + 3}" y="${y + 4}" width="${SIZE.cellW - 6}" height="${H - 8}" rx="2"/>` +
        `<text x="${x + SIZE.cellW / 2}" y="${svg.baseline(y, H)}">b<tspan class="now"></tspan></text></g>`;
    }
    main.push(svg.piece(cycleX(ins.entry - ins.delay), y, cycleX(ins.entry), y + H, delay + '</g>'));
    const x = cycleX(ins.entry + depth) + SIZE.pad;
    const text = T('waitNote', { i: ins.index, n: ins.delay, e });
    const end = x + svg.textWidth(text);
    notes.push({ row: ins.index, x, end, body: `<g class="delay-note" data-instr="${ins.index}"><text x="${x}" y="${svg.baseline(y, H)}">${svg.esc(text)}</text></g>` });
    right = Math.max(right, end);
  }
  const width = right + SIZE.pad;
  const title = T('cTitle', { depth, n, b: report.bubbles, c: report.cycles.corrected, p: report.performance });
  const items = [{ bubble: true, text: T('bubbleKey') }];
  return {
    title,
    items,
    head: svg.head(title, items),
    side: svg.part(labels, height, [...svg.stripes(n, labels, H), ...svg.rowLabels(report, labels, H)]),
    main: svg.part(width, height, [...svg.stripes(n, width, H), ...svg.cycleColumns(cycles, height), ...main], { notes }),
    rows,
    rowH: H,
  };
}

module.exports = { draw };
