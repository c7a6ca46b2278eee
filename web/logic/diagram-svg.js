// Shared drawing of both pipeline diagrams: sizes, the hazard kinds' and the
// bubbles' looks, row labels, stage cells and the cycle axis in SVG; the
// panes' markup for the page (row labels kept in view, cycles scrolling
// sideways) and the same diagram as one SVG file; which marks a pick lights.
// Gives SIZE, KIND_NAMES, MARKS, esc, textWidth, marker, kindLine, rowY, cycleX, labelColumn, stripes, rowLabels, cycleColumns, stageCells, head, pageHtml, pageStyle, standalone, pickedSelector, cycleSelector, selectionOf.
'use strict';

const SIZE = { cellW: 26, cellH: 22, axisH: 24, headH: 44, charW: 7.2, lane: 11, pad: 8 };

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
.hzd .column.current-cycle{fill:#ffe9a8}
.hzd .axis{font-size:10px;text-anchor:middle}
.hzd .cell rect{fill:#dbe7f5;stroke:#5f82ad;stroke-width:1}
.hzd .cell text{fill:#1d3557;font-size:11px;text-anchor:middle}
.hzd .cell.current-cycle rect{stroke:#1d232b;stroke-width:2}
.hzd .bubble rect{fill:#ffffff;stroke:#7a5c00;stroke-width:1.5;stroke-dasharray:3 2}
.hzd .bubble text{fill:#7a5c00;font-size:10px;text-anchor:middle}
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
`;
// The page's diagrams follow its colour scheme; a downloaded file keeps the light palette wherever it is opened.
const DARK = `
.hzd .bg{fill:#161b22}
.hzd text{fill:#e6edf3}
.hzd .muted{fill:#9aa6b2}
.hzd .stripe{fill:#1c222b}
.hzd .column.current-cycle{fill:#4a3d10}
.hzd .cell rect{fill:#1f3a5c;stroke:#6c98c8}
.hzd .cell text{fill:#dbe9f8}
.hzd .cell.current-cycle rect,.hzd .picked.cell rect{stroke:#f0f3f6}
.hzd .bubble rect{fill:#161b22;stroke:#e0b84a}
.hzd .bubble text,.hzd .delay-note text{fill:#e0b84a}
.hzd .wait{stroke:#e0b84a}
.hzd .picked.row-label rect{fill:#4a3d10}
.hzd .RAW{--k:#5fb4f0}.hzd .WAR{--k:#f28c4b}.hzd .WAW{--k:#e59acb}
.hzd .hazard:focus .hit{stroke:#f0f3f6}
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

// The kind's line from (x, y0) to (x, y1), with a wide invisible stroke to hover.
function kindLine(x, y0, y1) {
  const d = `M${x} ${y0}V${y1}`;
  return `<path class="hit" d="${d}"/><path class="line" d="${d}"/>`;
}

const model = require('./schedule.js');
const T = require('../words/words.js').t;

const rowY = (i) => SIZE.axisH + i * SIZE.cellH;
const cycleX = (c) => c * SIZE.cellW;

function labelColumn(report) {
  let longest = 0;
  for (const ins of report.instructions) longest = Math.max(longest, model.instrLabel(ins).length);
  return Math.ceil(longest * SIZE.charW) + 2 * SIZE.pad;
}

// Alternate rows lightly shaded, across a pane of the given width.
function stripes(n, width) {
  let out = '';
  for (let i = 1; i < n; i += 2) out += `<rect class="stripe" x="0" y="${rowY(i)}" width="${width}" height="${SIZE.cellH}"/>`;
  return out;
}

// The side pane: "ciclu" over the row labels, each label a mark of its own.
function rowLabels(report, width) {
  let out = `<text class="muted" x="${width - 4}" y="16" text-anchor="end">${esc(T('axisCycle'))}</text>`;
  for (const ins of report.instructions) {
    const y = rowY(ins.index);
    out +=
      `<g class="row-label" data-instr="${ins.index}"><rect x="0" y="${y}" width="${width}" height="${SIZE.cellH}"/>` +
      `<text x="${SIZE.pad / 2}" y="${y + 15}">${esc(model.instrLabel(ins))}</text></g>`;
  }
  return out;
}

// The cycle numbers and a column behind each cycle, which the current cycle lights.
function cycleColumns(cycles, height) {
  let out = '';
  for (let c = 0; c < cycles; c++) {
    const x = cycleX(c);
    out +=
      `<rect class="column" data-column="${c}" x="${x}" y="0" width="${SIZE.cellW}" height="${height}"/>` +
      `<text class="muted axis" x="${x + SIZE.cellW / 2}" y="16">${c}</text>`;
  }
  return out;
}

function stageCells(i, first, depth) {
  const y = rowY(i);
  let out = '';
  for (let s = 1; s <= depth; s++) {
    const cycle = first + s - 1;
    const x = cycleX(cycle);
    out +=
      `<g class="cell" data-instr="${i}" data-cycle="${cycle}" data-stage="${s}">` +
      `<rect x="${x + 1}" y="${y + 2}" width="${SIZE.cellW - 2}" height="${SIZE.cellH - 4}" rx="3"/>` +
      `<text x="${x + SIZE.cellW / 2}" y="${y + 15}">${s}</text></g>`;
  }
  return out;
}

// A diagram is {title, head, side, gutter, main}: head the title and
// legend (drawn into head's width), side the row labels, kept in view
// while the rest scrolls, gutter (which may be absent) what is drawn
// between the labels and the cycles, main the cycles; each part {width, height, body}.
function paneSvg(kind, part) {
  return (
    `<svg xmlns="http://www.w3.org/2000/svg" class="hzd hzd-${kind}" width="${part.width}" height="${part.height}"` +
    ` viewBox="0 0 ${part.width} ${part.height}" style="--w:${part.width}">` +
    `<rect class="bg" x="0" y="0" width="${part.width}" height="${part.height}"/>${part.body}</svg>`
  );
}

const NO_GUTTER = { width: 0, body: '' };
const panesWidth = (d) => d.side.width + (d.gutter || NO_GUTTER).width + d.main.width;

// The page's markup of a diagram: its legend, and its panes in a box that
// scrolls sideways, reached by Tab; #explain says in words what it draws.
function pageHtml(diagram) {
  return (
    `<div class="diagram-legend" tabindex="0" role="group" aria-label="${esc(diagram.title)}">${paneSvg('head', diagram.head)}</div>` +
    `<div class="diagram" role="group" tabindex="0" aria-details="explain" aria-label="${esc(diagram.title)}">` +
    `<div class="diagram-pane" style="--w:${panesWidth(diagram)}">${paneSvg('side', diagram.side)}` +
    `${diagram.gutter ? paneSvg('gutter', diagram.gutter) : ''}${paneSvg('main', diagram.main)}</div></div>`
  );
}

// The diagrams' style on the page, following its colour scheme.
const pageStyle = () => STYLE + '@media screen and (prefers-color-scheme: dark){' + DARK + '}';

// The whole diagram as the text of an SVG file that stands on its own.
function standalone(diagram) {
  const { head, side, main } = diagram;
  const gutter = diagram.gutter || NO_GUTTER;
  const width = Math.max(head.width, panesWidth(diagram));
  const height = head.height + Math.max(side.height, main.height);
  return (
    '<?xml version="1.0" encoding="UTF-8"?>\n' +
    `<svg xmlns="http://www.w3.org/2000/svg" class="hzd" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}">` +
    `<title>${esc(diagram.title)}</title><style>${STYLE}</style>` +
    `<rect class="bg" x="0" y="0" width="${width}" height="${height}"/>${head.body}` +
    `<g transform="translate(0 ${head.height})">${side.body}</g>` +
    `<g transform="translate(${side.width} ${head.height})">${gutter.body}</g>` +
    `<g transform="translate(${side.width + gutter.width} ${head.height})">${main.body}</g></svg>\n`
  );
}

// Title and legend lines; items: [{kind, text}] drawn with the kind's
// line and marker, or [{bubble: true, text}].
function head(title, items) {
  let x = 4;
  let legend = '';
  for (const item of items) {
    if (item.bubble) {
      legend +=
        `<g class="bubble"><rect x="${x}" y="26" width="14" height="14" rx="2"/><text x="${x + 7}" y="37">b</text></g>` +
        `<text x="${x + 20}" y="37">${esc(item.text)}</text>`;
    } else {
      legend +=
        `<g class="hazard legend ${item.kind}"><path class="line" d="M${x} 33H${x + 22}"/>` +
        marker(item.kind, x + 28, 33) + `<text class="k" x="${x + 38}" y="37">${item.kind}</text></g>` +
        `<text x="${x + 38 + textWidth(item.kind)}" y="37">${esc(item.text)}</text>`;
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

// The marks the stepper's cycle lights in a diagram of schedule `which` ('' for none).
const cycleSelector = (sel, which) =>
  sel && sel.which === which ? `.column[data-column="${sel.cycle}"], .cell[data-cycle="${sel.cycle}"]` : '';

module.exports = {
  SIZE, KIND_NAMES, MARKS, esc, textWidth, marker, kindLine, rowY, cycleX, labelColumn, stripes,
  rowLabels, cycleColumns, stageCells, head, pageHtml, pageStyle, standalone,
  pickedSelector, cycleSelector, selectionOf,
};
