// The diagram of the program as written: instruction i enters in cycle i;
// each hazard ties its two rows in a gutter after the row labels, in its
// kind's line and marker, and is named at the end of the later row. When
// the ties would take more than MAX_LANES lanes, each hazard is a short mark
// in the gutter's column of its distance, tied in full only while picked.
// Drawn for touch, its rows and the gutter's lanes are SIZE.touch wide:
// each tie or mark a target of 24 pixels on a phone, apart from the others.
// Gives MAX_LANES, layout, draw.
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

const MAX_LANES = 8;

// Where everything goes: every hazard's lane in the gutter (ties that
// share a lane never share a row; when compact, the lane of its distance)
// and its note after its row's cells; where each row's cells are in the
// cycles' pane. touch: drawn for a touch screen.
function layout(report, touch) {
  const H = touch ? SIZE.touch : SIZE.cellH;
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
  }
  const compact = lanes.length > MAX_LANES;
  const laneW = touch ? SIZE.touch : compact ? SIZE.slot : SIZE.lane;
  for (const tie of ties) {
    if (compact) tie.lane = tie.distance - 1;
    tie.x = SIZE.pad + tie.lane * laneW + laneW / 2; // in the gutter's own pane
    tie.y0 = rowY(tie.earlier, H) + H / 2;
    tie.y1 = rowY(tie.instr, H) + H / 2;
  }
  const used = compact ? Math.max(...ties.map((t) => t.distance)) : lanes.length;
  ties.sort((a, b) => a.instr - b.instr || a.distance - b.distance); // reading and tab order
  const notes = [];
  const rows = [];
  let right = cycleX(cycles);
  for (const ins of report.instructions) {
    let x = cycleX(ins.index + depth) + SIZE.pad;
    for (const h of ins.hazards) {
      const text = noteText(h);
      const end = x + 14 + svg.textWidth(text);
      notes.push({ instr: ins.index, distance: h.distance, kind: h.shown.kind, text, x, end, y: rowY(ins.index, H) });
      x = end + 10;
    }
    rows.push([cycleX(ins.index), cycleX(ins.index + depth)]);
    right = Math.max(right, x);
  }
  return {
    depth,
    n,
    cycles,
    labels,
    compact,
    used,
    touch: Boolean(touch),
    rowH: H,
    laneW,
    gutterWidth: 2 * SIZE.pad + used * laneW,
    mainWidth: right + SIZE.pad,
    height: rowY(n, H) + SIZE.pad,
    ties,
    notes,
    rows,
  };
}

// A hazard's tie as a piece of the gutter; when compact, its short mark,
// its slot to point at, and its tie drawn only while picked or focused.
function tieSvg(tie, report, L) {
  const { compact, laneW, rowH } = L;
  const h = tie.hazard;
  const later = model.instrLabel(report.instructions[tie.instr]);
  const earlier = model.instrLabel(report.instructions[tie.earlier]);
  const depend = teach.dependText(h);
  const words = hazardWords(h, 'tie', 'tieAlso', { d: tie.distance, later, earlier }) + (depend && '; ' + depend);
  const { x, y0, y1 } = tie;
  const tick = `<path class="line" d="M${x - 4} ${y0}H${x + 4}" style="stroke-dasharray:none"/>`;
  const line = svg.kindLine(x, y0, y1, L.touch ? laneW - 1 : 0) + tick;
  const stub = `<path class="line" d="M${x} ${y1 - 9}V${y1}" style="stroke-dasharray:none"/>`;
  const short =
    `<rect class="slot" x="${x - laneW / 2}" y="${y1 - rowH / 2}" width="${laneW}" height="${rowH}"/>` +
    `<g class="tie"><path class="halo" d="M${x} ${y0}V${y1}"/>${line}</g>` + stub;
  const mark = svg.marker(h.shown.kind, x, y1) + '</g>';
  return svg.piece(x - laneW / 2, y0 - rowH / 2, x + laneW / 2, y1 + rowH / 2,
    `<g class="hazard${compact ? ' short' : ''} ${h.shown.kind}" data-hazard="${h.shown.kind}" data-instr="${tie.instr}" data-distance="${tie.distance}"` +
    ` data-from="${tie.earlier}" tabindex="-1" role="img" aria-label="${svg.esc(words)}"><title>${svg.esc(words)}</title>` +
    (compact ? short : line) + mark,
    `<g class="hazard ${h.shown.kind}">` + (compact ? stub : `<path class="line" d="M${x} ${y0}V${y1}"/>` + tick) + mark);
}

// A compact gutter's heads, d1 .. dN over its columns, and a faint line down each.
function distanceColumns(L) {
  const out = [];
  for (let d = 1; d <= L.used; d++) {
    const x = SIZE.pad + (d - 1) * L.laneW + L.laneW / 2;
    out.push(
      svg.piece(x - L.laneW / 2, 0, x + L.laneW / 2, SIZE.axisH, `<text class="muted axis" x="${x}" y="16">d${d}</text>`),
      svg.piece(x - L.laneW / 2, SIZE.axisH, x + L.laneW / 2, L.height, `<path class="guide" d="M${x} ${SIZE.axisH}V${L.height - SIZE.pad}"/>`));
  }
  return out;
}

// The diagram's parts, as diagram-svg.js mounts them on the page and writes
// them to a file; touch: drawn for a touch screen.
function draw(report, touch) {
  const L = layout(report, touch);
  const H = L.rowH;
  const side = [...svg.stripes(L.n, L.labels, H), ...svg.rowLabels(report, L.labels, H)];
  const gutter = [...svg.stripes(L.n, L.gutterWidth, H), ...(L.compact ? distanceColumns(L) : [])];
  for (const tie of L.ties) gutter.push(tieSvg(tie, report, L));
  const main = [...svg.stripes(L.n, L.mainWidth, H), ...svg.cycleColumns(L.cycles, L.height)];
  for (const ins of report.instructions) main.push(...svg.stageCells(ins.index, ins.index, L.depth, H));
  const notes = L.notes.map((note) => ({
    row: note.instr,
    x: note.x,
    end: note.end,
    body:
      `<g class="hazard-note ${note.kind}" data-instr="${note.instr}" data-distance="${note.distance}">` +
      svg.marker(note.kind, note.x + 5, note.y + H / 2) +
      `<text x="${note.x + 14}" y="${svg.baseline(note.y, H)}">${svg.esc(note.text)}</text></g>`,
  }));
  const title = T('wTitle', { depth: L.depth, n: L.n, c: L.cycles });
  const items = svg.KIND_NAMES.map((kind) => ({ kind, text: T('k' + kind) }));
  if (L.compact) items.push({ text: T('gutterKey', { d: L.used, how: T('gutterHow') }), keys: T('gutterHow') });
  return {
    title,
    items,
    head: svg.head(title, items),
    side: svg.part(L.labels, L.height, side),
    gutter: svg.part(L.gutterWidth, L.height, gutter),
    main: svg.part(L.mainWidth, L.height, main, { notes }),
    rows: L.rows,
    rowH: H,
  };
}

module.exports = { MAX_LANES, layout, draw };
