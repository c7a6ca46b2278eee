// The stepper, the explanations and the depth comparison in headless
// Chromium, checked against the native program's own tables and figures:
// every cycle of both schedules of every example, every hazard and delay in
// the list, every depth; picking between the list and the diagrams; the
// keyboard; a failed run; contrast in both colour schemes.
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { completeExamples as complete, exampleInput as input, nativeFigures, browserTests } from './lib.mjs';

// The native program's depth, count, analysis rows, entry cycles, bubbles and figure.
function runNative(config, program) {
  const got = nativeFigures(config, program);
  assert.equal(got.status, 0, got.console);
  return { ...got.figures, analysis: got.rows };
}

// What stage s holds in a cycle, from the entry cycles: an index, -1, or ''.
function expectedStrip(entries, depth, cycle) {
  const last = entries[entries.length - 1];
  return Array.from({ length: depth }, (_, k) => {
    const c = cycle - k;
    const i = entries.indexOf(c);
    return i >= 0 ? String(i) : c > 0 && c < last ? '-1' : '';
  });
}

const openPage = browserTests({ viewport: { width: 1280, height: 900 } });

async function open(options = {}) {
  const p = await openPage('', options);
  p.page.done = p.done;
  return p.page;
}

async function runExample(page, name) {
  await page.selectOption('#example', name);
  await page.click('#run');
  await page.waitForSelector('#stepper:not([hidden]) #pipeline-now [data-stage]');
}

// Every cycle of one schedule as the stepper shows it, slid to by the slider;
// with each, the bubbles the strip shows that are not found in that
// schedule's diagram in the same cycle (lit as in the pipeline, with the
// stage they are in) and the bubbles lit there that the strip does not show.
const stripsOf = (page, which) =>
  page.evaluate((which) => {
    const select = document.getElementById('step-schedule');
    select.value = which;
    select.dispatchEvent(new Event('change'));
    const cycle = document.getElementById('cycle');
    const diagram = document.querySelector(which === 'corrected' ? '#schedule-diagram .diagram' : '#analysis-diagram .diagram');
    const out = [];
    const apart = [];
    for (let c = 0; c <= Number(cycle.max); c++) {
      cycle.value = String(c);
      cycle.dispatchEvent(new Event('input'));
      const stages = [...document.querySelectorAll('#pipeline-now [data-stage]')];
      out.push(stages.map((s) => [s.dataset.stage, s.dataset.instr, s.querySelector('.stage-what').textContent]));
      const strip = stages.filter((s) => s.dataset.instr === '-1').map((s) => `${c - s.dataset.stage + 1}/${s.dataset.waits}/${s.dataset.stage}`);
      const lit = [...diagram.querySelectorAll('.bubble.in-pipeline')].map((b) => `${b.dataset.cycle}/${b.dataset.waits}/${b.querySelector('.now').textContent}`);
      const column = diagram.querySelectorAll(`.column.current-cycle[data-column="${c}"]`).length;
      if (strip.some((b) => !lit.includes(b)) || lit.some((b) => !strip.includes(b)) || column !== 1) apart.push({ c, strip, lit, column });
    }
    return { out, apart };
  }, which);

const items = (page) =>
  page.$$eval('#explain [data-hazard], #explain [data-delay]', (els) =>
    els.map((e) => ({ ...e.dataset, text: e.textContent })));

describe('every complete example against the native program', () => {
  for (const name of complete) {
    test(`${name}: each cycle of both schedules, the list of hazards and delays, and every depth`, async () => {
      const page = await open();
      await runExample(page, name);
      const want = runNative(input(name, 'config.txt'), input(name, 'program.txt'));
      const n = want.entries.length;

      const schedules = { written: want.entries.map((_, i) => i), corrected: want.entries };
      for (const [which, entries] of Object.entries(schedules)) {
        const { out: strips, apart } = await stripsOf(page, which);
        assert.deepEqual(apart, [], `${which}: every bubble of the strip is lit in the diagram's column of that cycle`);
        assert.equal(strips.length, entries[n - 1] + want.depth, `${which}: cycles 0 .. last entry + depth - 1`);
        strips.forEach((strip, cycle) => {
          assert.deepEqual(strip.map((s) => s[0]), Array.from({ length: want.depth }, (_, k) => String(k + 1)));
          assert.deepEqual(strip.map((s) => s[1]), expectedStrip(entries, want.depth, cycle), `${which} cycle ${cycle}`);
          // A bubble names the instruction it holds back: the next to enter after it did.
          for (const [stage, instr, text] of strip) {
            if (instr === '-1') assert.equal(text, `bula: instructiunea ${entries.findIndex((e) => e > cycle - stage + 1)} asteapta`);
          }
        });
      }
      const notes = await page.$$eval('#schedule-diagram .delay-note', (els) => els.map((e) => e.textContent));
      const waits = want.analysis.flatMap((row, i) => {
        const delay = i > 0 ? want.entries[i] - want.entries[i - 1] - 1 : 0;
        const e = i - (row.hazards[0] || {}).distance;
        return delay > 0 ? [`instructiunea ${i} asteapta ${delay} ${delay === 1 ? 'ciclu' : 'cicluri'} dupa instructiunea ${e}`] : [];
      });
      assert.deepEqual(notes, waits, 'the corrected diagram says who waits, how long and for whom');

      const label = (i) => `${i}: ${want.analysis[i].text}`;
      const got = await items(page);
      const expected = [];
      want.analysis.forEach((row, i) => {
        for (const h of row.hazards) expected.push({ hazard: h.kind, instr: String(i), distance: String(h.distance), earlier: String(i - h.distance), depend: h.depend });
        const delay = i > 0 ? want.entries[i] - want.entries[i - 1] - 1 : 0;
        if (delay > 0) expected.push({ delay: String(delay), instr: String(i), earlier: String(i - row.hazards[0].distance) });
      });
      assert.deepEqual(got.map(({ text, ...data }) => data), expected.map(({ depend, ...data }) => data));
      got.forEach((item, k) => {
        assert.ok(item.text.includes(label(+item.instr)) && item.text.includes(label(+item.earlier)), item.text);
        for (const r of expected[k].depend ? expected[k].depend.split(',') : []) assert.match(item.text, new RegExp(`\\b${r}\\b`));
      });

      const sweep = await page.$$eval('#depth-sweep [data-depth]', (rows) =>
        rows.map((r) => [r.dataset.depth, r.dataset.performance, r.dataset.bubbles, r.getAttribute('aria-current')]));
      const expectedSweep = [3, 4, 5, 6, 7, 8, 9, 10].map((d) => {
        const at = runNative(`${d}\n${want.count}\n`, input(name, 'program.txt'));
        return [String(d), at.performance, String(at.bubbles), d === want.depth ? 'true' : null];
      });
      assert.deepEqual(sweep, expectedSweep);
      await page.done();
    });
  }
});

describe('the views on examples/six', () => {
  test('focusing or hovering an item picks out its marks in both diagrams, and a mark picks out its item', async () => {
    const page = await open();
    await runExample(page, 'six');
    const want = runNative(input('six', 'config.txt'), input('six', 'program.txt'));
    const picked = () =>
      page.evaluate(() => ({
        hazards: [...document.querySelectorAll('#analysis-diagram [data-hazard].picked')].map((e) => [e.dataset.instr, e.dataset.distance]),
        bubbles: [...document.querySelectorAll('#schedule-diagram [data-bubble].picked')].map((e) => +e.dataset.cycle),
        item: [...document.querySelectorAll('#explain .picked[aria-current="true"]')].map((e) => e.dataset.instr + ':' + (e.dataset.distance || 'delay')),
      }));
    const list = await items(page);
    for (const [k, item] of list.entries()) {
      const nth = `#explain > li:nth-child(${k + 1})`;
      if (k % 2) await page.hover(nth);
      else await page.focus(nth);
      const got = await picked();
      if (item.hazard) {
        assert.deepEqual([...new Set(got.hazards.map(String))], [[item.instr, item.distance].join()], `item ${k}`);
        assert.deepEqual(got.item, [`${item.instr}:${item.distance}`]);
      } else {
        const i = +item.instr;
        const cycles = Array.from({ length: +item.delay }, (_, b) => want.entries[i] - +item.delay + b);
        assert.deepEqual(got.bubbles, cycles, `item ${k}: the bubbles before ${i}`);
        assert.deepEqual(got.item, [`${i}:delay`]);
      }
    }
    await page.mouse.move(0, 0);
    await page.focus('#cycle');
    assert.deepEqual((await picked()).item, [], 'leaving the list picks nothing');
    await page.hover('#analysis-diagram [data-hazard][data-instr="3"][data-distance="2"]');
    assert.deepEqual((await picked()).item, ['3:2'], 'a hazard mark picks out its item');
    await page.done();
  });

  test('the stepper by buttons, keys and play; the cycle is picked out in that schedule\'s diagram', async () => {
    const page = await open();
    await runExample(page, 'six');
    const now = async () => ({
      cycle: await page.inputValue('#cycle'),
      strip: await page.$$eval('#pipeline-now [data-stage]', (s) => s.map((e) => e.dataset.instr).join(' ')),
      note: await page.textContent('#cycle-note'),
      current: await page.$$eval('[data-cycle].current-cycle', (e) => [...new Set(e.map((x) => x.closest('#analysis-diagram, #schedule-diagram').id + ' ' + x.dataset.cycle))]),
    });
    assert.equal(await page.inputValue('#step-schedule'), 'corrected');
    const entries = runNative(input('six', 'config.txt'), input('six', 'program.txt')).entries;
    const steps = [
      [() => page.click('#stepper button[aria-label="Ciclul urmator"]'), 1],
      [() => page.press('#stepper button[aria-label="Ciclul urmator"]', 'ArrowRight'), 2],
      [() => page.press('#cycle', 'ArrowRight'), 3],
      [() => page.press('#cycle', 'ArrowLeft'), 2],
      [() => page.click('#stepper button[aria-label="Ultimul ciclu"]'), 18],
      [() => page.click('#stepper button[aria-label="Ciclul anterior"]'), 17],
      [() => page.click('#stepper button[aria-label="Primul ciclu"]'), 0],
    ];
    for (const [act, cycle] of steps) {
      await act();
      const got = await now();
      assert.deepEqual([got.cycle, got.strip], [String(cycle), expectedStrip(entries, 5, cycle).join(' ')]);
      assert.deepEqual(got.current, [`schedule-diagram ${cycle}`]);
    }
    await page.fill('#cycle', '2');
    await page.dispatchEvent('#cycle', 'input');
    assert.match((await now()).note, /^Intra o bula \(2 din 3\) inaintea lui 1: ADD R3,R1,R4\. .*0 \+ 5 - 1 = 4/);
    await page.selectOption('#step-schedule', 'written');
    let got = await now();
    assert.deepEqual([got.cycle, got.strip, got.current], ['2', '2 1 0  ', ['analysis-diagram 2']]);
    await page.fill('#cycle', '3');
    await page.dispatchEvent('#cycle', 'input');
    assert.match((await now()).note, /Este in conflict cu 1: ADD R3,R1,R4, .*WAW pe R3.*Este in conflict cu 0: LD R1,R2/);

    // The page's clock moved by hand: playing goes one cycle a second, paused it stays.
    await page.clock.install();
    await page.click('#stepper button[aria-label="Porneste"]');
    await page.clock.runFor(2500);
    await page.click('#stepper button[aria-label="Pauza"]');
    assert.equal((await now()).cycle, '5', 'one cycle a second');
    await page.clock.runFor(3000);
    assert.equal((await now()).cycle, '5', 'paused');
    await page.done();
  });

  test('the list is reached by Tab and walked with the arrow keys; controls are named and show focus', async () => {
    const page = await open();
    await runExample(page, 'six');
    await page.focus('#explain > li:first-child');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.instr + ' ' + document.activeElement.dataset.hazard), '2 WAR');
    await page.keyboard.press('End');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.delay), '3');
    const stops = await page.$$eval('#explain > li', (lis) => lis.filter((li) => li.tabIndex === 0).length);
    assert.equal(stops, 1, 'one Tab stop for the whole list');

    const unnamed = await page.$$eval('#stepper button, #stepper select, #stepper input', (els) =>
      els.filter((e) => !(e.getAttribute('aria-label') || (e.labels && e.labels[0] && e.labels[0].textContent.trim()))).map((e) => e.outerHTML));
    assert.deepEqual(unnamed, []);
    await page.focus('#explain > li:first-child');
    await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Tab');
    const outline = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle + ' ' + getComputedStyle(document.activeElement).outlineWidth);
    assert.equal(outline, 'solid 3px');
    await page.done();
  });

  test('a failed run shows no stepper, list or comparison, and the next run shows them again', async () => {
    const page = await open();
    await runExample(page, 'six');
    await page.selectOption('#example', 'syntax-errors');
    await page.click('#run');
    await page.waitForSelector('#stepper[hidden]', { state: 'attached' });
    for (const id of ['#stepper', '#explanations', '#comparison']) assert.equal(await page.isVisible(id), false, id);
    assert.equal(await page.textContent('#schedule-summary'), '');
    await runExample(page, 'chain');
    assert.equal(await page.$$eval('#depth-sweep [data-depth]', (r) => r.length), 8);
    assert.equal(await page.inputValue('#cycle'), '0');
    await page.done();
  });
});

test('on a 320 pixel wide screen the views of examples/deep fit without the page scrolling sideways', async () => {
  const page = await open({ viewport: { width: 320, height: 800 } });
  await runExample(page, 'deep');
  const widths = await page.evaluate(() =>
    ['stepper', 'explanations', 'comparison', 'schedule-summary'].map((id) => {
      const e = document.getElementById(id);
      return [id, e.scrollWidth <= e.clientWidth];
    }).concat([['page', document.documentElement.scrollWidth <= innerWidth]]));
  assert.deepEqual(widths.filter(([, fits]) => !fits), []);
  await page.done();
});

// The contrast ratio of text against the first opaque background behind it.
function contrastProbe(selector) {
  const rgb = (c) => (c.match(/[\d.]+/g) || []).map(Number);
  const lum = ([r, g, b]) => {
    const ch = (v) => ((v /= 255) <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4);
    return 0.2126 * ch(r) + 0.7152 * ch(g) + 0.0722 * ch(b);
  };
  const bg = (el) => {
    for (let e = el; e; e = e.parentElement) {
      const c = rgb(getComputedStyle(e).backgroundColor);
      if (c.length === 3 || c[3] > 0) return c.slice(0, 3);
    }
    return [255, 255, 255];
  };
  const out = [];
  for (const el of document.querySelectorAll(selector)) {
    const own = [...el.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
    if (!own) continue;
    const style = getComputedStyle(el);
    const fg = rgb(el instanceof SVGElement ? style.fill : style.color);
    const [a, b] = [lum(fg), lum(bg(el.closest('svg') || el))].sort((x, y) => y - x);
    out.push({ text: el.textContent.slice(0, 30), ratio: (a + 0.05) / (b + 0.05) });
  }
  return out;
}

for (const colorScheme of ['light', 'dark']) {
  test(`every text of the views meets 4.5:1 contrast in the ${colorScheme} scheme`, async () => {
    const page = await open({ colorScheme });
    await runExample(page, 'six');
    await page.fill('#cycle', '2');
    await page.dispatchEvent('#cycle', 'input');
    await page.focus('#explain > li:nth-child(2)');
    const probes = await page.evaluate(contrastProbe,
      '#stepper *, #explanations *, #comparison *, #schedule-summary *');
    assert.ok(probes.length > 40);
    const low = probes.filter((p) => p.ratio < 4.5);
    assert.deepEqual(low, []);
    await page.done();
  });
}
