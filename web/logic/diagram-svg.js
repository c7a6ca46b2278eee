// Shared drawing of both pipeline diagrams: sizes, the hazard kinds' and the
// bubbles' looks, row labels, stage cells and the cycle axis in SVG; the
// panes' markup for the page (row labels kept in view, cycles scrolling
// sideways, tiles for paper) and the same diagram as one SVG file; which
// marks a pick and the stepper's cycle light.
// Gives SIZE, PRINT, KIND_NAMES, MARKS, FOCUSABLE, esc, textWidth, marker, kindLine, rowY, baseline, cycleX, labelColumn, piece, part, stripes, rowLabels, cycleColumns, stageCells, head, pageHtml, printTiles, pageStyle, standalone, pickedSelector, cycleMarks, selectionOf.
'use strict';

// touch: a row's height and a gutter's column on a touch screen, so that
// each hazard's mark is a target of 24 pixels at a phone's scale of 0.9.
const SIZE = { cellW: 26, cellH: 22, touch: 27, axisH: 24, headH: 44, charW: 7.2, lane: 11, slot: 14, pad: 8 };

// Each kind has its own colour (apart under the common colour-vision
// deficiencies), line and marker; the name is always written beside it.
const KIND_NAMES = ['RAW', 'WAR', 'WAW'];

const STYLE = `
.hzd{font-family:ui-monospace,'DejaVu Sans Mono',Menlo,Consolas,monospace;font-size:12px}
.hzd .bg{fill:#ffffff}
.hzd text{fill:#1d232b}
.hzd .muted{fill:#5b6673}
.hzd .stripe{fill:#f1f4f8}
.hzd .column{fill:transparent}
.hzd .axis{font-size:10px;text-anchor:middle}
.hzd .cell rect{fill:#dbe7f5;stroke:#5f82ad;stroke-width:1}
.hzd .cell text{fill:#1d3557;font-size:11px;text-anchor:middle}
.hzd .bubble rect{fill:#ffffff;stroke:#7a5c00;stroke-width:1.5;stroke-dasharray:3 2}
.hzd .bubble text{fill:#7a5c00;font-size:10px;text-anchor:middle}
.hzd .bubble .now{font-weight:bold}
.hzd .wait{stroke:#7a5c00;stroke-width:1.5}
.hzd .delay-note text{fill:#7a5c00}
.hzd .row-label rect{fill:transparent}
.hzd .RAW{--k:#0063b0}.hzd .WAR{--k:#b34400}.hzd .WAW{--k:#a1457e}
.hzd .hazard .line{fill:none;stroke:var(--k);stroke-width:2}
.hzd .WAR .line{stroke-dasharray:6 3}
.hzd .WAW .line{stroke-dasharray:1.5 3;stroke-linecap:round;stroke-width:2.5}
.hzd .hazard .hit{fill:none;stroke:transparent;stroke-width:10}
.hzd .mark{fill:var(--k);stroke:var(--k)}
.hzd .hazard-note text,.hzd .legend text.k{fill:var(--k);font-weight:bold}
.hzd .hazard,.hzd .hazard-note,.hzd .delay{cursor:pointer;outline:none}
.hzd .picked.row-label rect{fill:#fff1b8}
.hzd .picked.cell rect{stroke:#1d232b;stroke-width:2.5}
.hzd .picked .line{stroke-width:3.5}
.hzd .picked .hit,.hzd .hazard:focus .hit{stroke:#ffe27a;stroke-opacity:.6}
.hzd .hazard:focus .hit{stroke:#1d232b;stroke-opacity:.35}
.hzd .picked.hazard-note text{text-decoration:underline}
.hzd .picked.bubble rect{stroke-width:3}
.hzd .delay:focus .bubble rect{stroke:#1d232b;stroke-width:3}
.hzd .guide{stroke:#d0d7de;stroke-width:1}
.hzd .short .slot{fill:transparent}
.hzd .short .tie{display:none}
.hzd .short.picked .tie,.hzd .short:focus .tie{display:inline}
.hzd .short .halo{fill:none;stroke:#ffffff;stroke-width:6}
`;
// What the stepper lights: on the screen only, never on paper.
const LIT = `
.hzd .column.current-cycle{fill:#ffe9a8}
.hzd .cell.current-cycle rect{stroke:#1d232b;stroke-width:2}
.hzd .bubble.in-pipeline rect{fill:#ffe9a8;stroke:#1d232b;stroke-width:2}
`;
// The page's diagrams follow its colour scheme; a downloaded file keeps the light palette wherever it is opened.
const DARK = `
.hzd .bg{fill:#161b22}
.hzd text{fill:#e6edf3}
.hzd .muted{fill:#9aa6b2}
.hzd .stripe{fill:#1c222b}
.hzd .cell rect{fill:#1f3a5c;stroke:#6c98c8}
.hzd .cell text{fill:#dbe9f8}
.hzd .picked.cell rect{stroke:#f0f3f6}
.hzd .bubble rect{fill:#161b22;stroke:#e0b84a}
.hzd .bubble text,.hzd .delay-note text{fill:#e0b84a}
.hzd .wait{stroke:#e0b84a}
.hzd .picked.row-label rect{fill:#4a3d10}
.hzd .RAW{--k:#5fb4f0}.hzd .WAR{--k:#f28c4b}.hzd .WAW{--k:#e59acb}
.hzd .hazard:focus .hit{stroke:#f0f3f6}
.hzd .guide{stroke:#30363d}
.hzd .short .halo{stroke:#161b22}
`;
const LIT_DARK = `
.hzd .column.current-cycle{fill:#4a3d10}
.hzd .cell.current-cycle rect{stroke:#f0f3f6}
.hzd .bubble.in-pipeline rect{fill:#4a3d10;stroke:#f0f3f6}
`;

function esc(text) {
  return String(text).replace(/[&<>"']/g, (c) => '&#' + c.charCodeAt(0) + ';');
}

function textWidth(text) {
  return Math.ceil(String(text).length * SIZE.charW) + 4;
}

// The kind's marker centred on (x, y): RAW a circle, WAR a triangle
// pointing down, WAW a square.
function marker(kind, x, y) {
  if (kind === 'RAW') return `<circle class="mark" cx="${x}" cy="${y}" r="4"/>`;
  if (kind === 'WAR') return `<path class="mark" d="M${x - 5} ${y - 4}H${x + 5}L${x} ${y + 5}Z"/>`;
  return `<rect class="mark" x="${x - 4}" y="${y - 4}" width="8" height="8"/>`;
}

// The kind's line from (x, y0) to (x, y1), with a wide invisible stroke to
// point at (hit wide, when given).
function kindLine(x, y0, y1, hit) {
  const d = `M${x} ${y0}V${y1}`;
  return `<path class="hit" d="${d}"${hit ? ` style="stroke-width:${hit}"` : ''}/><path class="line" d="${d}"/>`;
}

const model = require('./schedule.js');
const T = require('../words/words.js').t;

// Rows h high (SIZE.cellH unless drawn for touch); a row's text on its baseline.
const rowY = (i, h = SIZE.cellH) => SIZE.axisH + i * h;
const baseline = (y, h = SIZE.cellH) => y + h / 2 + 4;
const cycleX = (c) => c * SIZE.cellW;

function labelColumn(report) {
  let longest = 0;
  for (const ins of report.instructions) longest = Math.max(longest, model.instrLabel(ins).length);
  return Math.ceil(longest * SIZE.charW) + 2 * SIZE.pad;
}

// A pane's parts are pieces: markup, the box [x0, y0, x1, y1] it covers and
// what it draws on paper (the same, unless given: '' for nothing), so that
// a tile for paper copies only the pieces it shows, without what only the
// screen needs.
const piece = (x0, y0, x1, y1, markup, paper) => ({ box: [x0, y0, x1, y1], markup, paper: paper === undefined ? markup : paper });

// A part of a diagram: {width, height, pieces, body}, body all its pieces' markup.
function part(width, height, pieces, more) {
  return Object.assign({ width, height, pieces, body: pieces.map((p) => p.markup).join('') }, more);
}

// Alternate rows lightly shaded, across a pane of the given width.
function stripes(n, width, h) {
  const out = [];
  for (let i = 1; i < n; i += 2)
    out.push(piece(0, rowY(i, h), width, rowY(i + 1, h), `<rect class="stripe" x="0" y="${rowY(i, h)}" width="${width}" height="${h}"/>`));
  return out;
}

// The side pane: "ciclu" over the row labels, each label a mark of its own.
function rowLabels(report, width, h) {
  const out = [piece(0, 0, width, SIZE.axisH, `<text class="muted" x="${width - 4}" y="16" text-anchor="end">${esc(T('axisCycle'))}</text>`)];
  for (const ins of report.instructions) {
    const y = rowY(ins.index, h);
    const text = `<text x="${SIZE.pad / 2}" y="${baseline(y, h)}">${esc(model.instrLabel(ins))}</text>`;
    out.push(piece(0, y, width, y + h,
      `<g class="row-label" data-instr="${ins.index}"><rect x="0" y="${y}" width="${width}" height="${h}"/>${text}</g>`, text));
  }
  return out;
}

// The cycle numbers and a column behind each cycle, which the current cycle lights.
function cycleColumns(cycles, height) {
  const out = [];
  for (let c = 0; c < cycles; c++) {
    const x = cycleX(c);
    out.push(
      piece(x, 0, x + SIZE.cellW, height, `<rect class="column" data-column="${c}" x="${x}" y="0" width="${SIZE.cellW}" height="${height}"/>`, ''),
      piece(x, 0, x + SIZE.cellW, SIZE.axisH, `<text class="muted axis" x="${x + SIZE.cellW / 2}" y="16">${c}</text>`));
  }
  return out;
}

// Row i's stage cells from cycle `first` on, a piece each.
function stageCells(i, first, depth, h) {
  const y = rowY(i, h);
  const out = [];
  for (let s = 1; s <= depth; s++) {
    const cycle = first + s - 1;
    const x = cycleX(cycle);
    out.push(piece(x, y, x + SIZE.cellW, y + h,
      `<g class="cell" data-instr="${i}" data-cycle="${cycle}" data-stage="${s}">` +
      `<rect x="${x + 1}" y="${y + 2}" width="${SIZE.cellW - 2}" height="${h - 4}" rx="3"/>` +
      `<text x="${x + SIZE.cellW / 2}" y="${baseline(y, h)}">${s}</text></g>`));
  }
  return out;
}

// A diagram is {title, items, head, side, gutter, main, rows, rowH}: items its
// legend (see head), head the title and legend drawn for the file, side the
// row labels, kept in view while the rest scrolls, gutter (which may be
// absent) what is drawn between the labels and the cycles, main the cycles;
// each a part (see part), main also {notes: [{x, end, body}]}, the words
// after the rows, drawn over body; rows: each row's cells' [from, to] in
// main; rowH: the rows' height.
function paneSvg(kind, part, id) {
  const notes = (part.notes || []).map((n) => n.body).join('');
  return (
    `<svg xmlns="http://www.w3.org/2000/svg" class="hzd hzd-${kind}" width="${part.width}" height="${part.height}"` +
    ` viewBox="0 0 ${part.width} ${part.height}" style="--w:${part.width}">` +
    `<rect class="bg" x="0" y="0" width="${part.width}" height="${part.height}"/>` +
    `<g id="${id}-${kind}" class="hzd">${part.body}</g>${notes}</svg>`
  );
}

const NO_GUTTER = { width: 0, body: '', pieces: [] };
const panesWidth = (d) => d.side.width + (d.gutter || NO_GUTTER).width + d.main.width;

// One line of the legend on the page, as head draws it in the file; its
// words on keys (item.keys) hidden where there is no keyboard.
function keyHtml(item) {
  const text = item.keys ? esc(item.text).replace(esc(item.keys), `<span class="key-hint">${esc(item.keys)}</span>`) : esc(item.text);
  if (item.bubble)
    return `<li><svg width="16" height="16" aria-hidden="true"><g class="bubble"><rect x="1" y="1" width="14" height="14" rx="2"/><text x="8" y="12">b</text></g></svg> ${text}</li>`;
  if (!item.kind) return `<li>${text}</li>`;
  return (
    `<li class="${item.kind}"><svg width="36" height="16" aria-hidden="true"><g class="hazard legend ${item.kind}">` +
    `<path class="line" d="M1 8H21"/>${marker(item.kind, 28, 8)}</g></svg> <b class="k">${item.kind}</b> ${text}</li>`
  );
}

// The page's markup of a diagram with id `id`: its title and legend, and
// its panes in a box that scrolls sideways (a sign at each edge where more
// lies beyond it); #explain says in words what it draws.
function pageHtml(diagram, id) {
  const side = ['left', 'right'].map((s) => `<span class="scroll-cue" data-side="${s}" aria-hidden="true"></span>`).join('');
  return (
    `<div class="diagram-legend"><p class="diagram-title">${esc(diagram.title)}</p>` +
    `<ul class="diagram-key hzd">${diagram.items.map(keyHtml).join('')}</ul></div>` +
    `<div class="diagram-wrap" style="--side:${diagram.side.width}">` +
    `<div class="diagram" role="group" aria-details="explain" aria-label="${esc(diagram.title)}">` +
    `<div class="diagram-pane" style="--w:${panesWidth(diagram)}">${paneSvg('side', diagram.side, id)}` +
    `${diagram.gutter ? paneSvg('gutter', diagram.gutter, id) : ''}${paneSvg('main', diagram.main, id)}</div></div>${side}</div>`
  );
}

// ---- paper ----

// The largest tile for an A4 page either way up, two a page upright: the
// page's 182 mm (688 pixels) between its margins draw it at 688 / 735 of
// its size at the least, so that no text (10 pixels, 7.5 pt, at the least)
// prints under 7 pt.
const PRINT = { width: 735, height: 480 };

// A window at x, y on a copy of the pieces of `pane` (a part) within x0, y0, w, h.
function view(pane, name, x, y, x0, y0, w, h) {
  let inside = '';
  for (const { box, paper } of pane.pieces) if (box[0] < x0 + w && box[2] > x0 && box[1] < y0 + h && box[3] > y0) inside += paper;
  return `<svg data-pane="${name}" x="${x}" y="${y}" width="${w}" height="${h}" viewBox="${x0} ${y0} ${w} ${h}">${inside}</svg>`;
}

// Where a band of rows is cut into tiles along the cycles: each cut on a
// cycle's edge, the tiles about as wide as each other, and every note
// whole in the tile where it begins. The first tile also holds the gutter.
function cuts(main, rows, room, gutter) {
  const W = SIZE.cellW;
  const notes = main.notes.filter((n) => n.row >= rows.first && n.row < rows.last);
  const from = Math.floor(Math.min(...rows.map((r) => r[0])) / W) * W;
  const to = Math.max(...rows.map((r) => r[1]), ...notes.map((n) => n.x + 1));
  const all = gutter + Math.max(to, ...notes.map((n) => n.end)) - from;
  const even = Math.ceil(all / Math.ceil(all / room) / W) * W;
  const out = [];
  for (let x = from; x < to; ) {
    const fits = out.length ? room : room - gutter;
    let until = x + Math.max(1, Math.floor(Math.min(fits, out.length ? even : even - gutter) / W)) * W;
    for (;;) {
      const late = notes.find((n) => n.x >= x && n.x < until && n.end > x + fits);
      const back = late ? Math.floor(late.x / W) * W : until;
      if (back <= x || back === until) break;
      until = back;
    }
    out.push([x, until]);
    x = until;
  }
  return out;
}

// The diagram as tiles that each fit a printed page, their rows' labels and
// the cycle axis repeated on each; each holds its own copy of what it shows,
// so that the tiles stand on their own and a change to the page's panes
// (a pick, a step) touches none of them. The copies are only drawings:
// nothing in them is named, reached by Tab or marked for the page's code.
function printTiles(diagram) {
  const { side, main, rowH } = diagram;
  const gutter = diagram.gutter || NO_GUTTER;
  const n = diagram.rows.length;
  const bandsOf = Math.ceil(n / Math.floor((PRINT.height - SIZE.axisH - SIZE.pad) / rowH));
  const per = Math.ceil(n / bandsOf);
  let out = '';
  for (let first = 0; first < n; first += per) {
    const last = Math.min(n, first + per);
    const rows = diagram.rows.slice(first, last);
    rows.first = first;
    rows.last = last;
    const top = rowY(first, rowH);
    const bandH = (last - first) * rowH;
    const height = SIZE.axisH + bandH + SIZE.pad;
    const room = PRINT.width - side.width - SIZE.pad;
    const pieces = cuts(main, rows, room, gutter.width);
    pieces.forEach(([x0, x1], k) => {
      const g = k === 0 ? gutter.width : 0;
      const notes = main.notes.filter((note) => note.row >= first && note.row < last && note.x >= x0 && note.x < x1);
      const w = Math.max(x1, ...notes.map((note) => note.end)) - x0;
      const width = side.width + g + w + SIZE.pad;
      const at = side.width + g;
      out +=
        `<svg class="hzd print-tile" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}">` +
        `<rect class="bg" x="0" y="0" width="${width}" height="${height}"/>` +
        view(side, 'side', 0, 0, 0, 0, side.width, SIZE.axisH) + view(side, 'side', 0, SIZE.axisH, 0, top, side.width, bandH) +
        (g ? view(gutter, 'gutter', side.width, 0, 0, 0, g, SIZE.axisH) + view(gutter, 'gutter', side.width, SIZE.axisH, 0, top, g, bandH) : '') +
        view(main, 'main', at, 0, x0, 0, x1 - x0, SIZE.axisH) + view(main, 'main', at, SIZE.axisH, x0, top, x1 - x0, bandH) +
        `<g transform="translate(${at - x0} ${SIZE.axisH - top})">${notes.map((note) => note.body).join('')}</g></svg>`;
    });
  }
  return out.replace(/<title>[^<]*<\/title>| (?:data-(?!pane=)[a-z-]+|aria-label|role|tabindex)="[^"]*"/g, '');
}

// The diagrams' style on the page, following its colour scheme.
const pageStyle = () =>
  STYLE + '@media screen{' + LIT + '}@media screen and (prefers-color-scheme: dark){' + DARK + LIT_DARK + '}' +
  '@media print{.hzd .now{display:none}}';

// The whole diagram as the text of an SVG file that stands on its own.
function standalone(diagram) {
  const { head, side, main } = diagram;
  const gutter = diagram.gutter || NO_GUTTER;
  const width = Math.max(head.width, panesWidth(diagram));
  const height = head.height + Math.max(side.height, main.height);
  const notes = main.notes.map((n) => n.body).join('');
  return (
    '<?xml version="1.0" encoding="UTF-8"?>\n' +
    `<svg xmlns="http://www.w3.org/2000/svg" class="hzd" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}">` +
    `<title>${esc(diagram.title)}</title><style>${STYLE}</style>` +
    `<rect class="bg" x="0" y="0" width="${width}" height="${height}"/>${head.body}` +
    `<g transform="translate(0 ${head.height})">${side.body}</g>` +
    `<g transform="translate(${side.width} ${head.height})">${gutter.body}</g>` +
    `<g transform="translate(${side.width + gutter.width} ${head.height})">${main.body}${notes}</g></svg>\n`
  );
}

// Title and legend lines; items: [{kind, text}] drawn with the kind's
// line and marker, [{bubble: true, text}], or [{text, keys}] alone (keys:
// the part of text on keys).
function head(title, items) {
  let x = 4;
  let legend = '';
  for (const item of items) {
    if (item.bubble) {
      legend +=
        `<g class="bubble"><rect x="${x}" y="26" width="14" height="14" rx="2"/><text x="${x + 7}" y="37">b</text></g>` +
        `<text x="${x + 20}" y="37">${esc(item.text)}</text>`;
    } else if (item.kind) {
      legend +=
        `<g class="hazard legend ${item.kind}"><path class="line" d="M${x} 33H${x + 22}"/>` +
        marker(item.kind, x + 28, 33) + `<text class="k" x="${x + 38}" y="37">${item.kind}</text></g>` +
        `<text x="${x + 38 + textWidth(item.kind)}" y="37">${esc(item.text)}</text>`;
    } else {
      legend += `<text x="${x}" y="37">${esc(item.text)}</text>`;
      x -= 38;
    }
    x += 38 + textWidth((item.kind || '') + ' ' + item.text) + 14;
  }
  const width = Math.max(x, textWidth(title) + 8);
  return {
    width,
    height: SIZE.headH,
    body: `<text x="4" y="15">${esc(title)}</text>` + legend,
  };
}

// ---- picking out marks ----

const cellsAndLabel = (i) => `.cell[data-instr="${i}"], .row-label[data-instr="${i}"]`;
const hazardMarks = (i, d) =>
  `[data-hazard][data-instr="${i}"][data-distance="${d}"], .hazard-note[data-instr="${i}"][data-distance="${d}"]`;

// The marks a pick lights in a diagram, as one selector ('' for none).
function pickedSelector(sel) {
  if (!sel) return '';
  if (sel.type === 'hazard')
    return [cellsAndLabel(sel.instr), cellsAndLabel(sel.earlier), hazardMarks(sel.instr, sel.distance)].join(', ');
  if (sel.type === 'delay')
    return [cellsAndLabel(sel.instr), `.bubble[data-waits="${sel.instr}"], .delay-note[data-instr="${sel.instr}"]`,
      hazardMarks(sel.instr, sel.instr - sel.earlier)].join(', ');
  return '';
}

// What a hovered or focused mark picks, from its data attributes.
const MARKS = '[data-hazard], .hazard-note, .delay';
function selectionOf(mark, report) {
  const instr = Number(mark.dataset.instr);
  if (mark.classList.contains('delay')) {
    const nearest = report.instructions[instr] && report.instructions[instr].nearest;
    return nearest ? { type: 'delay', instr, earlier: nearest.earlier } : null;
  }
  const distance = Number(mark.dataset.distance);
  return { type: 'hazard', instr, earlier: instr - distance, distance };
}

// What the stepper's cycle lights in the diagram of schedule `sched`: the
// column and the cells in it (selector, '' for none) and each bubble still
// in the pipeline, by the cycle it entered, with the stage it is in now.
function cycleMarks(sel, sched) {
  if (!sel || !sched || sel.which !== sched.which) return { selector: '', bubbles: [] };
  const bubbles = [];
  for (let stage = 1; stage <= sched.depth; stage++) {
    const cycle = sel.cycle - stage + 1;
    if (sched.entered[cycle] === -1) bubbles.push({ cycle, stage });
  }
  return { selector: `.column[data-column="${sel.cycle}"], .cell[data-cycle="${sel.cycle}"]`, bubbles };
}

// The marks reached by Tab in a diagram: one of them at a time (see views/diagrams.js).
const FOCUSABLE = '.hazard[data-hazard], .delay';

module.exports = {
  SIZE, PRINT, KIND_NAMES, MARKS, FOCUSABLE, esc, textWidth, marker, kindLine, rowY, baseline, cycleX, labelColumn, piece, part, stripes,
  rowLabels, cycleColumns, stageCells, head, pageHtml, printTiles, pageStyle, standalone,
  pickedSelector, cycleMarks, selectionOf,
};
