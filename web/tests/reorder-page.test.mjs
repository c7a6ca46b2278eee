// The program reordered: the store takes exactly the moves that keep the order legal and puts
// it into the editor; hazardSim.best's figures are the native program's; the view in Chromium.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readyStore, script, exampleInput, nativeFigures, runNative, prng, browserTests, showRun } from './lib.mjs';

const { breach, moved, programText } = script('logic/reorder.js');
const { statusText } = script('logic/faults.js');
const example = (name) => ({ config: exampleInput(name, 'config.txt').toString(), program: exampleInput(name, 'program.txt').toString() });
const store = await readyStore();
const open = browserTests();
const s = store.state;
const native = (name, order) => nativeFigures(example(name).config, programText(s.run.report.instructions, order)).figures;

test('a move is refused exactly when it breaks a dependence, and keeps the order; the figures are the native program\'s', () => {
  for (const [name, seed] of [['deep', 3], ['chain', 2], ['six', 1]]) {
    store.setFiles(example(name), 'example');
    const next = prng(seed);
    const n = s.run.report.instructions.length;
    let taken = 0;
    for (let k = 0; k < 60; k++) {
      const [from, before] = [Math.floor(next() * n), s.reorder.order];
      const to = Math.min(n - 1, Math.max(0, from + Math.floor(next() * 5) - 2));
      const legal = breach(s.run.report.instructions, moved(before, from, to)) === null;
      store.moveOrder(from, to);
      assert.deepEqual([s.reorder.order, s.reorder.refusal === null], [legal ? moved(before, from, to) : before, legal], `${name}: ${from} -> ${to}`);
      taken += legal && from !== to;
    }
    const { bubbles, performance } = native(name, s.reorder.order);
    assert.deepEqual([taken >= 5, s.reorder.record.report.bubbles, s.reorder.record.report.performance], [true, bubbles, performance], name);
  }
});

test('hazardSim.best gives a legal order with the native program\'s figures, and the page\'s message for files that do not run to the end', () => {
  for (const name of ['six', 'chain']) {
    const got = store.best(example(name));
    store.setFiles(example(name), 'example');
    const { bubbles, performance } = native(name, got.order);
    const whole = got.order.slice().sort((a, b) => a - b).every((i, k) => i === k) && got.order.length === s.run.report.instructions.length;
    assert.deepEqual([breach(s.run.report.instructions, got.order), whole, got.bubbles, got.performance, got.exact && got.bound], [null, true, bubbles, performance, bubbles], name);
  }
  for (const files of [example('syntax-errors'), { config: '5\n99\n', program: 'LD R1,R2\n' }]) {
    const ran = runNative(files.config, files.program);
    assert.throws(() => store.best(files), { message: statusText({ ...files, result: ran }, s.limits) + '\n' + ran.console.trim() });
  }
});

test('in Chromium, Alt+arrows move the focused instruction and say its bubbles, a refusal keeps the order and names both and the register; the order goes into the editor, the old program on the way back', async () => {
  const { page, done } = await open();
  await showRun(page, 'six');
  store.setFiles(example('six'), 'example');
  await page.focus('#reorder-list li[data-index="3"]');
  await page.waitForSelector('#reorder-diagram .diagram-title'); // drawn once the view is near the screen
  const refused = '3: MUL R3,R3,R1 citeste R3, pe care il scrie 1: ADD R3,R1,R4: trebuie sa ramina dupa ea.';
  for (const [key, order, said] of [['Up', [0, 1, 3, 2, 4, 5]], ['Up', [0, 1, 3, 2, 4, 5], refused], ['Down', [0, 1, 2, 3, 4, 5]], ['Down', [0, 1, 2, 4, 3, 5]]]) {
    await page.keyboard.press('Alt+Arrow' + key);
    const got = await page.evaluate(() => [[...document.querySelectorAll('#reorder-list li')].map((li) => Number(li.dataset.index)), document.activeElement.dataset.index,
      document.getElementById('reorder-status').textContent, document.querySelector('#reorder-diagram .diagram-title').textContent]);
    const { bubbles, performance } = native('six', order);
    assert.deepEqual(got.slice(0, 3), [order, '3', said || `3: MUL R3,R3,R1 pe locul ${order.indexOf(3) + 1}: ${bubbles} bule.`], key);
    assert.match(got[3], new RegExp(`, ${bubbles} bule, .*performanta ${performance}%$`));
  }
  await page.click('#reorder-apply');
  assert.equal(await page.inputValue('#program'), programText(s.run.report.instructions, [0, 1, 2, 4, 3, 5]));
  await page.click('#files-back');
  assert.equal(await page.inputValue('#program'), example('six').program);
  await done();
});
