// What the diagram of the program as written decides (logic/diagram-written.js),
// on the reports of every example and of generated programs: each hazard's
// tie in the gutter, lanes that never share a row, notes after the cells.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import path from 'node:path';
import { root, script, loadSim } from './lib.mjs';

const { run } = await loadSim();
const { layout, draw } = script('logic/diagram-written.js');
const { SIZE, cycleX, rowY } = script('logic/diagram-svg.js');

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

test('ties that share a lane never share a row, and no more lanes are used than rows overlap', () => {
  let widest = 0;
  for (const [what, report] of reports) {
    const L = layout(report);
    const lanes = new Map();
    for (const t of L.ties) {
      const taken = lanes.get(t.lane) || [];
      for (const [a, b] of taken) assert.ok(t.instr < a || t.earlier > b, `${what}: lane ${t.lane} shared by rows ${a}..${b} and ${t.earlier}..${t.instr}`);
      taken.push([t.earlier, t.instr]);
      lanes.set(t.lane, taken);
    }
    // Each lane beyond the first is there because every lane before it was taken.
    const deepest = Math.max(0, ...report.instructions.map((ins) => L.ties.filter((t) => t.earlier <= ins.index && t.instr >= ins.index).length));
    assert.ok(lanes.size <= Math.max(1, 2 * deepest), what + ': lanes ' + lanes.size);
    widest = Math.max(widest, lanes.size);
  }
  assert.ok(widest >= 3, 'the programs give crowded gutters');
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
