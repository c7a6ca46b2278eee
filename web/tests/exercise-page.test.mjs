// Exercises on the page in headless Chromium, opened from disk: set on the
// examples and generated, a sample of cells answered in the form, checked and
// handed out by link, against the native program's runs and the run
// report's key. The class sheet has its own file, sheet.test.mjs.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { readFileSync, readdirSync } from 'node:fs';
import { script, loadSim, examplesDir, runNative, browserTests, siteUrl, showRun } from './lib.mjs';

const sim = await loadSim();
const run = sim.run;
const { exercise } = script('exercise/gen.js').create(sim.limits);
const check = script('exercise/check.js');

const { programText } = script('logic/reorder.js');

const exampleFiles = (name) => ['config.txt', 'program.txt'].map((f) => readFileSync(path.join(examplesDir, name, f), 'utf8'));
const complete = readdirSync(examplesDir).sort().filter((n) => runNative(...exampleFiles(n)).status === 0);
const failing = readdirSync(examplesDir).sort().filter((n) => !complete.includes(n));

const base = siteUrl + 'index.html';
const openPage = browserTests({ viewport: { width: 1280, height: 900 } });

async function open(hash = '') {
  const p = await openPage(hash);
  return { page: p.page, close: p.done };
}

const resultsShown = (page) =>
  page.evaluate(() => ['outputs', 'diagrams', 'explanations'].map((id) => getComputedStyle(document.getElementById(id)).display !== 'none'));

// Types an answer into the form: {cell id: text}.
async function answer(page, answers) {
  for (const [id, text] of Object.entries(answers)) {
    const [kind, instr, distance] = id.split(':');
    const sel = kind === 'performance' ? '[data-answer="performance"]'
      : kind === 'entry' ? `[data-answer="entry"][data-instr="${instr}"]`
        : `[data-answer="${kind}"][data-instr="${instr}"][data-distance="${distance}"]`;
    if (kind === 'kind') await page.selectOption(sel, text);
    else await page.fill(sel, text);
  }
}

// Sets answers in the form in one go, each as typing it sets it: {cell id: text}.
const fill = (page, answers) =>
  page.evaluate((given) => {
    for (const node of document.querySelectorAll('[data-answer]')) {
      const d = node.dataset;
      const id = d.answer === 'performance' ? 'performance' : d.answer === 'entry' ? `entry:${d.instr}` : `${d.answer}:${d.instr}:${d.distance}`;
      if (!(id in given)) continue;
      node.value = given[id];
      node.dispatchEvent(new Event(node.tagName === 'SELECT' ? 'change' : 'input', { bubbles: true }));
    }
  }, answers);

const verdicts = (page) =>
  page.$$eval('[data-answer]', (els) => els.map((e) => {
    const d = e.dataset;
    const id = d.answer === 'performance' ? 'performance' : d.answer === 'entry' ? `entry:${d.instr}` : `${d.answer}:${d.instr}:${d.distance}`;
    return [id, d.verdict || '', e.value];
  }));

async function score(page) {
  const s = await page.$('#exercise-score');
  return [Number(await s.getAttribute('data-right')), Number(await s.getAttribute('data-total'))];
}

const answered = (page) => page.getAttribute('#exercise-score', 'data-answered').then(Number);

// The cells of the key worth typing (every cell's grading is exercise.test.mjs's):
// both cells at every distance, a kind of each sort, the first and last entry, the performance.
function sample(key) {
  const ids = Object.keys(key);
  const kinds = ids.filter((id) => id.startsWith('kind:'));
  const entries = ids.filter((id) => id.startsWith('entry:'));
  const picked = [
    ...[...new Set(kinds.map((id) => id.split(':')[2]))].map((d) => kinds.find((id) => id.endsWith(':' + d))),
    ...[...new Set(kinds.map((id) => key[id]))].map((k) => kinds.find((id) => key[id] === k)),
  ].flatMap((id) => [id, id.replace('kind', 'registers')]);
  return [...new Set([...picked, entries[0], entries[entries.length - 1], ...ids.filter((id) => id === 'performance')])].filter(Boolean);
}

// A wrong answer of each sort asked, typed into sampled cells: {cell id: text}.
function wrongOnes(key, typed) {
  const wrong = {};
  const first = (sort, test = () => true) => typed.find((id) => id.startsWith(sort) && test(id)) || typed.find((id) => id.startsWith(sort));
  const kind = first('kind');
  if (kind) wrong[kind] = key[kind] === 'WAW' ? 'WAR' : 'WAW';
  const registers = first('registers', (id) => key[id]);
  if (registers) wrong[registers] = key[registers] ? 'R9 9' : 'R9';
  const entry = typed.filter((id) => id.startsWith('entry')).pop();
  if (entry) wrong[entry] = String(Number(key[entry]) + 1);
  if (typed.includes('performance')) wrong.performance = '1' + key.performance;
  return wrong;
}

// The form holds the key's cells; a sample of the key filled in is graded
// right and the rest blank; then a wrong answer of each sort typed in makes
// exactly those cells wrong too.
async function answerAndCheck(page, report, asked, where) {
  assert.deepEqual(await resultsShown(page), [false, false, false], where + ': results hidden');
  const key = check.keyAnswers(report, asked);
  const form = await verdicts(page);
  assert.deepEqual(form.map(([id]) => id).sort(), Object.keys(key).sort(), where + ': the form follows the tables');
  assert.ok(form.every(([, , value]) => value === ''), where + ': the form starts empty');
  const typed = sample(key);
  await fill(page, Object.fromEntries(typed.map((id) => [id, key[id]])));
  await page.click('#exercise-check');
  const marks = (wrong) => Object.keys(key).map((id) => [id, typed.includes(id) && !wrong.includes(id) ? 'right' : 'wrong']).sort();
  assert.deepEqual((await verdicts(page)).map(([id, v]) => [id, v]).sort(), marks([]), where + ': the sample right, the blank cells wrong');
  assert.deepEqual([...(await score(page)), await answered(page)], [typed.length, form.length, typed.length], where);
  assert.deepEqual(await resultsShown(page), [true, true, true], where + ': results shown after the check');

  const wrong = wrongOnes(key, typed);
  await answer(page, wrong);
  await page.click('#exercise-check');
  const changed = Object.keys(wrong);
  assert.deepEqual((await verdicts(page)).map(([id, v]) => [id, v]).sort(), marks(changed), where + ': exactly the cells changed wrong');
  assert.deepEqual(await score(page), [typed.length - changed.length, form.length], where);
  assert.equal(await page.$$eval('#exercise-reasons li', (l) => l.length), form.length - typed.length + changed.length);
}

describe('exercises on the page', () => {
  test('on every example, asking everything: a sample of the key scores right and the blank cells wrong, a wrong answer of each sort exactly its cell', async () => {
    const p = await open();
    for (const name of complete) {
      await p.page.selectOption('#example', name);
      await p.page.click('#exercise-start');
      const report = run(...exampleFiles(name)).report;
      await answerAndCheck(p.page, report, 'hsp', name);
      // After the check the console is the native program's own.
      assert.equal(await p.page.textContent('#console'), runNative(...exampleFiles(name)).console, name);
      await p.page.click('#exercise-close');
      assert.equal(await p.page.isVisible('#exercise-start'), true);
    }
    await p.close();
  });

  const GENERATED = [
    [{ seed: '3', depth: '4', count: '6', level: 'many' }, 'hsp'],
    [{ seed: '123456789012345678901234567890', depth: '10', count: '50', level: 'many' }, 'hs'],
    [{ seed: '0', depth: '3', count: '2', level: 'few' }, 'sp'],
    [{ seed: '77', depth: '7', count: '15', level: 'few' }, 'h'],
  ];
  for (const [params, asked] of GENERATED) {
    test(`a generated exercise (${JSON.stringify(params)}, asked ${asked}) gives Node's files, is graded by its key, and its link reopens it empty`, async () => {
      const p = await open();
      for (const box of await p.page.$$('input[name="exercise-asked"]'))
        await box.setChecked(asked.includes(await box.getAttribute('value')));
      await p.page.fill('#exercise-seed', params.seed);
      await p.page.fill('#exercise-depth', params.depth);
      await p.page.fill('#exercise-count', params.count);
      await p.page.selectOption('#exercise-level', params.level);
      await p.page.click('#exercise-generate');
      const files = exercise(params);
      assert.deepEqual(await p.page.evaluate((q) => window.hazardSim.exercise(q), params), files, 'the same generator in the page');
      const six = exampleFiles('six');
      assert.deepEqual([await p.page.inputValue('#config'), await p.page.inputValue('#program')], six, 'the editors keep what they held');
      const report = run(files.config, files.program).report;
      await answerAndCheck(p.page, report, asked, JSON.stringify(params));

      await p.page.click('#share');
      const link = await p.page.inputValue('#share-link');
      const fragment = new URLSearchParams(link.slice(link.indexOf('#') + 1));
      assert.deepEqual([...fragment.keys()], ['x', 'd', 'n', 'l', 'a', 'lang'], link);
      assert.equal(fragment.get('a'), asked);
      await p.close();

      const q = await open(link.slice(link.indexOf('#')));
      await q.page.waitForSelector('#exercise-check');
      assert.equal(await q.page.textContent('#exercise-program'), `${params.depth}\n${params.count}\n\n${files.program.trimEnd()}`);
      await answerAndCheck(q.page, report, asked, 'reopened ' + link);
      await q.close();
    });
  }

  test('an exercise on edited files hands out a link of its files and questions that reopens it, its answer kept in the browser', async () => {
    const p = await open();
    // The edit's results drawn first: they move the setup down the page under the pointer.
    await showRun(p.page, { config: '4\n5\n', program: 'LD R1,R2\nADD R3,R1,R1\nSUB R1,R3,R4\nMUL R3,R3\nDIV R5,R1\n' });
    await p.page.locator('input[name="exercise-asked"][value="p"]').setChecked(false);
    await p.page.click('#exercise-start');
    await p.page.click('#share');
    const link = await p.page.inputValue('#share-link');
    const fragment = new URLSearchParams(link.slice(link.indexOf('#') + 1));
    assert.deepEqual([...fragment.keys()], ['c', 'p', 'a', 'lang']);
    assert.equal(Buffer.from(fragment.get('p'), 'base64url').toString(), 'LD R1,R2\nADD R3,R1,R1\nSUB R1,R3,R4\nMUL R3,R3\nDIV R5,R1\n');
    assert.equal(fragment.get('a'), 'hs');
    // Typed answers stay after a reload, until checked.
    await answer(p.page, { 'entry:1': '3', 'kind:2:1': 'RAW' });
    await p.page.reload();
    await p.page.waitForSelector('#exercise-check');
    const kept = (await verdicts(p.page)).filter(([, , value]) => value).map(([id, , value]) => [id, value]);
    assert.deepEqual(kept, [['entry:1', '3'], ['kind:2:1', 'RAW']]);
    assert.deepEqual(await resultsShown(p.page), [false, false, false]);
    await p.close();

    const q = await open(link.slice(link.indexOf('#')));
    await q.page.waitForSelector('#exercise-check');
    const report = run('4\n5\n', 'LD R1,R2\nADD R3,R1,R1\nSUB R1,R3,R4\nMUL R3,R3\nDIV R5,R1\n').report;
    await answerAndCheck(q.page, report, 'hs', 'reopened in another browser');
    await q.close();
  });

  test('bad values, files that do not run and malformed links get a message; odd answers are graded', async () => {
    const p = await open();
    const BAD = [
      [{ '#exercise-seed': '12x' }, /Samanta/], [{ '#exercise-seed': '-3' }, /Samanta/],
      [{ '#exercise-depth': '11' }, /Adincimea/], [{ '#exercise-depth': 'cinci' }, /Adincimea/],
      [{ '#exercise-count': '1' }, /instructiuni/], [{ '#exercise-count': '51' }, /instructiuni/],
    ];
    const thrown = await p.page.evaluate(() => {
      try {
        return window.hazardSim.exercise({ seed: '1', depth: 5, count: 6, level: 'lots' });
      } catch (e) {
        return e.message;
      }
    });
    assert.match(thrown, /^Nivelul/);
    for (const [fields, message] of BAD) {
      await p.page.fill('#exercise-seed', '1');
      await p.page.fill('#exercise-depth', '5');
      await p.page.fill('#exercise-count', '6');
      for (const [sel, value] of Object.entries(fields)) await p.page.fill(sel, value);
      await p.page.click('#exercise-generate');
      assert.match(await p.page.textContent('#exercise-message'), message);
      assert.equal(await p.page.isVisible('#exercise-open'), false);
    }
    for (const name of failing) {
      await p.page.selectOption('#example', name);
      await p.page.click('#exercise-start');
      const want = runNative(...exampleFiles(name));
      assert.match(await p.page.textContent('#exercise-message p'), new RegExp(`stare ${want.status}`));
      assert.equal(await p.page.textContent('#exercise-message pre'), want.console, name + ': the run\'s own messages');
      assert.equal(await p.page.isVisible('#exercise-open'), false);
    }
    for (const hash of ['#x=1&d=11&n=6&l=many&a=hsp', '#x=1&d=5&n=6&l=lots&a=hsp', '#x=1&d=5&n=6&l=many&a=hq', '#x=1&d=5&n=6&l=many', '#c=QQ&p=@@&a=h']) {
      await p.page.goto(base + hash);
      await p.page.waitForSelector('#run:not([disabled])');
      await p.page.waitForSelector('#exercise-message:not([hidden])');
      assert.match(await p.page.textContent('#exercise-message'), /Linkul exercitiului/, hash);
      assert.equal(await p.page.isVisible('#exercise-open'), false, hash);
    }
    await p.page.goto(base + '#x=5&d=5&n=6&l=many&a=hsp');
    await p.page.waitForSelector('#exercise-check');
    await answer(p.page, { 'kind:1:1': 'RAW', 'registers:1:1': '  r 1 ;; ', 'entry:2': 'doi', 'entry:3': ' 1e3 ', performance: '%%,' });
    await p.page.click('#exercise-check');
    const [, total] = await score(p.page);
    assert.equal(total, check.cells(run(...Object.values(exercise({ seed: 5, depth: 5, count: 6, level: 'many' }))).report, 'hsp').length);
    assert.ok((await verdicts(p.page)).every(([, v]) => v === 'right' || v === 'wrong'));
    await p.close();
  });

  test('asked with r (unticked at first): the order moved by keyboard and the fewest typed are kept over a reload and checked', async () => {
    const p = await open();
    const params = { seed: '0', depth: '5', count: '6', level: 'many', asked: 'r' };
    const boxes = p.page.locator('input[name="exercise-asked"]');
    assert.deepEqual(await boxes.evaluateAll((l) => l.map((b) => b.value + b.checked)), ['htrue', 'strue', 'ptrue', 'rfalse']);
    for (const box of await boxes.all()) await box.setChecked((await box.getAttribute('value')) === 'r');
    await p.page.fill('#exercise-seed', params.seed);
    await p.page.fill('#exercise-count', params.count);
    await p.page.click('#exercise-generate');
    const files = exercise(params);
    assert.deepEqual(await p.page.evaluate((q) => window.hazardSim.exercise(q), params), files, 'the same files as under Node');
    const report = run(files.config, files.program).report;
    const key = check.reorderKey(report, (order) => run(files.config, programText(report.instructions, order)).report.bubbles);
    const items = () => p.page.$$eval('#exercise-reorder-list li', (l) => l.map((li) => Number(li.dataset.index)));
    // Each instruction of the best order in turn raised by Alt+ArrowUp to its place.
    for (let to = 0; to < key.order.length; to++) {
      await p.page.focus(`#exercise-reorder-list li[data-index="${key.order[to]}"]`);
      for (let at = (await items()).indexOf(key.order[to]); at > to; at--) await p.page.keyboard.press('Alt+ArrowUp');
    }
    await p.page.fill('#exercise-fewest', String(key.fewest + 1));
    await p.page.reload();
    await p.page.waitForSelector('#exercise-check');
    assert.deepEqual([await items(), await p.page.inputValue('#exercise-fewest')], [key.order, String(key.fewest + 1)], 'kept over a reload');
    await p.page.click('#exercise-check');
    assert.deepEqual((await verdicts(p.page)).map(([, v]) => v), ['right', 'wrong']);
    assert.match(await p.page.textContent('#exercise-reasons'), new RegExp(`bule dupa reordonare: ai scris "${key.fewest + 1}"\\. Minimul: ${key.fewest} \\(ordinea `));
    await p.close();
  });

  test('every control of the exercise has its own name and the answer is checked by keyboard', async () => {
    const p = await open('#x=9&d=6&n=8&l=many&a=hsp');
    await p.page.waitForSelector('#exercise-check');
    const names = await p.page.$$eval('#exercise input, #exercise select, #exercise button', (els) =>
      els.filter((e) => e.offsetParent !== null).map((e) => e.getAttribute('aria-label') || (e.labels && e.labels[0] && e.labels[0].textContent.trim()) || e.textContent.trim()));
    assert.ok(names.every(Boolean), 'a name for every control');
    assert.equal(new Set(names).size, names.length, 'no two alike');
    await p.page.focus('[data-answer="performance"]');
    await p.page.keyboard.type('12,5');
    await p.page.keyboard.press('Tab');
    assert.equal(await p.page.evaluate(() => document.activeElement.id), 'exercise-check');
    await p.page.keyboard.press('Enter');
    assert.equal(await p.page.getAttribute('[data-answer="performance"]', 'data-verdict'), 'wrong');
    await p.close();
  });

  test('a blank answer scores nothing, answers kept from before read as the form reads them, and Enter in any cell checks', async () => {
    const hash = '#x=4&d=5&n=6&l=many&a=hsp';
    const report = run(...Object.values(exercise({ seed: '4', depth: 5, count: 6, level: 'many' }))).report;
    const total = check.cells(report, 'hsp').length;
    const p = await open(hash);
    await p.page.waitForSelector('#exercise-check');
    const kinds = await p.page.$$eval('select[data-answer="kind"]', (l) => l.map((s) => [s.value, s.selectedOptions[0].textContent, [...s.options].map((o) => o.value).join()]));
    assert.ok(kinds.every((k) => k.join('|') === '|—|,none,RAW,WAR,WAW'), 'every kind starts not answered');
    await p.page.click('#exercise-check');
    assert.deepEqual([...(await score(p.page)), await answered(p.page)], [0, total, 0]);
    assert.match(await p.page.textContent('#exercise-score'), new RegExp(`^Scor: 0 din ${total} raspunsuri corecte, 0 completate`));

    // Answers kept by the form before 'none' was a choice of its own: '' was none, and a stray text.
    const fragment = 'x=4&d=5&n=6&l=many&a=hsp';
    const kept = { 'kind:1:1': '', 'registers:1:1': '', 'kind:2:1': 'waw', 'kind:2:2': 'junk', 'registers:2:2': 'R1', 'entry:1': '1' };
    await p.page.evaluate(([key, value]) => localStorage.setItem(key, value), ['hazard-sim.exercise.' + script('exercise/gen.js').hash32(fragment).toString(36), JSON.stringify(kept)]);
    await p.page.reload();
    await p.page.waitForSelector('#exercise-check');
    const value = (sel) => p.page.inputValue(sel);
    assert.deepEqual(await Promise.all(['1"][data-distance="1', '2"][data-distance="1', '2"][data-distance="2'].map((c) => value(`select[data-instr="${c}"]`))), ['', 'WAW', '']);
    // Enter in a text field checks.
    await p.page.focus('[data-answer="entry"][data-instr="1"]');
    await p.page.keyboard.press('Enter');
    const want = check.grade(report, 'hsp', { ...kept, 'kind:2:1': 'WAW', 'kind:2:2': '' });
    assert.deepEqual([...(await score(p.page)), await answered(p.page)], [want.right, total, want.answered]);
    // On a select, the arrows choose and Enter checks.
    await p.page.focus('select[data-instr="1"][data-distance="1"]');
    await p.page.keyboard.press('ArrowDown');
    await p.page.keyboard.press('ArrowDown');
    assert.equal(await value('select[data-instr="1"][data-distance="1"]'), 'RAW');
    assert.equal(await answered(p.page), want.answered, 'not checked by the arrows');
    await p.page.keyboard.press('Enter');
    assert.equal(await answered(p.page), want.answered + 2, 'the kind and its registers now answered');
    await p.close();
  });
});
