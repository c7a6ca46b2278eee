// Takes the page's screenshots that the documents show, in Debian's chromium
// from the built site opened from disk; one row of `shots` for each picture.
// Usage: node screenshots.mjs SITE_DIR OUT_ROOT [file ...]   (default: all)
import path from 'node:path';
import os from 'node:os';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { CHROMIUM_ARGS, catchPrints, savePdf } from '../tests/lib.mjs';
const MAX_BYTES = 300 * 1024;
const PRINT_DPI = 96; // a printed page's picture: A4 at 794 x 1123 pixels

// Picks an example in the picker and runs it.
const runExample = (name) => async (page) => {
  await page.selectOption('#example', name);
  await page.click('#run');
  await page.waitForSelector('#status[data-status="0"]');
};

// The stepper in a bubble's cycle and the explanations with the delay it belongs to picked.
const stepAndExplain = async (page) => {
  await runExample('six')(page);
  await page.fill('#cycle', '2');
  await page.dispatchEvent('#cycle', 'input');
  await page.focus('#explain [data-delay][data-instr="1"]');
};

// examples/deep with one hazard's mark focused, which ties it in full.
const deepFocused = async (page) => {
  await runExample('deep')(page);
  await page.focus('#analysis-diagram [data-hazard][data-instr="24"][data-distance="3"]');
};

// A generated exercise with its answer grid scrolled to its last column.
const gridScrolled = async (page) => {
  await page.waitForSelector('.exercise-scroll');
  await page.$eval('.exercise-scroll', (box) => {
    box.scrollIntoView();
    box.scrollLeft = box.scrollWidth;
  });
};

// A generated exercise answered from its key but for three cells, then checked.
const checkedExercise = async (page) => {
  await page.waitForSelector('#exercise-check');
  await page.evaluate(() => {
    const ex = hsRequire('exercise/link.js').read(location.hash);
    const files = window.hazardSim.exercise(ex.source);
    const key = hsRequire('exercise/check.js').keyAnswers(window.hazardSim.run(files.config, files.program).report, ex.asked);
    const wrong = { 'kind:3:2': 'RAW', 'registers:5:1': 'R9', 'entry:4': '11' };
    for (const el of document.querySelectorAll('[data-answer]')) {
      const d = el.dataset;
      const id = d.answer === 'performance' ? 'performance' : d.answer === 'entry' ? `entry:${d.instr}` : `${d.answer}:${d.instr}:${d.distance}`;
      el.value = id in wrong ? wrong[id] : key[id];
      el.dispatchEvent(new Event('change', { bubbles: true }));
    }
  });
  await page.click('#exercise-check');
};

// examples/six reordered by keyboard (instruction 4 moved up three places,
// then 3 up one, and once more, which is refused), with its best order shown.
const reordered = async (page) => {
  await runExample('six')(page);
  await page.click('#reorder-best');
  await page.focus('#reorder-list li[data-index="4"]');
  for (const key of ['Alt+ArrowUp', 'Alt+ArrowUp', 'Alt+ArrowUp']) await page.keyboard.press(key);
  await page.focus('#reorder-list li[data-index="3"]');
  for (const key of ['Alt+ArrowUp', 'Alt+ArrowUp']) await page.keyboard.press(key);
  await page.waitForSelector('#reorder-diagram .diagram-title');
};

// The class sheet's fields typed in as a teacher does, then one of its print
// buttons pressed (the print itself caught): values {depth, count, from, to,
// names}, what: 'students' or 'key'.
const printSheet = (values, what) => async (page) => {
  await page.fill('#exercise-depth', values.depth);
  await page.fill('#exercise-count', values.count);
  await page.fill('#sheet-from', values.from);
  if (values.names) await page.fill('#sheet-names', values.names.join('\n'));
  else await page.fill('#sheet-to', values.to);
  await catchPrints(page);
  await page.click(what === 'key' ? '#sheet-print-key' : '#sheet-print-students');
};

// One page of what the page prints, as a picture: the PDF's page rendered by pdftoppm, in grey.
async function printedPicture(page, number, out) {
  const dir = mkdtempSync(path.join(os.tmpdir(), 'hazard-sim-shot-'));
  try {
    const pdf = path.join(dir, 'print.pdf');
    await savePdf(page, pdf);
    const args = ['-png', '-gray', '-r', String(PRINT_DPI), '-f', String(number), '-l', String(number), '-singlefile', pdf, out.replace(/\.png$/, '')];
    const made = spawnSync('pdftoppm', args, { encoding: 'utf8' });
    if (made.status !== 0) throw new Error('pdftoppm: ' + made.stderr);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// file: where the picture goes, below OUT_ROOT; open: what follows
// index.html in the address; act: what is done on the page before the shot;
// parts: if given, the picture holds only the elements these selectors match;
// printed: if given, the picture is that page of what the page prints;
// context: the browser's screen, if not a 1280 by 800 desktop.
const shots = [
  { file: 'docs/web.png', open: '', act: runExample('six'), parts: ['#inputs', '#outputs', '#diagrams'] },
  { file: 'docs/web-steps.png', open: '', act: stepAndExplain, parts: ['#schedule-block', '#stepper', '#explain'] },
  { file: 'docs/web-phone.png', open: '', act: runExample('six'), parts: ['#outputs', '#diagrams'],
    context: { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true } },
  { file: 'docs/web-exercise.png', open: '#x=4&d=5&n=6&l=many&a=hsp', act: checkedExercise, parts: ['#exercise'] },
  { file: 'docs/web-english.png', open: '#lang=en', act: runExample('six'), parts: ['header', '#outputs'] },
  { file: 'docs/web-model.png', open: '', act: runExample('six'), parts: ['#explanations h3', '#explanations .model-aside'] },
  { file: 'docs/sheet-students.png', open: '', printed: 1,
    act: printSheet({ depth: '6', count: '8', from: '2024', names: ['Ana Popescu', 'Ion Ionescu', 'Maria Georgescu'] }, 'students') },
  { file: 'docs/sheet-key.png', open: '', printed: 1, act: printSheet({ depth: '6', count: '8', from: '1', to: '30' }, 'key') },
  { file: 'docs/web-reorder.png', open: '', act: reordered, parts: ['#reorder'] },
  { file: 'docs/web-deep.png', open: '', act: deepFocused, parts: ['#analysis-block'] },
  { file: 'docs/web-phone-exercise.png', open: '#x=4&d=5&n=8&l=many&a=hsp', act: gridScrolled, parts: ['#exercise-open'],
    context: { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true } },
];

// The smallest page area that holds every element of the selectors.
const areaOf = (page, selectors) =>
  page.evaluate((selectors) => {
    const boxes = selectors.map((s) => document.querySelector(s).getBoundingClientRect());
    const x = Math.min(...boxes.map((b) => b.left)) + scrollX - 8;
    const y = Math.min(...boxes.map((b) => b.top)) + scrollY - 8;
    const right = Math.max(...boxes.map((b) => b.right)) + scrollX + 8;
    const bottom = Math.max(...boxes.map((b) => b.bottom)) + scrollY + 8;
    return { x, y, width: right - x, height: bottom - y };
  }, selectors);

const [siteDir, outRoot, ...only] = process.argv.slice(2);
const wanted = only.length ? shots.filter((s) => only.includes(s.file)) : shots;
if (!siteDir || !outRoot || wanted.length !== (only.length || shots.length)) {
  console.error(`usage: screenshots.mjs SITE_DIR OUT_ROOT [file ...]; files: ${shots.map((s) => s.file).join(' ')}`);
  process.exit(2);
}

const base = pathToFileURL(path.resolve(siteDir) + path.sep).href;
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS });
let failed = false;
try {
  for (const shot of wanted) {
    const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, ...shot.context });
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));
    await page.goto(base + 'index.html' + shot.open);
    await page.waitForSelector('#run:not([disabled])');
    await shot.act(page);
    const out = path.join(outRoot, shot.file);
    if (shot.printed) await printedPicture(page, shot.printed, out);
    else await page.screenshot({ path: out, fullPage: true, clip: shot.parts ? await areaOf(page, shot.parts) : undefined });
    await context.close();
    const size = statSync(out).size;
    const problems = [...errors, ...(size > MAX_BYTES ? [`${size} bytes, more than ${MAX_BYTES}`] : [])];
    console.log(`${problems.length ? 'FAIL' : 'ok  '} ${shot.file} (${size} bytes)${problems.map((p) => '\n  ' + p).join('')}`);
    failed ||= problems.length > 0;
  }
} finally {
  await browser.close();
}
process.exit(failed ? 1 : 0);
