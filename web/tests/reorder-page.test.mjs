// The program reordered: under Node, the store accepts exactly the moves
// that keep the order legal, puts an order into the editor with the old
// program on the way back, and hazardSim.best's figures are the native
// program's for its order; in Chromium, the view's keyboard moves, a
// refusal told and the order put into the editor.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readyStore, script, exampleInput, nativeFigures, runNative, prng, browserTests, showRun } from './lib.mjs';

const reorder = script('logic/reorder.js');
const { statusText } = script('logic/faults.js');
const example = (name) => ({ config: exampleInput(name, 'config.txt').toString(), program: exampleInput(name, 'program.txt').toString() });

const store = await readyStore();
const s = store.state;

describe('the store under Node', () => {
  test('every move is refused exactly when it breaks a dependence; a refused one keeps the order, and each order\'s figures are the native program\'s', () => {
    for (const [name, seed] of [['six', 1], ['chain', 2], ['deep', 3]]) {
      store.setFiles(example(name), 'example');
      const instrs = s.run.report.instructions;
      const next = prng(seed);
      const n = instrs.length;
      let accepted = 0;
      for (let k = 0; k < 60; k++) {
        const from = Math.floor(next() * n);
        const to = next() < 0.5 ? Math.max(0, Math.min(n - 1, from + (next() < 0.5 ? -1 : 1))) : Math.floor(next() * n);
        if (to === from) continue;
        const before = s.reorder.order.slice();
        const wanted = reorder.moved(before, from, to);
        store.moveOrder(from, to);
        const legal = reorder.breach(instrs, wanted) === null;
        assert.deepEqual(s.reorder.order, legal ? wanted : before, `${name}: move ${from} -> ${to}`);
        assert.equal(s.reorder.refusal === null, legal, `${name}: refusal of ${from} -> ${to}`);
        assert.equal(reorder.breach(instrs, s.reorder.order), null);
        accepted += legal;
      }
      assert.ok(accepted >= 5, `${name}: moves accepted (${accepted})`);
      const native = nativeFigures(s.run.config, reorder.programText(instrs, s.reorder.order)).figures;
      assert.deepEqual([s.reorder.record.report.bubbles, s.reorder.record.report.performance], [native.bubbles, native.performance], name);
    }
  });

  test('an order put into the editor replaces the program, the old one goes on the way back, and the list starts again as written', () => {
    const six = example('six');
    store.setFiles(six, 'example');
    store.moveOrder(3, 2);
    const text = reorder.programText(s.run.report.instructions, s.reorder.order);
    store.applyOrder();
    assert.equal(s.files.program, text);
    assert.deepEqual(s.reorder.order, [0, 1, 2, 3, 4, 5]);
    store.filesBack();
    assert.equal(s.files.program, six.program);
  });

  test('hazardSim.best: the native program\'s figures for its order, and the page\'s message for files that do not run to the end', () => {
    for (const name of ['six', 'chain', 'no-hazards']) {
      const files = example(name);
      const got = store.best(files);
      store.setFiles(files, 'example');
      const instrs = s.run.report.instructions;
      assert.equal(reorder.breach(instrs, got.order), null, name);
      assert.deepEqual(got.order.slice().sort((a, b) => a - b), instrs.map((i) => i.index), name);
      const native = nativeFigures(files.config, reorder.programText(instrs, got.order)).figures;
      assert.deepEqual([got.bubbles, got.performance], [native.bubbles, native.performance], name);
      assert.ok(got.bubbles <= s.run.report.bubbles && got.bound <= got.bubbles && (!got.exact || got.bound === got.bubbles), name);
    }
    for (const files of [example('syntax-errors'), { config: '5\n99\n', program: 'LD R1,R2\n' }]) {
      const record = { config: files.config, program: files.program, result: { status: runNative(files.config, files.program).status } };
      const message = statusText(record, s.limits) + '\n' + runNative(files.config, files.program).console.trim();
      assert.throws(() => store.best(files), { message });
    }
  });
});

describe('in Chromium', () => {
  const open = browserTests();

  test('Alt+arrows move the focused instruction, a refusal keeps the order and names both and the register, and the order goes into the editor', async () => {
    const p = await open();
    const { page } = p;
    await showRun(page, 'six');
    const seen = () => page.evaluate(() => ({
      order: [...document.querySelectorAll('#reorder-list li')].map((li) => Number(li.dataset.index)),
      focus: document.activeElement.dataset.index,
      status: document.getElementById('reorder-status').textContent,
      title: document.querySelector('#reorder-diagram .diagram-title').textContent,
    }));
    const { config } = example('six');
    store.setFiles(example('six'), 'example');
    const instrs = s.run.report.instructions;
    await page.focus('#reorder-list li[data-index="3"]');
    for (const [key, order, refused] of [
      ['Alt+ArrowUp', [0, 1, 3, 2, 4, 5]],
      ['Alt+ArrowUp', [0, 1, 3, 2, 4, 5], 'RAW pe R3: 3: MUL R3,R3,R1 citeste R3, pe care 1: ADD R3,R1,R4 il scrie: trebuie sa ramina dupa ea.'],
      ['Alt+ArrowDown', [0, 1, 2, 3, 4, 5]],
      ['Alt+ArrowDown', [0, 1, 2, 4, 3, 5]],
    ]) {
      await page.keyboard.press(key);
      const got = await seen();
      assert.deepEqual([got.order, got.focus], [order, '3'], key);
      const { bubbles, performance } = nativeFigures(config, reorder.programText(instrs, order)).figures;
      assert.match(got.title, new RegExp(`, ${bubbles} bule, .*performanta ${performance}%$`), key);
      assert.equal(got.status, refused || `3: MUL R3,R3,R1 pe locul ${order.indexOf(3) + 1}: ${bubbles} bule.`);
    }
    await page.click('#reorder-apply');
    assert.equal(await page.inputValue('#program'), reorder.programText(instrs, [0, 1, 2, 4, 3, 5]));
    await p.done();
  });
});
