// Exercises under Node, without a browser: the generator against the native
// program and the run report, and the grading of answers against the key
// the report gives.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { createHash } from 'node:crypto';
import { root, script, loadSim, runNative, nativeFigures } from './lib.mjs';

const sim = await loadSim();
const run = sim.run;
const { exercise, readParams } = script('exercise/gen.js').create(sim.limits);
const check = script('exercise/check.js');
const shownKinds = (report) => new Set(report.instructions.flatMap((i) => i.hazards.map((h) => h.shown.kind)));

test('1,000 seeds over every depth, count and level: the same files twice, a complete run, the three kinds where promised', () => {
  const LINE = /^(ADD|DIV|LD|MUL|SUB) R([1-9]|[12][0-9]|3[0-2])(,R([1-9]|[12][0-9]|3[0-2])){1,2}$/;
  let many = 0;
  for (let k = 0; k < 1000; k++) {
    // Seeds small and of many digits; every depth and level, counts 2 .. 50.
    const params = {
      seed: k % 5 === 4 ? String(k).repeat(9) + '12345678901234567890' : String(k * 7919),
      depth: 3 + (k % 8),
      count: 2 + ((k * 13) % 49),
      level: ['few', 'many'][(k >> 1) % 2],
    };
    const where = JSON.stringify(params);
    const files = exercise(params);
    assert.deepEqual(exercise({ ...params }), files, where + ': the same files twice');
    assert.equal(files.config, `${params.depth}\n${params.count}\n`, where);
    const lines = files.program.split('\n');
    assert.equal(lines.pop(), '', where + ': a final line feed');
    assert.equal(lines.length, params.count, where);
    for (const l of lines) assert.match(l, LINE, where);
    const n = runNative(files.config, files.program);
    assert.equal(n.status, 0, where + ': ' + n.console);
    const { report, console } = run(files.config, files.program);
    assert.equal(console, n.console, where + ': the page runs what the native program runs');
    if (params.level === 'many' && params.count >= 6) {
      many++;
      assert.deepEqual([...shownKinds(report)].sort(), ['RAW', 'WAR', 'WAW'], where);
    }
  }
  assert.ok(many > 200, 'enough programs with the three kinds promised');
});

test('level few: a hazard shown in the analysis table and a bubble in the correction, at every depth and count', () => {
  // k -> (depth, count) runs through all 8 x 49 pairs every 392 seeds: each pair at least twice.
  const pairs = new Set();
  for (let k = 0; k < 1000; k++) {
    const params = { seed: String(k * 104729 + 11), depth: 3 + (k % 8), count: 2 + ((k * 29) % 49), level: 'few' };
    if (k % 5 === 2) params.name = 'Elev ' + k;
    pairs.add(params.depth + ':' + params.count);
    const files = exercise(params);
    const got = nativeFigures(files.config, files.program);
    const where = JSON.stringify(params) + '\n' + files.program;
    assert.ok(got.rows.some((r) => r.hazards.length > 0), where + ': a hazard in the table');
    assert.ok(got.figures.bubbles > 0, where + ': a bubble');
  }
  assert.equal(pairs.size, 8 * 49);
});

test('level many makes the programs it made before: links handed out keep opening the same program', () => {
  // The digest of 400 programs (every 4th with a name) as the generator made them before level few
  // built its pair, and must make them still.
  const digest = createHash('sha256');
  for (let k = 0; k < 400; k++) {
    const params = { seed: String(k * 7907 + 3), depth: 3 + (k % 8), count: 2 + ((k * 17) % 49), level: 'many' };
    if (k % 4 === 3) params.name = 'Elev ' + k;
    const files = exercise(params);
    digest.update(files.config + files.program + '\n');
  }
  assert.equal(digest.digest('hex'), 'b2327cec887180ed1371a0396255ceebd52036c1abc1e8bb4f977d9fbf17da53');
});

test('a seed names the same files whatever its form, and seeds and levels tell programs apart', () => {
  const p = { depth: 6, count: 12, level: 'many' };
  assert.deepEqual(exercise({ ...p, seed: '0042' }), exercise({ ...p, seed: 42 }));
  assert.deepEqual(exercise({ ...p, seed: ' 42 ' }), exercise({ ...p, seed: '42' }));
  const huge = '9'.repeat(400);
  assert.notDeepEqual(exercise({ ...p, seed: huge }), exercise({ ...p, seed: huge + '8' }));
  const programs = new Set();
  for (let s = 0; s < 50; s++) programs.add(exercise({ ...p, seed: String(s) }).program);
  assert.ok(programs.size >= 49, 'different seeds, different programs');
  // Fewer hazards at the level 'few' than at 'many', over the same seeds.
  const count = (level) => {
    let total = 0;
    for (let s = 0; s < 100; s++) total += run(...Object.values(exercise({ ...p, seed: String(s), level }))).report.instructions.reduce((a, i) => a + i.hazards.length, 0);
    return total;
  };
  assert.ok(count('few') * 3 < count('many'));
  // A link handed out today opens the same program later: one program fixed.
  assert.equal(exercise({ seed: '7', depth: 5, count: 6, level: 'many' }).program,
    'SUB R22,R23,R25\nLD R22,R23\nLD R23,R22,R24\nMUL R24,R22,R22\nMUL R24,R25\nMUL R22,R23,R24\n');
});

test('values out of range or of the wrong form get a message, never files', () => {
  const good = { seed: '1', depth: 5, count: 6, level: 'few' };
  const cases = [
    [{ seed: '-1' }, /Samanta/], [{ seed: '1.5' }, /Samanta/], [{ seed: '' }, /Samanta/], [{ seed: '12a' }, /Samanta/],
    [{ seed: 1e300 }, /Samanta/], [{ seed: null }, /Samanta/],
    [{ depth: 2 }, /Adincimea/], [{ depth: 11 }, /Adincimea/], [{ depth: '5.0' }, /Adincimea/], [{ depth: 'x' }, /Adincimea/],
    [{ count: 1 }, /instructiuni/], [{ count: 51 }, /instructiuni/], [{ count: '' }, /instructiuni/],
    [{ level: 'MANY' }, /Nivelul/], [{ level: undefined }, /Nivelul/],
  ];
  for (const [change, message] of cases) {
    const params = { ...good, ...change };
    assert.match(readParams(params).error || '', message, JSON.stringify(change));
    assert.throws(() => exercise(params), message);
  }
  assert.deepEqual(readParams({ seed: '007', depth: '3', count: '50', level: 'many' }), { seed: '7', depth: 3, count: 50, level: 'many' });
});

// ------------------------------------------------------------ grading

const examplesDir = join(root, 'examples');
const completeRuns = readdirSync(examplesDir).sort()
  .map((name) => [name, run(readFileSync(join(examplesDir, name, 'config.txt')), readFileSync(join(examplesDir, name, 'program.txt'))).report])
  .filter(([, report]) => report)
  .concat([3, 8, 10].map((depth) => [`generated depth ${depth}`, run(...Object.values(exercise({ seed: '99', depth, count: 20, level: 'many' }))).report]));

test('the key scores full marks, and a key with cells changed scores exactly those cells wrong', () => {
  assert.ok(completeRuns.length >= 7);
  for (const [name, report] of completeRuns) {
    for (const asked of ['hsp', 'h', 's', 'p', 'hp']) {
      const key = check.keyAnswers(report, asked);
      const full = check.grade(report, asked, key);
      assert.equal(full.right, full.total, `${name} ${asked}`);
      assert.ok(full.cells.every((c) => !('reason' in c)));
    }
    const key = check.keyAnswers(report, 'hsp');
    const ids = Object.keys(key);
    // Every third cell changed to something else it could hold.
    const changed = ids.filter((_, k) => k % 3 === 1);
    const answers = { ...key };
    for (const id of changed) {
      const kind = id.split(':')[0];
      answers[id] = kind === 'kind' ? (key[id] === 'WAR' ? 'RAW' : 'WAR') : kind === 'registers' ? (key[id] ? '' : 'R1') : kind === 'entry' ? String(Number(key[id]) + 1) : '1' + key[id];
    }
    const got = check.grade(report, 'hsp', answers);
    assert.deepEqual(got.cells.filter((c) => !c.right).map((c) => c.id), changed, name);
    assert.equal(got.right, got.total - changed.length);
    for (const c of got.cells.filter((c) => !c.right)) assert.match(c.reason, /^(Hazard omis\. )?Tabelul (de corectie )?(nu )?arata/, c.reason);
  }
});

test('answers are read as the rules say, whatever text they hold', () => {
  const report = completeRuns.find(([n]) => n === 'six')[1];
  // six: instruction 3 (MUL R3,R3,R1) has WAW on R3 at distance 2 (RAW holds too), RAW on R1 at 3.
  const cases = [
    ['kind:3:2', 'WAW', true], ['kind:3:2', ' waw ', true], ['kind:3:2', 'RAW', false], ['kind:3:2', '', false],
    ['kind:2:2', '', true], ['kind:2:2', 'none', true], ['kind:2:2', 'WAR', false], ['kind:1:1', 'R A W', false],
    ['registers:3:3', 'R1', true], ['registers:3:3', ' r1 ', true], ['registers:3:3', 'R1,R1', true], ['registers:3:3', 'R01', true],
    ['registers:3:3', 'R1,R3', false], ['registers:3:3', '', false], ['registers:2:2', '', true], ['registers:2:2', 'R4', false],
    ['registers:1:1', 'R1;', true], ['registers:5:2', 'R3 R3', true],
    ['entry:1', '4', true], ['entry:1', ' 04 ', true], ['entry:1', '4.0', false], ['entry:1', 'patru', false], ['entry:1', '-4', false],
    ['entry:1', '9'.repeat(40), false],
    ['performance', '52.63', true], ['performance', '52,63', true], ['performance', '52.63%', true], ['performance', ' 52,63 % ', true],
    ['performance', '52.6', false], ['performance', '52.630', false], ['performance', '0.5263', false], ['performance', '52.63%%', false],
    ['performance', 'cincizeci', false],
  ];
  for (const [id, text, right] of cases) {
    const cell = check.grade(report, 'hsp', { [id]: text }).cells.find((c) => c.id === id);
    assert.equal(cell.right, right, `${id} = ${JSON.stringify(text)}`);
  }
  // Whatever is not text at all is graded as empty.
  assert.equal(check.grade(report, 'p', { performance: null }).right, 0);
  assert.equal(check.grade(report, 'p', null).total, 1);
});

test('a wrong cell says what the table shows and why', () => {
  const report = completeRuns.find(([n]) => n === 'six')[1];
  const reason = (id, text) => check.grade(report, 'hsp', { [id]: text }).cells.find((c) => c.id === id).reason;
  const cases = [
    ['kind:1:1', '', /^Hazard omis\. Tabelul arata RAW R1: RAW pe R1: 1 citeste R1, pe care 0 il scrie\.$/],
    ['kind:2:1', 'RAW', /^Tabelul arata WAR R4: WAR pe R4: 2 scrie R4, pe care 1 il citeste\.$/],
    ['kind:3:2', 'RAW', /^Tabelul arata WAW R3: RAW pe R3: .*; WAW pe R3: .*ultimul dintre RAW, WAR, WAW\.$/],
    ['kind:4:1', 'RAW', /^Tabelul nu arata nimic la distanta 1: 4: DIV R7,R8,R9 nu citeste ce scrie 3: MUL R3,R3,R1/],
    ['registers:3:3', 'R3', /^Tabelul arata in DEPEND R1\.$/],
    ['registers:3:2', '', /^Tabelul arata in DEPEND R3\. Verificarile potrivite: RAW \(R3\), WAW \(R3\)/],
    ['entry:1', '1', /^Tabelul de corectie arata IN 4\. 1: ADD R3,R1,R4 asteapta dupa 0: LD R1,R2.* asteapta 4 - 1 = 3 bule si intra in ciclul 4\.$/],
    ['entry:3', '12', /^Tabelul de corectie arata IN 9\. .*nu asteapta nicio bula/],
    ['entry:4', '9', /IN 10\. Nu are hazarde .* nicio bula: intra imediat dupa instructiunea 3\.$/],
    ['entry:0', '1', /Prima instructiune intra in ciclul 0/],
    ['performance', '50', /52\.63%: .*\(5 \+ 6 - 1\) \/ \(6 \+ 9 \+ 5 - 1\) = 10 \/ 19\./],
  ];
  for (const [id, text, want] of cases) assert.match(reason(id, text), want, id);
});

test('the parts asked are read from their letters, and only those cells are graded', () => {
  const table = [['hsp', 'hsp'], ['ph', 'hp'], ['s', 's'], ['', null], ['hh', null], ['x', null], ['HSP', null], [undefined, null]];
  for (const [text, want] of table) assert.equal(check.readAsked(text), want, String(text));
  const report = completeRuns.find(([n]) => n === 'six')[1];
  // six, depth 5: distances 1 .. min(i, 3) for each of its 6 instructions.
  const kinds = check.cells(report, 'h').filter((c) => c.answer === 'kind');
  assert.deepEqual(kinds.map((c) => [c.instr, c.distance]), [[1, 1], [2, 1], [2, 2], [3, 1], [3, 2], [3, 3], [4, 1], [4, 2], [4, 3], [5, 1], [5, 2], [5, 3]]);
  assert.equal(check.cells(report, 's').length, 6);
  assert.equal(check.cells(report, 'hsp').length, 24 + 6 + 1);
});
