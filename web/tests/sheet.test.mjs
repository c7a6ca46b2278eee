// The class sheet in headless Chromium, as a teacher makes it: the fields
// filled in by typing, each print button pressed, the students' sheets and
// the key printed to PDF; checked against the generator, the native
// program's tables, the size of a hand-written answer, and the messages.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, nativeFigures, browserTests, catchPrints, printedPages, mm } from './lib.mjs';

const sim = await loadSim();
const { exercise } = script('exercise/gen.js').create(sim.limits);
const check = script('exercise/check.js');
const paper = script('exercise/paper.js');
const words = script('words/words.js');
const openPage = browserTests({ viewport: { width: 1280, height: 900 } });

// A hand-written answer takes about 2.5 mm a character and 4.5 mm a line:
// "WAW R28,R32" on one line, or its kind above "R28,R32"; a cycle of up to
// three digits; a performance such as "52.63".
const HAND = 2.5;
const LINE = 4.5;
function roomy(c) {
  if (c.h < 8) return false;
  if (c.cell === 'hazard') return c.w >= 11 * HAND || (c.w >= 7 * HAND && c.h >= 2 * LINE);
  return c.w >= (c.cell === 'entry' ? 3 : 5) * HAND;
}

// Fills the exercise's values and the sheet's fields as typed; names (an
// array) choose the list by typing it. Print is caught from then on.
async function fill(page, { depth, count, level = 'many', asked = 'hsp', from = '1', to, names }) {
  for (const box of await page.$$('input[name="exercise-asked"]')) await box.setChecked(asked.includes(await box.getAttribute('value')));
  await page.fill('#exercise-depth', String(depth));
  await page.fill('#exercise-count', String(count));
  await page.selectOption('#exercise-level', level);
  await page.fill('#sheet-from', from);
  if (names) await page.fill('#sheet-names', names.join('\n'));
  else {
    await page.check('#sheet-by-range');
    await page.fill('#sheet-to', to || from);
  }
  await catchPrints(page);
}

// Presses a print button; returns what was laid out, measured in the print
// layout before it is printed (a print ends with the page as it was): the
// students' answer cells ({cell, instr, distance, w, h} in mm) and the grid
// ({w, h}: its width, and its height from the top of the page), then the
// PDF's pages.
async function print(page, what) {
  await page.click(what === 'key' ? '#sheet-print-key' : '#sheet-print-students');
  const prints = await page.evaluate(() => window.prints.splice(0));
  assert.deepEqual(prints.map((p) => [p.what, p.body.split(' ').includes('sheet-print')]), [[what, true]], 'laid out, then printed once');
  await page.emulateMedia({ media: 'print' });
  const laid = await page.evaluate(() => {
    const box = (e) => e.getBoundingClientRect();
    const cells = [...document.querySelectorAll('[data-sheet-cell]')].map((e) => ({
      cell: e.dataset.sheetCell, instr: e.dataset.instr, distance: e.dataset.distance, w: box(e).width, h: box(e).height,
    }));
    const grid = document.querySelector('.sheet-grid');
    const top = document.querySelector('.sheet-top');
    return { cells, grid: grid && { w: box(grid).width, h: box(grid).bottom - box(top).top } };
  });
  await page.emulateMedia({ media: null });
  const cells = laid.cells.map((c) => ({ ...c, w: mm(c.w), h: mm(c.h) }));
  const grid = laid.grid && { w: mm(laid.grid.w), h: mm(laid.grid.h) };
  return { cells, grid, pages: await printedPages(page) };
}

const oneLine = (text) => text.replace(/\s+/g, ' ');
const files = (seed, depth, count, name) => exercise({ seed, depth, count, level: 'many', ...(name === undefined ? {} : { name }) });

// A variant's key as the page printed it: {kind and registers at each distance, IN, bubbles}, one row an instruction.
const keyRows = (page, k) =>
  page.$$eval(`#sheet .sheet-key-variant:nth-of-type(${k + 1}) tbody tr`, (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));

// The same rows from the native program's own tables.
function nativeKey(config, program) {
  const got = nativeFigures(config, program);
  const depth = got.figures.depth;
  const spread = Math.min(depth - 2, got.rows.length - 1);
  const rows = got.rows.map((r, i) => {
    const cells = [];
    for (let d = 1; d <= spread; d++) {
      const h = r.hazards.find((x) => x.distance === d);
      cells.push(d > i ? '' : h ? `${h.kind} ${h.depend}` : '-');
    }
    const bubbles = i === 0 ? 0 : got.figures.entries[i] - got.figures.entries[i - 1] - 1;
    return { cells, entry: got.figures.entries[i], bubbles };
  });
  return { rows, performance: got.figures.performance };
}

describe('the class sheet', () => {
  test('the students\' sheets of a range: one variant a page with its seed, depth, program and rules, an empty cell for every answer, no key', async () => {
    const p = await openPage();
    const first = 98765432109876543210n;
    await fill(p.page, { depth: 6, count: 9, from: String(first), to: String(first + 3n) });
    assert.equal(await p.page.textContent('#sheet-note'), 'Cite o fisa pentru fiecare samanta de la 98765432109876543210 la 98765432109876543213: 4 variante.');
    const { pages, cells } = await print(p.page, 'students');
    assert.equal(pages.length, 4);
    for (let k = 0; k < 4; k++) {
      const seed = (first + BigInt(k)).toString();
      const f = files(seed, 6, 9);
      const text = pages[k];
      assert.match(text, new RegExp(`Varianta ${k + 1} \\(samanta ${seed}\\)`));
      assert.match(text, /Nume: _+/);
      assert.match(text, /Adincimea benzii: 6 +Instructiuni: 9/);
      assert.match(oneLine(text), /DIST d: hazardul .* IN corectat: ciclul .* Performanta: cifra/, 'the rules of the three parts');
      for (const line of f.program.trimEnd().split('\n')) assert.ok(text.includes(line), `variant ${k + 1}: ${line}`);
      const figure = nativeFigures(f.config, f.program).figures.performance;
      assert.ok(!text.includes(figure) && !/Cheia/.test(text), 'nothing of the key');
    }
    // One cell for each kind asked in the form (its registers go in the same cell), each IN and the performance.
    const want = [];
    for (let k = 0; k < 4; k++) {
      const f = files((first + BigInt(k)).toString(), 6, 9);
      for (const c of check.cells(sim.run(f.config, f.program).report, 'hsp')) if (c.answer !== 'registers') want.push(c.answer === 'kind' ? 'hazard' : c.answer);
    }
    assert.deepEqual(cells.map((c) => c.cell), want);
    assert.ok(cells.every((c) => c.w > 0 && c.h > 0));
    // Printed, the page is the page again: the next Ctrl+P prints it, not the sheet.
    assert.equal(await p.page.evaluate(() => document.body.classList.contains('sheet-print')), false);
    await p.done();
  });

  test('every answer cell holds a hand-written answer, the grid fills the page\'s width and height, and a program takes the pages planned', async () => {
    const p = await openPage();
    // Every depth, short and long; the counts around a page's end, with the
    // answer on one line (depth 7) and on two (depth 8); the parts asked.
    const cases = [{ depth: 3, count: 2 }, { depth: 10, count: 2 }];
    for (let depth = 3; depth <= 10; depth++) cases.push({ depth, count: 8 }, { depth, count: 50 });
    for (const count of [25, 26, 27, 28]) cases.push({ depth: 7, count }, { depth: 8, count: count - 3 });
    for (const asked of ['h', 'hs', 's', 'sp', 'hp', 'p']) cases.push({ depth: 10, count: 50, asked }, { depth: 8, count: 24, asked });
    const name = 'Maria-Magdalena Constantinescu-Dobrogeanu Wolfenstein-Kowalczyk de la Vrancea II';
    assert.equal(name.length, 80);
    cases.push({ depth: 10, count: 50, names: [name], lang: 'en' }, { depth: 7, count: 27, names: [name], lang: 'en' });
    const bad = [];
    for (const c of cases) {
      const where = JSON.stringify(c);
      await p.page.selectOption('#lang', c.lang || 'ro');
      await fill(p.page, { from: '31', ...c });
      const { pages, cells, grid } = await print(p.page, 'students');
      const f = files('31', c.depth, c.count, c.names && c.names[0]);
      const report = sim.run(f.config, f.program).report;
      const asked = c.asked || 'hsp';
      const plan = paper.gridLayout({ count: c.count, spread: check.distances(report, asked), entry: asked.includes('s'), perf: asked.includes('p') });
      assert.equal(pages.length, plan.pages, where + ': pages');
      assert.ok(pages.length <= 2, where);
      if (c.names) assert.ok(oneLine(pages[0]).includes(name), where + ': the name intact');
      for (const cell of cells) if (!roomy(cell)) bad.push(`${where}: ${JSON.stringify(cell)}`);
      if (asked === 'p') continue; // the program alone, and the performance's box
      assert.ok(grid.w >= 190, `${where}: the grid is ${grid.w} mm wide`);
      // A page is 281 mm high inside its margins; a short program's rows grow only so far.
      if (plan.pages === 1 && c.count >= 8) assert.ok(grid.h >= 230, `${where}: the page is filled to ${grid.h} mm`);
    }
    assert.deepEqual(bad, [], 'cells too small for an answer');
    await p.done();
  });

  test('the key of 30 variants of 8 instructions takes at most 10 pages, each variant with its seed, both tables\' answers and the performance, as the native program gives them', async () => {
    const p = await openPage();
    for (const depth of [6, 10]) {
      await fill(p.page, { depth, count: 8, from: '500', to: '529' });
      const { pages } = await print(p.page, 'key');
      assert.ok(pages.length <= 10, `depth ${depth}: ${pages.length} pages`);
      assert.ok(pages.slice(0, -1).every((text) => (text.match(/Varianta \d+ \(samanta/g) || []).length >= 3), 'three variants or more a page');
      const all = oneLine(pages.join(' '));
      for (let k = 0; k < 30; k++) {
        const f = files(String(500 + k), depth, 8);
        const want = nativeKey(f.config, f.program);
        assert.ok(all.includes(`Varianta ${k + 1} (samanta ${500 + k}) adincimea ${depth}, 8 instructiuni, performanta ${want.performance}%`), `variant ${k + 1}'s head`);
        const got = await keyRows(p.page, k);
        got.forEach((row, i) => {
          const w = want.rows[i];
          // After a slash, the kind's own registers, where DEPEND holds others too.
          const cells = row.slice(2, -1).map((c) => c.replace(/ \/ .*$/, ''));
          assert.deepEqual(cells, w.cells, `variant ${k + 1}, instruction ${i}`);
          assert.equal(row[row.length - 1], w.entry + (w.bubbles ? ` (+${w.bubbles})` : ''), `variant ${k + 1}, IN of ${i}`);
          assert.ok(all.includes(`${i} ${row[1]}`), `variant ${k + 1}: instruction ${i} printed`);
        });
      }
    }
    await p.done();
  });

  test('names: each name its own variant from the class seed, printed intact on its sheet and in the key, the same in any list', async () => {
    const p = await openPage();
    const names = ['Ana <Maria> & Co', 'Ion}#~Pop', 'Ştefan Ţepeş', 'O\'Brien "Bob" {x}'];
    await fill(p.page, { depth: 5, count: 8, from: '2024', names });
    assert.equal(await p.page.isChecked('#sheet-by-names'), true, 'typing a name chooses the list');
    assert.equal(await p.page.isVisible('#sheet-to'), false);
    assert.equal(await p.page.textContent('#sheet-note'), 'Cite o fisa pentru fiecare nume din lista: 4 variante, din samanta clasei 2024.');
    const sheets = (await print(p.page, 'students')).pages;
    assert.equal(sheets.length, 4);
    const programs = {};
    names.forEach((name, k) => {
      const f = files('2024', 5, 8, name);
      programs[name] = f.program;
      assert.ok(sheets[k].includes(name), `${name} on page ${k + 1}`);
      assert.ok(sheets[k].includes(`varianta ${k + 1}, samanta clasei 2024`));
      assert.doesNotMatch(sheets[k], /Nume: _/, 'no line for a name already printed');
      for (const line of f.program.trimEnd().split('\n')) assert.ok(sheets[k].includes(line), `${name}: ${line}`);
    });
    assert.equal(new Set(Object.values(programs)).size, 4, 'a variant of its own for each name');
    const key = oneLine((await print(p.page, 'key')).pages.join(' '));
    names.forEach((name, k) => assert.ok(key.includes(`${name} (varianta ${k + 1}, samanta clasei 2024)`), name));
    // The list reversed, each name gets its variant again.
    await p.page.fill('#sheet-names', [...names].reverse().join('\n'));
    await print(p.page, 'students');
    const shown = await p.page.$$eval('#sheet .sheet-variant', (pages) => pages.map((s) => [s.querySelector('h2').textContent, [...s.querySelectorAll('tbody th')].map((t) => t.textContent + '\n').join('')]));
    assert.deepEqual(Object.fromEntries(shown), programs);
    // Back to the range: the names are kept, and the range prints.
    await p.page.check('#sheet-by-range');
    await p.page.fill('#sheet-to', '2030');
    assert.equal(await p.page.inputValue('#sheet-names'), [...names].reverse().join('\n'));
    assert.equal(await p.page.textContent('#sheet-note'), 'Cite o fisa pentru fiecare samanta de la 2024 la 2030: 7 variante.');
    await p.done();
  });

  test('bad input gets its message and prints nothing; the fields work by keyboard', async () => {
    const p = await openPage();
    await catchPrints(p.page);
    const T = (key, params) => (words.use('ro'), words.t(key, params));
    const many = Array.from({ length: 201 }, (_, k) => 'Elev ' + k).join('\n');
    const cases = [
      [{ from: '1', to: '200' }, null],
      [{ from: '1', to: '201' }, T('sheetMax', { n: 200 })],
      [{ from: '7', to: '3' }, T('sheetOrder')],
      [{ from: '1x', to: '3' }, T('sheetSeeds')],
      [{ from: '1', names: many }, T('namesMax', { n: 200 })],
      [{ from: '1', names: 'Ana\n' + 'b'.repeat(81) }, T('nameLong', { n: 80, name: 'b'.repeat(20) })],
      [{ from: '1', names: 'Ana\n' + 'b'.repeat(80) }, null],
      [{ from: '1', names: ' \n\n', byNames: true }, T('namesEmpty')],
    ];
    for (const [c, message] of cases) {
      const where = JSON.stringify(c).slice(0, 80);
      await p.page.fill('#sheet-names', c.names || '');
      if (c.names === undefined) await p.page.check('#sheet-by-range');
      if (c.byNames) await p.page.check('#sheet-by-names');
      if (c.from) await p.page.fill('#sheet-from', c.from);
      if (c.to) await p.page.fill('#sheet-to', c.to);
      const note = await p.page.textContent('#sheet-note');
      if (message) assert.equal(note, message, where + ': said as typed');
      await p.page.click('#sheet-print-key');
      const printed = await p.page.evaluate(() => window.prints.splice(0).length);
      assert.equal(printed, message ? 0 : 1, where);
      if (message) assert.equal(await p.page.textContent('#sheet-note'), message, where + ': said again');
    }
    // Any value of the exercise out of range is said too.
    await p.page.fill('#sheet-names', '');
    await p.page.check('#sheet-by-range');
    await p.page.fill('#exercise-depth', '11');
    await p.page.click('#sheet-print-students');
    assert.match(await p.page.textContent('#sheet-note'), /^Adincimea/);
    await p.page.fill('#exercise-depth', '5');
    // By keyboard: an arrow key chooses the names, the class seed's label says so, Enter prints.
    await p.page.focus('#sheet-by-range');
    await p.page.keyboard.press('ArrowRight');
    assert.equal(await p.page.isChecked('#sheet-by-names'), true);
    assert.equal(await p.page.textContent('#sheet-from-word'), 'Samanta clasei');
    await p.page.keyboard.press('Tab');
    assert.equal(await p.page.evaluate(() => document.activeElement.id), 'sheet-from');
    await p.page.keyboard.press('Tab');
    assert.equal(await p.page.evaluate(() => document.activeElement.id), 'sheet-names');
    await p.page.keyboard.type('Ana\nIon');
    await p.page.keyboard.press('Tab');
    await p.page.keyboard.press('Tab');
    assert.equal(await p.page.evaluate(() => document.activeElement.id), 'sheet-print-key');
    await p.page.keyboard.press('Enter');
    assert.deepEqual(await p.page.evaluate(() => window.prints.map((x) => x.what)), ['key']);
    assert.equal(await p.page.getAttribute('#sheet', 'data-variants'), '2');
    await p.done();
  });
});
