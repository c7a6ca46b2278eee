// The WebAssembly module under Node, without a browser: on every example and
// on thousands of generated inputs, faulty ones included, it must give the
// native program's console text, result files and status, all in one loaded
// module one run after another, so that a run leaving state behind shows;
// its run report must print back as the run's own tables and figures, and
// the limits it hands the page must be the core's own constants.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync, existsSync } from 'node:fs';
import { join } from 'node:path';
import { root, script, loadSim, runNative, prng } from './lib.mjs';

const sim = await loadSim();
const run = sim.run;
const inputHelp = script('logic/input-help.js').create(sim.limits);

// ------------------------------------------------------------ the report

const RULE = '='.repeat(78) + '\n';
const HEAD = RULE + 'IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD\n' + RULE;

// The analysis table as src/report/table.cpp lays it out, from the report:
// the first hazard on the row's own line, each further one on a line of its own.
function printAnalysis(report) {
  return HEAD + report.instructions.map((ins) => {
    const hazards = ins.hazards.map((h) => `${h.distance}\t\t${h.shown.registers.join(',')}\t\t${h.shown.kind}`);
    return `${ins.index}\t${ins.opcode}\t${ins.dest}\t${ins.sources.join(',')}\t\t${hazards.join('\n\t\t\t\t\t')}\n` + RULE;
  }).join('');
}

// The correction table: each instruction's entry cycle under IN, no hazards.
const printSchedule = (report) =>
  HEAD + report.instructions.map((ins) => `${ins.entry}\t${ins.opcode}\t${ins.dest}\t${ins.sources.join(',')}\t\t\n` + RULE).join('');

// The performance figure as the simulator works it out, in single precision.
function performance(depth, n, bubbles) {
  const f = Math.fround;
  return f(f(f(depth + n - 1) / f(n + bubbles + depth - 1)) * 100).toFixed(2);
}

const KIND_ORDER = ['RAW', 'WAR', 'WAW'];

// The report of a complete run against the run's own text: both tables and
// the console's depth and performance lines printed from it byte for byte,
// and what the tables cannot show checked against the rules.
function checkReport(report, got, what) {
  const n = report.instructions.length;
  assert.equal(got.analysis, printAnalysis(report), what + ': analysis table');
  assert.equal(got.schedule, printSchedule(report), what + ': correction table');
  assert.ok(got.console.includes(`\nAdincimea pipe-line: ${report.depth}\n`), what + ': depth');
  assert.ok(got.console.includes(`\nPerformanta structurii pipe-line = ${report.performance}%\n`), what + ': performance');
  assert.equal(report.lines, n, what);
  assert.equal(report.performance, performance(report.depth, n, report.bubbles), what + ': figure');
  assert.deepEqual(report.cycles, { written: report.depth + n - 1, corrected: n + report.bubbles + report.depth - 1 }, what);
  let delays = 0;
  report.instructions.forEach((ins, i) => {
    assert.equal(ins.index, i, what);
    delays += ins.delay;
    assert.equal(ins.entry, (i === 0 ? 0 : report.instructions[i - 1].entry + 1) + ins.delay, what + ': entry ' + i);
    let last = 0;
    for (const h of ins.hazards) {
      assert.ok(h.distance > last && h.distance < report.depth - 1 && h.earlier === i - h.distance && h.earlier >= 0, what);
      last = h.distance;
      assert.deepEqual(h.kinds.map((k) => k.kind), KIND_ORDER.filter((k) => h.kinds.some((x) => x.kind === k)), what + ': kinds in order');
      assert.equal(h.kinds[h.kinds.length - 1].kind, h.shown.kind, what + ': the table shows the last kind');
      // DEPEND names the shown kind's registers, and may keep one of an
      // earlier kind's beside them (R4,R1 for a WAR on R4 after a RAW on R1).
      const own = h.kinds.find((k) => k.kind === h.shown.kind).registers;
      assert.ok(own.every((r) => h.shown.registers.includes(r)), what + ': the shown registers hold the kind\'s');
      assert.ok(h.shown.registers.every((r) => h.kinds.some((k) => k.registers.includes(r))), what + ': every shown register is in a kind');
    }
    const first = ins.hazards[0];
    assert.deepEqual(ins.nearest, first ? { earlier: first.earlier, distance: first.distance } : null, what + ': nearest ' + i);
  });
  assert.equal(delays, report.bubbles, what + ': the delays add up to the bubbles');
}

test('every example gives its expected console text, result files and status', () => {
  const examples = join(root, 'examples');
  const names = readdirSync(examples).filter((n) => existsSync(join(examples, n, 'expected')));
  assert.ok(names.length >= 5);
  for (const name of names) {
    const dir = join(examples, name);
    const { report, ...got } = run(readFileSync(join(dir, 'config.txt')), readFileSync(join(dir, 'program.txt')));
    assert.equal(report === null, got.status !== 0, name + ': a report exactly when the run is complete');
    if (report) checkReport(report, got, name);
    const want = (f) => readFileSync(join(dir, 'expected', f), 'utf8');
    assert.deepEqual(got, {
      console: want('console.txt'),
      analysis: want('analiza_hazard.txt'),
      schedule: want('eliminare_hazard.txt'),
      status: Number(want('status')),
    }, name);
  }
});

// Where the table shows one kind, the report keeps every kind that holds.
const KINDS_HIDDEN = [
  ['RAW under WAR', 'ADD R1,R2,R3\nADD R2,R1,R4\n',
    { kind: 'WAR', registers: ['R2'] }, [{ kind: 'RAW', registers: ['R1'] }, { kind: 'WAR', registers: ['R2'] }]],
  ['all three kinds on one register', 'ADD R1,R1,R2\nADD R1,R1,R3\n',
    { kind: 'WAW', registers: ['R1'] },
    [{ kind: 'RAW', registers: ['R1'] }, { kind: 'WAR', registers: ['R1'] }, { kind: 'WAW', registers: ['R1'] }]],
  ['a RAW register left in DEPEND beside the WAR one', 'ADD R1,R4,R2\nADD R4,R1,R1\n',
    { kind: 'WAR', registers: ['R4', 'R1'] }, [{ kind: 'RAW', registers: ['R1', 'R1'] }, { kind: 'WAR', registers: ['R4'] }]],
  ['RAW under WAW on the register read and written', 'ADD R4,R2,R3\nADD R4,R3,R4\n',
    { kind: 'WAW', registers: ['R4'] }, [{ kind: 'RAW', registers: ['R4'] }, { kind: 'WAW', registers: ['R4'] }]],
];

test('the report keeps the kinds that the analysis table hides', () => {
  for (const [what, program, shown, kinds] of KINDS_HIDDEN) {
    const got = run('5\n2\n', program);
    assert.equal(got.status, 0, what);
    checkReport(got.report, got, what);
    assert.deepEqual(got.report.instructions[1].hazards, [{ distance: 1, earlier: 0, shown, kinds }], what);
  }
  const six = join(root, 'examples', 'six');
  const { report } = run(readFileSync(join(six, 'config.txt')), readFileSync(join(six, 'program.txt')));
  assert.deepEqual(report.instructions[3], {
    index: 3, opcode: 'MUL', dest: 'R3', sources: ['R3', 'R1'],
    hazards: [
      { distance: 2, earlier: 1, shown: { kind: 'WAW', registers: ['R3'] },
        kinds: [{ kind: 'RAW', registers: ['R3'] }, { kind: 'WAW', registers: ['R3'] }] },
      { distance: 3, earlier: 0, shown: { kind: 'RAW', registers: ['R1'] }, kinds: [{ kind: 'RAW', registers: ['R1'] }] },
    ],
    nearest: { earlier: 1, distance: 2 }, entry: 9, delay: 0,
  });
});

// ------------------------------------------------------------ the limits

// The core's constants as src/core/state.h and src/core/driver.h write them:
// every integer `constexpr` by name, and the mnemonics' list.
function coreConstants() {
  const source = ['state.h', 'driver.h'].map((f) => readFileSync(join(root, 'src', 'core', f), 'utf8')).join('\n');
  const numbers = {};
  for (const m of source.matchAll(/^constexpr (?:int|int32_t) (\w+) = (-?\d+);/gm)) numbers[m[1]] = Number(m[2]);
  const names = source.match(/^constexpr std::array<const char \*, \w+> opcode_names = \{([^}]*)\};/m);
  return { numbers, mnemonics: [...names[1].matchAll(/"([^"]*)"/g)].map((m) => m[1]) };
}

test('the limits, mnemonics, register count and statuses handed to the page are the core\'s constants', () => {
  const { numbers: c, mnemonics } = coreConstants();
  // exit_no_config is noConfig: every exit status, whatever its number.
  const camel = (name) => name.replace(/_(\w)/g, (_, letter) => letter.toUpperCase());
  const exits = Object.keys(c).filter((name) => name.startsWith('exit_'));
  assert.ok(exits.length >= 5 && mnemonics.length === c.opcode_count, 'the headers were read');
  assert.deepEqual(sim.limits, {
    depth: [c.min_depth, c.max_depth],
    count: [c.min_instr, c.max_instr],
    registers: c.register_count,
    mnemonics,
    statuses: Object.fromEntries(exits.map((name) => [camel(name.slice('exit_'.length)), c[name]])),
  });
});

// ------------------------------------------------------------ reading rules

// The console's reading part as the readers print it, from logic/input-help.js's
// verdicts on the inputs (null: absent). Complete when the run stops while
// reading; else what the console starts with.
function printReading(config, program) {
  if (config === null) return { whole: true, text: 'Eroare deschidere fisier de configurare !\n' };
  const conf = inputHelp.config(config);
  let out = 'Se citeste fisierul de configurare ...\n';
  if (!conf.valid) {
    const { depth: d, count: n } = conf;
    if (n > 50) out += `Numarul de instructiuni din program (${n}) depaseste numarul maxim (50)\n`;
    if (d > 10) out += `Adincimea pipe-line (${d}) depaseste adincimea maxima (10)\n`;
    if (n < 2) out += `Numarul de instructiuni din program (${n}) este mai mic ca numarul minim (2)\n`;
    if (d < 3) out += `Adincimea pipe-line (${d}) este mai mica decit adincimea minima (3)\n`;
    return { whole: true, text: out };
  }
  out += `Adincimea pipe-line: ${conf.depth}\nNumarul de instructiuni din program: ${conf.count}\n`;
  if (program === null) return { whole: true, text: out + 'Eroare deschidere fisier de instructiuni !\n' };
  const prog = inputHelp.program(program, conf);
  out += 'Se citeste fisierul de instructiuni ...\n';
  const errors = prog.lines.flatMap((l) => l.errors.map((e) => `Eroare ${e} (linia ${l.line})\n`));
  if (errors.length) return { whole: true, text: out + errors.join('') + 'Exista erori de sintaxa\nNu s-a generat fisierul de rezultate\n' };
  out += `S-au citit ${prog.lines.length} linii din fisierul de instructiuni, nu exista erori de sintaxa \n\n`;
  if (prog.unread.length) out += `S-a depasit numarul maxim de ${conf.count} linii in fisierul de cod\nDoar primele ${conf.count} linii din fisierul de cod au fost prelucrate\n`;
  return { whole: false, text: out };
}

function checkReading(config, program, got, what) {
  const want = printReading(config, program);
  if (want.whole) assert.equal(got.console, want.text, what + ': the reading rules');
  else assert.equal(got.console.slice(0, want.text.length), want.text, what + ': the reading rules');
}

// ------------------------------------------------------------ generator

const rnd = prng(20261208);
const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
const pick = (list) => list[int(0, list.length - 1)];

const mnemonics = ['ADD', 'DIV', 'LD', 'MUL', 'SUB'];
const reg = () => 'R' + int(1, pick([4, 8, 32]));
const sep = () => pick([',', ' ', ', ', ' ,, ', ',']);

function goodLine() {
  const parts = [pick(mnemonics), reg(), reg()];
  if (rnd() < 0.7) parts.push(reg());
  return pick(['', ' ', ',']) + parts.join(sep()) + pick(['', '', ' ', ',']);
}
function badLine() {
  return pick([
    () => '',
    () => goodLine().toLowerCase(),
    () => pick(mnemonics) + ' R0,R1',
    () => pick(mnemonics) + ' R1,R33,R2',
    () => pick(mnemonics) + ' R01,R2',
    () => pick(mnemonics) + '\tR1,R2',
    () => pick(mnemonics) + ' R1',
    () => 'NOP R1,R2,R3',
    () => goodLine() + ',R5,R6',
    () => pick(mnemonics) + ' R1,R2,R3x',
    () => String.fromCharCode(int(0, 255)) + goodLine(),
  ])();
}
function program(lines, faults) {
  const out = [];
  for (let i = 0; i < lines; i++) out.push(rnd() < faults ? badLine() : goodLine());
  return out.join('\n') + (rnd() < 0.9 ? '\n' : '');
}
function config() {
  if (rnd() < 0.8) return int(3, 10) + '\n' + int(2, 50) + '\n';
  return pick([
    '', '\n', '5', '5\n', '123\n6\n', '11\n51\n', '10\n51\n', '11\n2\n', '2\n1\n', '3\n1\n',
    '\xef\xbb\xbf5\n6\n', ' 5\n6\n', '5\r6\n', '5\x1a\n6\n', '07\n09\n', '5\n6', '99\n99\n',
    'a\nb\n', '5\n\0\n',
  ]);
}

const bytes = (s) => Buffer.from(s, 'latin1');
function insertAt(buf, what) {
  const at = int(0, buf.length);
  return Buffer.concat([buf.subarray(0, at), bytes(what), buf.subarray(at)]);
}

// One generated case: [kind, config, program], each input bytes, a string
// or null.
function generate(n) {
  const kind = pick(['valid', 'valid', 'faulty', 'config', 'crlf', 'lone-cr', 'ctrl-z', 'nul',
    'long-line', 'missing', 'utf8-string', 'random-bytes']);
  let c = bytes(config());
  let p = bytes(program(int(0, 55), kind === 'faulty' ? 0.2 : 0));
  switch (kind) {
    case 'config': c = bytes(pick(['', '5', '11\n51\n', '2\n1\n', '123\n6\n', '5\r\n6\r\n'])); break;
    case 'crlf':
      c = bytes(c.toString('latin1').replace(/\n/g, '\r\n'));
      p = bytes(p.toString('latin1').replace(/\n/g, '\r\n'));
      break;
    case 'lone-cr': for (let k = int(1, 4); k > 0; k--) p = insertAt(p, '\r'); break;
    case 'ctrl-z': p = insertAt(p, '\x1a'); if (rnd() < 0.3) c = insertAt(c, '\x1a'); break;
    case 'nul': for (let k = int(1, 4); k > 0; k--) p = insertAt(p, '\0'); break;
    case 'long-line': p = insertAt(p, 'ADD R1,R2,R3' + ' '.repeat(int(10, 70000)) + 'R4\n'); break;
    case 'missing': if (rnd() < 0.5) c = null; else p = null; break;
    case 'utf8-string':
      return [kind, c.toString('latin1'), 'ADD R1,R2,R3\nSUB R4,R1 ș\nLD R5,R4 \u2603,R1\n'];
    case 'random-bytes': p = Buffer.from(Array.from({ length: int(0, 400) }, () => int(0, 255))); break;
  }
  return [kind + ' ' + n, c, p];
}

test('2,000 generated inputs give what the native program gives, and what the reading rules of the page say', () => {
  const kinds = new Map();
  for (let n = 0; n < 2000; n++) {
    const [name, c, p] = generate(n);
    const asBytes = (x) => (x === null ? null : typeof x === 'string' ? Buffer.from(x, 'utf8') : x);
    const { report, ...got } = run(c === null ? null : typeof c === 'string' ? c : new Uint8Array(c),
      p === null ? null : typeof p === 'string' ? p : new Uint8Array(p));
    const want = runNative(asBytes(c), asBytes(p));
    assert.deepEqual(got, want, name + ': ' + JSON.stringify({ config: String(c), program: String(p).slice(0, 200) }));
    assert.equal(report === null, want.status !== 0, name + ': a report exactly when the run is complete');
    if (report) checkReport(report, got, name);
    checkReading(c, p, got, name);
    kinds.set(want.status, (kinds.get(want.status) || 0) + 1);
  }
  // The generator reaches every status.
  assert.deepEqual([...kinds.keys()].sort(), [0, 1, 2, 3, 4]);
});

// ------------------------------------------------------------ the module

test('thousands of runs ending at every status leave the module\'s memory and stack where they were', () => {
  const { exports } = sim.module;
  const ends = [['5\n2\n', 'ADD R1,R2,R3\nSUB R4,R1,R2\n', 0], ['5\n2\n', null, 1], ['5\n2\n', 'NOP R1\n', 2],
    [null, 'LD R1,R2\n', 3], ['2\n1\n', 'LD R1,R2\n', 4]];
  const round = () => ends.forEach(([c, p, status]) => assert.equal(run(c, p).status, status));
  round();
  const at = { memory: exports.memory.buffer.byteLength, stack: exports.__stack_pointer.value };
  for (let k = 0; k < 600; k++) round();
  assert.deepEqual({ memory: exports.memory.buffer.byteLength, stack: exports.__stack_pointer.value }, at);
});

// A module of one function import, written byte for byte.
function importing(from, name) {
  const str = (s) => [s.length, ...Buffer.from(s)];
  const imports = [1, ...str(from), ...str(name), 0, 0];
  return new Uint8Array([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0, 1, 4, 1, 0x60, 0, 0, 2, imports.length, ...imports]);
}

test('the loader refuses a module that imports a call it does not serve', async () => {
  const { start } = script('binding/wasi.js');
  for (const [from, name] of [['wasi_snapshot_preview1', 'sock_accept'], ['wasi_snapshot_preview1', 'random_get'], ['env', 'fd_write']]) {
    await assert.rejects(start(new WebAssembly.Module(importing(from, name))), new RegExp(`imports ${from}\\.${name}, which the page does not serve`));
  }
  assert.ok((await start(new WebAssembly.Module(importing('wasi_snapshot_preview1', 'fd_write')))).files, 'a call it serves');
});
