// The run report against its shape, web/binding/report.schema.json, checked
// with Ajv: the reports of every example and of generated complete runs
// conform, reports made wrong on purpose do not, and the schema's bounds are
// the simulator's own.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { readFileSync, readdirSync, existsSync } from 'node:fs';
import { join } from 'node:path';
import { root, loadSim, prng } from './lib.mjs';

const Ajv2020 = createRequire(import.meta.url)('ajv/dist/2020');
const sim = await loadSim();
const run = sim.run;

const schema = JSON.parse(readFileSync(join(root, 'web', 'binding', 'report.schema.json'), 'utf8'));
const validate = new Ajv2020({ allErrors: true }).compile(schema);
const problems = (report) => (validate(report) ? '' : JSON.stringify(validate.errors, null, 1));

function exampleReports() {
  const examples = join(root, 'examples');
  return readdirSync(examples)
    .filter((name) => existsSync(join(examples, name, 'config.txt')))
    .map((name) => {
      const dir = join(examples, name);
      return [name, run(readFileSync(join(dir, 'config.txt')), readFileSync(join(dir, 'program.txt'))).report];
    })
    .filter(([, report]) => report !== null);
}

test('every example\'s report conforms to the schema', () => {
  const reports = exampleReports();
  assert.ok(reports.length >= 4);
  for (const [name, report] of reports) assert.equal(problems(report), '', name);
});


test('400 generated complete runs conform to the schema', () => {
  const rnd = prng(4021);
  const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
  const { mnemonics } = sim.limits;
  const seen = new Set();
  for (let n = 0; n < 400; n++) {
    const depth = int(3, 10);
    const count = int(2, 50);
    // Few registers make many hazards; all 32 make few.
    const pool = [4, 8, 32][n % 3];
    const reg = () => 'R' + int(1, pool);
    const lines = Array.from({ length: int(Math.min(count, 2), count) }, () =>
      [mnemonics[int(0, mnemonics.length - 1)], reg(), reg()].concat(rnd() < 0.7 ? [reg()] : []).join(','));
    const got = run(`${depth}\n${count}\n`, lines.join('\n') + '\n');
    const what = `depth ${depth}, count ${count}:\n${lines.join('\n')}`;
    assert.equal(got.status, 0, what);
    assert.equal(problems(got.report), '', what);
    for (const ins of got.report.instructions) {
      seen.add(ins.nearest === null ? 'no hazard' : 'a hazard');
      for (const h of ins.hazards) h.kinds.forEach((k) => seen.add(k.kind));
    }
  }
  assert.deepEqual([...seen].sort(), ['RAW', 'WAR', 'WAW', 'a hazard', 'no hazard']);
});

// Each a change to a correct report (examples/six's) and where the schema
// must see the fault.
const WRONG = [
  ['no performance', (r) => delete r.performance, ''],
  ['depth as a string', (r) => (r.depth = '5'), '/depth'],
  ['performance as a number', (r) => (r.performance = 52.63), '/performance'],
  ['performance with one decimal', (r) => (r.performance = '52.6'), '/performance'],
  ['cycles without corrected', (r) => delete r.cycles.corrected, '/cycles'],
  ['an instruction without entry', (r) => delete r.instructions[2].entry, '/instructions/2'],
  ['an unknown mnemonic', (r) => (r.instructions[0].opcode = 'NOP'), '/instructions/0/opcode'],
  ['no sources', (r) => (r.instructions[0].sources = []), '/instructions/0/sources'],
  ['a hazard kind XYZ', (r) => (r.instructions[3].hazards[0].kinds[0].kind = 'XYZ'), '/instructions/3/hazards/0/kinds/0/kind'],
  ['a shown kind in lower case', (r) => (r.instructions[3].hazards[0].shown.kind = 'waw'), '/instructions/3/hazards/0/shown/kind'],
  ['a hazard at distance 0', (r) => (r.instructions[3].hazards[0].distance = 0), '/instructions/3/hazards/0/distance'],
  ['a hazard with no kinds', (r) => (r.instructions[3].hazards[0].kinds = []), '/instructions/3/hazards/0/kinds'],
  ['an extra property at the top', (r) => (r.extra = 1), ''],
  ['an extra property in a hazard', (r) => (r.instructions[3].hazards[0].note = ''), '/instructions/3/hazards/0'],
  ['nearest as a number', (r) => (r.instructions[3].nearest = 2), '/instructions/3/nearest'],
  ['nearest without its distance', (r) => delete r.instructions[3].nearest.distance, '/instructions/3/nearest'],
  ['a register R33', (r) => (r.instructions[0].dest = 'R33'), '/instructions/0/dest'],
  ['a register R0', (r) => (r.instructions[3].hazards[0].kinds[0].registers[0] = 'R0'), '/instructions/3/hazards/0/kinds/0/registers/0'],
  ['a negative delay', (r) => (r.instructions[1].delay = -1), '/instructions/1/delay'],
];

test('the schema refuses reports made wrong on purpose, at the fault', () => {
  const six = exampleReports().find(([name]) => name === 'six')[1];
  assert.equal(problems(six), '');
  for (const [what, change, path] of WRONG) {
    const report = structuredClone(six);
    change(report);
    assert.equal(validate(report), false, what);
    assert.ok(validate.errors.some((e) => e.instancePath === path), what + ': ' + JSON.stringify(validate.errors));
  }
});

test('the schema\'s bounds are the simulator\'s constants', () => {
  const limits = sim.limits;
  const p = schema.properties;
  const ins = schema.$defs.instruction.properties;
  assert.deepEqual([p.depth.minimum, p.depth.maximum], limits.depth);
  assert.deepEqual([p.count.minimum, p.count.maximum], limits.count);
  assert.equal(p.lines.maximum, limits.count[1]);
  assert.equal(ins.index.maximum, limits.count[1] - 1);
  assert.equal(schema.$defs.hazard.properties.distance.maximum, limits.depth[1] - 2);
  assert.deepEqual(ins.opcode.enum, limits.mnemonics);
  const register = new RegExp(schema.$defs.register.pattern);
  const names = Array.from({ length: limits.registers + 2 }, (_, n) => 'R' + n);
  assert.deepEqual(names.filter((name) => register.test(name)), names.slice(1, -1));
});
