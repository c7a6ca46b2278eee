// The page's store under Node, on the real module: it runs the simulator
// only when the files change (once for a run, once for an exercise on
// generated files, the depth comparison only when asked), never touches the
// editors' files for an exercise, makes every generated exercise with one
// generator, keeps every replaced pair of files for "Previous files", also
// across a reload and with storage full, and gives views only what they may
// draw.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, exampleInput } from './lib.mjs';

const sim = await loadSim();
const { createStore } = script('store/store.js');
const words = script('words/words.js');

// A local storage in memory that refuses a write past room characters in all.
function memoryArea(room = Infinity) {
  const items = new Map();
  const used = () => [...items.values()].reduce((n, v) => n + v.length, 0);
  return {
    items,
    getItem: (k) => (items.has(k) ? items.get(k) : null),
    setItem: (k, v) => {
      if (used() - (items.get(k) || '').length + String(v).length > room) throw new Error('QuotaExceededError');
      items.set(k, String(v));
    },
  };
}

// A store over the module, its runs counted, its timers run by hand.
function makeStore(area = memoryArea()) {
  const counted = { runs: 0, limits: sim.limits, run: (...a) => (counted.runs++, sim.run(...a)) };
  const timers = [];
  const timer = { setTimeout: (fn) => timers.push(fn), clearTimeout: () => timers.splice(0) };
  const examples = ['six', 'chain'].map((name) => ({ name, config: exampleInput(name, 'config.txt').toString(), program: exampleInput(name, 'program.txt').toString() }));
  const store = createStore({ sim: counted, area, examples, timer });
  const events = [];
  for (const name of ['files', 'run', 'shown', 'exercise', 'lang', 'address']) store.on(name, () => events.push(name));
  return { store, counted, events, area, examples, pause: () => timers.splice(0).forEach((fn) => fn()) };
}

const HOMEWORK = { config: '4\n3\n', program: 'ADD R1,R2\tR3\nSUB R4,R1\nLD R5,R4\n' };
const files = (store) => ({ config: store.state.files.config, program: store.state.files.program });

test('the simulator runs once a run, once for a generated exercise, and for the depth comparison only when asked', () => {
  const { store, counted, pause } = makeStore();
  store.ready();
  assert.equal(counted.runs, 1, 'the first run');
  store.setFiles({ config: '5\n6\n' }, 'typed');
  store.setFiles({ config: '5\n4\n' }, 'typed');
  assert.equal(counted.runs, 1, 'no run while typing');
  pause();
  assert.equal(counted.runs, 2, 'one run after the pause');
  store.setLang('en');
  store.pick({ type: 'delay', instr: 1, earlier: 0 });
  store.step({ which: 'written', cycle: 3 });
  assert.equal(counted.runs, 2, 'a language, a pick and a step run nothing');
  store.openExercise({ asked: 'hsp', source: { kind: 'generated', seed: '42', depth: '4', count: '6', level: 'many' } }, 'setup');
  assert.equal(counted.runs, 3, 'one run for the generated exercise');
  assert.equal(store.state.shown, null, 'its results hidden until checked');
  store.checkAnswer();
  assert.equal(store.state.shown, store.state.exercise.run);
  const rows = store.sweepOf(store.state.shown);
  assert.equal(rows.length, sim.limits.depth[1] - sim.limits.depth[0] + 1);
  assert.equal(counted.runs, 3 + rows.length - 1, 'the comparison runs every other depth once');
  assert.equal(store.sweepOf(store.state.shown), rows, 'and is kept');
  store.closeExercise('setup');
  assert.equal(counted.runs, 3 + rows.length - 1, 'closing runs nothing');
  store.openExercise({ asked: 'h', source: { kind: 'files' } }, 'setup');
  assert.equal(counted.runs, 3 + rows.length - 1, 'an exercise on the files just run reuses their run');
  words.use('ro');
});

test('one generator: for one request an exercise opened on the page, hazardSim.exercise and a class\'s variant are the same files', () => {
  const { store } = makeStore();
  assert.equal(store.generator(), null, 'none before the simulator has loaded');
  store.ready();
  for (const params of [{ seed: '42', depth: '4', count: '6', level: 'many' }, { seed: '9', depth: '10', count: '50', level: 'few' }]) {
    store.openExercise({ asked: 'h', source: { kind: 'generated', ...params } }, 'setup');
    const opened = { config: store.state.exercise.config, program: store.state.exercise.program };
    assert.deepEqual(store.generator().exercise(params), opened, JSON.stringify(params));
    assert.deepEqual(store.variantRuns({ ...params, from: params.seed, to: params.seed }).variants[0].files, opened);
  }
});

test('an exercise never touches the editors: opened, answered, checked, closed, or refused', () => {
  const { store } = makeStore();
  store.ready();
  store.setFiles(HOMEWORK, 'typed');
  const before = files(store);
  const cases = [
    [{ asked: 'hsp', source: { kind: 'generated', seed: '1', depth: '5', count: '8', level: 'few' } }, 'setup'],
    [{ asked: 'hs', source: { kind: 'files' }, config: '3\n2\n', program: 'LD R1,R2\nADD R3,R1\n' }, 'link'],
    [{ asked: 'hsp', source: { kind: 'generated', seed: '1', depth: '11', count: '8', level: 'few' } }, 'setup'],
  ];
  for (const [request, from] of cases) {
    store.openExercise(request, from);
    if (store.state.exercise) {
      store.answer('entry:1', '4');
      store.checkAnswer();
      store.closeExercise(from);
    }
    assert.deepEqual(files(store), before, JSON.stringify(request));
    assert.deepEqual(store.state.back, [], 'nothing replaced');
  }
  assert.equal(store.state.exerciseMessage.key, 'badDepth');
});

test('every replacement of the files is kept, and Previous files brings each back in turn, byte for byte', () => {
  const { store, examples } = makeStore();
  store.ready();
  store.setFiles(HOMEWORK, 'typed');
  const loaded = new Uint8Array([0x35, 0x0d, 0x0a, 0x36, 0x0d, 0x0a, 0x1a, 0xff]);
  store.pickExample('chain');
  store.setFiles({ config: loaded }, 'file');
  store.setFiles({ config: '3\n2\n', program: 'LD R1,R2\nADD R3,R1\n' }, 'link');
  const chain = { config: examples[1].config, program: examples[1].program };
  const seen = [];
  for (let k = 0; k < 4; k++) {
    store.filesBack();
    seen.push(files(store));
  }
  assert.deepEqual(seen, [
    { config: loaded, program: chain.program },
    chain,
    HOMEWORK,
    { config: '3\n2\n', program: 'LD R1,R2\nADD R3,R1\n' },
  ], 'each pair in turn, the one left going to the far end');
  assert.equal(store.state.back.length, 3, 'none lost, none twice');
  store.pickExample('chain');
  store.pickExample('chain');
  assert.equal(store.state.back.length, 3, 'the pair left is kept, the pair picked leaves the way back; picking it again replaces nothing');
});

test('the last ten replaced pairs outlive a reload; full or broken storage loses nothing the page holds', () => {
  const area = memoryArea();
  const first = makeStore(area).store;
  for (let k = 0; k < 12; k++) first.setFiles({ program: `LD R${k + 1},R2\n` }, 'link');
  assert.equal(first.state.back.length, 10);
  const again = makeStore(area).store;
  assert.deepEqual(again.state.back, first.state.back);
  assert.deepEqual(files(again), files(first));

  area.items.set('hazard-sim.editors', '{"config": {"bytes": "@@"}, "program": 7}');
  area.items.set('hazard-sim.files-back', '[null, {"config": {"text": "5\\n2\\n"}, "program": {"text": "LD R1,R2\\n"}}]');
  const broken = makeStore(area);
  assert.equal(broken.store.state.example, 'six', 'unreadable editors: the first example');
  assert.deepEqual(broken.store.state.back, [{ config: '5\n2\n', program: 'LD R1,R2\n', at: 2 }]);

  const full = makeStore(memoryArea(0));
  full.store.ready();
  full.store.setFiles(HOMEWORK, 'typed');
  assert.equal(full.store.state.notice.key, 'keptNoFiles', 'storage refused: said so');
  full.store.pickExample('chain');
  full.store.filesBack();
  assert.deepEqual(files(full.store), HOMEWORK);

  // Room for the editors and a few pairs: the notice says how many a reload brings back, and it does.
  const small = memoryArea(2000);
  const some = makeStore(small).store;
  for (let k = 0; k < 10; k++) some.setFiles({ program: `LD R${k + 1},R2\n`.repeat(30) }, 'link');
  const { k, n } = some.state.notice.params;
  assert.ok(some.state.notice.key === 'keptFewBack' && k < n && n === 10, JSON.stringify(some.state.notice));
  const reloaded = makeStore(small).store;
  assert.deepEqual(files(reloaded), files(some), 'the editors kept first');
  assert.deepEqual(reloaded.state.back.map((p) => p.program), some.state.back.slice(-k).map((p) => p.program), 'the newest pairs');
});

test('the address is asked to show an exercise opened from the page, to forget it on closing, and a share link', () => {
  const { store } = makeStore();
  store.ready();
  const wants = [];
  store.on('address', (s) => wants.push(s.address));
  store.openExercise({ asked: 'hp', source: { kind: 'generated', seed: '7', depth: '6', count: '9', level: 'many' } }, 'setup');
  store.share();
  store.closeExercise('setup');
  store.openExercise({ asked: 'h', source: { kind: 'generated', seed: '7', depth: '6', count: '9', level: 'many' } }, 'link');
  store.closeExercise('link');
  store.share();
  assert.deepEqual(wants.slice(0, 3), [
    { fragment: 'x=7&d=6&n=9&l=many&a=hp', how: 'push', link: false },
    { fragment: 'x=7&d=6&n=9&l=many&a=hp&lang=ro', how: 'push', link: true },
    { fragment: '', how: 'replace', link: false },
  ]);
  assert.equal(wants.length, 4, 'an exercise the address opened or closed is not written back');
  assert.match(wants[3].fragment, /^c=[\w-]+&p=[\w-]+&lang=ro$/);
});

test('a run that breaks the simulator ends its use: the page says so as for a failed start, and runs no more', () => {
  const { store, counted, pause } = makeStore();
  store.ready();
  const broken = Object.assign(new Error('the simulator stopped'), { broken: true });
  counted.run = () => {
    counted.runs++;
    throw broken;
  };
  store.setFiles({ config: '5\n6\n' }, 'typed');
  pause();
  assert.deepEqual([store.state.ready, store.state.failure, store.state.run], [false, { key: 'simLoadFail' }, null]);
  const runs = counted.runs;
  store.run();
  store.setFiles({ config: '5\n7\n' }, 'typed');
  pause();
  assert.equal(counted.runs, runs, 'no run after it');
});
