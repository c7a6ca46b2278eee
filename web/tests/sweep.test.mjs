// The depth comparison under Node: for the examples and generated programs,
// every depth's bubbles, cycles and performance figure must be what the
// native program prints for the same program at that depth.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, existsSync } from 'node:fs';
import { join } from 'node:path';
import { root, script, loadSim, exampleInput, nativeFigures } from './lib.mjs';

const sweep = script('logic/sweep.js');
const sim = await loadSim();
const runSim = sim.run;

// The figures a row of the comparison holds, as the native program prints them.
function nativeRow(config, program) {
  const got = nativeFigures(config, program);
  const f = got.figures;
  const depth = Number(/^Adincimea pipe-line: (\d+)$/m.exec(got.console)[1]);
  return f
    ? { depth, status: 0, performance: f.performance, bubbles: f.bubbles, cycles: f.cycles }
    : { depth, status: got.status, performance: null, bubbles: null, cycles: null };
}

function checkSweep(name, config, program) {
  const result = runSim(config, program);
  assert.equal(result.status, 0, name);
  const rows = sweep.sweepRows(runSim, { program, report: result.report }, sim.limits);
  assert.deepEqual(rows.map((r) => r.depth), [3, 4, 5, 6, 7, 8, 9, 10], name);
  const count = result.report.count;
  for (const row of rows) {
    assert.deepEqual(row, nativeRow(`${row.depth}\n${count}\n`, program), `${name} at depth ${row.depth}`);
  }
}

test('every complete example compares alike at each depth 3..10 with the native program', () => {
  const dir = join(root, 'examples');
  let checked = 0;
  for (const name of readdirSync(dir).filter((n) => existsSync(join(dir, n, 'expected')))) {
    const config = exampleInput(name, 'config.txt');
    const program = exampleInput(name, 'program.txt');
    if (runSim(config, program).status !== 0) continue;
    checkSweep(name, config, program);
    checked++;
  }
  assert.ok(checked >= 4);
});

test('generated programs, with fewer or more lines than their count too, compare alike with the native program', () => {
  let seed = 7041;
  const rnd = () => ((seed = (Math.imul(seed, 1103515245) + 12345) >>> 0) / 4294967296);
  const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
  for (let k = 0; k < 30; k++) {
    const count = int(2, 50);
    const regs = int(2, 12); // few registers: many hazards
    const reg = () => 'R' + int(1, regs);
    const length = [int(0, 1), int(0, count), count + int(1, 5), count, count][int(0, 4)];
    const lines = Array.from({ length }, () =>
      ['ADD', 'SUB', 'MUL', 'DIV', 'LD'][int(0, 4)] + ` ${reg()},${reg()}` + (rnd() < 0.7 ? ',' + reg() : ''));
    const eol = rnd() < 0.2 ? '\r\n' : '\n';
    const program = lines.map((line) => line + eol).join('');
    checkSweep(`generated ${k}`, `${int(3, 10)}\n${count}\n`, program);
  }
});

test('the schedule figures: bubbles, cycles both ways and cycles per instruction', () => {
  const report = runSim('5\n6\n', exampleInput('six', 'program.txt')).report;
  assert.deepEqual(sweep.summary(report), [
    ['Bule', '9'],
    ['Cicluri asa cum este scris', '10'],
    ['Cicluri corectat', '19'],
    ['Cicluri pe instructiune, asa cum este scris', '1.67'],
    ['Cicluri pe instructiune, corectat', '3.17'],
    ['Performanta', '52.63%'],
  ]);
});
