// The page in Debian's Firefox (firefox-esr over WebDriver BiDi), opened
// from disk: every example's console and result files byte for byte the
// native program's, a typed edit and a reload, and the diagrams on paper.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { exampleNames, exampleInput, runNative, tableRows, loadSim, script, firefoxTests, printedPages, assertPrintedWhole } from './lib.mjs';

const open = firefoxTests();
const { run } = await loadSim();
const svg = script('logic/diagram-svg.js');
const DRAW = { analysis: script('logic/diagram-written.js').draw, schedule: script('logic/diagram-corrected.js').draw };

// What the page shows and saves once its run of these editors' files is drawn.
async function shown(page, program) {
  await page.waitForFunction((p) => document.getElementById('program').value === p &&
    !document.querySelector('main.stale') && document.getElementById('status').dataset.status !== undefined, {}, program);
  const seen = await page.evaluate(() => ({
    console: document.getElementById('console').textContent,
    status: Number(document.getElementById('status').dataset.status),
    hazards: [...document.querySelectorAll('#analysis-diagram [data-hazard]')].map((h) => [+h.dataset.instr, h.dataset.hazard, +h.dataset.distance]),
  }));
  if (seen.status !== 0) return seen;
  // The result files' links, read as saving them reads them: base64 of their bytes, by file name.
  const saved = await page.$$eval('#download-analysis, #download-schedule', (links) => Promise.all(links.map(async (a) => {
    let text = '';
    for (const byte of new Uint8Array(await (await fetch(a.href)).arrayBuffer())) text += String.fromCharCode(byte);
    return [a.getAttribute('download'), btoa(text)];
  })));
  const text = (name) => Buffer.from(Object.fromEntries(saved)[name], 'base64').toString('utf8');
  return { ...seen, analysis: text('analiza_hazard.txt'), schedule: text('eliminare_hazard.txt') };
}

// The native run of these files as shown() gives it.
function wanted(config, program) {
  const want = runNative(config, program);
  const seen = { console: want.console, status: want.status };
  seen.hazards = want.status === 0 ? tableRows(want.analysis).flatMap((r) => r.hazards.map((h) => [r.in, h.kind, h.distance])) : [];
  return want.status === 0 ? { ...seen, analysis: want.analysis, schedule: want.schedule } : seen;
}

test('in Firefox every example shows the native console and status and saves its result files byte for byte', async () => {
  const { page, done } = await open();
  for (const name of exampleNames) {
    await page.select('#example', name);
    const [config, program] = ['config.txt', 'program.txt'].map((f) => exampleInput(name, f).toString('utf8'));
    const got = await shown(page, program);
    const want = wanted(config, program);
    assert.deepEqual(got, want, name);
  }
  await done();
});

test('in Firefox an edit typed into the program runs by itself, and a reload brings back both editors and their run', async () => {
  const { page, done } = await open();
  await page.select('#example', 'six');
  const config = exampleInput('six', 'config.txt').toString('utf8');
  const six = exampleInput('six', 'program.txt').toString('utf8');
  await shown(page, six);
  // The first line's last register, R2, made R9 by keys.
  await page.focus('#program');
  await page.keyboard.down('Control');
  await page.keyboard.press('Home');
  await page.keyboard.up('Control');
  await page.keyboard.press('End');
  await page.keyboard.press('Backspace');
  await page.keyboard.type('9');
  const edited = 'LD R1,R9' + six.slice(six.indexOf('\n'));
  assert.notEqual(edited, six);
  const want = wanted(config, edited);
  assert.deepEqual(await shown(page, edited), want, 'the edited files run');
  await page.reload();
  await page.waitForSelector('#status[data-status]');
  assert.equal(await page.$eval('#config', (e) => e.value), config);
  assert.deepEqual(await shown(page, edited), want, 'after a reload');
  await done();
});

// Every row of the console's tables as 'IN OPCODE', in order.
const rowsOf = (text) => text.split('\n').map((l) => l.trim().split(/\s+/))
  .filter((f) => /^\d+$/.test(f[0]) && /^[A-Z]{2,3}$/.test(f[1])).map((f) => f[0] + ' ' + f[1]);

test('printed from Firefox on A4, examples/deep gives both tables whole, both diagrams in tiles drawn for paper, each beside its head, and no controls', async () => {
  const { page, done } = await open();
  await page.select('#example', 'deep');
  const [config, program] = ['config.txt', 'program.txt'].map((f) => exampleInput('deep', f).toString('utf8'));
  await shown(page, program);
  const consoleText = await page.$eval('#console', (e) => e.textContent);
  const want = rowsOf(consoleText);
  assert.equal(want.length, 100);
  // The tiles are those for a mouse, whatever pointer the screen has (headless Firefox has none).
  const report = run(config, program).report;
  for (const [name, draw] of Object.entries(DRAW)) {
    const tiles = [...svg.printTiles(draw(report, false)).matchAll(/class="hzd print-tile" width="([\d.]+)" height="([\d.]+)"/g)].map((m) => [m[1], m[2]]);
    const got = await page.$$eval(`#${name}-block .print-tile`, (l) => l.map((t) => [t.getAttribute('width'), t.getAttribute('height')]));
    assert.deepEqual(got, tiles, name);
  }
  for (const landscape of [false, true]) {
    // Firefox writes 'fi' as its ligature: read as plain letters.
    const pages = (await printedPages(page, { preferCSSPageSize: false, landscape })).map((p) => p.normalize('NFKC'));
    const text = pages.join('\n');
    assert.deepEqual(rowsOf(text), want, 'every IN/OPCODE row of both tables');
    assertPrintedWhole(text, program);
    // A diagram's head is printed on the page of its first tile.
    for (const head of ['Asa cum este scris', 'Corectat']) {
      const at = pages.find((p) => p.split('\n').some((l) => l.trim() === head));
      assert.match(at || '', /ciclu/, `${head}: its first tile on its page`);
    }
    if (landscape) continue;
    // Each row's label begins a line on every tile that holds its row: two tiles or more in each diagram.
    const lines = text.split('\n').map((l) => l.trim());
    const labels = program.trim().split('\n').map((t, i) => `${i}: ${t.trim()}`);
    assert.deepEqual(labels.filter((label) => lines.filter((l) => l.startsWith(label)).length < 4), [], 'each row label on four tiles or more');
  }
  await done();
});
