// What the page's tests and benchmarks share: where the built site and its
// scripts are (HAZARD_WEB_SITE, default build-web/site), the module loaded
// once under Node with the simulator's limits, a ready store over it, the
// native program run in a fresh folder, Debian's chromium and firefox-esr
// with a page that records its errors and requests, and what a page prints.
import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const site = path.resolve(process.env.HAZARD_WEB_SITE || path.join(root, 'build-web', 'site'));
export const native = path.join(root, 'build', 'hazard-sim');
export const examplesDir = path.join(root, 'examples');
export const siteUrl = pathToFileURL(site + path.sep).href;
const require = createRequire(import.meta.url);

// Every module of the site defined, as the page defines them (page.js).
let defined = false;
function defineAll() {
  if (!defined) require(path.join(site, 'page.js'));
  defined = true;
}

// A module of the site, by its path in the site ('logic/teach.js'), as it exports.
export function script(name) {
  defineAll();
  return globalThis.hsRequire(name);
}

// Every file of the site, with its size in bytes.
export function siteFiles(dir = site) {
  return readdirSync(dir).flatMap((f) => {
    const full = path.join(dir, f);
    return statSync(full).isDirectory() ? siteFiles(full) : [[path.relative(site, full), statSync(full).size]];
  });
}

let loaded = null;
// The module under Node: {run (hazardSim.run), limits (hazardSim.limits),
// module (createHazardSim's result: binding/wasi.js)}.
export async function loadSim() {
  if (!loaded) {
    const binding = script('binding/sim.js');
    const Module = await require(path.join(site, 'hazard-sim.js'))();
    loaded = { run: binding.makeRunner(Module), limits: binding.readLimits(Module), module: Module };
  }
  return loaded;
}

// The page's store over the module under Node, ready, keeping nothing
// between visits and running no timers.
export async function readyStore() {
  const sim = await loadSim();
  const { createStore } = script('store/store.js');
  const store = createStore({ sim, area: null, examples: [], timer: { setTimeout: () => 0, clearTimeout: () => {} } });
  store.ready();
  return store;
}

// ---- examples and the native program ----

export const exampleNames = readdirSync(examplesDir).filter((n) => existsSync(path.join(examplesDir, n, 'expected'))).sort();
export const exampleInput = (name, file) => readFileSync(path.join(examplesDir, name, file));
export const expected = (name, file) => readFileSync(path.join(examplesDir, name, 'expected', file));
export const completeExamples = exampleNames.filter((n) => expected(n, 'status').toString().trim() === '0');

// The native program in a fresh folder holding the inputs (null: absent):
// its console text, both result files and its status.
export function runNative(config, program) {
  const dir = mkdtempSync(path.join(tmpdir(), 'hazard-sim-test-'));
  try {
    if (config !== null) writeFileSync(path.join(dir, 'config.txt'), config);
    if (program !== null) writeFileSync(path.join(dir, 'program.txt'), program);
    const p = spawnSync(native, [], { cwd: dir, maxBuffer: 1 << 26 });
    const file = (name) => (existsSync(path.join(dir, name)) ? readFileSync(path.join(dir, name), 'utf8') : '');
    return {
      console: p.stdout.toString('utf8'),
      analysis: file('analiza_hazard.txt'),
      schedule: file('eliminare_hazard.txt'),
      status: p.status,
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// The rows of a table as the native program writes it:
// {in, text, hazards: [{distance, depend, kind}]}.
export function tableRows(text) {
  const rows = [];
  for (const line of text.split('\n').slice(3)) {
    const f = line.split('\t');
    if (line.startsWith('=') || f.length < 6) continue;
    if (f[0] !== '') rows.push({ in: Number(f[0]), text: `${f[1]} ${f[2]},${f[3]}`, hazards: [] });
    if (f.length === 10) rows[rows.length - 1].hazards.push({ distance: Number(f[5]), depend: f[7], kind: f[9] });
  }
  return rows;
}

// The native program's figures read off its tables and console (null
// unless the run is complete): depth, count, entry cycles, bubbles, cycles,
// the performance line and the analysis table's rows.
export function nativeFigures(config, program) {
  const got = runNative(config, program);
  if (got.status !== 0) return { ...got, figures: null };
  const entries = tableRows(got.schedule).map((r) => r.in);
  const depth = Number(/^Adincimea pipe-line: (\d+)$/m.exec(got.console)[1]);
  const n = entries.length;
  const bubbles = n ? entries[n - 1] - (n - 1) : 0;
  return {
    ...got,
    rows: tableRows(got.analysis),
    figures: {
      depth,
      count: Number(/^Numarul de instructiuni din program: (\d+)$/m.exec(got.console)[1]),
      entries,
      bubbles,
      cycles: { written: depth + n - 1, corrected: n + bubbles + depth - 1 },
      performance: /^Performanta structurii pipe-line = ([\d.]+)%$/m.exec(got.console)[1],
    },
  };
}

// ---- the browser ----

export const CHROMIUM_ARGS = [
  '--no-sandbox', '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

export function launch() {
  assert.ok(existsSync(path.join(site, 'index.html')), `${site} has no index.html: build it with scripts/web.sh build`);
  return chromium.launch({ executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS });
}

// A fresh page of browser at base + 'index.html' + hash (base: siteUrl or
// a server's address), once the simulator is ready. It records every error
// logged and every request; done() closes it and fails on an error or a
// request outside the site. options: the browser context's, and `ignore`,
// a pattern of logged errors that are a tool's, not the page's.
export async function openPage(browser, hash = '', options = {}, base = siteUrl) {
  const { ignore, ...contextOptions } = options;
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, ...contextOptions });
  const page = await context.newPage();
  const errors = [];
  const requests = [];
  page.on('pageerror', (e) => errors.push('pageerror: ' + e.message));
  page.on('console', (m) => m.type() === 'error' && !(ignore && ignore.test(m.text())) && errors.push('console: ' + m.text()));
  page.on('request', (r) => requests.push(r.url()));
  const load = async (h) => {
    await page.goto(base + 'index.html' + h);
    await page.waitForSelector('#run:not([disabled])');
  };
  await load(hash);
  return {
    page,
    context,
    // Loads the page afresh at another address after '#'.
    async reopen(h) {
      await page.goto('about:blank');
      await load(h);
    },
    async done() {
      await context.close();
      assert.deepEqual(errors, [], 'nothing logged as an error');
      const inside = (u) => u.startsWith(base) || /^(blob|data):/.test(u) || u === 'about:blank';
      assert.deepEqual(requests.filter((u) => !inside(u)), [], 'no request outside the site folder');
    },
  };
}

// For a file of browser tests: one browser for all its tests, and
// open(hash, options, base), a page as openPage gives it, with the file's
// own context options under each test's.
export function browserTests(defaults = {}) {
  let browser;
  before(async () => {
    browser = await launch();
  });
  after(async () => browser && browser.close());
  return (hash = '', options = {}, base = siteUrl) => openPage(browser, hash, { ...defaults, ...options }, base);
}

// ---- Firefox ----

// Debian's firefox-esr driven by puppeteer-core over WebDriver BiDi: no
// geckodriver, and nothing downloaded (the module is loaded only here).
export async function launchFirefox() {
  assert.ok(existsSync(path.join(site, 'index.html')), `${site} has no index.html: build it with scripts/web.sh build`);
  const { default: puppeteer } = await import('puppeteer-core');
  return puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, protocol: 'webDriverBiDi' });
}

// For a file of Firefox tests: one browser for all its tests, and
// open(hash), a fresh page in a context of its own, 1280 by 800, at the
// site's index.html + hash once the simulator is ready; done() closes it
// and fails on an error logged or a request outside the site.
export function firefoxTests() {
  let browser;
  before(async () => {
    browser = await launchFirefox();
  });
  after(async () => browser && browser.close());
  return async (hash = '') => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    const errors = [];
    const requests = [];
    page.on('pageerror', (e) => errors.push('pageerror: ' + e.message));
    page.on('console', (m) => m.type() === 'error' && errors.push('console: ' + m.text()));
    page.on('request', (r) => requests.push(r.url()));
    await page.setViewport({ width: 1280, height: 800 });
    await page.goto(siteUrl + 'index.html' + hash);
    await page.waitForSelector('#run:not([disabled])');
    return {
      page,
      async done() {
        await context.close();
        assert.deepEqual(errors, [], 'nothing logged as an error');
        const inside = (u) => u.startsWith(siteUrl) || /^(blob|data):/.test(u) || u === 'about:blank';
        assert.deepEqual(requests.filter((u) => !inside(u)), [], 'no request outside the site folder');
      },
    };
  };
}

// ---- printing ----

// CSS pixels in millimetres: 96 px to 25.4 mm.
export const mm = (px) => (px * 25.4) / 96;

// Keeps the page's window.print from starting a print (headless Chromium
// stays in it and then refuses a PDF): each call is kept in window.prints,
// with the body's classes and the class sheet's part laid out at that moment.
export const catchPrints = (page) =>
  page.evaluate(() => {
    window.prints = [];
    window.print = () => {
      const sheet = document.getElementById('sheet');
      window.prints.push({ body: document.body.className, what: sheet ? sheet.dataset.what : null });
    };
  });

// The page printed as a user prints it, on the sizes and margins of its own
// @page rules, to file (options: more of page.pdf's, Playwright's or Puppeteer's).
export const savePdf = (page, file, options = {}) => page.pdf({ path: file, format: 'A4', preferCSSPageSize: true, ...options });

// The text of each printed page, as pdftotext -layout reads it from the PDF.
export async function printedPages(page, options = {}) {
  const dir = mkdtempSync(path.join(tmpdir(), 'hazard-sim-print-'));
  try {
    const file = path.join(dir, 'print.pdf');
    await savePdf(page, file, options);
    const text = spawnSync('pdftotext', ['-layout', file, '-'], { encoding: 'utf8', maxBuffer: 1 << 26 });
    assert.equal(text.status, 0, 'pdftotext reads the PDF: ' + text.stderr);
    return text.stdout.split('\f').slice(0, -1);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// A stream of numbers in [0, 1) from a seed (mulberry32): the same on every run.
export function prng(seed) {
  return function () {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Puts files in the editors, an example by name or {config, program}, runs
// them and waits for the complete run's results.
export async function showRun(page, files) {
  if (typeof files === 'string') await page.selectOption('#example', files);
  else {
    await page.fill('#config', files.config);
    await page.fill('#program', files.program);
  }
  await page.click('#run');
  await completeRunDrawn(page);
}

export const completeRunDrawn = (page) =>
  page.waitForFunction(() => document.getElementById('status').dataset.status === '0' && !document.querySelector('main.stale'));

// A program of `count` instructions over registers R1 .. R`registers`, the same for a seed.
export function randomProgram(seed, depth, count, registers) {
  const next = prng(seed);
  const reg = () => 'R' + (1 + Math.floor(next() * registers));
  const lines = Array.from({ length: count }, () => {
    const op = ['ADD', 'SUB', 'MUL', 'DIV', 'LD'][Math.floor(next() * 5)];
    return op === 'LD' ? `LD ${reg()},${reg()}` : `${op} ${reg()},${reg()},${reg()}`;
  });
  return { config: `${depth}\n${count}\n`, program: lines.join('\n') + '\n' };
}

// Counts the page's runs of the simulator from now on: window.runs.
export const countRuns = (page) =>
  page.evaluate(() => {
    const run = window.uncountedRun || (window.uncountedRun = window.hazardSim.run);
    window.runs = 0;
    window.hazardSim.run = (...args) => (window.runs++, run(...args));
  });

// What every print of a run must hold: each line of its program, the
// printed diagrams' words, and none of the page's controls.
export function assertPrintedWhole(text, program) {
  for (const line of program.trim().split('\n')) assert.ok(text.includes(line), `program line ${line}`);
  for (const mark of ['Programul asa cum este scris:', 'Programul corectat:', 'Fiecare hazard si fiecare bula', 'Bule:'])
    assert.ok(text.includes(mark), mark);
  for (const control of ['Ruleaza', 'Descarca SVG', 'Copiaza link', 'Incarca fisier', 'Pas cu pas'])
    assert.ok(!text.includes(control), `no ${control}`);
}
