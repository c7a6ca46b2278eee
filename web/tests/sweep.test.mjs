// The depth comparison under Node: for the examples and generated programs,
// every depth's bubbles, cycles and performance figure must be what the
// native program prints for the same program at that depth.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
// HAZARD_WEB_SITE: another built site folder to test (default build-web/site).
const site = process.env.HAZARD_WEB_SITE || join(root, 'build-web', 'site');
const native = join(root, 'build', 'hazard-sim');
const require = createRequire(import.meta.url);
const { makeRunner } = require(join(site, 'sim.js'));
const sweep = require(join(site, 'sweep.js'));
const runSim = makeRunner(await require(join(site, 'hazard-sim.js'))());

// What the native program prints at one depth: the performance line, and the
// bubbles and cycles read off the correction table's IN column.
function nativeFigures(config, program) {
  const dir = mkdtempSync(join(tmpdir(), 'hazard-sim-sweep-'));
  try {
    writeFileSync(join(dir, 'config.txt'), config);
    writeFileSync(join(dir, 'program.txt'), program);
    const p = spawnSync(native, [], { cwd: dir });
    const depth = Number(/^Adincimea pipe-line: (\d+)$/m.exec(p.stdout)[1]);
    if (p.status !== 0) return { depth, status: p.status };
    const entries = readFileSync(join(dir, 'eliminare_hazard.txt'), 'utf8')
      .split('\n').filter((l) => /^\d/.test(l)).map((l) => Number(l.split('\t')[0]));
    const n = entries.length;
    const bubbles = n ? entries[n - 1] - (n - 1) : 0;
    return {
      depth,
      status: 0,
      performance: /^Performanta structurii pipe-line = ([\d.]+)%$/m.exec(p.stdout)[1],
      bubbles,
      cycles: { written: depth + n - 1, corrected: n + bubbles + depth - 1 },
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

function checkSweep(name, config, program) {
  const result = runSim(config, program);
  assert.equal(result.status, 0, name);
  const rows = sweep.sweepRows(runSim, { program, report: result.report });
  assert.deepEqual(rows.map((r) => r.depth), [3, 4, 5, 6, 7, 8, 9, 10], name);
  const count = result.report.count;
  for (const row of rows) {
    assert.deepEqual(row, nativeFigures(`${row.depth}\n${count}\n`, program), `${name} at depth ${row.depth}`);
  }
}

test('every complete example compares alike at each depth 3..10 with the native program', () => {
  const dir = join(root, 'examples');
  let checked = 0;
  for (const name of readdirSync(dir).filter((n) => existsSync(join(dir, n, 'expected')))) {
    const config = readFileSync(join(dir, name, 'config.txt'));
    const program = readFileSync(join(dir, name, 'program.txt'));
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
  const report = runSim('5\n6\n', readFileSync(join(root, 'examples', 'six', 'program.txt'))).report;
  assert.deepEqual(sweep.summary(report), [
    ['Bule', '9'],
    ['Cicluri asa cum este scris', '10'],
    ['Cicluri corectat', '19'],
    ['Cicluri pe instructiune, asa cum este scris', '1.67'],
    ['Cicluri pe instructiune, corectat', '3.17'],
    ['Performanta', '52.63%'],
  ]);
});
