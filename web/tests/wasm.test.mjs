// The WebAssembly module under Node, without a browser: on every example and
// on thousands of generated inputs, faulty ones included, it must give the
// native program's console text, result files and status, all in one loaded
// module one run after another, so that a run leaving state behind shows.
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
const run = makeRunner(await require(join(site, 'hazard-sim.js'))());
const text = (bytes) => new TextDecoder().decode(bytes);

// The native program in a fresh folder holding the inputs (null: absent).
function runNative(config, program) {
  const dir = mkdtempSync(join(tmpdir(), 'hazard-sim-web-'));
  try {
    if (config !== null) writeFileSync(join(dir, 'config.txt'), config);
    if (program !== null) writeFileSync(join(dir, 'program.txt'), program);
    const p = spawnSync(native, [], { cwd: dir, maxBuffer: 1 << 26 });
    const file = (name) => (existsSync(join(dir, name)) ? text(readFileSync(join(dir, name))) : '');
    return {
      console: text(p.stdout),
      analysis: file('analiza_hazard.txt'),
      schedule: file('eliminare_hazard.txt'),
      status: p.status,
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

test('every example gives its expected console text, result files and status', () => {
  const examples = join(root, 'examples');
  const names = readdirSync(examples).filter((n) => existsSync(join(examples, n, 'expected')));
  assert.ok(names.length >= 5);
  for (const name of names) {
    const dir = join(examples, name);
    const { report, ...got } = run(readFileSync(join(dir, 'config.txt')), readFileSync(join(dir, 'program.txt')));
    assert.equal(report === null, got.status !== 0, name + ': a report exactly when the run is complete');
    const want = (f) => readFileSync(join(dir, 'expected', f), 'utf8');
    assert.deepEqual(got, {
      console: want('console.txt'),
      analysis: want('analiza_hazard.txt'),
      schedule: want('eliminare_hazard.txt'),
      status: Number(want('status')),
    }, name);
  }
});

// ------------------------------------------------------------ generator

function prng(seed) {
  return function () {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
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

test('2,000 generated inputs give what the native program gives', () => {
  const kinds = new Map();
  for (let n = 0; n < 2000; n++) {
    const [name, c, p] = generate(n);
    const asBytes = (x) => (x === null ? null : typeof x === 'string' ? Buffer.from(x, 'utf8') : x);
    const { report, ...got } = run(c === null ? null : typeof c === 'string' ? c : new Uint8Array(c),
      p === null ? null : typeof p === 'string' ? p : new Uint8Array(p));
    const want = runNative(asBytes(c), asBytes(p));
    assert.deepEqual(got, want, name + ': ' + JSON.stringify({ config: String(c), program: String(p).slice(0, 200) }));
    assert.equal(report === null, want.status !== 0, name + ': a report exactly when the run is complete');
    kinds.set(want.status, (kinds.get(want.status) || 0) + 1);
  }
  // The generator reaches every status.
  assert.deepEqual([...kinds.keys()].sort(), [0, 1, 2, 3, 4]);
});
