// The class sheet in headless Chromium, as a teacher makes it: the fields
// typed in, a print button pressed, the students' sheets or the key printed
// to PDF; against the generator, the native program's tables, the size of a
// hand-written answer and the messages.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, nativeFigures, browserTests, catchPrints, printedPages, mm } from './lib.mjs';

const sim = await loadSim();
const { exercise } = script('exercise/gen.js').create(sim.limits);
const check = script('exercise/check.js');
const paper = script('exercise/paper.js');
const words = script('words/words.js');
const openPage = browserTests({ viewport: { width: 1280, height: 900 } });
const files = (seed, depth, count, name) => exercise({ seed, depth, count, level: 'many', ...(name === undefined ? {} : { name }) });
const oneLine = (text) => text.replace(/\s+/g, ' ');

// A hand-written answer takes about 2.5 mm a character and 4.5 mm a line:
// "WAW R28,R32" on one line or its kind above "R28,R32"; a cycle of three
// digits; an instruction's number of two; a performance such as "52.63".
const roomy = (c) => c.h >= 8 && (c.cell === 'hazard' ? c.w >= 11 * 2.5 || (c.w >= 7 * 2.5 && c.h >= 2 * 4.5) : c.w >= ({ entry: 3, order: 2 }[c.cell] || 5) * 2.5);

// Types the exercise's values and the sheet's fields; names (an array) are typed into the list.
async function fill(page, { depth, count, asked = 'hsp', from = '1', to, names }) {
  for (const box of await page.$$('input[name="exercise-asked"]')) await box.setChecked(asked.includes(await box.getAttribute('value')));
  await page.fill('#exercise-depth', String(depth));
  await page.fill('#exercise-count', String(count));
  await page.fill('#sheet-from', from);
  if (names) await page.fill('#sheet-names', names.join('\n'));
  else await page.check('#sheet-by-range');
  if (!names) await page.fill('#sheet-to', to || from);
  await catchPrints(page);
}

// Presses a print button; returns the answer cells ({cell, w, h} in mm) and
// the grid ({w, h}: its width and its height from the page's top) measured
// in the print layout, then the printed PDF's pages.
async function print(page, what) {
  await page.click(what === 'key' ? '#sheet-print-key' : '#sheet-print-students');
  const prints = await page.evaluate(() => window.prints.splice(0));
  assert.deepEqual(prints.map((p) => [p.what, p.body.split(' ').includes('sheet-print')]), [[what, true]], 'laid out, then printed once');
  await page.emulateMedia({ media: 'print' });
  const laid = await page.evaluate(() => {
    const box = (e) => e && e.getBoundingClientRect();
    const cells = [...document.querySelectorAll('[data-sheet-cell]')].map((e) => ({ cell: e.dataset.sheetCell, w: box(e).width, h: box(e).height }));
    const grid = box(document.querySelector('.sheet-grid'));
    // The column heads whose words reach past their column.
    const past = [...document.querySelectorAll('.sheet-grid thead th')].filter((th) => {
      const words = document.createRange();
      words.selectNodeContents(th);
      return box(words).right > box(th).right - parseFloat(getComputedStyle(th).paddingRight) + 0.5;
    });
    return { cells, heads: past.map((th) => th.textContent), grid: grid && { w: grid.width, h: grid.bottom - box(document.querySelector('.sheet-top')).top } };
  });
  await page.emulateMedia({ media: null });
  const inMm = (b) => b && { ...b, w: mm(b.w), h: mm(b.h) };
  return { cells: laid.cells.map(inMm), heads: laid.heads, grid: inMm(laid.grid), pages: await printedPages(page) };
}

describe('the class sheet', () => {
  test('the students\' sheets of a range and of names: one variant a page, who it is for, depth, program, rules, an empty cell for each answer, no key', async () => {
    const p = await openPage();
    const first = 98765432109876543210n;
    const names = ['Ana <Maria> & Co', 'Ion}#~Pop', 'Ştefan Ţepeş', 'O\'Brien "Bob" {x}'];
    const lists = [[null, null, null, null], names, [...names].reverse()];
    const programs = new Map();
    for (const list of lists) {
      const named = list[0] !== null;
      await fill(p.page, { depth: 6, count: 9, from: named ? '2024' : String(first), to: String(first + 3n), names: named ? list : null });
      const { pages, cells } = await print(p.page, 'students');
      assert.equal(pages.length, 4);
      let answers = 0;
      list.forEach((name, k) => {
        const seed = named ? '2024' : (first + BigInt(k)).toString();
        const f = files(seed, 6, 9, named ? name : undefined);
        const text = pages[k];
        assert.ok(text.includes(named ? `${name}\n` : `Varianta ${k + 1} (samanta ${seed})`), text.slice(0, 80));
        assert.match(text, named ? new RegExp(`varianta ${k + 1}, samanta clasei 2024 +Adincimea benzii: 6 +Instructiuni: 9`) : /Nume: _+ +Adincimea/);
        assert.match(oneLine(text), /DIST d: hazardul .* IN corectat: ciclul .* Performanta: cifra/, 'the rules of the three parts');
        for (const line of f.program.trimEnd().split('\n')) assert.ok(text.includes(line), `page ${k + 1}: ${line}`);
        assert.ok(!text.includes(nativeFigures(f.config, f.program).figures.performance) && !/Cheia/.test(text), 'nothing of the key');
        // A cell for each kind asked (its registers in the same cell), each IN and the performance.
        answers += check.cells(sim.run(f.config, f.program).report, 'hsp').filter((c) => c.answer !== 'registers').length;
        if (named) assert.equal(programs.get(name) || f.program, f.program, `${name}: the same variant in any list`);
        if (named) programs.set(name, f.program);
      });
      assert.equal(cells.length, answers);
    }
    assert.equal(new Set(programs.values()).size, 4, 'a variant of its own for each name');
    // Printed, the page is the page again: the next Ctrl+P prints it, not the sheet.
    assert.equal(await p.page.evaluate(() => document.body.classList.contains('sheet-print')), false);
    await p.done();
  });

  test('every answer cell holds a hand-written answer, the grid fills the page\'s width and height, and a program takes the pages planned', async () => {
    const p = await openPage();
    // Every depth, short and long; the counts around a page's end, the
    // answer on one line (depth 7) and on two (depth 8); the parts asked; a
    // name of 80 characters in English.
    const cases = [{ depth: 3, count: 2 }, { depth: 10, count: 2 }];
    for (let depth = 3; depth <= 10; depth++) cases.push({ depth, count: 8 }, { depth, count: 50 });
    for (const count of [25, 26, 27, 28]) cases.push({ depth: 7, count }, { depth: 8, count: count - 3 });
    for (const asked of ['h', 'hs', 's', 'sp', 'hp', 'p']) cases.push({ depth: 10, count: 50, asked }, { depth: 8, count: 24, asked });
    // A box for each instruction's new place and one for the fewest bubbles, below the grid.
    cases.push({ depth: 7, count: 22, asked: 'hspr' }, { depth: 4, count: 20, asked: 'hsr' }, { depth: 5, count: 8, asked: 'hspr' });
    const name = 'Maria-Magdalena Constantinescu-Dobrogeanu Wolfenstein-Kowalczyk de la Vrancea II';
    cases.push({ depth: 10, count: 50, names: [name], lang: 'en' }, { depth: 7, count: 26, names: [name], lang: 'en' });
    const bad = [];
    for (const c of cases) {
      const where = JSON.stringify(c);
      await p.page.selectOption('#lang', c.lang || 'ro');
      await fill(p.page, { from: '31', ...c });
      const { pages, cells, heads, grid } = await print(p.page, 'students');
      assert.deepEqual(heads, [], where + ': every column head within its column');
      const asked = c.asked || 'hsp';
      const f = files('31', c.depth, c.count, c.names && name);
      const spread = check.distances(sim.run(f.config, f.program).report, asked);
      const plan = paper.gridLayout({ count: c.count, spread, entry: asked.includes('s'), perf: asked.includes('p'), order: asked.includes('r') });
      assert.equal(pages.length, plan.pages, where + ': the pages planned');
      assert.ok(pages.length <= 2 && (!c.names || oneLine(pages[0]).includes(name)), where);
      bad.push(...cells.filter((cell) => !roomy(cell)).map((cell) => `${where}: ${JSON.stringify(cell)}`));
      const boxes = (cell) => cells.filter((x) => x.cell === cell).length;
      assert.deepEqual([boxes('order'), boxes('fewest')], asked.includes('r') ? [c.count, 1] : [0, 0], where + ': the new order\'s boxes');
      if (asked === 'p') continue; // the program alone, and the performance's box
      assert.ok(grid.w >= 190, `${where}: the grid is ${grid.w} mm wide`);
      // 281 mm of the page inside its margins; a short program's rows grow only so far.
      if (plan.pages === 1 && c.count >= 8) assert.ok(grid.h >= 230, `${where}: the page is filled to ${grid.h} mm`);
    }
    assert.deepEqual(bad, [], 'cells too small for an answer');
    await p.done();
  });

  test('the key of 30 variants of 8 instructions takes at most 10 pages, each with its seed or name, both tables\' answers and the performance, as the native program gives them', async () => {
    const p = await openPage();
    for (const [depth, names] of [[6, null], [10, null], [5, ['Ana <Maria> & Co', 'Ion}#~Pop']]]) {
      await fill(p.page, { depth, count: 8, from: '500', to: '529', names });
      const { pages } = await print(p.page, 'key');
      const all = oneLine(pages.join(' '));
      const n = names ? names.length : 30;
      assert.ok(pages.length <= Math.ceil(n / 3) && pages.slice(0, -1).every((text) => text.match(/ adincimea /g).length >= 3), `${pages.length} pages`);
      const rows = await p.page.$$eval('#sheet .sheet-key-variant', (vs) => vs.map((v) => [...v.querySelectorAll('tbody tr')].map((r) => [...r.cells].map((c) => c.textContent))));
      for (let k = 0; k < n; k++) {
        const f = names ? files('500', depth, 8, names[k]) : files(String(500 + k), depth, 8);
        const want = nativeFigures(f.config, f.program);
        const who = names ? `${names[k]} (varianta ${k + 1}, samanta clasei 500)` : `Varianta ${k + 1} (samanta ${500 + k})`;
        assert.ok(all.includes(`${who} adincimea ${depth}, 8 instructiuni, performanta ${want.figures.performance}%`), who);
        want.rows.forEach((r, i) => {
          const cells = [];
          for (let d = 1; d <= Math.min(depth - 2, 7); d++) {
            const h = r.hazards.find((x) => x.distance === d);
            cells.push(d > i ? '' : h ? `${h.kind} ${h.depend}` : '-');
          }
          const bubbles = i && want.figures.entries[i] - want.figures.entries[i - 1] - 1;
          // After a slash, the kind's own registers where DEPEND holds others too.
          const got = rows[k][i];
          assert.deepEqual(got.slice(2, -1).map((c) => c.replace(/ \/ .*$/, '')), cells, `${who}, instruction ${i}`);
          assert.equal(got[got.length - 1], want.figures.entries[i] + (bubbles ? ` (+${bubbles})` : ''), `${who}, IN of ${i}`);
          assert.ok(all.includes(`${i} ${r.text}`), `${who}: instruction ${i} printed`);
        });
      }
    }
    await p.done();
  });

  test('bad input gets its message as it is typed and prints nothing; the choice and the prints work by keyboard', async () => {
    const p = await openPage();
    await catchPrints(p.page);
    const T = (key, params) => (words.use('ro'), words.t(key, params));
    const cases = [
      [{ from: '1', to: '200' }, 'Cite o fisa pentru fiecare samanta de la 1 la 200: 200 variante.'],
      [{ from: '1', to: '201' }, T('sheetMax', { n: 200 })],
      [{ from: '7', to: '3' }, T('sheetOrder')],
      [{ from: '1x', to: '3' }, T('sheetSeeds')],
      [{ from: '1', names: Array.from({ length: 201 }, (_, k) => 'Elev ' + k).join('\n') }, T('namesMax', { n: 200 })],
      [{ from: '1', names: 'Ana\n' + 'b'.repeat(81) }, T('nameLong', { n: 80, name: 'b'.repeat(20) })],
      [{ from: '3', names: 'Ana\n' + 'b'.repeat(80) }, 'Cite o fisa pentru fiecare nume din lista: 2 variante, din samanta clasei 3.'],
      [{ from: '1', names: ' \n\n' }, T('namesEmpty')],
    ];
    for (const [c, said] of cases) {
      await p.page.fill('#sheet-names', c.names || '');
      await p.page.check(c.names === undefined ? '#sheet-by-range' : '#sheet-by-names');
      await p.page.fill('#sheet-from', c.from);
      if (c.to) await p.page.fill('#sheet-to', c.to);
      assert.equal(await p.page.textContent('#sheet-note'), said, 'said as typed');
      await p.page.click('#sheet-print-key');
      const refused = !said.startsWith('Cite');
      assert.equal(await p.page.evaluate(() => window.prints.splice(0).length), refused ? 0 : 1, said);
      if (refused) assert.equal(await p.page.textContent('#sheet-note'), said, 'said again');
    }
    // An arrow key chooses the range, the label and the fields follow; Tab reaches the print buttons; Enter prints.
    await p.page.focus('#sheet-by-names');
    await p.page.keyboard.press('ArrowLeft');
    assert.deepEqual([await p.page.textContent('#sheet-from-word'), await p.page.isVisible('#sheet-to')], ['Samantele de la', true]);
    await p.page.fill('#sheet-to', '2');
    await p.page.fill('#exercise-depth', '11');
    await p.page.click('#sheet-print-students');
    assert.match(await p.page.textContent('#sheet-note'), /^Adincimea/, 'the exercise\'s values too');
    await p.page.fill('#exercise-depth', '5');
    await p.page.focus('#sheet-names');
    await p.page.keyboard.press('Tab');
    await p.page.keyboard.press('Enter');
    await p.page.keyboard.press('Tab');
    await p.page.keyboard.press('Enter');
    assert.deepEqual(await p.page.evaluate(() => window.prints.map((x) => x.what)), ['students', 'key']);
    assert.equal(await p.page.getAttribute('#sheet', 'data-variants'), '2');
    await p.done();
  });
});
