// Nothing a student types is lost, in headless Chromium, as a student works:
// an exercise opened, answered, closed, left by Back or reloaded leaves the
// editors as they were; the example list loads only on a deliberate choice;
// every replaced pair of files comes back with "Previous files", also after
// a reload and after a share link; Tab types a tab. The simulator runs once
// a run and once for a generated exercise, and the page's limits are the
// simulator's.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { loadSim, browserTests, countRuns, completeRunDrawn } from './lib.mjs';

const HOMEWORK = { config: '4\n5\n', program: 'LD R1,R2\nADD R3,R1,R4\nSUB R4,R5,R3\nMUL R6,R4,R4\nDIV R7,R6,R1\n' };
const sim = await loadSim();
const openPage = browserTests();

const editors = async (page) => ({ config: await page.inputValue('#config'), program: await page.inputValue('#program') });

async function typeHomework(page) {
  await page.fill('#config', HOMEWORK.config);
  await page.fill('#program', HOMEWORK.program);
  await completeRunDrawn(page);
}

async function generate(page) {
  await page.fill('#exercise-seed', '42');
  await page.click('#exercise-generate');
  await page.waitForSelector('#exercise-check');
}

test('an exercise closed, left by Back, or reloaded leaves the editors as the student left them', async () => {
  const p = await openPage();
  const { page } = p;
  await typeHomework(page);
  const ways = [
    ['closed', () => page.click('#exercise-close')],
    ['left by Back', () => page.goBack()],
    ['reloaded open, then closed', async () => {
      await page.reload();
      await page.waitForSelector('#exercise-check');
      assert.equal(await page.inputValue('[data-answer="entry"][data-instr="1"]'), '9', 'the answer kept');
      await page.click('#exercise-close');
    }],
  ];
  for (const [how, leave] of ways) {
    await generate(page);
    await page.fill('[data-answer="entry"][data-instr="1"]', '9');
    await leave();
    await page.waitForSelector('#exercise-open', { state: 'hidden' });
    assert.deepEqual(await editors(page), HOMEWORK, how);
    assert.equal(await page.isVisible('#exercise-start'), true, how);
  }
  await page.reload();
  await page.waitForSelector('#status[data-status="0"]');
  assert.deepEqual(await editors(page), HOMEWORK, 'reloaded with the exercise closed');
  await p.done();
});

test('the example list loads a choice of the pointer, Enter or Open, never one walked by keys, and Previous files brings back what it replaced', async () => {
  const p = await openPage();
  const { page } = p;
  await typeHomework(page);
  const walks = [['Alt+ArrowDown', 'ArrowUp', 'Escape'], ['Space', 'ArrowUp', 'Tab'], ['Alt+ArrowDown', 'ArrowDown', 'ArrowDown', 'Alt+ArrowUp'], ['ArrowDown', 'ArrowDown']];
  for (const keys of walks) {
    await page.focus('#example');
    for (const key of keys) await page.keyboard.press(key);
    // Keys load synchronously, if at all: a frame drawn after them is enough.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    assert.deepEqual(await editors(page), HOMEWORK, 'walked by ' + keys.join(', '));
  }
  for (const [how, choose] of [
    ['Enter', () => page.keyboard.press('Enter')],
    ['Open', async () => (await page.keyboard.press('Tab'), page.keyboard.press('Enter'))],
    ['the pointer', async () => (await page.dispatchEvent('#example', 'pointerdown'), page.selectOption('#example', 'deep'))],
  ]) {
    await page.focus('#example');
    await page.keyboard.press('ArrowDown');
    await choose();
    await page.waitForFunction((typed) => document.getElementById('program').value !== typed, HOMEWORK.program);
    assert.notDeepEqual(await editors(page), HOMEWORK, how + ' loads ' + (await page.inputValue('#example')));
    await page.click('#files-back');
    assert.deepEqual(await editors(page), HOMEWORK, 'back after ' + how);
  }
  await page.waitForFunction(() => document.getElementById('status').dataset.status === '0');

  // After a reload, and across a share link.
  await page.selectOption('#example', 'deep');
  await page.reload();
  await page.waitForSelector('#status[data-status]');
  await page.click('#files-back');
  assert.deepEqual(await editors(page), HOMEWORK, 'back after a reload');
  const link = '#c=' + Buffer.from('3\n2\n').toString('base64url') + '&p=' + Buffer.from('ADD R1,R2\nSUB R3,R1\n').toString('base64url');
  await page.evaluate((h) => { location.hash = h; }, link);
  await page.waitForFunction(() => document.getElementById('config').value === '3\n2\n');
  await page.click('#files-back');
  assert.deepEqual(await editors(page), HOMEWORK, 'back after a share link');
  await page.reload();
  await page.waitForSelector('#status[data-status]');
  assert.deepEqual(await editors(page), HOMEWORK, 'a reload does not take the link\'s files again');
  await p.done();
});

test('Tab types a tab in an editor; Escape, then Tab, leaves it', async () => {
  const p = await openPage();
  const { page } = p;
  await page.fill('#program', 'ADD');
  await page.focus('#program');
  await page.keyboard.press('End');
  await page.keyboard.press('Tab');
  assert.equal(await page.inputValue('#program'), 'ADD\t');
  await page.keyboard.press('Control+z');
  assert.equal(await page.inputValue('#program'), 'ADD', 'the tab is in the editor\'s undo');
  await page.keyboard.press('Tab');
  await page.keyboard.type('R1,R2');
  assert.equal(await page.inputValue('#program'), 'ADD\tR1,R2');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Tab');
  assert.notEqual(await page.evaluate(() => document.activeElement.id), 'program');
  assert.equal(await page.inputValue('#program'), 'ADD\tR1,R2');
  assert.match(await page.textContent('#editor-keys'), /Escape/);
  await p.done();
});

test('a run and a generated exercise each run the simulator once, the depth comparison only when shown', async () => {
  const p = await openPage();
  const { page } = p;
  assert.deepEqual(await page.evaluate(() => window.hazardSim.limits), sim.limits);
  const depths = sim.limits.depth[1] - sim.limits.depth[0] + 1;
  await countRuns(page);
  await page.selectOption('#example', 'chain');
  await page.waitForSelector('#depth-sweep');
  assert.equal(await page.evaluate(() => window.runs), 1 + depths - 1, 'the run, and every other depth');
  await countRuns(page);
  await generate(page);
  assert.equal(await page.evaluate(() => window.runs), 1, 'the exercise\'s run, its results hidden');
  await page.click('#exercise-check');
  assert.equal(await page.evaluate(() => window.runs), depths, 'and the comparison once shown');
  await page.click('#exercise-close');
  await page.selectOption('#lang', 'en');
  assert.equal(await page.evaluate(() => window.runs), depths, 'closing and a language run nothing');
  await p.done();
});

// Ten pairs replaced, each a program typed then an example picked over it.
async function fillWayBack(page) {
  for (let k = 1; k <= 10; k++) {
    await page.fill('#program', `LD R${k},R2\n`);
    await page.selectOption('#example', k % 2 ? 'chain' : 'six');
  }
}

// Presses "Previous files" until the editors hold files, at most ten times.
async function backTo(page, files) {
  for (let k = 0; k < 10; k++) {
    await page.click('#files-back');
    if (JSON.stringify(await editors(page)) === JSON.stringify(files)) return true;
  }
  return false;
}

test('a full way back keeps the program just typed when Previous files looks back and an example replaces the pair it shows', async () => {
  const p = await openPage();
  const { page } = p;
  await fillWayBack(page);
  await typeHomework(page);
  await page.click('#files-back');
  await page.selectOption('#example', 'deep');
  assert.match(await page.getAttribute('#files-back', 'title'), /^10 /);
  await page.reload();
  await page.waitForSelector('#status[data-status="0"]');
  assert.ok(await backTo(page, HOMEWORK), 'her program on the way back, after a reload');
  await p.done();
});

test('two tabs: the program typed in one is kept when the other saves after it, and the first is told once', async () => {
  const p = await openPage();
  const a = p.page;
  const b = await p.context.newPage();
  await b.goto(a.url());
  await b.waitForSelector('#run:not([disabled])');
  await typeHomework(a);
  const theirs = { config: HOMEWORK.config, program: 'SUB R9,R8\nMUL R1,R9\n' };
  await b.fill('#program', theirs.program);
  await a.waitForSelector('#notice:visible');
  assert.match(await a.textContent('#notice'), /Alta fila/);
  await a.fill('#program', HOMEWORK.program + 'ADD R2,R2\n');
  assert.equal(await a.isVisible('#notice'), false, 'told once');
  await b.fill('#program', theirs.program + 'LD R4,R9\n');
  await b.close();
  await a.close();
  const c = await p.context.newPage();
  await c.goto(p.page.url());
  await c.waitForSelector('#status[data-status="0"]');
  assert.equal(await c.inputValue('#program'), theirs.program + 'LD R4,R9\n', 'the last one saved in the editors');
  assert.ok(await backTo(c, { config: HOMEWORK.config, program: HOMEWORK.program + 'ADD R2,R2\n' }), 'the other on the way back');
  await p.done();
});
