// Nothing a student types is lost, in headless Chromium, as a student works:
// an exercise opened, answered, closed, left by Back or reloaded leaves the
// editors as they were; the example list loads only on a deliberate choice;
// every replaced pair of files comes back with "Previous files", also after
// a reload and after a share link; Tab types a tab. The simulator runs once
// a run and once for a generated exercise, and the page's limits are the
// simulator's.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { loadSim, browserTests, countRuns } from './lib.mjs';

const HOMEWORK = { config: '4\n5\n', program: 'LD R1,R2\nADD R3,R1,R4\nSUB R4,R5,R3\nMUL R6,R4,R4\nDIV R7,R6,R1\n' };
const sim = await loadSim();
const openPage = browserTests();

const editors = async (page) => ({ config: await page.inputValue('#config'), program: await page.inputValue('#program') });

async function typeHomework(page) {
  await page.fill('#config', HOMEWORK.config);
  await page.fill('#program', HOMEWORK.program);
  await page.waitForFunction(() => document.getElementById('status').dataset.status === '0');
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

test('the example list loads only on a click or Enter, and Previous files brings back what it replaced', async () => {
  const p = await openPage();
  const { page } = p;
  await typeHomework(page);
  await page.focus('#example');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.waitForTimeout(200);
  assert.deepEqual(await editors(page), HOMEWORK, 'walking the list replaces nothing');
  await page.keyboard.press('Enter');
  const chosen = await page.inputValue('#example');
  assert.notEqual(await page.inputValue('#program'), HOMEWORK.program, 'Enter loads ' + chosen);
  await page.click('#files-back');
  assert.deepEqual(await editors(page), HOMEWORK, 'back');
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
