// The diagram of the program as written: instruction i enters in cycle i;
// each hazard ties its two rows in a gutter after the row labels, in its
// kind's line and marker, and is named at the end of the later row.
// Gives layout, draw.
'use strict';

const svg = require('./diagram-svg.js');
const model = require('./schedule.js');
const teach = require('./teach.js');
const T = require('../words/words.js').t;
const { SIZE, rowY, cycleX } = svg;

// A hazard in words, each kind with its own registers: `key` for the kind
// shown, then `alsoKey` for each other kind.
function hazardWords(h, key, alsoKey, more) {
  const regs = (k) => [...new Set(k.registers)].join(',');
  const shown = h.kinds.find((k) => k.kind === h.shown.kind);
  let text = T(key, Object.assign({ k: shown.kind, r: regs(shown) }, more));
  for (const k of h.kinds) if (k !== shown) text += T(alsoKey, { k: k.kind, r: regs(k) });
  return text;
}

// The note after a row: the hazard, and what DEPEND prints where it holds another kind's register.
function noteText(h) {
  const left = teach.dependLeft(h);
  const depend = left.length
    ? T('hzNoteDepend', { regs: h.shown.registers.join(','), left: left.map((w) => T('hzNoteFrom', { r: w.register, k: w.kind })).join(', ') })
    : '';
  return hazardWords(h, 'hzNote', 'hzNoteAlso', { d: h.distance }) + depend;
}

// Where everything goes: every hazard's lane in the gutter (ties that
// share a lane never share a row) and its note after its row's cells.
function layout(report) {
  const depth = report.depth;
  const n = report.instructions.length;
  const cycles = n + depth - 1;
  const labels = svg.labelColumn(report);
  const ties = [];
  for (const ins of report.instructions)
    for (const h of ins.hazards) ties.push({ instr: ins.index, earlier: h.earlier, distance: h.distance, hazard: h });
  ties.sort((a, b) => a.distance - b.distance || a.earlier - b.earlier);
  const lanes = [];
  for (const tie of ties) {
    let lane = lanes.findIndex((taken) => taken.every(([a, b]) => tie.instr < a || tie.earlier > b));
    if (lane < 0) lane = lanes.push([]) - 1;
    lanes[lane].push([tie.earlier, tie.instr]);
    tie.lane = lane;
    tie.x = SIZE.pad + lane * SIZE.lane + SIZE.lane / 2; // in the gutter's own pane
    tie.y0 = rowY(tie.earlier) + SIZE.cellH / 2;
    tie.y1 = rowY(tie.instr) + SIZE.cellH / 2;
  }
  ties.sort((a, b) => a.instr - b.instr || a.distance - b.distance); // reading and tab order
  const notes = [];
  let right = cycleX(cycles);
  for (const ins of report.instructions) {
    let x = cycleX(ins.index + depth) + SIZE.pad;
    for (const h of ins.hazards) {
      const text = noteText(h);
      notes.push({ instr: ins.index, distance: h.distance, kind: h.shown.kind, text, x, y: rowY(ins.index) });
      x += 14 + svg.textWidth(text) + 10;
    }
    right = Math.max(right, x);
  }
  return {
    depth,
    n,
    cycles,
    labels,
    gutterWidth: 2 * SIZE.pad + lanes.length * SIZE.lane,
    mainWidth: right + SIZE.pad,
    height: rowY(n) + SIZE.pad,
    ties,
    notes,
  };
}

function tieSvg(tie, report) {
  const h = tie.hazard;
  const later = model.instrLabel(report.instructions[tie.instr]);
  const earlier = model.instrLabel(report.instructions[tie.earlier]);
  const depend = teach.dependText(h);
  const words = hazardWords(h, 'tie', 'tieAlso', { d: tie.distance, later, earlier }) + (depend && '; ' + depend);
  return (
    `<g class="hazard ${h.shown.kind}" data-hazard="${h.shown.kind}" data-instr="${tie.instr}" data-distance="${tie.distance}"` +
    ` data-from="${tie.earlier}" tabindex="0" role="img" aria-label="${svg.esc(words)}"><title>${svg.esc(words)}</title>` +
    svg.kindLine(tie.x, tie.y0, tie.y1) +
    `<path class="line" d="M${tie.x - 4} ${tie.y0}H${tie.x + 4}" style="stroke-dasharray:none"/>` +
    svg.marker(h.shown.kind, tie.x, tie.y1) + '</g>'
  );
}

// The diagram's parts, as diagram-svg.js mounts them on the page and writes them to a file.
function draw(report) {
  const L = layout(report);
  const side = svg.stripes(L.n, L.labels) + svg.rowLabels(report, L.labels);
  let gutter = svg.stripes(L.n, L.gutterWidth);
  for (const tie of L.ties) gutter += tieSvg(tie, report);
  let main = svg.stripes(L.n, L.mainWidth) + svg.cycleColumns(L.cycles, L.height);
  for (const ins of report.instructions) main += svg.stageCells(ins.index, ins.index, L.depth);
  for (const note of L.notes) {
    main +=
      `<g class="hazard-note ${note.kind}" data-instr="${note.instr}" data-distance="${note.distance}">` +
      svg.marker(note.kind, note.x + 5, note.y + SIZE.cellH / 2) +
      `<text x="${note.x + 14}" y="${note.y + 15}">${svg.esc(note.text)}</text></g>`;
  }
  const title = T('wTitle', { depth: L.depth, n: L.n, c: L.cycles });
  return {
    title,
    head: svg.head(title, svg.KIND_NAMES.map((kind) => ({ kind, text: T('k' + kind) }))),
    side: { width: L.labels, height: L.height, body: side },
    gutter: { width: L.gutterWidth, height: L.height, body: gutter },
    main: { width: L.mainWidth, height: L.height, body: main },
  };
}

module.exports = { layout, draw };
