// The page in headless Chromium, opened from disk (file://) and served over
// http on 127.0.0.1: examples, diagrams drawn from the run report, runs on
// every change, editors kept over a reload, exact file bytes, share links and
// downloads, with no request outside the site and no error logged.
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { existsSync, mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { site, siteUrl, examplesDir, exampleNames, exampleInput, expected, runNative, loadSim, browserTests } from './lib.mjs';

const expectedText = (name, file) => expected(name, file).toString('utf8');
const { run: runSim } = await loadSim();

const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.svg': 'image/svg+xml' };

function startServer() {
  const server = http.createServer((req, res) => {
    const urlPath = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(site, urlPath === '/' ? 'index.html' : urlPath);
    if (!file.startsWith(site + path.sep) || !existsSync(file) || !statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream' });
    res.end(readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

let server;
const modes = {};
const openPage = browserTests();

before(async () => {
  server = await startServer();
  modes.file = siteUrl;
  modes.http = `http://127.0.0.1:${server.address().port}/`;
});

after(async () => {
  if (server) await new Promise((resolve) => server.close(resolve));
});

// A fresh page that records its requests and every error it logs.
async function open(base, hash = '', options = {}) {
  const p = await openPage(hash, options, base);
  return { page: p.page, context: p.context, reopen: p.reopen, close: p.done };
}

async function pageResult(page) {
  return {
    console: await page.textContent('#console'),
    status: await page.getAttribute('#status', 'data-status'),
  };
}

// Picking an example runs it.
async function runExample(page, name) {
  await page.selectOption('#example', name);
  return pageResult(page);
}

// Waits until the console shows what the native program gives for these files.
async function waitForRun(page, config, program) {
  const want = runNative(config, program);
  await page.waitForFunction(([c, s]) => document.getElementById('console').textContent === c &&
    document.getElementById('status').dataset.status === s, [want.console, String(want.status)]);
  return want;
}

// Loads a file through a file button and waits until the page holds its bytes.
async function loadFile(page, which, buffer) {
  await page.setInputFiles(`#${which}-file`, { name: `${which}.txt`, mimeType: 'text/plain', buffer });
  await page.waitForFunction(
    ([id, size]) => document.getElementById(id).textContent.includes(`(${size} octeti)`),
    [`${which}-note`, buffer.length]
  );
}

async function download(page, selector) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return { name: file.suggestedFilename(), bytes: readFileSync(await file.path()), file };
}

const diagramOf = (page, id) =>
  page.$eval(id, (el) => ({
    cells: [...el.querySelectorAll('[data-stage]')].map((c) => [+c.dataset.instr, +c.dataset.stage, +c.dataset.cycle]),
    bubbles: [...el.querySelectorAll('[data-bubble]')].map((b) => +b.dataset.cycle),
    hazards: [...el.querySelectorAll('[data-hazard]')].map((h) => [+h.dataset.instr, h.dataset.hazard, +h.dataset.distance]),
  }));

// What the two examples' tables say, written out by hand from expected/.
const DIAGRAMS = {
  six: {
    depth: 5,
    entries: [0, 4, 8, 9, 10, 14],
    bubbles: [1, 2, 3, 5, 6, 7, 11, 12, 13],
    hazards: [[1, 'RAW', 1], [2, 'WAR', 1], [3, 'WAW', 2], [3, 'RAW', 3], [5, 'RAW', 1], [5, 'RAW', 2]],
  },
  chain: {
    depth: 3,
    entries: [0, 2, 4, 5, 7, 8, 10, 12],
    bubbles: [1, 3, 6, 9, 11],
    hazards: [[1, 'RAW', 1], [2, 'RAW', 1], [4, 'RAW', 1], [6, 'WAW', 1], [7, 'RAW', 1]],
  },
};

const cellsFor = (entries, depth) =>
  entries.flatMap((first, i) => Array.from({ length: depth }, (_, k) => [i, k + 1, first + k + 1 - 1]));
const sorted = (list) => [...list].sort((a, b) => (String(a) < String(b) ? -1 : String(a) > String(b) ? 1 : 0));

// Inputs the editors cannot hold as they are, loaded through the file buttons.
const SIX_PROGRAM = readFileSync(path.join(examplesDir, 'six', 'program.txt'), 'utf8');
const RAW_INPUTS = [
  ['a CRLF config.txt and a program cut short by a Ctrl-Z byte',
    Buffer.from('5\r\n6\r\n'), Buffer.from('LD R1,R2\r\nADD R3,R1,R4\r\nSUB R4,R5,R6\x1aMUL R3,R3,R1\r\n')],
  ['lone carriage returns and a NUL byte',
    Buffer.from('4\r6\r'), Buffer.from('LD R1,R2\rADD R3,R1,R4\rSUB R4,\x00R5,R6\rMUL R3,R3,R1\r')],
  ['bytes that are not UTF-8 after a mnemonic',
    Buffer.from('3\n3\n'), Buffer.from([...Buffer.from('ADD R1,R2\nSUB'), 0xff, 0xfe, ...Buffer.from(' R2,R1\nLD R4,R1\n')])],
  ['a program of several megabytes', Buffer.from('10\n50\n'), Buffer.from(SIX_PROGRAM.repeat(70000))],
];

// Editor texts, good and faulty: depths and counts around their limits,
// programs of valid and broken lines, odd characters. The same on every run.
function generatedTexts(count) {
  let seed = 20261208;
  const rnd = () => {
    seed = (Math.imul(seed, 1103515245) + 12345) >>> 0;
    return seed / 4294967296;
  };
  const pick = (list) => list[Math.floor(rnd() * list.length)];
  const reg = () => 'R' + (rnd() < 0.95 ? pick([1, 2, 3, 4, 5, 6, 7, 8, 32]) : pick([33, 0, '01']));
  const good = () => `${pick(['ADD', 'SUB', 'MUL', 'DIV', 'LD'])} ${reg()},${reg()}${rnd() < 0.6 ? ',' + reg() : ''}`;
  const bad = () =>
    pick([
      () => `${pick(['add', 'NOP', 'ADD\t', '\u00ceNC', ''])} ${reg()},${reg()}`,
      () => pick(['', ' ', 'LD', 'SUB R1', 'MUL R1,,R2 R3 R4 R5', '\u00e9\u00e8 \u{1F600}']),
    ])();
  const line = () => (rnd() < 0.93 ? good() : bad());
  const out = [];
  for (let k = 0; k < count; k++) {
    const config = rnd() < 0.8
      ? `${pick([3, 4, 5, 7, 10])}\n${pick([2, 6, 12, 50])}\n`
      : `${pick([2, 3, 11, '', 'x', '007'])}\n${pick([1, 2, 51, '', '4 '])}\n`;
    const lines = Array.from({ length: 1 + Math.floor(rnd() * 12) }, line);
    out.push([config, lines.join('\n') + (rnd() < 0.5 ? '\n' : '')]);
  }
  return out;
}

for (const mode of ['file', 'http']) {
  describe(`the page opened from ${mode === 'file' ? 'disk (file://)' : 'a server on 127.0.0.1'}`, () => {
    // What hangs on where the page comes from (loading, storage, addresses,
    // saving) is checked both ways; the rest opened from disk only.
    const anyOrigin = mode === 'file' ? test : () => {};
    test('every example picked and run shows its expected console text and status, and after a complete run the result files download as expected', async () => {
      const p = await open(modes[mode]);
      const options = await p.page.$$eval('#example option', (os) => os.map((o) => o.value));
      assert.deepEqual(options, exampleNames);
      const shown = await p.page.$eval('#console', (el) => [el.tagName, getComputedStyle(el).tabSize, getComputedStyle(el).whiteSpace]);
      assert.deepEqual(shown, ['PRE', '8', 'pre'], 'tables line up as in a terminal');
      for (const name of exampleNames) {
        const got = await runExample(p.page, name);
        assert.equal(await p.page.inputValue('#config'), readFileSync(path.join(examplesDir, name, 'config.txt'), 'utf8'));
        assert.equal(await p.page.inputValue('#program'), readFileSync(path.join(examplesDir, name, 'program.txt'), 'utf8'));
        assert.equal(got.console, expectedText(name, 'console.txt'), name);
        assert.equal(got.status, expectedText(name, 'status').trim(), name);
        if (got.status !== '0') continue; // no result files to offer: see the status test
        for (const [link, file] of [['#download-analysis', 'analiza_hazard.txt'], ['#download-schedule', 'eliminare_hazard.txt']]) {
          const d = await download(p.page, link);
          assert.equal(d.name, file);
          assert.ok(d.bytes.equals(expected(name, file)), `${name}: ${file}`);
        }
      }
      await p.close();
    });

    anyOrigin('the status shows its number with its cause, and result files only after a complete run', async () => {
      const p = await open(modes[mode]);
      const links = () => p.page.$$eval('#downloads a', (as) => as.filter((a) => a.checkVisibility()).map((a) => a.textContent));
      const cases = [
        ['six', 'Stare 0: rulare completa', ['analiza_hazard.txt', 'eliminare_hazard.txt']],
        ['syntax-errors', 'Stare 2: programul are erori de sintaxa: vedeti liniile marcate', []],
      ];
      for (const [name, text, files] of cases) {
        await runExample(p.page, name);
        assert.equal(await p.page.textContent('#status'), text);
        assert.deepEqual(await links(), files, name);
      }
      await p.page.fill('#config', '11\n1\n');
      await p.page.click('#run');
      assert.equal(await p.page.textContent('#status'),
        'Stare 4: o valoare din config.txt este in afara limitelor: adincimea este 11, nu intre 3 si 10; numarul de instructiuni este 1, nu intre 2 si 50');
      assert.deepEqual(await links(), []);
      await runExample(p.page, 'six');
      assert.deepEqual(await links(), cases[0][2], 'back after a complete run');
      await p.close();
    });

    for (const [name, want] of Object.entries(DIAGRAMS)) {
      anyOrigin(`the diagrams of ${name} place every stage, bubble and hazard its tables give`, async () => {
        const p = await open(modes[mode]);
        await runExample(p.page, name);
        const written = await diagramOf(p.page, '#analysis-diagram');
        const corrected = await diagramOf(p.page, '#schedule-diagram');
        const n = want.entries.length;
        assert.deepEqual(written.cells, cellsFor(Array.from({ length: n }, (_, i) => i), want.depth));
        assert.deepEqual(sorted(written.hazards), sorted(want.hazards));
        assert.deepEqual(written.bubbles, []);
        assert.deepEqual(corrected.cells, cellsFor(want.entries, want.depth));
        assert.deepEqual(corrected.bubbles, want.bubbles);
        assert.deepEqual(corrected.hazards, []);
        await p.close();
      });
    }

    anyOrigin('a run that does not complete shows its messages and no diagram, and the next complete run draws them again', async () => {
      const p = await open(modes[mode]);
      await runExample(p.page, 'syntax-errors');
      assert.equal(await p.page.$$eval('#diagrams [data-stage], #diagrams [data-hazard], #diagrams [data-bubble]', (e) => e.length), 0);
      assert.equal(await p.page.isVisible('#analysis-diagram'), false);
      assert.equal(await p.page.isVisible('#schedule-diagram'), false);
      await runExample(p.page, 'six');
      assert.equal(await p.page.$$eval('#analysis-diagram [data-stage]', (e) => e.length), 30);
      await p.close();
    });

    anyOrigin('Ctrl+Enter runs what the editors hold', async () => {
      const p = await open(modes[mode]);
      await p.page.fill('#config', '3\n2\n');
      await p.page.fill('#program', 'ADD R1,R2,R3\nSUB R4,R1\n');
      await p.page.press('#program', 'Control+Enter');
      const got = await pageResult(p.page);
      const want = runNative('3\n2\n', 'ADD R1,R2,R3\nSUB R4,R1\n');
      assert.equal(got.console, want.console);
      assert.equal(got.status, String(want.status));
      await p.close();
    });

    anyOrigin('an edit runs by itself, without Run, and the results of the files before are marked until then', async () => {
      const p = await open(modes[mode]);
      // Marked in the task of the edit itself, before the store's pause after it can end.
      const marked = await p.page.evaluate(() => {
        const config = document.getElementById('config');
        config.value = '3\n2\n';
        config.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertText' }));
        return [document.querySelector('main').classList.contains('stale'), document.getElementById('status').getAttribute('data-status')];
      });
      assert.deepEqual(marked, [true, null], 'marked at once, no status of the files before');
      await waitForRun(p.page, '3\n2\n', SIX_PROGRAM);
      await p.page.focus('#program');
      await p.page.keyboard.press('Control+Home');
      await p.page.keyboard.type('x');
      await waitForRun(p.page, '3\n2\n', 'x' + SIX_PROGRAM);
      assert.equal(await p.page.$eval('main', (m) => m.classList.contains('stale')), false);
      assert.equal(await p.page.$$eval('#diagrams [data-stage]', (e) => e.length), 0, 'no diagram of the earlier files');
      await p.close();
    });

    test('a reload brings back both editors, a loaded file byte for byte, and their run', async () => {
      const p = await open(modes[mode]);
      await p.page.fill('#config', '7\n4\n');
      await p.page.fill('#program', 'ADD R1,R2\nSUB R3,R1\n');
      await p.page.reload();
      await p.page.waitForSelector('#status[data-status]');
      assert.equal(await p.page.inputValue('#config'), '7\n4\n');
      assert.equal(await p.page.inputValue('#program'), 'ADD R1,R2\nSUB R3,R1\n');
      await waitForRun(p.page, '7\n4\n', 'ADD R1,R2\nSUB R3,R1\n');
      const crlf = Buffer.from('LD R1,R2\r\nADD R3,R1,R4\r\n\x1aSUB R4,R5,R6\r\n');
      await loadFile(p.page, 'program', crlf);
      await p.page.reload();
      await p.page.waitForSelector('#status[data-status]');
      await waitForRun(p.page, '7\n4\n', crlf);
      await p.close();
    });

    test('with local storage full or turned off the page still runs every edit', async () => {
      const p = await open(modes[mode], '', {});
      await p.context.addInitScript(() => {
        Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
        Storage.prototype.getItem = () => { throw new DOMException('off', 'SecurityError'); };
      });
      await p.page.reload();
      await p.page.waitForSelector('#status[data-status="0"]');
      await p.page.fill('#config', '4\n6\n');
      await waitForRun(p.page, '4\n6\n', SIX_PROGRAM);
      await p.close();
    });

    anyOrigin('the editors number their lines, mark what the simulator reads as 0, finds faulty or does not read, and show each fault where it is', async () => {
      const p = await open(modes[mode]);
      const marked = (name) => p.page.$$eval(`#${name}-lines span`, (ss) => ss.map((s) => s.className + ' ' + s.textContent));
      const notes = (name) => p.page.$$eval(`#${name}-help li`, (ls) => ls.map((l) => [l.className, l.textContent]));
      const cases = [
        ['5 \n4\n', 'LD R1,R2\n', [['line-zero 0 1'], []], 'config', ['line-zero',
          '0 linia 1 (adincimea), coloana 2: un spatiu se citeste ca parte a valorii, deci linia se citeste 0; stergeti-l.5\u2423']],
        ['\ufeff5\n4\n', 'LD R1,R2\n', [['line-zero 0 1'], []], 'config', ['line-zero',
          '0 linia 1 (adincimea), coloana 1: fisierul incepe cu un marcaj invizibil de ordine a octetilor (BOM), deci linia se citeste 0; salvati fisierul fara el.BOM5']],
        ['5\n4\n', 'LD R1,R2\nadd R3,R1\nSUB R4,R33,R6\nMUL R3,R3,R1\nDIV R7\nLD R1\n',
          [[], ['line-error ! 2', 'line-error ! 3', 'line-unread - 5', 'line-unread - 6']], 'program', ['line-error',
            '! linia 2, coloana 1: scrieti mnemonicele cu majuscule: ADD.add R3,R1']],
      ];
      for (const [config, program, [cm, pm], file, note] of cases) {
        await p.page.fill('#config', config);
        await p.page.fill('#program', program);
        await waitForRun(p.page, config, program);
        assert.deepEqual([await marked('config'), await marked('program')], [cm, pm], JSON.stringify(config + program));
        assert.deepEqual((await notes(file))[0], note);
      }
      assert.equal(await p.page.textContent('#program-lines'), '1\n! 2\n! 3\n4\n- 5\n- 6\n7\n');
      assert.deepEqual(await p.page.$$eval('#program-help mark', (ms) => ms.map((m) => m.textContent)), ['a', '33']);
      assert.equal((await notes('program'))[2][1], '- liniile 5..6 nu se citesc: sint dincolo de numarul de instructiuni (4).');
      await p.close();
    });

    anyOrigin('the diagrams of every example show what its report gives', async () => {
      const p = await open(modes[mode]);
      for (const name of exampleNames) {
        await runExample(p.page, name);
        const { report } = runSim(exampleInput(name, 'config.txt'), exampleInput(name, 'program.txt'));
        const written = await diagramOf(p.page, '#analysis-diagram');
        const corrected = await diagramOf(p.page, '#schedule-diagram');
        if (!report) {
          assert.deepEqual([written, corrected].map((d) => d.cells.length), [0, 0], name);
          assert.equal(await p.page.isVisible('#diagram-note'), true, name);
          continue;
        }
        const ins = report.instructions;
        assert.equal(await p.page.isVisible('#diagram-note'), false, name);
        assert.deepEqual(written.cells, cellsFor(ins.map((i) => i.index), report.depth), name);
        assert.deepEqual(written.hazards, ins.flatMap((i) => i.hazards.map((h) => [i.index, h.shown.kind, h.distance])), name);
        assert.deepEqual(corrected.cells, cellsFor(ins.map((i) => i.entry), report.depth), name);
        const waits = await p.page.$$eval('#schedule-diagram [data-bubble]', (bs) => bs.map((b) => [+b.dataset.waits, +b.dataset.cycle]));
        assert.deepEqual(waits, ins.flatMap((i) => Array.from({ length: i.delay }, (_, k) => [i.index, i.entry - i.delay + k])), name + ': each bubble in the row of the instruction that waits');
        assert.equal(waits.length, report.bubbles, name);
      }
      await p.close();
    });

    anyOrigin('no hazard mark or note covers the centre of any stage label', async () => {
      const p = await open(modes[mode], '', { viewport: { width: 1600, height: 900 } });
      for (const name of ['six', 'chain', 'deep']) {
        await runExample(p.page, name);
        const covered = await p.page.evaluate(() => {
          const out = [];
          for (const label of document.querySelectorAll('#diagrams [data-stage] text')) {
            label.scrollIntoView({ block: 'center', inline: 'center' });
            const r = label.getBoundingClientRect();
            const x = r.left + r.width / 2;
            const y = r.top + r.height / 2;
            const hits = document.elementsFromPoint(x, y);
            if (!hits.includes(label) || hits.some((el) => el.closest('[data-hazard], .hazard-note, .bubble, .hzd-side')))
              out.push(label.parentNode.dataset.instr + '/' + label.parentNode.dataset.stage);
          }
          return out;
        });
        assert.deepEqual(covered, [], name);
      }
      await p.close();
    });

    anyOrigin('hovering or focusing a hazard picks out both instructions in both diagrams, and a bubble its waiting instruction', async () => {
      const p = await open(modes[mode]);
      await runExample(p.page, 'six');
      const picked = () => p.page.$$eval('#diagrams .picked', (els) => els.map((e) =>
        `${e.closest('#analysis-diagram') ? 'w' : 'c'} ${e.getAttribute('class').replace(' picked', '')} ${e.dataset.instr}` +
        (e.dataset.distance ? ' d' + e.dataset.distance : '') + (e.dataset.waits ? ' b' + e.dataset.cycle : '')).sort());
      const rows = (d, i) => [`${d} row-label ${i}`, ...Array.from({ length: 5 }, () => `${d} cell ${i}`)];
      const hazard = [...rows('w', 1), ...rows('w', 3), ...rows('c', 1), ...rows('c', 3),
        'w hazard WAW 3 d2', 'w hazard-note WAW 3 d2'].sort();
      const tie = '#analysis-diagram [data-hazard][data-instr="3"][data-distance="2"]';
      await p.page.hover(tie);
      assert.deepEqual(await picked(), hazard, 'hovered');
      await p.page.mouse.move(1, 1);
      assert.deepEqual(await picked(), [], 'left');
      assert.match(await p.page.getAttribute(tie, 'aria-label'), /^WAW pe R3, distanta 2: 3: MUL R3,R3,R1 fata de 1: ADD R3,R1,R4; tot aici RAW pe R3$/);
      await p.page.focus(tie);
      assert.deepEqual(await picked(), hazard, 'focused');
      await p.page.keyboard.press('Tab');
      assert.deepEqual((await picked()).filter((e) => e.includes(' 3 d2')), [], 'the next mark, not this one');
      await p.page.hover('#schedule-diagram .delay[data-instr="2"]');
      assert.deepEqual(await picked(), [...rows('w', 2), ...rows('c', 2), 'w hazard WAR 2 d1', 'w hazard-note WAR 2 d1',
        'c bubble 2 b5', 'c bubble 2 b6', 'c bubble 2 b7', 'c delay-note 2'].map((e) => e.replace('bubble 2', 'bubble undefined')).sort());
      await p.close();
    });

    anyOrigin('the row labels stay in view while a wide diagram scrolls sideways', async () => {
      const p = await open(modes[mode], '', { viewport: { width: 700, height: 800 } });
      await runExample(p.page, 'deep');
      const at = await p.page.$eval('#analysis-diagram .diagram', (box) => {
        box.scrollLeft = box.scrollWidth;
        const side = box.querySelector('.hzd-side').getBoundingClientRect();
        const main = box.querySelector('.hzd-main').getBoundingClientRect();
        return { scrolled: box.scrollLeft, boxLeft: box.getBoundingClientRect().left, side: side.left, mainLeft: main.left };
      });
      assert.ok(at.scrolled > 0, 'it scrolls');
      assert.ok(Math.abs(at.side - at.boxLeft - 1) <= 1, 'labels at the box\'s left edge');
      assert.ok(at.mainLeft < at.side, 'the cycles have moved under them');
      await p.close();
    });

    for (const [what, config, program] of RAW_INPUTS) {
      anyOrigin(`files loaded from disk reach the simulator byte for byte: ${what}`, async () => {
        const p = await open(modes[mode]);
        await loadFile(p.page, 'config', config);
        await loadFile(p.page, 'program', program);
        assert.equal(await p.page.$eval('#example', (s) => s.selectedIndex), -1);
        await p.page.click('#run');
        const want = runNative(config, program);
        const got = await pageResult(p.page);
        assert.equal(got.console, want.console);
        assert.equal(got.status, String(want.status));
        await p.close();
      });
    }

    anyOrigin('whatever text the editors hold, the page shows what the native program gives', async () => {
      const p = await open(modes[mode]);
      // Each text put in as an edit puts it and run, in one round trip: typing is another test's.
      for (const [config, program] of generatedTexts(40)) {
        const got = await p.page.evaluate((texts) => {
          for (const [id, text] of Object.entries(texts)) {
            const editor = document.getElementById(id);
            editor.value = text;
            editor.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertText' }));
          }
          document.getElementById('run').click();
          return {
            console: document.getElementById('console').textContent,
            status: document.getElementById('status').getAttribute('data-status'),
            drawn: document.querySelectorAll('#analysis-diagram [data-stage]').length > 0,
          };
        }, { config, program });
        const want = runNative(config, program);
        assert.deepEqual(got, { console: want.console, status: String(want.status), drawn: want.status === 0 }, JSON.stringify([config, program]));
      }
      await p.close();
    });

    anyOrigin('an editor edited after its file was loaded runs its text again', async () => {
      const p = await open(modes[mode]);
      await loadFile(p.page, 'config', Buffer.from('5\r\n6\r\n'));
      assert.match(await p.page.textContent('#config-note'), /continutul exact incarcat \(6 octeti\)/);
      await p.page.fill('#config', '7\n6\n');
      assert.equal(await p.page.textContent('#config-note'), '');
      await p.page.click('#run');
      const got = await pageResult(p.page);
      const want = runNative('7\n6\n', SIX_PROGRAM);
      assert.equal(got.console, want.console);
      await p.close();
    });

    const SHARES = [
      ['loaded files with CRLF line ends and a Ctrl-Z byte',
        Buffer.from('5\r\n6\r\n'), Buffer.from('LD R1,R2\r\nADD R3,R1,R4\r\n\x1aSUB R4,R5,R6\r\n')],
      ['an edited config.txt and a loaded program holding every byte value',
        '3\n4\n', Buffer.concat([Buffer.from('LD R1,R2\nADD R3,R1\n'), Buffer.from(Array.from({ length: 256 }, (_, b) => b))])],
    ];
    for (const [what, config, program] of SHARES) {
      test(`a share link opens in a new page with the same files and run: ${what}`, async () => {
        const p = await open(modes[mode]);
        if (mode === 'http') await p.context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: modes.http });
        if (typeof config === 'string') await p.page.fill('#config', config);
        else await loadFile(p.page, 'config', config);
        await loadFile(p.page, 'program', program);
        await p.page.click('#run');
        const first = await pageResult(p.page);
        const want = runNative(config, program);
        assert.deepEqual(first, { console: want.console, status: String(want.status) });
        await p.page.click('#share');
        await p.page.waitForSelector('#share-link:visible');
        const link = await p.page.inputValue('#share-link');
        assert.equal(link, p.page.url());
        assert.ok(link.startsWith(modes[mode] + 'index.html#c='), link);
        const fields = new URLSearchParams(link.slice(link.indexOf('#') + 1));
        assert.ok(Buffer.from(fields.get('c'), 'base64url').equals(Buffer.from(config)), 'config.txt exactly');
        assert.ok(Buffer.from(fields.get('p'), 'base64url').equals(program), 'program.txt exactly');
        if (mode === 'http') {
          await p.page.waitForFunction(() => document.getElementById('share-note').textContent === 'Link copiat');
          assert.equal(await p.page.evaluate(() => navigator.clipboard.readText()), link);
        }
        await p.close();

        const q = await open(modes[mode], link.slice(link.indexOf('#')));
        await q.page.waitForSelector('#status[data-status]');
        assert.deepEqual(await pageResult(q.page), first);
        assert.equal(await q.page.isVisible('#notice'), false);
        // Shared again, the files give the same link: every byte came through.
        await q.page.click('#share');
        await q.page.waitForSelector('#share-link:visible');
        assert.equal(await q.page.inputValue('#share-link'), link);
        await q.close();
      });
    }

    test('files too large for an address give a notice instead of a share link', async () => {
      const p = await open(modes[mode]);
      await loadFile(p.page, 'program', Buffer.from(SIX_PROGRAM.repeat(20000)));
      await p.page.click('#share');
      assert.equal(await p.page.textContent('#notice'), 'Fisierele sint prea mari pentru un link (peste 2 MB); linkul nu a fost creat.');
      assert.equal(await p.page.isVisible('#share-link'), false);
      assert.equal(new URL(p.page.url()).hash, '');
      await p.close();
    });

    test('a malformed share link leaves the editors as they were and says so, opened or followed', async () => {
      const hashes = ['#c=@@&p=AA', '#c=QUJD', '#c=QUJD&p=A', '#x=1&c=QQ&p=QQ', '#c=QQ&c=QQ&p=QQ', '#p=%zz'];
      const p = await open(modes[mode]);
      await p.page.fill('#config', '4\n3\n');
      await p.page.fill('#program', 'ADD R1,R2\nSUB R3,R1\nLD R4,R3\n');
      const want = await waitForRun(p.page, '4\n3\n', 'ADD R1,R2\nSUB R3,R1\nLD R4,R3\n');
      // An exercise link says its own fault; it never touches the editors.
      const notice = (hash) => (hash.startsWith('#x=') ? 'Linkul exercitiului nu este valid.' : 'Linkul de partajare nu este valid; editoarele au ramas cum erau.');
      for (const hash of hashes) {
        for (const how of ['opened', 'followed']) {
          if (how === 'opened') await p.reopen(hash);
          else {
            await p.page.evaluate(() => { location.hash = ''; });
            await p.page.evaluate((h) => { location.hash = h; }, hash);
            await p.page.waitForSelector('#notice:visible');
          }
          assert.equal(await p.page.textContent('#notice'), notice(hash), hash + ' ' + how);
          assert.equal(await p.page.inputValue('#config'), '4\n3\n', hash + ' ' + how);
          assert.equal(await p.page.inputValue('#program'), 'ADD R1,R2\nSUB R3,R1\nLD R4,R3\n', hash + ' ' + how);
          assert.equal(await p.page.textContent('#console'), want.console, hash + ' ' + how);
        }
      }
      await p.close();
    });

    test('an address whose # part is no share link opens the first example without a notice', async () => {
      // One page, its storage emptied before each address, as a first visit.
      const p = await open(modes[mode], '#top');
      for (const hash of ['#top', '#%zz', '#c', '#', '#diagrams']) {
        if (hash !== '#top') {
          await p.page.evaluate(() => localStorage.clear());
          await p.reopen(hash);
        }
        await p.page.waitForSelector('#status[data-status]');
        assert.equal(await p.page.isVisible('#notice'), false, hash);
        assert.equal(await p.page.inputValue('#example'), 'six', hash);
        assert.equal(await p.page.textContent('#console'), expectedText('six', 'console.txt'), hash);
      }
      await p.close();
    });

    test('going back and forward between share links shows each link\'s files and run', async () => {
      const links = [['3\n2\n', 'ADD R1,R2\nSUB R3,R1\n'], ['5\n3\n', 'LD R1,R2\nMUL R2,R1\nDIV R4,R2,R1\n']]
        .map(([c, prog]) => [c, prog, `#c=${Buffer.from(c).toString('base64url')}&p=${Buffer.from(prog).toString('base64url')}`]);
      const p = await open(modes[mode], links[0][2]);
      await p.page.evaluate((h) => { location.hash = h; }, links[1][2]);
      for (const [k, step] of [[1, null], [0, 'goBack'], [1, 'goForward'], [0, 'goBack']]) {
        if (step) await p.page[step]();
        const [config, program] = links[k];
        await waitForRun(p.page, config, program);
        assert.equal(await p.page.inputValue('#config'), config, `link ${k} after ${step}`);
        assert.equal(await p.page.inputValue('#program'), program, `link ${k} after ${step}`);
      }
      await p.close();
    });

    test('each diagram downloads as an SVG file that stands on its own', async () => {
      const p = await open(modes[mode]);
      await runExample(p.page, 'six');
      const dir = mkdtempSync(path.join(os.tmpdir(), 'hazard-sim-svg-'));
      try {
        const cases = [
          ['#download-analysis-svg', 'diagrama_analiza.svg', '[data-hazard]', 6],
          ['#download-schedule-svg', 'diagrama_corectie.svg', '[data-bubble]', 9],
        ];
        for (const [button, name, marks, count] of cases) {
          const d = await download(p.page, button);
          assert.equal(d.name, name);
          const text = d.bytes.toString('utf8');
          assert.match(text, /^<\?xml version="1.0" encoding="UTF-8"\?>\n<svg xmlns="http:\/\/www.w3.org\/2000\/svg"/);
          assert.match(text, /<style>/);
          const saved = path.join(dir, name);
          await d.file.saveAs(saved);
          const view = await p.context.newPage();
          const errors = [];
          view.on('pageerror', (e) => errors.push(e.message));
          view.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
          await view.goto(pathToFileURL(saved).href);
          assert.equal(await view.evaluate(() => document.documentElement.namespaceURI), 'http://www.w3.org/2000/svg');
          assert.equal(await view.$$eval(marks, (e) => e.length), count);
          assert.equal(await view.$$eval('[data-stage]', (e) => e.length), 30);
          assert.deepEqual(errors, []);
          await view.close();
        }
      } finally {
        rmSync(dir, { recursive: true, force: true });
      }
      await p.close();
    });

    anyOrigin('on a narrow screen a wide diagram scrolls sideways inside its box, not the page', async () => {
      const p = await open(modes[mode], '', { viewport: { width: 400, height: 800 } });
      await runExample(p.page, 'deep');
      // Off the screen a diagram is not laid out: looked at, it is.
      await p.page.$eval('#schedule-diagram', (b) => b.scrollIntoView());
      await p.page.waitForFunction(() => document.querySelector('#schedule-diagram .diagram').scrollWidth > 400);
      const box = await p.page.$eval('#schedule-diagram .diagram', (el) => ({ scroll: el.scrollWidth, client: el.clientWidth, overflow: getComputedStyle(el).overflowX }));
      assert.ok(box.scroll > box.client, 'the diagram is wider than its box');
      assert.equal(box.overflow, 'auto');
      assert.ok(await p.page.evaluate(() => {
        const diagrams = document.getElementById('diagrams');
        return diagrams.scrollWidth <= diagrams.clientWidth && diagrams.getBoundingClientRect().right <= window.innerWidth;
      }), 'the diagrams do not widen the page');
      await p.close();
    });

    anyOrigin('the page and its diagrams follow the light and dark colour schemes', async () => {
      const colours = {};
      for (const colorScheme of ['light', 'dark']) {
        const p = await open(modes[mode], '', { colorScheme });
        await p.page.waitForSelector('#analysis-diagram [data-stage]');
        colours[colorScheme] = await p.page.evaluate(() => ({
          page: getComputedStyle(document.body).backgroundColor,
          diagram: getComputedStyle(document.querySelector('#analysis-diagram .bg')).fill,
          cell: getComputedStyle(document.querySelector('#analysis-diagram [data-stage] rect')).fill,
        }));
        await p.close();
      }
      for (const part of ['page', 'diagram', 'cell']) assert.notEqual(colours.light[part], colours.dark[part], part);
    });
  });
}
