// The page for everyone, in headless Chromium: axe-core's WCAG 2.1 AA rules in
// every state, both colour schemes, a desktop's and a phone's width; targets,
// width and hints on a phone; the printed page on A4; downloaded SVG files.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import os from 'node:os';
import { spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { browserTests, assertPrintedWhole } from './lib.mjs';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core'), 'utf8');
const EXERCISE = '#x=4&d=5&n=6&l=many&a=hsp';

// axe-core reads the style sheets again, which a page opened from disk refuses it.
const AXE_READS = /XMLHttpRequest at 'file:.*\.css'|Failed to load resource: net::ERR_FAILED/;

const openPage = browserTests({ ignore: AXE_READS });

async function open(hash, options) {
  const p = await openPage(hash, options);
  p.page.done = p.done;
  return p.page;
}

const pick = async (page, name) => {
  await page.selectOption('#example', name);
  await page.waitForSelector('#status[data-status="0"]');
};

// The states a user meets, each reached from a freshly opened page.
const STATES = {
  opened: { hash: '', act: async (page) => page.waitForSelector('#status[data-status]') },
  complete: { hash: '', act: (page) => pick(page, 'deep') },
  failed: {
    hash: '',
    act: async (page) => {
      await page.fill('#config', '2\n6\n');
      await page.waitForSelector('#status[data-status="4"]');
    },
  },
  stepping: {
    hash: '',
    act: async (page) => {
      await pick(page, 'six');
      await page.fill('#cycle', '2');
      await page.dispatchEvent('#cycle', 'input');
      await page.focus('#explain > li');
    },
  },
  // The program reordered: a move refused, the best order shown.
  reordered: {
    hash: '',
    act: async (page) => {
      await page.press('#reorder-list li[data-index="1"]', 'Alt+ArrowUp');
      await page.click('#reorder-best');
    },
  },
  exercise: { hash: EXERCISE, act: (page) => page.waitForSelector('#exercise-check') },
  // The class sheet's names chosen, one too long and its message said.
  sheetNames: {
    hash: '',
    act: async (page) => {
      await page.fill('#sheet-names', 'Ana\n' + 'b'.repeat(81));
      await page.waitForSelector('#sheet-to-field[hidden]', { state: 'attached' });
    },
  },
  checked: {
    hash: EXERCISE,
    act: async (page) => {
      await page.click('#exercise-check');
      await page.waitForSelector('#exercise-score[data-total]');
    },
  },
};
const TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];

// Each state opened once at each width; the colour scheme is only CSS, so
// both are checked on the one page.
for (const width of [1280, 390]) {
  test(`no WCAG 2.1 AA violation by axe-core, light and dark schemes, ${width} pixels wide, in every state`, async () => {
    const found = [];
    for (const [state, { hash, act }] of Object.entries(STATES)) {
      const page = await open(hash, { colorScheme: 'light', viewport: { width, height: 800 } });
      await act(page);
      await page.addScriptTag({ content: axeSource });
      for (const colorScheme of ['light', 'dark']) {
        await page.emulateMedia({ colorScheme });
        const violations = await page.evaluate(async (values) => {
          const r = await window.axe.run(document, { runOnly: { type: 'tag', values } });
          return r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
        }, TAGS);
        for (const v of violations) found.push(`${state}, ${colorScheme}: ${v}`);
      }
      await page.done();
    }
    assert.deepEqual(found, []);
  });
}

test('on a 390 pixel touch screen the page fits, the console reads at 11 px in its own sideways scroll, every target is 24 by 24 and the Ctrl+Enter hint is hidden', async () => {
  const page = await open('', { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
  await pick(page, 'deep');
  const seen = await page.evaluate(() => {
    const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
    const small = [];
    const targets = 'button, select, input:not([type="file"]), textarea, summary, a[href], .file-button, [tabindex="0"]';
    for (const e of document.querySelectorAll(targets)) {
      const r = e.getBoundingClientRect();
      // A mark in a diagram picks what its item in #explain picks, and the item is a target of full size.
      const same = e.closest('svg') && document.querySelector(`#explain > li[data-instr="${e.dataset.instr}"]`);
      if (shown(e) && !e.matches('.skip-link') && !same && (r.width < 24 || r.height < 24))
        small.push(`${e.id || e.className || e.tagName} ${Math.round(r.width)}x${Math.round(r.height)}`);
    }
    const hint = document.querySelector('.key-hint');
    const order = (a, b) => a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING;
    const [status, summary, consoleBox] = ['status', 'schedule-summary', 'console'].map((id) => document.getElementById(id));
    return {
      wider: document.documentElement.scrollWidth - innerWidth,
      // Its text readable, the console scrolls sideways in its own box.
      console: [parseFloat(getComputedStyle(consoleBox).fontSize) >= 11, consoleBox.scrollWidth > consoleBox.clientWidth, getComputedStyle(consoleBox).overflowX],
      small,
      hint: shown(hint),
      before: Boolean(order(status, consoleBox) && order(summary, consoleBox)) && summary.getBoundingClientRect().bottom <= consoleBox.getBoundingClientRect().top,
    };
  });
  assert.deepEqual(seen, { wider: 0, console: [true, true, 'auto'], small: [], hint: false, before: true });
  await page.done();
});

test('at 200% zoom (640 CSS pixels) the console shows every column of both tables', async () => {
  const page = await open('', { viewport: { width: 640, height: 800 }, deviceScaleFactor: 2 });
  await pick(page, 'deep');
  const cut = await page.evaluate(() => [document.documentElement.scrollWidth - innerWidth,
    ...['console', 'outputs'].map((id) => document.getElementById(id)).map((e) => e.scrollWidth - e.clientWidth)]);
  assert.deepEqual(cut, [0, 0, 0]);
  await page.done();
});

// Every table row of the console as 'IN OPCODE', in order.
const tableRows = (text) => text.split('\n').map((l) => l.trim().split(/\s+/))
  .filter((f) => /^\d+$/.test(f[0]) && /^[A-Z]{2,3}$/.test(f[1])).map((f) => f[0] + ' ' + f[1]);

test('printed on A4, upright and across, examples/deep gives both files, both tables whole, both diagrams in the page width, no controls', async () => {
  const dir = mkdtempSync(path.join(os.tmpdir(), 'hazard-sim-print-'));
  try {
    const page = await open('');
    await pick(page, 'deep');
    const want = tableRows(await page.textContent('#console'));
    assert.equal(want.length, 100);
    const program = await page.inputValue('#program');
    await page.emulateMedia({ media: 'print' });
    await page.waitForSelector('.print-tile', { state: 'attached' });
    const fits = await page.evaluate(() => [...document.querySelectorAll('.diagram-block svg')].filter((s) => !s.ownerSVGElement && s.getClientRects().length).map((s) => {
      const r = s.getBoundingClientRect();
      return r.width > 0 && r.right <= document.documentElement.clientWidth + 0.5;
    }));
    assert.ok(fits.length >= 6 && fits.every(Boolean), 'each diagram tile in the printable width: ' + fits);
    await page.emulateMedia({ media: null });
    for (const landscape of [false, true]) {
      const pdf = path.join(dir, 'page.pdf');
      writeFileSync(pdf, await page.pdf({ format: 'A4', landscape }));
      const text = spawnSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' }).stdout;
      assert.deepEqual(tableRows(text), want, 'every IN/OPCODE row of both tables');
      assertPrintedWhole(text, program);
    }
    await page.done();
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
});

test('a downloaded diagram declares its own colours and has no colour-scheme rule', async () => {
  const page = await open('', { colorScheme: 'dark', acceptDownloads: true });
  await pick(page, 'six');
  for (const button of ['#download-analysis-svg', '#download-schedule-svg']) {
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    const file = readFileSync(await download.path(), 'utf8');
    assert.ok(!/prefers-color-scheme/.test(file));
    assert.match(file, /<style>[^<]*\.hzd \.bg\{fill:#ffffff\}[^<]*<\/style>/);
  }
  await page.done();
});
