// Exercises under Node, without a browser: the generator against the native
// program and the run report, and the grading of answers against the key
// the report gives.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { createHash } from 'node:crypto';
import { root, script, loadSim, readyStore, runNative, nativeFigures } from './lib.mjs';

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
  .concat([3, 8, 10].map((depth) => [`generated depth ${depth}`, run(...Object.values(exercise({ seed: '99', depth, count: 20, level: 'many' }))).report]))
  // The exercises the page's tests answer with a sample of their cells: graded whole here.
  .concat([['3', 4, 6, 'many'], ['123456789012345678901234567890', 10, 50, 'many'], ['0', 3, 2, 'few'], ['77', 7, 15, 'few'], ['5', 5, 6, 'many']]
    .map(([seed, depth, count, level]) => [`generated ${seed}`, run(...Object.values(exercise({ seed, depth, count, level }))).report]))
  .concat([['edited files', run('4\n5\n', 'LD R1,R2\nADD R3,R1,R1\nSUB R1,R3,R4\nMUL R3,R3\nDIV R5,R1\n').report]]);

test('the key scores full marks, a blank answer nothing, and a key with cells changed scores exactly those cells wrong', () => {
  assert.ok(completeRuns.length >= 7);
  for (const [name, report] of completeRuns) {
    for (const asked of ['hsp', 'h', 's', 'p', 'hp']) {
      const key = check.keyAnswers(report, asked);
      const full = check.grade(report, asked, key);
      assert.deepEqual([full.right, full.answered], [full.total, full.total], `${name} ${asked}`);
      assert.ok(full.cells.every((c) => !('reason' in c)));
      for (const blank of [{}, null, Object.fromEntries(Object.keys(key).map((id) => [id, ' ']))]) {
        const none = check.grade(report, asked, blank);
        assert.deepEqual([none.right, none.answered, none.total], [0, 0, full.total], `${name} ${asked}: a blank answer`);
        assert.ok(none.cells.every((c) => /^(Fara raspuns|Tipul nu are raspuns)\. /.test(c.reason)), name);
      }
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
    assert.deepEqual([got.right, got.answered], [got.total - changed.length, got.total]);
    for (const c of got.cells.filter((c) => !c.right)) assert.match(c.reason, /Tabelul (de corectie )?(nu )?arata|DEPEND arata/, c.reason);
  }
});

test('answers are read as the rules say, whatever text they hold', () => {
  const report = completeRuns.find(([n]) => n === 'six')[1];
  const kinds = Object.fromEntries(Object.entries(check.keyAnswers(report, 'h')).filter(([id]) => id.startsWith('kind')));
  // six: instruction 3 (MUL R3,R3,R1) has WAW on R3 at distance 2 (RAW holds too), RAW on R1 at 3.
  const cases = [
    ['kind:3:2', 'WAW', true], ['kind:3:2', ' waw ', true], ['kind:3:2', 'RAW', false], ['kind:3:2', '', false],
    ['kind:2:2', 'none', true], ['kind:2:2', 'niciunul', true], ['kind:2:2', '-', true], ['kind:2:2', '', false],
    ['kind:2:2', 'WAR', false], ['kind:1:1', 'R A W', false],
    ['registers:3:3', 'R1', true], ['registers:3:3', ' r1 ', true], ['registers:3:3', 'R1,R1', true], ['registers:3:3', 'R01', true],
    ['registers:3:3', 'R1,R3', false], ['registers:3:3', '', false], ['registers:2:2', '', true], ['registers:2:2', 'none', true],
    ['registers:2:2', 'R4', false], ['registers:1:1', 'R1;', true], ['registers:5:2', 'R3 R3', true],
    ['entry:1', '4', true], ['entry:1', ' 04 ', true], ['entry:1', '4.0', false], ['entry:1', 'patru', false], ['entry:1', '-4', false],
    ['entry:1', '9'.repeat(40), false],
    ['performance', '52.63', true], ['performance', '52,63', true], ['performance', '52.63%', true], ['performance', ' 52,63 % ', true],
    ['performance', '52.630', true], ['performance', '52.625', true], ['performance', '52.6349', true],
    ['performance', '52.6', false], ['performance', '52.635', false], ['performance', '0.5263', false], ['performance', '52.63%%', false],
    ['performance', 'cincizeci', false],
  ];
  for (const [id, text, right] of cases) {
    const cell = check.grade(report, 'hsp', { ...kinds, [id]: text }).cells.find((c) => c.id === id);
    assert.equal(cell.right, right, `${id} = ${JSON.stringify(text)}`);
  }
  // A registers cell counts once its kind cell is answered: empty is then right where there is no hazard.
  const regs = (kind, text) => check.grade(report, 'h', { 'kind:2:2': kind, 'registers:2:2': text }).cells.find((c) => c.id === 'registers:2:2');
  assert.deepEqual([regs('', '').answered, regs('', '').right, regs('', 'none').right, regs('none', '').right, regs('RAW', '').right], [false, false, false, true, true]);
  assert.match(regs('', 'R4').reason, /^Tipul nu are raspuns, deci registrele nu se puncteaza\. /);
  // Whatever is not text at all is graded as blank.
  assert.equal(check.grade(report, 'p', { performance: null }).answered, 0);
  assert.equal(check.grade(report, 'p', null).total, 1);
});

test('a performance is read as a number and rounded half up at two decimals, on its digits', () => {
  const forms = [
    ['40', '40.00'], ['40.0', '40.00'], ['40,00 %', '40.00'], ['40.00%', '40.00'], [' 4 0 . 0 ', '40.00'], ['040', '40.00'],
    ['40.004', '40.00'], ['40.005', '40.01'], ['40.006', '40.01'], ['39.995', '40.00'], ['52.625', '52.63'], ['1.005', '1.01'],
    ['0.125', '0.13'], ['.5', '0.50'], ['99.999', '100.00'], ['100', '100.00'], ['40.' + '4'.repeat(30), '40.44'],
    ['', null], ['%', null], ['.', null], ['-40', null], ['4e1', null], ['40..0', null], ['40,0,0', null], ['40 %%', null], ['+40', null],
  ];
  for (const [text, read] of forms) assert.equal(check.readPerformance(text), read, JSON.stringify(text));
  // A program whose table prints 40.00%: depth 7, four instructions, 15 bubbles.
  const report = run('7\n4\n', 'ADD R27,R26,R29\nADD R27,R27,R28\nLD R29,R24,R27\nLD R24,R27,R26\n').report;
  assert.equal(report.performance, '40.00');
  for (const [text, right] of [['40', true], ['40.0', true], ['40,00 %', true], ['40.00%', true], ['40.004', true], ['40.006', false], ['4', false]])
    assert.equal(check.grade(report, 'p', { performance: text }).right, right ? 1 : 0, text);
});

// For depth 4, ADD R32,R2 / SUB R2,R32,R32: DEPEND prints R2,R32 and HAZARD WAR;
// the WAR is on R2, R32 is what the RAW check left.
const LEFT = run('4\n2\n', 'ADD R32,R2\nSUB R2,R32,R32\n').report;
// For depth 4, ADD R26,R27,R1 / SUB R27,R26,R2: RAW on R26 and WAR on R27; the table shows WAR, DEPEND R27.
const MIXED = run('4\n2\n', 'ADD R26,R27,R1\nSUB R27,R26,R2\n').report;

test('registers are right as the shown kind\'s or as DEPEND prints them, on hand-made programs and 500 generated ones', () => {
  const hand = [
    [LEFT, 'registers:1:1', ['R2', 'r2', 'R2,R32', 'R32 R2', 'R32, R2, R2'], ['R32', 'R2,R32,R1', '', 'none']],
    // depth 5: SUB R3,R3,R3 after ADD R3,R3,R3: WAW shown, every kind on R3, DEPEND R3,R3.
    [run('5\n2\n', 'ADD R3,R3,R3\nSUB R3,R3,R3\n').report, 'registers:1:1', ['R3', 'R3,R3'], ['R3,R1', '']],
  ];
  for (const [report, id, right, wrong] of hand) {
    const kinds = check.keyAnswers(report, 'h');
    for (const text of right) assert.ok(check.grade(report, 'h', { ...kinds, [id]: text }).cells.find((c) => c.id === id).right, text);
    for (const text of wrong) assert.ok(!check.grade(report, 'h', { ...kinds, [id]: text }).cells.find((c) => c.id === id).right, text);
  }
  let differ = 0;
  for (let k = 0; k < 500; k++) {
    const params = { seed: String(k * 31), depth: 3 + (k % 8), count: 2 + ((k * 7) % 49), level: 'many' };
    const report = run(...Object.values(exercise(params))).report;
    const kinds = check.keyAnswers(report, 'h');
    for (const cell of check.cells(report, 'h').filter((c) => c.answer === 'registers' && c.hazard)) {
      const h = cell.hazard;
      const own = [...new Set(h.kinds.find((x) => x.kind === h.shown.kind).registers)];
      const depend = [...new Set(h.shown.registers)];
      if (own.join() === depend.join()) continue;
      differ++;
      const judged = (text) => check.grade(report, 'h', { ...kinds, [cell.id]: text }).cells.find((c) => c.id === cell.id);
      assert.ok(judged(own.join(',')).right && judged(depend.reverse().join(' ')).right, `${JSON.stringify(params)} ${cell.id}`);
      const wrong = judged(depend.filter((r) => !own.includes(r)).join(','));
      assert.ok(!wrong.right && wrong.reason.includes(`DEPEND arata ${h.shown.registers.join(',')}: `), wrong.reason);
    }
  }
  assert.ok(differ > 50, `${differ} cells where DEPEND prints more than the shown kind's registers`);
});

test('a wrong cell names the mistake and says what the table shows and why', () => {
  const report = completeRuns.find(([n]) => n === 'six')[1];
  const kinds = Object.fromEntries(Object.entries(check.keyAnswers(report, 'h')).filter(([id]) => id.startsWith('kind')));
  const reason = (r, id, text) => check.grade(r, 'hsp', { ...kinds, [id]: text }).cells.find((c) => c.id === id).reason;
  const cases = [
    [report, 'kind:1:1', 'none', /^Hazard omis\. Tabelul arata RAW, cu R1 in DEPEND: RAW pe R1: 1 citeste R1, pe care 0 il scrie\.$/],
    [report, 'kind:1:1', '', /^Fara raspuns\. Tabelul arata RAW, cu R1 in DEPEND/],
    [report, 'kind:2:1', 'RAW', /^Aici nu este RAW\. Tabelul arata WAR, cu R4 in DEPEND: WAR pe R4: 2 scrie R4, pe care 1 il citeste\.$/],
    [report, 'kind:3:2', 'RAW', /^Si RAW se potriveste aici, dar nu el este tipul aratat de tabel\. Tabelul arata WAW, cu R3 in DEPEND: RAW pe R3: .*; WAW pe R3: .*ultimul dintre RAW, WAR, WAW\.$/],
    // A hazard marked at the wrong distance: 3's nearest RAW is on R3 with 1, at distance 2.
    [report, 'kind:3:1', 'RAW', /^Tabelul nu arata nimic la distanta 1: 3: MUL R3,R3,R1 nu citeste ce scrie 2: .* Are RAW pe R3 cu 1: ADD R3,R1,R4: perechea aceasta de instructiuni este la distanta 2, nu 1\.$/],
    [report, 'kind:3:1', 'WAR', /^Tabelul nu arata nimic la distanta 1: .* Are WAW pe R3 cu 1: ADD R3,R1,R4: perechea aceasta de instructiuni este la distanta 2, nu 1\.$/],
    [report, 'kind:4:1', 'RAW', /^Tabelul nu arata nimic la distanta 1: 4: DIV R7,R8,R9 nu citeste ce scrie 3: MUL R3,R3,R1[^.]*\.$/],
    [report, 'registers:3:3', 'R3', /^Tabelul arata in DEPEND R1\.$/],
    [report, 'registers:3:3', 'none', /^Hazard omis\. Tabelul arata in DEPEND R1\.$/],
    [report, 'registers:2:2', 'R4', /^Tabelul nu arata niciun hazard la distanta 2, deci niciun registru\.$/],
    // DEPEND prints R2,R32 where the WAR is on R2 alone: the kind's reason says so too.
    [LEFT, 'kind:1:1', 'RAW', /^Si RAW se potriveste aici, dar nu el este tipul aratat de tabel\. Tabelul arata WAR, cu R2,R32 in DEPEND: RAW pe R32: .*; WAR pe R2: .*\. In DEPEND, WAR este pe R2; R32 a ramas de la verificarea RAW\. Cind se potrivesc/],
    [LEFT, 'registers:1:1', 'R32', /^Acestea sint registrele lui RAW; tabelul il arata pe WAR\. Corecte sint R2, .* sau R2,R32, .* DEPEND arata R2,R32: verificarea WAR a scris R2 peste locul 1 si R32 a ramas pe locul 2 de la verificarea RAW de dinaintea ei; WAR insusi este pe R2\.$/],
    [report, 'entry:1', '1', /^Cu 3 cicluri prea devreme\. Tabelul de corectie arata IN 4\. 1: ADD R3,R1,R4 asteapta dupa 0: LD R1,R2.* asteapta 4 - 1 = 3 bule si intra in ciclul 4\.$/],
    [report, 'entry:1', '5', /^Cu 1 ciclu prea tirziu\. Tabelul de corectie arata IN 4\. /],
    [report, 'entry:3', '12', /^Cu 3 cicluri prea tirziu\. Tabelul de corectie arata IN 9\. .*nu asteapta nicio bula/],
    [report, 'entry:4', 'noua', /^Acesta nu este un numar de ciclu\. Tabelul de corectie arata IN 10\. Nu are hazarduri .* nicio bula: intra imediat dupa instructiunea 3\.$/],
    [report, 'entry:0', '1', /Prima instructiune intra in ciclul 0/],
    [report, 'performance', '50', /^Tabelul arata 52\.63%: .*\(5 \+ 6 - 1\) \/ \(6 \+ 9 \+ 5 - 1\) = 10 \/ 19\./],
    [report, 'performance', '100%', /^Aceasta este cifra fara nicio bula\. Tabelul arata 52\.63%/],
    [report, 'performance', 'x', /^Acesta nu este un numar\. /],
    // Registers of a kind that holds but is not shown, given with others: whose they are.
    [MIXED, 'registers:1:1', 'R27,R26', /^R26 este registrul lui RAW: un tip care se potriveste si el aici, dar tabelul il arata pe WAR\. Tabelul arata in DEPEND R27\.$/],
    [MIXED, 'registers:1:1', 'R26', /^Acestea sint registrele lui RAW; tabelul il arata pe WAR\. Tabelul arata in DEPEND R27\.$/],
    [LEFT, 'registers:1:1', 'R32,R1', /^R32 este registrul lui RAW: un tip care se potriveste si el aici, dar tabelul il arata pe WAR\. Corecte sint R2, /],
  ];
  for (const [r, id, text, want] of cases) assert.match(reason(r, id, text), want, `${id} ${text}`);
  // In English; and a cell left blank, as the exercise view words it after the cell's name.
  const words = script('words/words.js');
  const english = [
    [() => reason(MIXED, 'registers:1:1', 'R27,R26'), 'R26 is the register of the RAW: a kind that holds here too, but the table shows the WAR. The table shows R27 in DEPEND.'],
    [() => words.t('wroteNone', { why: 'x' }), ': you wrote nothing. x'],
  ];
  try {
    assert.equal(words.t('wroteNone', { why: 'x' }), ': nu ai scris nimic. x');
    words.use('en');
    for (const [said, want] of english) assert.equal(said(), want);
  } finally {
    words.use('ro');
  }
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

// ------------------------------------------------------------ reordering

const { programText, breach } = script('logic/reorder.js');
const words = script('words/words.js');

test('asked with r: 2 instructions refused in both languages, a seed the same files, each a program whose proved fewest saves a bubble', () => {
  const two = { seed: '1', depth: 5, count: 2, level: 'few', asked: 'hspr' };
  assert.throws(() => exercise(two), /^Error: Reordonarea cere cel putin 3 instructiuni/);
  assert.ok(words.use('en') && /^Reordering needs at least 3/.test(readParams(two).error) && words.use('ro') && !readParams({ ...two, asked: 'hsp' }).error);
  for (let k = 0; k < 120; k++) {
    const params = { seed: String(k * 37), depth: 3 + (k % 8), count: [3, 5, 6, 7, 8][k % 5], level: ['few', 'many'][k % 2], asked: 'r' };
    const files = exercise(params);
    assert.deepEqual(exercise({ ...params, asked: 'hspr' }), files);
    const { report } = run(files.config, files.program);
    const key = check.reorderKey(report, (order) => run(files.config, programText(report.instructions, order)).report.bubbles);
    assert.ok(key.exact && key.fewest < report.bubbles && !breach(report.instructions, key.order), JSON.stringify(params));
  }
  // Without r, the files of today; a seed whose own program does not gain, the same next one everywhere;
  // at level many, 4 instructions are a chain of the pairs built: none gains.
  assert.deepEqual(exercise({ seed: '7', depth: 5, count: 6, level: 'many', asked: 'hsp' }), exercise({ seed: '7', depth: 5, count: 6, level: 'many' }));
  assert.equal(exercise({ seed: '0', depth: 6, count: 5, level: 'many', asked: 'r' }).program, 'SUB R23,R20,R22\nMUL R20,R19\nDIV R22,R20\nMUL R22,R23,R20\nSUB R21,R20\n');
  assert.throws(() => exercise({ seed: '1', depth: 5, count: 4, level: 'many', asked: 'r' }), (e) => e.why.key === 'reorderNone');
});

test('an order is right as the key; an illegal one names both instructions and the register, a legal one the bubbles more; the fewest', async () => {
  const store = await readyStore();
  const open = (asked, config, program) => (store.openExercise({ asked, source: { kind: 'files' }, config, program }, 'setup'), store.state.exercise);
  const marks = (ex, answers) => {
    for (const [id, text] of Object.entries(answers)) store.answer(id, text);
    store.checkAnswer();
    return check.grade(ex.run.report, ex.asked, ex.checked, ex.reorder).cells.filter((c) => c.reorder).map((c) => [c.answered, c.right, c.reason || '']);
  };
  assert.deepEqual([open('hspr', '5\n2\n', 'LD R1,R2\nADD R3,R1,R4\n'), store.state.exerciseMessage.key], [null, 'badCountR'], 'given files of 2 instructions');
  // Depth 5: as written, ADD waits 3 bubbles for R1; SUB and MUL between LD and ADD leave 1.
  const ex = open('pr', '5\n4\n', 'LD R1,R2\nADD R3,R1,R4\nSUB R5,R6,R7\nMUL R8,R6,R7\n');
  const CASES = [
    [{ order: '0 2 3 1', fewest: '1' }, [true, true, /^$/], [true, true, /^$/]],
    [{ order: '0 3 2 1', fewest: ' 01 ' }, [true, true, /^$/], [true, true, /^$/]],
    [{ order: '1 0 2 3', fewest: '3' }, [true, false, /^1: ADD R3,R1,R4 citeste R1, pe care il scrie 0: LD R1,R2: trebuie sa ramina dupa ea\.$/], [true, false, /^Minimul: 1 \(ordinea 0 [23] [23] 1\); asa cum e scris: 3\.$/]],
    [{ order: '0 2 1 3', fewest: 'unu' }, [true, false, /^Are 2 bule, cu 1 peste minimul de 1\.$/], [true, false, /^Acesta nu este un numar\. /]],
    [{ order: '0 1 -1 3', fewest: '' }, [false, false, /^Fara raspuns\. Are 3 bule, cu 2 /], [false, false, /^Fara raspuns\. /]],
  ];
  for (const [answers, ...want] of CASES)
    marks(ex, answers).forEach(([answered, right, reason], k) => assert.ok(answered === want[k][0] && right === want[k][1] && want[k][2].test(reason), `${JSON.stringify(answers)} ${k}: ${reason}`));
  // A WAR and a WAW broken, in English.
  const war = open('r', '4\n3\n', 'ADD R1,R2,R3\nSUB R2,R4,R4\nMUL R1,R5,R5\n');
  words.use('en');
  const said = ['1 0 2', '2 0 1'].map((order) => marks(war, { order })[0][2]);
  words.use('ro');
  assert.deepEqual(said, ['1: SUB R2,R4,R4 writes R2, which 0: ADD R1,R2,R3 reads: it must stay after it.', '2: MUL R1,R5,R5 writes R1, which 0: ADD R1,R2,R3 also writes: it must stay after it.']);
  assert.deepEqual(['hspr', 'rh', 'rr', 'q'].map(check.readAsked), ['hspr', 'hr', null, null]);
});
