// The diagrams and the stepper read as a user meets them, in headless
// Chromium: examples/deep by keyboard (one Tab stop a diagram, its marks
// walked with the arrow keys and named), no label past its diagram's edge
// and a sign where a diagram goes on, a phone's width (the answer grid and
// its registers field, no words on keys, eight cycles, marks of 24 pixels
// apart, the strip pinned beside the diagram, its cycle clear of the signs)
// and paper (tiles whole before a print, no text under 7 pt, no stepper
// highlight, the row labels repeated).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import os from 'node:os';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { browserTests, showRun, randomProgram, completeExamples, exampleInput, nativeFigures } from './lib.mjs';

const open = browserTests();
const PHONE = { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true };
// Each instruction waits four cycles for the one before: a corrected diagram wider than 1280 pixels.
const CHAIN = { config: '6\n8\n', program: 'LD R2,R1\nMUL R4,R2,R3\nADD R2,R5,R6\nSUB R7,R2,R4\nDIV R4,R7,R2\nADD R1,R4,R4\nLD R6,R1\nMUL R8,R6,R6\n' };

test('examples/deep by keyboard: one Tab stop a diagram, at most 15 from the program editor to the stepper; the arrow keys walk the marks, each named', async () => {
  const { page, done } = await open();
  await showRun(page, 'deep');
  await page.focus('#program');
  await page.keyboard.press('Escape');
  const stops = [];
  while (stops.length < 40 && stops[stops.length - 1] !== 'stepper') {
    await page.keyboard.press('Tab');
    stops.push(await page.evaluate(() => {
      const e = document.activeElement;
      return e.closest('#stepper') ? 'stepper' : e.closest('.diagram') ? e.closest('.diagram-box').id : e.id || e.tagName;
    }));
  }
  assert.ok(stops.length <= 15, `${stops.length} presses: ${stops.join(' ')}`);
  assert.deepEqual(stops.filter((s) => s.endsWith('-diagram')), ['analysis-diagram', 'schedule-diagram']);

  const hazards = nativeFigures(exampleInput('deep', 'config.txt'), exampleInput('deep', 'program.txt')).rows
    .flatMap((row, i) => row.hazards.map((h) => `${i}/${h.distance}`));
  for (const [id, walk] of [
    ['analysis-diagram', ['ArrowRight', 'ArrowRight', 'ArrowLeft', 'ArrowDown', 'ArrowDown', 'ArrowRight', 'ArrowUp', 'End', 'ArrowRight', 'ArrowUp', 'Home', 'ArrowLeft']],
    ['schedule-diagram', ['ArrowRight', 'ArrowDown', 'ArrowUp', 'End', 'Home']],
  ]) {
    const marks = await page.$$eval(`#${id} .diagram [tabindex]:not(.diagram)`, (ms) =>
      ms.map((m) => ({ key: `${m.dataset.instr}/${m.dataset.distance || ''}`, row: m.dataset.instr, name: m.getAttribute('aria-label') })));
    if (id === 'analysis-diagram') assert.deepEqual(marks.map((m) => m.key), hazards, 'a mark for each hazard, in reading order');
    // Where each key leads from mark k: the next or previous mark, the first mark of the next or previous row, the ends.
    const rowStart = (row) => marks.findIndex((m) => m.row === row);
    const to = {
      ArrowRight: (k) => Math.min(k + 1, marks.length - 1),
      ArrowLeft: (k) => Math.max(k - 1, 0),
      ArrowDown: (k) => { const j = marks.findIndex((m, i) => i > k && m.row !== marks[k].row); return j < 0 ? k : j; },
      ArrowUp: (k) => (rowStart(marks[k].row) === 0 ? k : rowStart(marks[rowStart(marks[k].row) - 1].row)),
      End: () => marks.length - 1,
      Home: () => 0,
    };
    await page.focus(`#${id} .diagram [tabindex="0"]`);
    let k = 0;
    for (const key of [null, ...walk]) {
      if (key) {
        await page.keyboard.press(key);
        k = to[key](k);
      }
      const at = await page.evaluate(() => {
        const e = document.activeElement;
        const tie = e.querySelector('.tie');
        return {
          key: `${e.dataset.instr}/${e.dataset.distance || ''}`,
          stops: e.closest('.diagram').querySelectorAll('[tabindex="0"]').length,
          tie: tie ? getComputedStyle(tie).display : 'inline',
        };
      });
      assert.deepEqual(at, { key: marks[k].key, stops: 1, tie: 'inline' }, `${id} after ${key}: one Tab stop, the mark tied in full`);
      const snapshot = await page.locator(':focus').ariaSnapshot();
      assert.deepEqual((/^- '?(\w+) "([^"]*)"/.exec(snapshot) || [snapshot]).slice(1), ['img', marks[k].name], 'named to a screen reader');
    }
  }
  await done();
});

test('no label reaches past its diagram\'s edge, and a diagram wider than its box shows it goes on, at either end', async () => {
  let wider = 0;
  for (const options of [{}, PHONE]) {
    const { page, done } = await open('', options);
    for (const files of [...completeExamples, CHAIN, randomProgram(3, 10, 50, 6)]) {
      await showRun(page, files);
      const what = `${typeof files === 'string' ? files : files.program.slice(0, 20)} at ${options.viewport ? 390 : 1280}`;
      const seen = await page.evaluate(async () => {
        const frames = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
        const past = [];
        for (const svg of document.querySelectorAll('#diagrams .diagram svg')) {
          svg.scrollIntoView({ block: 'nearest' }); // off the screen a diagram is not laid out, nor measured
          await frames();
          const box = svg.getBoundingClientRect();
          for (const t of svg.querySelectorAll('text')) {
            const r = t.getBoundingClientRect();
            if (r.width && (r.right > box.right + 0.5 || r.left < box.left - 0.5)) past.push(t.textContent);
          }
        }
        const cues = [];
        for (const s of document.querySelectorAll('#diagrams .diagram')) {
          // The signs' opacity once they have faded in or out: the scroll seen
          // (its event comes with the next frame) and every fade run to its end.
          const shown = async () => {
            for (let k = 0; k < 2; k++) await new Promise((done) => requestAnimationFrame(done));
            while (document.getAnimations().length) await Promise.all(document.getAnimations().map((a) => a.finished.catch(() => {})));
            return ['left', 'right'].map((side) => getComputedStyle(s.parentNode.querySelector(`[data-side="${side}"]`)).opacity).join(' ');
          };
          s.scrollIntoView({ block: 'nearest' });
          await frames();
          s.scrollLeft = 0; // a diagram may open at its cycles, its gutter scrolled away
          const at = [s.scrollWidth > s.clientWidth, await shown()];
          s.scrollLeft = s.scrollWidth;
          at.push(await shown());
          s.scrollLeft = 0;
          cues.push(at);
        }
        return { past, cues };
      });
      assert.deepEqual(seen.past, [], what);
      for (const [goesOn, start, end] of seen.cues) {
        assert.deepEqual([start, end], goesOn ? ['0 1', '1 0'] : ['0 0', '0 0'], what);
        wider += goesOn;
      }
    }
    await done();
  }
  assert.ok(wider >= 6, 'wide diagrams were seen');
});

test('on a 390 pixel phone: the answer grid keeps its heads and instruction column in view at its end, its placeholders whole; no words on keys; a diagram shows eight cycles beside its labels, its marks targets of 24 pixels apart; the strip, pinned by a step, shows with the diagram, its cycle clear of the signs', async () => {
  const exercise = await open('#x=4&d=5&n=6&l=many&a=hsp', PHONE);
  await exercise.page.waitForSelector('.exercise-grid');
  const grid = await exercise.page.evaluate(async () => {
    const box = document.querySelector('.exercise-scroll');
    const wider = box.scrollWidth > box.clientWidth;
    box.scrollIntoView({ block: 'center' });
    box.scrollLeft = box.scrollWidth;
    box.scrollTop = box.scrollHeight;
    await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
    const b = box.getBoundingClientRect();
    // Seen: inside the box and the topmost thing at its centre.
    const seen = (e) => {
      const r = e.getBoundingClientRect();
      const top = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
      return r.left >= b.left - 0.5 && r.right <= b.right + 0.5 && r.top >= b.top - 0.5 && r.bottom <= b.bottom + 0.5 && e.contains(top);
    };
    const last = box.querySelector('tbody tr:last-child');
    return {
      wider,
      scrolled: box.scrollLeft > 0,
      line: seen(last.cells[0]),
      instruction: seen(last.querySelector('.exercise-instr')),
      heads: [...box.querySelectorAll('thead th')].slice(0, 2).map(seen),
      lastHead: seen(box.querySelector('thead th:last-child')),
    };
  });
  assert.deepEqual(grid, { wider: true, scrolled: true, line: true, instruction: true, heads: [true, true], lastHead: true });
  // The registers field shows its placeholder whole, in either language: its room less the placeholder's width.
  for (const lang of ['en', 'ro']) {
    await exercise.page.selectOption('#lang', lang);
    const room = await exercise.page.$eval('[data-answer="registers"]', (f, pen = document.createElement('canvas').getContext('2d')) => (
      (pen.font = getComputedStyle(f).font), f.clientWidth - 2 * parseFloat(getComputedStyle(f).paddingLeft) - pen.measureText(f.placeholder).width));
    assert.ok(room >= 0, `${lang}: ${room}`);
  }
  await exercise.done();

  const { page, done } = await open('', PHONE);
  await showRun(page, 'deep');
  // No words on keys show on a touch screen, in either language.
  for (const lang of ['en', 'ro']) {
    await page.selectOption('#lang', lang);
    const keys = await page.evaluate(() => {
      const out = [];
      const texts = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
      for (let n; (n = texts.nextNode()); ) {
        const e = n.parentElement;
        if (e.getClientRects().length && !e.closest('textarea, pre') && /\b(Tab|Escape|Ctrl|keyboard|arrow keys?|tastatura|sagetile)\b/i.test(n.textContent)) out.push(n.textContent);
      }
      return out;
    });
    assert.deepEqual(keys, [], lang);
  }
  // As each diagram opens: the cycles wholly beside the row labels, past the left edge's sign when it shows;
  // the hazards' marks, targets of 24 by 24 pixels or more, none over another.
  const opened = await page.$$eval('#diagrams .diagram', async (boxes) => {
    const out = [];
    for (const s of boxes) {
      s.scrollIntoView({ block: 'nearest' }); // a diagram opens once it comes near the screen
      await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
      const edge = (e) => e.getBoundingClientRect();
      const from = edge(s.parentNode.classList.contains('more-left') ? s.parentNode.querySelector('[data-side="left"]') : s.querySelector('.hzd-side')).right;
      const cycles = [...s.querySelectorAll('.column')].map(edge).filter((r) => r.left >= from - 0.5 && r.right <= edge(s).right + 0.5).length;
      const marks = [...s.querySelectorAll('.hazard')].map(edge);
      const over = (a, b) => a.left < b.right - 0.01 && b.left < a.right - 0.01 && a.top < b.bottom - 0.01 && b.top < a.bottom - 0.01;
      out.push([cycles >= 8 || cycles, marks.length, marks.filter((r, i) => r.width < 24 || r.height < 24 || marks.some((b, j) => j > i && over(r, b))).length]);
    }
    return out;
  });
  assert.deepEqual(opened, [[true, 140, 0], [true, 0, 0]], 'eight cycles or more; the marks, none small or over another');

  for (let k = 0; k < 12; k++) await page.click('#stepper button[aria-label="Ciclul urmator"]');
  await page.$eval('#schedule-block', (b) => b.scrollIntoView());
  // Once docked, with no fade still running.
  await page.waitForFunction(() => document.querySelector('.step-dock.docked') && !document.getAnimations().length);
  const together = async () => page.evaluate(() => {
    const dock = document.querySelector('.step-dock').getBoundingClientRect();
    const column = document.querySelector('#schedule-diagram .column.current-cycle').getBoundingClientRect();
    const box = document.querySelector('#schedule-diagram .diagram').getBoundingClientRect();
    const signs = [...document.querySelectorAll('#schedule-diagram .scroll-cue')].filter((c) => getComputedStyle(c).opacity !== '0').map((c) => c.getBoundingClientRect());
    return {
      strip: dock.top >= 0 && Math.abs(dock.bottom - innerHeight) < 1 && dock.height < innerHeight / 2,
      column: column.top < dock.top && column.bottom > 0 && column.left >= box.left && column.right <= box.right,
      clear: signs.every((c) => column.right <= c.left + 0.5 || column.left >= c.right - 0.5),
    };
  });
  assert.deepEqual(await together(), { strip: true, column: true, clear: true }, 'the strip at the bottom, the stepped column above it clear of the edges\' signs');
  await page.click('.step-pin');
  assert.equal(await page.$eval('.step-dock', (d) => d.classList.contains('docked')), false, 'unpinned, it goes back to its place');
  await done();
});

test('printed, examples/deep has no text under 7 pt and no stepper highlight; a diagram is in tiles within the page, its row labels on each, drawn before any print begins', async () => {
  const { page, done } = await open();
  await page.evaluate(() => window.addEventListener('beforeprint', () => (window.printing = true)));
  await showRun(page, 'deep');
  await page.waitForFunction(() => [...document.querySelectorAll('.diagram-block')].every((b) => b.querySelector('.print-tile')));
  // Before any print, each diagram's tiles (five or more) hold as many cells as the screen's diagram: each on one tile.
  const drawn = await page.$$eval('.diagram-block', (blocks) => [window.printing || matchMedia('print').matches,
    ...blocks.map((b) => [b.querySelectorAll('.print-tile').length >= 5, b.querySelectorAll('.print-tile .cell').length - b.querySelectorAll('.diagram .cell').length])]);
  assert.deepEqual(drawn, [false, [true, 0], [true, 0]]);
  await page.fill('#cycle', '30');
  await page.dispatchEvent('#cycle', 'input');
  assert.ok((await page.$$('#schedule-diagram .in-pipeline')).length > 0, 'bubbles lit on the screen');
  // Laid out as on A4 upright: 182 mm between the margins.
  await page.setViewportSize({ width: 688, height: 1000 });
  await page.emulateMedia({ media: 'print' });
  const seen = await page.evaluate(() => {
    const pt = (px) => px * 0.75;
    const shown = (e) => e.getClientRects().length > 0;
    const small = [];
    const size = (e, scale) => {
      const s = pt(parseFloat(getComputedStyle(e).fontSize) * scale);
      if (s < 7) small.push(`${e.textContent.trim().slice(0, 24)}: ${s.toFixed(2)} pt`);
    };
    const texts = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    for (let n; (n = texts.nextNode()); ) if (n.textContent.trim() && !n.parentElement.closest('svg') && shown(n.parentElement)) size(n.parentElement, 1);
    // Each SVG as laid out: its texts and those of the panes its windows show, at its scale.
    for (const svg of document.querySelectorAll('svg')) {
      if (svg.ownerSVGElement || !shown(svg)) continue;
      const box = svg.viewBox.baseVal;
      const scale = svg.getBoundingClientRect().width / (box && box.width ? box.width : svg.width.baseVal.value);
      const drawn = [svg, ...[...svg.querySelectorAll('use')].map((u) => document.querySelector(u.getAttribute('href')))];
      for (const part of drawn) for (const t of part.querySelectorAll('text')) if (t.textContent.trim()) size(t, scale);
    }
    const style = (selector, what) => getComputedStyle(document.querySelector(selector))[what];
    return {
      small,
      column: style('#schedule-diagram .column.current-cycle', 'fill'),
      cell: style('#schedule-diagram .cell.current-cycle rect', 'strokeWidth') === style('#schedule-diagram .cell:not(.current-cycle) rect', 'strokeWidth'),
      bubble: style('#schedule-diagram .in-pipeline rect', 'fill') === style('#schedule-diagram .bubble:not(.in-pipeline) rect', 'fill'),
      stage: style('#schedule-diagram .in-pipeline .now', 'display'),
      tiles: [...document.querySelectorAll('.print-tile')].map((t) => t.getBoundingClientRect().width),
      wide: [...document.querySelectorAll('.diagram-wrap')].filter(shown).length,
    };
  });
  assert.deepEqual(seen.small, [], 'no text under 7 pt');
  assert.deepEqual([seen.column, seen.cell, seen.bubble, seen.stage], ['rgba(0, 0, 0, 0)', true, true, 'none'], 'no highlighted column, cell or bubble');
  assert.equal(seen.wide, 0, 'the screen\'s scrolling diagrams are not printed');
  assert.ok(seen.tiles.length >= 10 && seen.tiles.every((w) => w > 0 && w <= 688), `tiles within A4's 182 mm: ${seen.tiles}`);
  await page.emulateMedia({ media: null });

  const dir = mkdtempSync(path.join(os.tmpdir(), 'hazard-sim-print-'));
  try {
    const pdf = path.join(dir, 'page.pdf');
    writeFileSync(pdf, await page.pdf({ format: 'A4' }));
    const lines = spawnSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' }).stdout.split('\n').map((l) => l.trim());
    const labels = (await page.inputValue('#program')).trim().split('\n').map((text, i) => `${i}: ${text.trim()}`);
    // Each row's label begins a line on every tile that holds its row: two tiles or more in each diagram.
    const few = labels.filter((label) => lines.filter((l) => l.startsWith(label)).length < 4);
    assert.deepEqual(few, [], 'each row label on four tiles or more');
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  await done();
});
