// What the diagrams decide (logic/diagram-written.js, diagram-corrected.js,
// diagram-svg.js), on the reports of every example and of generated programs:
// each hazard's tie in the gutter, lanes that never share a row or, when too
// many, a column for each distance; notes after the cells; the tiles for paper.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import path from 'node:path';
import { root, script, loadSim } from './lib.mjs';

const { run } = await loadSim();
const { MAX_LANES, layout, draw } = script('logic/diagram-written.js');
const corrected = script('logic/diagram-corrected.js');
const model = script('logic/schedule.js');
const { SIZE, PRINT, cycleX, rowY, printTiles } = script('logic/diagram-svg.js');

const examplesDir = path.join(root, 'examples');
const reports = [];
for (const name of readdirSync(examplesDir).sort()) {
  const read = (f) => readFileSync(path.join(examplesDir, name, f));
  const { report } = run(read('config.txt'), read('program.txt'));
  if (report) reports.push([name, report]);
}
let seed = 7;
const rnd = (n) => ((seed = (Math.imul(seed, 1103515245) + 12345) >>> 0) % n);
for (let k = 0; k < 300; k++) {
  const depth = 3 + rnd(8);
  const count = 2 + rnd(49);
  const reg = () => 'R' + (1 + rnd(rnd(2) ? 4 : 12));
  const lines = Array.from({ length: count }, () => `ADD ${reg()},${reg()}${rnd(3) ? ',' + reg() : ''}`);
  const { report } = run(`${depth}\n${count}\n`, lines.join('\n') + '\n');
  reports.push([`generated ${k} (depth ${depth}, ${count} instructions)`, report]);
}

test('every hazard has one tie, in the gutter between the row labels and the cells, from row to row', () => {
  for (const [what, report] of reports) {
    const L = layout(report);
    const hazards = report.instructions.flatMap((ins) => ins.hazards.map((h) => [ins.index, h.distance]));
    assert.deepEqual(L.ties.map((t) => [t.instr, t.distance]).sort((a, b) => a[0] - b[0] || a[1] - b[1]), hazards, what);
    for (const t of L.ties) {
      assert.ok(t.x > 0 && t.x < L.gutterWidth, what + ': in the gutter');
      assert.deepEqual([t.y0, t.y1], [rowY(t.earlier) + SIZE.cellH / 2, rowY(t.instr) + SIZE.cellH / 2], what);
    }
  }
});

test('ties that share a lane never share a row, and no more lanes are used than rows overlap; past MAX_LANES, one column a distance', () => {
  let widest = 0;
  let compact = 0;
  for (const [what, report] of reports) {
    const L = layout(report);
    const deepest = Math.max(0, ...report.instructions.map((ins) => L.ties.filter((t) => t.earlier <= ins.index && t.instr >= ins.index).length));
    if (L.compact) {
      // Each tie in the column of its distance, tied in full only while picked (the page's style).
      compact++;
      assert.ok(deepest > MAX_LANES / 2, `${what}: compact only when the lanes cannot fit (${deepest} ties over one row)`);
      assert.deepEqual(L.ties.filter((t) => t.lane !== t.distance - 1), [], what);
      assert.equal(L.gutterWidth, 2 * SIZE.pad + Math.max(...L.ties.map((t) => t.distance)) * SIZE.slot, what);
      const gutter = draw(report).gutter.body;
      assert.equal((gutter.match(/<g class="hazard short [A-Z]+"[^>]*>(<title>[^<]*<\/title>)?<rect class="slot"[^>]*\/><g class="tie">/g) || []).length, L.ties.length, what);
      continue;
    }
    const lanes = new Map();
    for (const t of L.ties) {
      const taken = lanes.get(t.lane) || [];
      for (const [a, b] of taken) assert.ok(t.instr < a || t.earlier > b, `${what}: lane ${t.lane} shared by rows ${a}..${b} and ${t.earlier}..${t.instr}`);
      taken.push([t.earlier, t.instr]);
      lanes.set(t.lane, taken);
    }
    // Each lane beyond the first is there because every lane before it was taken.
    assert.ok(lanes.size <= Math.max(1, 2 * deepest), what + ': lanes ' + lanes.size);
    assert.ok(lanes.size <= MAX_LANES, what);
    widest = Math.max(widest, lanes.size);
  }
  assert.ok(widest >= 3, 'the programs give crowded gutters');
  assert.ok(compact >= 20, `the programs give gutters too crowded for lanes: ${compact}`);
});

test('a row\'s notes come after its last cell, one after another, inside the diagram', () => {
  for (const [what, report] of reports) {
    const L = layout(report);
    let end = {};
    for (const note of L.notes) {
      const start = Math.max(cycleX(note.instr + report.depth), end[note.instr] || 0);
      assert.ok(note.x >= start, what + ': note of row ' + note.instr);
      end[note.instr] = note.x + note.text.length * SIZE.charW;
      assert.ok(end[note.instr] <= L.mainWidth, what + ': inside');
    }
  }
});

test('a note names the kind the table shows, the registers, the distance and every kind it hides', () => {
  const six = reports.find(([name]) => name === 'six')[1];
  assert.deepEqual(layout(six).notes.map((n) => [n.instr, n.kind, n.text]), [
    [1, 'RAW', 'RAW R1 dist 1'],
    [2, 'WAR', 'WAR R4 dist 1'],
    [3, 'WAW', 'WAW R3 dist 2; si RAW R3'],
    [3, 'RAW', 'RAW R1 dist 3'],
    [5, 'RAW', 'RAW R7 dist 1'],
    [5, 'RAW', 'RAW R3 dist 2'],
  ]);
  const diagram = draw(six);
  assert.equal(diagram.title, 'Programul asa cum este scris: adincime 5, 6 instructiuni, 10 cicluri');
  assert.equal((diagram.gutter.body.match(/ data-hazard=/g) || []).length, 6, 'the focusable ties are the hazards');
  assert.equal((diagram.side.body.match(/ data-hazard=/g) || []).length, 0, 'the row labels, kept in view, hold no tie');
  assert.equal((diagram.main.body.match(/ data-stage=/g) || []).length, 30);
});

// A note, by where its words begin.
const NOTE = /class="(?:hazard|delay)-note[^"]*"[^>]*>(?:<[a-z]+ [^>]*\/>)?<text x="([\d.]+)" y="([\d.]+)"/g;
const noteKey = (m) => `note ${m[1]}/${m[2]}`;

// The windows of a tile's markup: [{ref, x, y, x0, y0, w, h}], and its notes.
function tilesOf(markup) {
  return markup.split('<svg class="hzd print-tile"').slice(1).map((tile) => /^ width="([\d.]+)" height="([\d.]+)"[^>]*>(.*)$/.exec(tile)).map((m) => ({
    width: +m[1],
    height: +m[2],
    views: [...m[3].matchAll(/<svg data-pane="(\w+)" x="([\d.]+)" y="([\d.]+)" width="([\d.]+)" height="([\d.]+)" viewBox="([\d.]+) ([\d.]+) [\d.]+ [\d.]+">/g)]
      .map((v) => ({ ref: v[1], x: +v[2], y: +v[3], w: +v[4], h: +v[5], x0: +v[6], y0: +v[7] })),
    notes: [...m[3].matchAll(NOTE)].map(noteKey),
  }));
}

test('on paper a diagram is cut into tiles that fit the page, each with its labels and cycles, every cell and note in one of them whole', () => {
  let cut = 0;
  for (const [what, report] of reports) {
    // Drawn for a mouse and for touch (taller rows).
    for (const diagram of [draw(report), corrected.draw(report), draw(report, true), corrected.draw(report, true)]) {
      const tiles = tilesOf(printTiles(diagram));
      const n = report.instructions.length;
      const seen = new Map(); // 'row/cycle' of each cell shown, and the notes
      for (const tile of tiles) {
        assert.ok(tile.width <= PRINT.width && tile.height <= PRINT.height, `${what}: ${tile.width} x ${tile.height}`);
        const main = tile.views.filter((v) => v.ref === 'main');
        const side = tile.views.filter((v) => v.ref === 'side');
        assert.deepEqual(side.map((v) => [v.y0, v.h]), [[0, SIZE.axisH], [main[1].y0, main[1].h]], what + ': labels and the axis on every tile');
        assert.deepEqual(main.map((v) => [v.x0, v.w]), [[main[1].x0, main[1].w], [main[1].x0, main[1].w]], what);
        const [first, last] = [(main[1].y0 - SIZE.axisH) / diagram.rowH, (main[1].y0 + main[1].h - SIZE.axisH) / diagram.rowH];
        assert.ok(Number.isInteger(first) && Number.isInteger(last) && main[1].x0 % SIZE.cellW === 0, what + ': cut between rows and between cycles');
        for (let row = first; row < last; row++)
          for (let c = main[1].x0 / SIZE.cellW; c < (main[1].x0 + main[1].w) / SIZE.cellW; c++) seen.set(`${row}/${c}`, (seen.get(`${row}/${c}`) || 0) + 1);
        for (const note of tile.notes) seen.set(note, (seen.get(note) || 0) + 1);
      }
      const want = diagram.main.notes.map((note) => noteKey([...note.body.matchAll(NOTE)][0]));
      for (const note of want) assert.equal(seen.get(note), 1, `${what}: note ${note} once`);
      const sched = model.schedule(report, diagram.gutter ? 'written' : 'corrected');
      for (let i = 0; i < n; i++)
        for (let c = sched.entries[i] - (diagram.gutter ? 0 : report.instructions[i].delay); c < sched.entries[i] + report.depth; c++)
          assert.equal(seen.get(`${i}/${c}`), 1, `${what}: row ${i}, cycle ${c} on one tile`);
      cut = Math.max(cut, tiles.length);
    }
  }
  assert.ok(cut >= 10, 'some diagrams take many tiles');
});
