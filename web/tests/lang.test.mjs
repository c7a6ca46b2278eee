// The page's two languages: the word files agree, the console's meanings
// follow what the simulator printed, and in headless Chromium, in every
// state of the page, no word of the other language shows outside the
// simulator's own text and the quotes marked lang="ro"; the choice is kept,
// carried by links and switched without running the simulator again.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, exampleInput, browserTests, catchPrints, completeRunDrawn } from './lib.mjs';

const words = script('words/words.js');
const share = script('logic/share.js');
const tables = { ro: script('words/ro.js'), en: script('words/en.js') };
const sim = await loadSim();
const runSim = sim.run;

// The words of a table's texts: the nouns of {n:one|many} included, the
// names put in left out.
function wordsOf(table) {
  const out = new Set();
  for (const text of Object.values(table)) {
    const plain = text.replace(/\{\w+:([^|}]*)\|([^}]*)\}/g, ' $1 $2 ').replace(/\{\w+\}/g, ' ');
    for (const w of plain.toLowerCase().split(/[^a-z]+/)) if (w.length > 1) out.add(w);
  }
  return out;
}
const ro = wordsOf(tables.ro);
const en = wordsOf(tables.en);
const only = { ro: [...ro].filter((w) => !en.has(w)), en: [...en].filter((w) => !ro.has(w)) };

const placeholders = (text) => [...text.matchAll(/\{(\w+)/g)].map((m) => m[1]).sort();

test('English has every word of Romanian, with the same values put in', () => {
  for (const [key, text] of Object.entries(tables.ro)) {
    assert.ok(key in tables.en, key);
    assert.deepEqual(placeholders(tables.en[key]), placeholders(text), key);
  }
  const extra = Object.keys(tables.en).filter((k) => !(k in tables.ro));
  assert.ok(extra.every((k) => /^m_|^meanings$/.test(k)), 'only the console\'s meanings beyond Romanian: ' + extra);
  assert.ok(only.ro.length > 150 && only.en.length > 150, 'both lists are long enough to catch a stray word');
});

test('words are put in by name, a noun follows its number, and an unknown language keeps the one in use', () => {
  const cases = [
    ['ro', 'tagDelay', { n: 1 }, 'Intirziere: 1 bula'],
    ['ro', 'tagDelay', { n: 3 }, 'Intirziere: 3 bule'],
    ['en', 'tagDelay', { n: 1 }, 'Delay: 1 bubble'],
    ['en', 'tagDelay', { n: 0 }, 'Delay: 0 bubbles'],
    ['en', 'status', { s: 4, m: 'x' }, 'Status 4: x'],
    ['xx', 'status', { s: 0 }, 'Status 0: {m}'],
    ['ro', 'status', { s: 0 }, 'Stare 0: {m}'],
  ];
  for (const [lang, key, params, want] of cases) {
    words.use(lang);
    assert.equal(words.t(key, params), want, lang + ' ' + key);
  }
  assert.equal(words.lang, 'ro');
  assert.deepEqual(['#c=QQ&lang=en', '#lang=ro&c=QQ', '#c=QQ&lang=xx', '#c=QQ&xlang=en', ''].map(share.linkLang), ['en', 'ro', 'xx', null, null]);
  assert.deepEqual(['en', 'ro', 'xx', null].map(words.known), [true, true, false, false]);
  assert.equal(share.withoutLang('#x=1&lang=en&a=h'), 'x=1&a=h');
});

test('the explanations read the same in English, from the same run', () => {
  const model = script('logic/schedule.js');
  const explain = script('logic/explain.js');
  const stepper = script('logic/steps.js');
  const [config, program] = [exampleInput('six', 'config.txt'), exampleInput('six', 'program.txt')];
  const run = model.runRecord(config, program, runSim(config, program));
  words.use('en');
  try {
    const texts = explain.items(run.report).map((it) => it.text);
    assert.equal(texts[1], '1: ADD R3,R1,R4 waits for 0: LD R1,R2, its nearest conflict (distance 1: RAW on R1). ' +
      '0 entered in cycle 0; an instruction in conflict with it may enter in cycle 0 + 5 - 1 = 4 at the earliest. ' +
      '1 would otherwise enter in cycle 1 (1 + 0 earlier bubbles), so it waits 4 - 1 = 3 bubbles and enters in cycle 4.');
    assert.equal(stepper.cycleText(run.report, stepper.cycleEvent(run, 'corrected', 9), 9),
      '3: MUL R3,R3,R1 enters. It did not wait: 1, which it conflicts with, entered in cycle 4, 5 cycles earlier (at least 4).');
    assert.equal(explain.modelFacts(run.report)[4],
      'Performance = (depth + n - 1) / (n + bubbles + depth - 1) = (5 + 6 - 1) / (6 + 9 + 5 - 1) = 10 / 19 = 52.63%, with n = 6 instructions.');
  } finally {
    words.use('ro');
  }
});

test('the console\'s meanings are its lines, in order, on every example and on faulty inputs', () => {
  const input = script('logic/input-help.js').create(sim.limits);
  const cases = ['six', 'chain', 'deep', 'no-hazards', 'syntax-errors'].map((n) => [exampleInput(n, 'config.txt'), exampleInput(n, 'program.txt')]);
  cases.push(['5\n99\n', 'LD R1,R2\n'], ['1\n1\n', ''], ['11\n60\n', ''], ['5\n3\n', 'LD R1,R2\nadd R3\nSUB R4,R5,R6\n'],
    ['4\n2\n', 'LD R1,R2\nADD R3,R1\nMUL R4,R4\n'], [null, ''], ['5\n2\n', null], ['5 \n4\n', 'LD R1,R2\n']);
  for (const [config, program] of cases) {
    const result = runSim(config, program);
    const lines = result.console.split('\n').map((l) => l.replace(/\t+/g, ' ').trim());
    const said = input.messages(config, program, result.status, result.report);
    let at = 0;
    for (const m of said) {
      const found = lines.indexOf(m.ro, at);
      assert.ok(found >= 0, `${JSON.stringify(String(config))}: "${m.ro}" after line ${at}`);
      assert.ok(m.k in tables.en, m.k);
      at = found + 1;
    }
    const shown = lines.filter((l) => l && !/^=+$/.test(l) && !/^\d/.test(l) && !/^R\d/.test(l));
    assert.equal(said.length, new Set(shown).size, `every line is explained: ${JSON.stringify(String(config))}`);
  }
});

// ------------------------------------------------------------ in Chromium

const openPage = browserTests({ viewport: { width: 1280, height: 900 } });

async function open(hash = '') {
  const p = await openPage(hash);
  return { page: p.page, close: p.done };
}

// The words of the list that the page shows outside the simulator's text
// (the console, the editors, the result files' names, the example folders)
// and outside elements in another language: visible text, the names and
// hints of visible elements, SVG titles, and the class sheet, printed only.
function stray(page, list) {
  return page.evaluate((list) => {
    const bad = new Set(list);
    const lang = document.documentElement.lang;
    const skip = (el) => el.closest('textarea, a[download], [translate="no"]') || el.closest('[lang]').lang !== lang;
    const shown = (el) => el.closest('#sheet') || (el.checkVisibility ? el.checkVisibility() : el.getClientRects().length > 0);
    const found = [];
    const look = (text, where) => {
      for (const w of String(text).toLowerCase().split(/[^a-z]+/)) if (bad.has(w)) found.push(`${w} in ${where}: ${String(text).slice(0, 60)}`);
    };
    look(document.title, 'title');
    for (const el of document.body.querySelectorAll('*')) {
      if (/^(SCRIPT|STYLE)$/.test(el.tagName) || skip(el)) continue;
      const owner = el.tagName === 'title' || el.tagName === 'OPTION' ? el.parentElement : el;
      if (!shown(owner)) continue;
      for (const n of el.childNodes) if (n.nodeType === 3) look(n.textContent, el.tagName + '#' + el.id);
      for (const a of ['aria-label', 'title', 'placeholder', 'alt', 'aria-valuetext']) if (el.hasAttribute(a)) look(el.getAttribute(a), a);
    }
    return found;
  }, list);
}

// Every state the page can be in, each reached from the one before: the
// steps to it ([action, selector, value]), then its name.
const NEXT = '#stepper .step-buttons button:nth-child(4)';
const PLAY = '#stepper .step-buttons button:nth-child(3)';
const STATES = [
  [[['wait', '#status[data-status="0"]']], 'opened, a complete run'],
  [[['click', NEXT], ['click', NEXT], ['click', NEXT]], 'stepping, corrected'],
  [[['select', '#step-schedule', 'written'], ['click', NEXT]], 'stepping, as written'],
  [[['click', PLAY]], 'playing'],
  [[['click', PLAY], ['fill', '#config', '5\n99\n'], ['wait', '#status[data-status="4"]']], 'a configuration out of bounds'],
  [[['fill', '#config', '5 \n3\n'], ['wait', '#status[data-status="4"]']], 'a line read as 0'],
  [[['fill', '#config', '5\n3\n'], ['fill', '#program', 'LD R1,R2\nadd R3\nSUB R4,R5,R6\nMUL R1\n\u001aADD\n'],
    ['wait', '#status[data-status="2"]']], 'syntax errors'],
  [[['click', '#exercise-start'], ['wait', '#exercise-message:not([hidden])']], 'an exercise refused'],
  [[['select', '#example', 'six'], ['wait', '#status[data-status="0"]'], ['click', '#exercise-generate'], ['wait', '#exercise-check']],
    'an exercise open'],
  [[['select', '[data-answer="kind"][data-instr="1"][data-distance="1"]', 'WAW'], ['fill', '[data-answer="entry"][data-instr="2"]', '1'],
    ['click', '#exercise-check']], 'an exercise checked'],
  [[['click', '#exercise-close'], ['fill', '#sheet-to', '2'], ['print', '#sheet-print-students'], ['attached', '#sheet']], 'the students\' sheets printed'],
  [[['fill', '#sheet-names', 'Ana\nIon'], ['print', '#sheet-print-key'], ['attached', '#sheet[data-what="key"]']], 'the key of a list of names printed'],
  [[['fill', '#sheet-names', 'b'.repeat(81)], ['click', '#sheet-print-students']], 'a name too long'],
  [[['click', '#key-csv'], ['wait', '#export-message:not([hidden])']], 'the class\'s files refused'],
  [[['fill', '#exercise-depth', '12'], ['click', '#exercise-generate']], 'a generated exercise refused'],
];

async function everyState(page, check) {
  const act = {
    wait: (sel) => page.waitForSelector(sel),
    attached: (sel) => page.waitForSelector(sel, { state: 'attached' }),
    click: (sel) => page.click(sel),
    fill: (sel, value) => page.fill(sel, value),
    select: (sel, value) => page.selectOption(sel, value),
    print: async (sel) => {
      await catchPrints(page);
      await page.click(sel);
    },
  };
  for (const [steps, state] of STATES) {
    for (const [what, sel, value] of steps) await act[what](sel, value);
    await check(state);
  }
}

describe('in Chromium', () => {
  for (const [lang, other] of [['en', 'ro'], ['ro', 'en']]) {
    test(`in ${lang === 'en' ? 'English no Romanian' : 'Romanian no English'} word of the page's own shows, in every state`, async () => {
      const p = await open();
      if (lang !== 'ro') await p.page.selectOption('#lang', lang);
      assert.equal(await p.page.evaluate(() => document.documentElement.lang), lang);
      const found = [];
      await everyState(p.page, async (state) => {
        for (const f of await stray(p.page, only[other])) found.push(`${state}: ${f}`);
        if (state.startsWith('opened')) assert.ok((await stray(p.page, only[lang])).length > 100, 'the walk sees the page\'s own words');
      });
      assert.deepEqual(found, []);
      await p.close();
    });
  }

  test('the choice is kept across a reload, and a link opens in its sender\'s language', async () => {
    const p = await open();
    assert.equal(await p.page.evaluate(() => document.documentElement.lang), 'ro', 'Romanian by default');
    await p.page.selectOption('#lang', 'en');
    await p.page.reload();
    await p.page.waitForSelector('#status[data-status="0"]');
    assert.deepEqual(await p.page.evaluate(() => [document.documentElement.lang, document.getElementById('lang').value]), ['en', 'en']);
    assert.equal(await p.page.textContent('#status'), 'Status 0: complete run');
    await p.page.fill('#config', '4\n3\n');
    await completeRunDrawn(p.page);
    await p.page.click('#share');
    await p.page.waitForSelector('#share-link:visible');
    const link = await p.page.inputValue('#share-link');
    assert.match(link, /&lang=en$/);
    await p.page.click('#exercise-generate');
    await p.page.waitForSelector('#exercise-check');
    await p.page.click('#share');
    const exerciseLink = await p.page.inputValue('#share-link');
    await p.close();
    for (const [url, editors] of [[link, '4\n3\n'], [exerciseLink, null]]) {
      const q = await open(url.slice(url.indexOf('#')));
      await q.page.waitForSelector('#status[data-status="0"]', { state: 'attached' });
      assert.equal(await q.page.evaluate(() => document.documentElement.lang), 'en', url);
      if (editors) assert.equal(await q.page.inputValue('#config'), editors);
      else assert.ok(await q.page.isVisible('#exercise-check'));
      // The link's language holds over a reload until she picks one; then hers does.
      for (const pick of [null, 'ro']) {
        if (pick) await q.page.selectOption('#lang', pick);
        await q.page.reload();
        await q.page.waitForSelector('#status[data-status="0"]', { state: 'attached' });
        assert.equal(await q.page.evaluate(() => document.documentElement.lang), pick || 'en', `${url} reloaded, picked ${pick}`);
      }
      await q.close();
    }
    for (const [hash, lang] of [['#c=QQ&p=@@&lang=en', 'en'], ['#c=NAo0Cg&p=TEQgUjEsUjIK', 'ro'], ['#x=1&d=5&n=6&l=many&a=h&lang=xx', 'ro']]) {
      const q = await open(hash);
      assert.equal(await q.page.evaluate(() => document.documentElement.lang), lang, hash);
      await q.close();
    }
  });

  test('a switch keeps the stepper\'s cycle and the exercise\'s answer and runs the simulator no extra time', async () => {
    const p = await open();
    const { page } = p;
    await page.waitForSelector('#status[data-status="0"]');
    await page.evaluate(() => {
      const run = window.hazardSim.run;
      window.runs = 0;
      window.hazardSim.run = (...args) => (window.runs++, run(...args));
    });
    for (let k = 0; k < 5; k++) await page.click('#stepper .step-buttons button:nth-child(4)');
    const before = await page.inputValue('#cycle');
    for (const lang of ['en', 'ro', 'en']) {
      await page.selectOption('#lang', lang);
      assert.equal(await page.inputValue('#cycle'), before, lang);
      assert.equal(await page.textContent('#cycle-now'), lang === 'en' ? 'cycle 5 of 0 .. 18' : 'ciclul 5 din 0 .. 18');
    }
    assert.equal(await page.evaluate(() => window.runs), 0, 'no run for a switch');
    await page.click('#exercise-generate');
    await page.waitForSelector('#exercise-check');
    await page.fill('[data-answer="entry"][data-instr="1"]', '7');
    await page.fill('[data-answer="performance"]', '50');
    await page.click('#exercise-check');
    const score = await page.textContent('#exercise-score');
    const runs = await page.evaluate(() => window.runs);
    await page.selectOption('#lang', 'ro');
    assert.equal(await page.inputValue('[data-answer="entry"][data-instr="1"]'), '7');
    assert.equal(await page.inputValue('[data-answer="performance"]'), '50');
    assert.match(score, /^Score: /);
    assert.equal((await page.textContent('#exercise-score')).replace(/\D+/g, ' '), score.replace(/\D+/g, ' '), 'the same marks');
    assert.match(await page.textContent('#exercise-score'), /^Scor: /);
    assert.equal(await page.evaluate(() => window.runs), runs, 'no run for a switch');
    await p.close();
  });
});
