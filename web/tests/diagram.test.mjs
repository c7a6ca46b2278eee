// Unit tests of the diagrams' reading of a run's text (web/diagram.js), on the
// examples' expected output and on tables broken in the ways that matter.
import test from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { readFileSync, readdirSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import path from 'node:path';

const require = createRequire(import.meta.url);
const { parseTable, readRun } = require('../diagram.js');

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const examplesDir = path.join(root, 'examples');

function expectedRun(name) {
  const dir = path.join(examplesDir, name, 'expected');
  return {
    console: readFileSync(path.join(dir, 'console.txt'), 'utf8'),
    analysis: readFileSync(path.join(dir, 'analiza_hazard.txt'), 'utf8'),
    schedule: readFileSync(path.join(dir, 'eliminare_hazard.txt'), 'utf8'),
    status: Number(readFileSync(path.join(dir, 'status'), 'utf8').trim()),
  };
}

const RULE = '='.repeat(78);
const HEAD = [RULE, 'IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD', RULE];
const table = (...body) => [...HEAD, ...body].join('\n') + '\n';

test('the analysis table of six reads as its rows and every hazard', () => {
  const rows = parseTable(expectedRun('six').analysis);
  const h = (distance, depend, kind) => ({ distance, depend, kind });
  assert.deepEqual(rows, [
    { in: 0, opcode: 'LD', dest: 'R1', sources: 'R2', hazards: [] },
    { in: 1, opcode: 'ADD', dest: 'R3', sources: 'R1,R4', hazards: [h(1, 'R1', 'RAW')] },
    { in: 2, opcode: 'SUB', dest: 'R4', sources: 'R5,R6', hazards: [h(1, 'R4', 'WAR')] },
    { in: 3, opcode: 'MUL', dest: 'R3', sources: 'R3,R1', hazards: [h(2, 'R3', 'WAW'), h(3, 'R1', 'RAW')] },
    { in: 4, opcode: 'DIV', dest: 'R7', sources: 'R8,R9', hazards: [] },
    { in: 5, opcode: 'ADD', dest: 'R10', sources: 'R7,R3', hazards: [h(1, 'R7', 'RAW'), h(2, 'R3', 'RAW')] },
  ]);
});

test('a run of six gives its depth, entry cycles, bubbles, cycle counts and performance', () => {
  const model = readRun(expectedRun('six'));
  assert.equal(model.depth, 5);
  assert.deepEqual(model.entries, [0, 4, 8, 9, 10, 14]);
  assert.deepEqual(model.bubbles, [1, 2, 3, 5, 6, 7, 11, 12, 13]);
  assert.equal(model.cyclesWritten, 10);
  assert.equal(model.cyclesCorrected, 19);
  assert.equal(model.performance, '52.63');
});

test('a run of chain gives a register listed twice as one hazard of its row', () => {
  const model = readRun(expectedRun('chain'));
  assert.equal(model.depth, 3);
  assert.deepEqual(model.analysis[4].hazards, [{ distance: 1, depend: 'R4,R4', kind: 'RAW' }]);
  assert.deepEqual(model.analysis[6].hazards, [{ distance: 1, depend: 'R6,R6', kind: 'WAW' }]);
  assert.deepEqual(model.bubbles, [1, 3, 6, 9, 11]);
});

// The bubbles found from the IN column must give the performance the
// simulator printed: (depth + n - 1) / (n + bubbles + depth - 1).
for (const name of readdirSync(examplesDir).sort()) {
  const run = expectedRun(name);
  if (run.status !== 0) continue;
  test(`the bubbles read from ${name} give the performance its console prints`, () => {
    const model = readRun(run);
    assert.ok(model, 'the run reads');
    const n = model.analysis.length;
    assert.equal(model.cyclesWritten, model.depth + n - 1);
    assert.equal(((100 * model.cyclesWritten) / model.cyclesCorrected).toFixed(2), model.performance);
    for (const row of model.analysis)
      for (const hz of row.hazards) assert.ok(hz.distance < model.depth - 1, 'only close instructions conflict');
  });
}

test('a table with CRLF line ends reads as the same table', () => {
  const text = expectedRun('six').analysis;
  assert.deepEqual(parseTable(text.replace(/\n/g, '\r\n')), parseTable(text));
});

const broken = [
  ['no header', [RULE, '0\tLD\tR1\tR2\t\t', RULE].join('\n')],
  ['a row not closed by a rule', table('0\tLD\tR1\tR2\t\t', RULE, '1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW')],
  ['a further hazard before any row', table('\t\t\t\t\t1\t\tR1\t\tRAW', RULE)],
  ['an unknown hazard kind', table('0\tLD\tR1\tR2\t\t', RULE, '1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAR', RULE)],
  ['a distance that is not a number', table('0\tLD\tR1\tR2\t\t', RULE, '1\tADD\tR3\tR1,R4\t\tx\t\tR1\t\tRAW', RULE)],
  ['an IN that is not a number', table('A\tLD\tR1\tR2\t\t', RULE)],
  ['a rule line of the wrong length', table('0\tLD\tR1\tR2\t\t', '='.repeat(77))],
  ['a row with a field missing', table('0\tLD\tR1\t\t', RULE)],
];
for (const [what, text] of broken) {
  test(`a table with ${what} does not read`, () => {
    assert.equal(parseTable(text), null);
  });
}

test('a run that did not complete, or whose text does not read, gives no diagram', () => {
  const six = expectedRun('six');
  const cases = [
    ['status 2', { ...six, status: 2 }],
    ['no depth line', { ...six, console: six.console.replace('Adincimea pipe-line: 5', '') }],
    ['no performance line', { ...six, console: six.console.replace(/Performanta.*\n/, '') }],
    ['tables of different lengths', { ...six, schedule: expectedRun('chain').schedule }],
    ['a hazard reaching before the first instruction', {
      ...six,
      analysis: table('0\tLD\tR1\tR2\t\t', RULE, '1\tADD\tR3\tR1,R4\t\t2\t\tR1\t\tRAW', RULE),
      schedule: table('0\tLD\tR1\tR2\t\t', RULE, '4\tADD\tR3\tR1,R4\t\t', RULE),
    }],
    ['entries out of order', { ...six, schedule: six.schedule.replace('\n9\tMUL', '\n3\tMUL') }],
    ['no result at all', null],
  ];
  for (const [what, run] of cases) assert.equal(readRun(run), null, what);
  assert.equal(expectedRun('syntax-errors').status, 2);
  assert.equal(readRun(expectedRun('syntax-errors')), null);
});
