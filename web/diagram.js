// Pipeline diagrams: reads a complete run's text (both tables, the depth and
// the performance line) and draws the program as written and as corrected, in SVG.
(function (root) {
  'use strict';

  const RULE = '='.repeat(78);
  const HEADER = 'IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD';
  const KINDS = ['RAW', 'WAR', 'WAW'];

  function lines(text) {
    const all = text.split('\n').map((line) => (line.endsWith('\r') ? line.slice(0, -1) : line));
    if (all.length && all[all.length - 1] === '') all.pop();
    return all;
  }

  function number(field) {
    return /^[0-9]{1,9}$/.test(field) ? Number(field) : NaN;
  }

  // "DIST, '', DEPEND, '', HAZARD" starting at fields[5]; null when not a hazard.
  function hazardAt(fields) {
    if (fields.length !== 10 || fields[6] !== '' || fields[8] !== '') return null;
    const distance = number(fields[5]);
    if (!(distance >= 1) || fields[7] === '' || !KINDS.includes(fields[9])) return null;
    return { distance, depend: fields[7], kind: fields[9] };
  }

  // One table, as in analiza_hazard.txt / eliminare_hazard.txt: rule, column
  // names, rule, then each row closed by a rule. Returns the rows
  // [{in, opcode, dest, sources, hazards: [{distance, depend, kind}]}]
  // or null when the text is not such a table.
  function parseTable(text) {
    const all = lines(text);
    if (all.length < 3 || all[0] !== RULE || all[1] !== HEADER || all[2] !== RULE) return null;
    const rows = [];
    let open = null;
    for (let k = 3; k < all.length; k++) {
      const line = all[k];
      if (line === RULE) {
        if (!open) return null;
        rows.push(open);
        open = null;
        continue;
      }
      const fields = line.split('\t');
      if (fields[0] !== '') {
        if (open || fields.length < 6 || fields[4] !== '') return null;
        const row = { in: number(fields[0]), opcode: fields[1], dest: fields[2], sources: fields[3], hazards: [] };
        if (Number.isNaN(row.in) || !row.opcode || !row.dest || !row.sources) return null;
        if (fields.length === 6) {
          if (fields[5] !== '') return null;
        } else {
          const hazard = hazardAt(fields);
          if (!hazard) return null;
          row.hazards.push(hazard);
        }
        open = row;
      } else {
        const hazard = fields.slice(0, 5).every((f) => f === '') ? hazardAt(fields) : null;
        if (!open || !hazard) return null;
        open.hazards.push(hazard);
      }
    }
    return open ? null : rows;
  }

  // What both diagrams need, from a run's result {console, analysis, schedule, status};
  // null unless the run was complete and its text reads as expected.
  function readRun(result) {
    if (!result || result.status !== 0) return null;
    const depthMatch = /^Adincimea pipe-line: ([0-9]+)\r?$/m.exec(result.console);
    const perfMatch = /^Performanta structurii pipe-line = ([0-9]+\.[0-9]+)%\r?$/m.exec(result.console);
    const analysis = parseTable(result.analysis);
    const schedule = parseTable(result.schedule);
    if (!depthMatch || !perfMatch || !analysis || !schedule) return null;
    const depth = Number(depthMatch[1]);
    const n = analysis.length;
    if (depth < 1 || n === 0 || schedule.length !== n) return null;
    for (let i = 0; i < n; i++) {
      if (analysis[i].in !== i) return null;
      if (i > 0 && !(schedule[i].in > schedule[i - 1].in)) return null;
      for (const h of analysis[i].hazards) if (h.distance > i) return null;
    }
    const entries = schedule.map((row) => row.in);
    const entered = new Set(entries);
    const bubbles = [];
    for (let c = entries[0]; c <= entries[n - 1]; c++) if (!entered.has(c)) bubbles.push(c);
    return {
      depth,
      analysis,
      schedule,
      entries,
      bubbles,
      cyclesWritten: depth + n - 1,
      cyclesCorrected: n + bubbles.length + depth - 1,
      performance: perfMatch[1],
    };
  }

  // ---- SVG ----

  const CELL_W = 26;
  const CELL_H = 22;
  const CHAR_W = 7.2; // 12px monospace
  const TOP = 52;

  const STYLE = `
.hzd{font-family:ui-monospace,'DejaVu Sans Mono',Menlo,Consolas,monospace;font-size:12px}
.hzd .bg{fill:#ffffff}
.hzd text{fill:#1d232b}
.hzd .muted{fill:#5b6673}
.hzd .grid{stroke:#e3e7ec;stroke-width:1}
.hzd .cell rect{fill:#dbe7f5;stroke:#7d9cc0;stroke-width:1}
.hzd .cell text{fill:#1d3557;font-size:11px;text-anchor:middle}
.hzd .bubble circle{fill:none;stroke:#8a6d00;stroke-width:1.5;stroke-dasharray:3 2}
.hzd .bubble rect{fill:#f5ecc8;opacity:.55}
.hzd .bubble text{fill:#8a6d00;font-size:10px;text-anchor:middle}
.hzd .entry text{font-size:10px;text-anchor:middle}
.hzd .RAW{--k:#c0392b}.hzd .WAR{--k:#b35900}.hzd .WAW{--k:#6c3fb5}
.hzd .hazard path{fill:none;stroke:var(--k);stroke-width:1.6}
.hzd .hazard circle{fill:var(--k)}
.hzd .hazard text{fill:var(--k);font-weight:bold}
.hzd .hazard .tie{stroke-dasharray:4 2}
@media (prefers-color-scheme: dark){
.hzd .bg{fill:#161b22}
.hzd text{fill:#e6edf3}
.hzd .muted{fill:#9aa6b2}
.hzd .grid{stroke:#2a313a}
.hzd .cell rect{fill:#1f3a5c;stroke:#4f79a8}
.hzd .cell text{fill:#dbe9f8}
.hzd .bubble circle{stroke:#e0b84a}
.hzd .bubble rect{fill:#4a3d10}
.hzd .bubble text{fill:#e0b84a}
.hzd .RAW{--k:#ff7b72}.hzd .WAR{--k:#f0a35a}.hzd .WAW{--k:#c3a6ff}
}`;

  const LEGEND =
    'RAW: citeste ce scrie una anterioara; WAR: scrie ce citeste una anterioara; WAW: scriu acelasi registru';

  function textWidth(text) {
    return 4 + text.length * CHAR_W;
  }

  function esc(text) {
    return String(text).replace(/[&<>"']/g, (c) => '&#' + c.charCodeAt(0) + ';');
  }

  function instrLabel(i, row) {
    return i + ': ' + row.opcode + ' ' + row.dest + ',' + row.sources;
  }

  function labelWidth(rows) {
    let longest = 0;
    rows.forEach((row, i) => {
      longest = Math.max(longest, instrLabel(i, row).length);
    });
    return Math.ceil(longest * CHAR_W) + 16;
  }

  function svgOpen(kind, width, height, title) {
    return (
      `<svg xmlns="http://www.w3.org/2000/svg" class="hzd hzd-${kind}" width="${width}" height="${height}"` +
      ` viewBox="0 0 ${width} ${height}" role="img" aria-label="${esc(title)}">` +
      `<title>${esc(title)}</title><style>${STYLE}</style>` +
      `<rect class="bg" x="0" y="0" width="${width}" height="${height}"/>`
    );
  }

  // Column numbers and faint grid lines for cycles 0..cycles-1.
  function cycleAxis(left, cycles, y, height) {
    let out = `<text class="muted" x="4" y="${y + 14}">ciclu</text>`;
    for (let c = 0; c < cycles; c++) {
      const x = left + c * CELL_W;
      out += `<line class="grid" x1="${x}" y1="${y}" x2="${x}" y2="${height}"/>`;
      out += `<text class="muted" x="${x + CELL_W / 2}" y="${y + 14}" text-anchor="middle" font-size="10">${c}</text>`;
    }
    return out;
  }

  function stageCells(i, first, depth, left, y) {
    let out = '';
    for (let s = 1; s <= depth; s++) {
      const cycle = first + s - 1;
      const x = left + cycle * CELL_W;
      out +=
        `<g class="cell" data-instr="${i}" data-cycle="${cycle}" data-stage="${s}">` +
        `<rect x="${x + 1}" y="${y + 2}" width="${CELL_W - 2}" height="${CELL_H - 4}" rx="3"/>` +
        `<text x="${x + CELL_W / 2}" y="${y + 15}">${s}</text></g>`;
    }
    return out;
  }

  // The program as written: instruction i enters in cycle i; each hazard is
  // labelled at the end of the later instruction's row and tied by an arrow from
  // the earlier instruction's last stage to the later one's cell in that cycle.
  function analysisSvg(model) {
    const { depth, analysis } = model;
    const n = analysis.length;
    const left = labelWidth(analysis);
    const cycles = n + depth - 1;
    let rightmost = left + cycles * CELL_W;
    let rowsSvg = '';
    let hazardsSvg = '';
    analysis.forEach((row, i) => {
      const y = TOP + i * CELL_H;
      rowsSvg += `<text x="4" y="${y + 15}">${esc(instrLabel(i, row))}</text>`;
      rowsSvg += stageCells(i, i, depth, left, y);
      let lx = left + (i + depth) * CELL_W + 8;
      for (const h of row.hazards) {
        const earlier = i - h.distance;
        const cycle = earlier + depth - 1;
        const x = left + cycle * CELL_W + CELL_W / 2 + (((h.distance - 1) % 5) * 4 - 8);
        const y0 = TOP + earlier * CELL_H + CELL_H - 3;
        const y1 = y + 3;
        const label = `${h.kind} ${h.depend} dist ${h.distance}`;
        const lastX = left + (i + depth) * CELL_W;
        hazardsSvg +=
          `<g class="hazard ${h.kind}" data-hazard="${h.kind}" data-instr="${i}" data-distance="${h.distance}"` +
          ` data-from="${earlier}"><title>${esc(`${i} <- ${earlier}: ${label}`)}</title>` +
          `<path d="M${x} ${y0} L${x} ${y1 - 5}"/><path d="M${x - 4} ${y1 - 6} L${x} ${y1} L${x + 4} ${y1 - 6}"/>` +
          `<circle cx="${x}" cy="${y0}" r="2.5"/>` +
          `<path class="tie" d="M${x + 3} ${y + CELL_H / 2} L${lastX + 4} ${y + CELL_H / 2}" opacity=".5"/>` +
          `<text x="${lx}" y="${y + 15}">${esc(label)}</text></g>`;
        lx += Math.ceil((label.length + 2) * CHAR_W);
      }
      rightmost = Math.max(rightmost, lx);
    });
    const title = `Programul asa cum este scris: adincime ${depth}, ${n} instructiuni, ${cycles} cicluri`;
    const width = Math.ceil(Math.max(rightmost, textWidth(LEGEND), textWidth(title)) + 8);
    const height = TOP + n * CELL_H + 10;
    return (
      svgOpen('analysis', width, height, title) +
      `<text x="4" y="14">${esc(title)}</text>` +
      `<text x="4" y="28" class="muted">${LEGEND}</text>` +
      cycleAxis(left, cycles, TOP - 18, height - 10) +
      rowsSvg +
      hazardsSvg +
      '</svg>'
    );
  }

  function summaryText(model) {
    return (
      `Bule: ${model.bubbles.length}; cicluri asa cum e scris: ${model.cyclesWritten}; ` +
      `corectat: ${model.cyclesCorrected}; performanta: ${model.performance}%`
    );
  }

  // The corrected schedule: instruction i enters in the cycle of its IN
  // column; a row above the instructions shows what enters in each cycle,
  // an instruction's number or a bubble.
  function scheduleSvg(model) {
    const { depth, schedule, entries, bubbles } = model;
    const n = schedule.length;
    const left = labelWidth(schedule);
    const cycles = entries[n - 1] + depth;
    const entryY = TOP;
    const rowsTop = TOP + CELL_H;
    const height = rowsTop + n * CELL_H + 10;
    const title = `Programul corectat: adincime ${depth}, ${n} instructiuni`;
    const width = Math.ceil(Math.max(left + cycles * CELL_W, textWidth(summaryText(model))) + 8);
    let out = '';
    out += `<text class="muted" x="4" y="${entryY + 15}">intra</text>`;
    entries.forEach((cycle, i) => {
      out +=
        `<g class="entry"><text x="${left + cycle * CELL_W + CELL_W / 2}" y="${entryY + 15}">${i}</text></g>`;
    });
    bubbles.forEach((cycle, b) => {
      const x = left + cycle * CELL_W;
      out +=
        `<g class="bubble" data-bubble="${b}" data-cycle="${cycle}"><title>bula in ciclul ${cycle}</title>` +
        `<rect x="${x + 1}" y="${entryY}" width="${CELL_W - 2}" height="${height - 10 - entryY}"/>` +
        `<circle cx="${x + CELL_W / 2}" cy="${entryY + CELL_H / 2}" r="8"/>` +
        `<text x="${x + CELL_W / 2}" y="${entryY + 15}">b</text></g>`;
    });
    schedule.forEach((row, i) => {
      const y = rowsTop + i * CELL_H;
      out += `<text x="4" y="${y + 15}">${esc(instrLabel(i, row))}</text>`;
      out += stageCells(i, row.in, depth, left, y);
    });
    return (
      svgOpen('schedule', width, height, title) +
      `<text x="4" y="14">${esc(title)}</text>` +
      `<text x="4" y="28" class="muted">${esc(summaryText(model))}</text>` +
      cycleAxis(left, cycles, TOP - 18, height - 10) +
      out +
      '</svg>'
    );
  }

  const api = { parseTable, readRun, analysisSvg, scheduleSvg, summaryText };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.hazardDiagram = api;
})(this);
