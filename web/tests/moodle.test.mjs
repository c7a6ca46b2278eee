// The question bank for Moodle and the key as CSV, read back as Moodle and a
// spreadsheet would read them: the files as strict XML, each question's gaps
// by the Cloze grammar of Moodle's documentation, every gap's marks against
// the native program's tables and the page's own grading, under either of a
// site's number formats; in Chromium, the two buttons (and a large class's
// links) save the same files as hazardSim.moodleFiles and the store.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { script, readyStore, nativeFigures, browserTests } from './lib.mjs';

const store = await readyStore();
const check = script('exercise/check.js');

// ---- reading the files back ----

const ENTITY = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'" };
const NAME = '[A-Za-z_][\\w.-]*';

// XML 1.0 read strictly, as much of it as the file may use: the declaration
// first, one root, tags that nest and match, attributes quoted and given
// once, only the five entities and character references, no ']]>' in text,
// CDATA sections. Returns the root as {name, attrs, children: [node or text]}.
function readXml(text) {
  const head = '<?xml version="1.0" encoding="UTF-8"?>\n';
  assert.ok(text.startsWith(head), 'the XML declaration first');
  const token = new RegExp(`<!\\[CDATA\\[([\\s\\S]*?)\\]\\]>|<(/?)(${NAME})((?:\\s+${NAME}="[^"<]*")*)\\s*(/?)>|([^<]+)`, 'y');
  const decode = (t) => {
    assert.ok(!t.includes(']]>'), "no ']]>' in text");
    return t.replace(/&(?:([a-z]+)|#([0-9]+)|#x([0-9a-f]+));|&/gi, (m, name, dec, hex) => {
      assert.ok(m !== '&' && (!name || name in ENTITY), `'&' starts a known entity: ${m}`);
      return name ? ENTITY[name] : String.fromCodePoint(dec ? Number(dec) : parseInt(hex, 16));
    });
  };
  const top = { children: [] };
  const open = [top];
  token.lastIndex = head.length;
  while (token.lastIndex < text.length) {
    const at = token.lastIndex;
    const m = token.exec(text);
    assert.ok(m, `well-formed at ${at}: ${JSON.stringify(text.slice(at, at + 40))}`);
    const [, cdata, close, name, attrText, empty, chars] = m;
    const parent = open[open.length - 1];
    if (open.length === 1) assert.ok(name || !(cdata || chars).trim(), 'nothing but space outside the root');
    if (cdata !== undefined || chars !== undefined) parent.children.push(cdata !== undefined ? cdata : decode(chars));
    else if (close) assert.equal(open.pop().name, name, 'tags nest and match');
    else {
      const attrs = {};
      for (const [, k, v] of attrText.matchAll(/(\S+?)="([^"]*)"/g)) {
        assert.ok(!(k in attrs), 'an attribute given once');
        attrs[k] = decode(v);
      }
      parent.children.push({ name, attrs, children: [] });
      if (!empty) open.push(parent.children[parent.children.length - 1]);
    }
  }
  assert.equal(open.length, 1, 'every element closed');
  const roots = top.children.filter((c) => typeof c !== 'string');
  assert.equal(roots.length, 1, 'one root');
  return roots[0];
}
const kids = (node, name) => node.children.filter((c) => c.name === name);
const textOf = (node) => node.children.filter((c) => typeof c === 'string').join('');
const field = (node, ...path) => textOf(path.reduce((n, name) => kids(n, name)[0], node));

// Moodle's Cloze grammar, as documented: {weight:TYPE:alternatives}, the
// alternatives apart by '~', each '=' (right) or '%n%' (n percent) or
// nothing (0 percent), the answer, then '#' and its feedback; a backslash
// takes the next character as it is, and a quote is always written so.
const TYPES = 'MULTICHOICE(?:_[VHS])?|MC[VHS]?|SHORTANSWER(?:_C)?|SAC?|MWC?|NUMERICAL|NM';
// The pieces of text apart by mark, where a backslash does not hide it.
function split(text, mark) {
  const out = [''];
  for (let k = 0; k < text.length; k++) {
    if (text[k] === mark) out.push('');
    else out[out.length - 1] += text[k] === '\\' ? text[k] + (text[++k] || '') : text[k];
  }
  return out;
}
const literal = (text) => text.replace(/\\(.)/g, '$1');
function readGaps(html) {
  return [...html.matchAll(new RegExp(`\\{([0-9]*):(${TYPES}):((?:\\\\.|[^\\\\}])*)\\}`, 'g'))].map(([, weight, type, body]) => {
    const alternatives = split(body, '~').map((alt) => {
      const m = /^(=|%(-?[0-9]+(?:\.[0-9]+)?)%)?/.exec(alt);
      const parts = split(alt.slice(m[0].length), '#');
      assert.ok(parts.length <= 2, 'one feedback an alternative: ' + alt);
      assert.ok(parts.every((t) => !t.replace(/\\./g, '').includes('"')), 'a quote written \\": ' + alt);
      return { fraction: m[1] === '=' ? 100 : Number(m[2] || 0), answer: literal(parts[0]), feedback: literal(parts[1] || '') };
    });
    return { weight: Number(weight || 1), type, alternatives };
  });
}

// What Moodle gives a response on a site whose numbers are written as
// format says ('point': 1,234.5; 'comma': 1.234,5 or 1 234,5): the marks of
// the first alternative it matches, none matched 0. A choice by its text; a
// number read by the site's format, '%' allowed at its end, within the
// tolerance; a short answer trimmed, with '*' any run of characters, case aside.
function marks(gap, response, format = 'point') {
  const matches = (a) => {
    if (/^M[UC]/.test(gap.type)) return a.answer === response;
    if (/^N/.test(gap.type)) {
      const [value, tolerance = '0'] = a.answer.split(':');
      const typed = response.trim().replace(/\s*%$/, '');
      const r = format === 'point' ? typed.replace(/,/g, '') : typed.replace(/[.\s]/g, '').replace(',', '.');
      return /^-?[0-9]*\.?[0-9]+$/.test(r) && Math.abs(Number(r) - Number(value)) <= Number(tolerance) + 1e-9;
    }
    const pattern = a.answer.split('*').map((p) => p.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')).join('.*');
    return new RegExp(`^${pattern}$`, 'i').test(response.trim());
  };
  const hit = gap.alternatives.find(matches);
  return hit ? hit.fraction : 0;
}

// What Moodle's bank shows of a name read from the file: tags taken out
// (as PHP's strip_tags), the rest shown as HTML.
const bankShows = (name) => name.replace(/<[^>]*(>|$)/g, '').replace(/&([a-z]+);/g, (m, e) => ENTITY[e] ?? m);

// RFC 4180 after a byte order mark: fields apart by commas, rows ending in
// CRLF, quoted fields with '""' for '"'.
function readCsv(text) {
  assert.equal(text[0], '\ufeff', 'a byte order mark first');
  text = text.slice(1);
  const rows = [[]];
  const next = /("(?:[^"]|"")*"|[^,"\r\n]*)(,|\r\n)/y;
  while (next.lastIndex < text.length) {
    const m = next.exec(text);
    assert.ok(m, 'a CSV field at ' + next.lastIndex);
    rows[rows.length - 1].push(m[1].startsWith('"') ? m[1].slice(1, -1).replace(/""/g, '"') : m[1]);
    if (m[2] === '\r\n') rows.push([]);
  }
  assert.deepEqual(rows.pop(), [], 'the last row ends in CRLF');
  return rows;
}

// ---- the requests ----

const NAMES = ['Ana <b>&amp; Pop', 'x}y#z~w', 'q"\\]]>e', 'Ana <b>&amp; Pop'];
const REQUESTS = [
  { from: '104', to: '108', depth: 4, count: 6, level: 'many', asked: 'hsp' }, // 106: DEPEND R22,R20 for a WAR on R22
  { from: '7', to: '9', depth: 10, count: 14, level: 'few', asked: 'hs' },
  { from: '100', to: '102', depth: 3, count: 5, level: 'many', asked: 'p' },
  { from: '5', names: NAMES, depth: 6, count: 8, level: 'many', asked: 'sh' },
];

// Each cell's key in the native program's tables: [answer, instr, distance, what is right].
function nativeKey(native, asked) {
  const out = [];
  native.rows.forEach((row, i) => {
    for (let d = 1; asked.includes('h') && d <= Math.min(i, native.figures.depth - 2); d++) {
      const h = row.hazards.find((x) => x.distance === d);
      out.push(['kind', i, d, h ? h.kind : 'none'], ['registers', i, d, h ? h.depend : '']);
    }
    if (asked.includes('s')) out.push(['entry', i, undefined, native.figures.entries[i]]);
  });
  if (asked.includes('p')) out.push(['performance', undefined, undefined, native.figures.performance]);
  return out;
}

const { variantName } = script('exercise/variants.js');
// The files of a class's question bank, and all their questions but the categories.
const bank = (request) => store.classFile('moodle', request).files;
const questionsOf = (request) => bank(request).flatMap((f) => kids(readXml(f.text), 'question').slice(1));
// A list's names, numbered from the second time one is given.
const numbered = (list) => list.map((n, k) => {
  const time = list.slice(0, k + 1).filter((m) => m === n).length;
  return time > 1 ? `${n} (${time})` : n;
});
// About 4 MB: 12 variants of 50 instructions at depth 10, for one name given 12 times, without a class seed.
const LARGE = { names: Array(12).fill('Ştefan <b>Ţepeş</b>'), depth: 10, count: 50, level: 'many', asked: 'hsp' };

test('the Moodle files are strict XML of at most 2 MB, each the category named after the request then whole Cloze questions in the class\'s order, named as typed', () => {
  for (const request of [...REQUESTS, LARGE]) {
    const { variants } = store.variantRuns(request);
    const files = bank(request);
    assert.equal(files.length > 1, request === LARGE, 'only the large class takes several files');
    const categories = new Set();
    const questions = files.flatMap((f, i) => {
      assert.ok(Buffer.byteLength(f.text) <= 2097152, `${f.name}: ${Buffer.byteLength(f.text)} bytes`);
      assert.equal(f.name, files.length === 1 ? 'hazard-sim-moodle.xml' : `hazard-sim-moodle-${i + 1}-of-${files.length}.xml`);
      const [category, ...own] = kids(readXml(f.text), 'question');
      assert.ok(category.attrs.type === 'category' && own.length > 0, f.name);
      categories.add(field(category, 'category', 'text'));
      return own;
    });
    const which = request.names ? `${request.names.length} nume, samanta clasei ${request.from || 1}` : `samantele ${request.from}..${request.to}`;
    assert.deepEqual([...categories], [`$course$/top/hazard-sim ${which}, adincimea ${request.depth}, ${request.count} instructiuni, ${request.level}, se cer ${check.readAsked(request.asked)}`]);
    assert.deepEqual(questions.map((q) => q.attrs.type), variants.map(() => 'cloze'), 'every variant once');
    const names = request.names ? numbered(request.names) : variants.map((v) => `Samanta ${v.seed}`);
    assert.deepEqual(questions.map((q) => bankShows(field(q, 'name', 'text'))), names, 'Moodle\'s bank shows the names as typed, a repeated one numbered');
    assert.deepEqual(questions.map((q) => field(q, 'idnumber')), request.names ? names : variants.map((v) => v.seed));
    for (const q of questions) assert.match(field(q, 'questiontext', 'text'), new RegExp(`^<p>Adincimea benzii: ${request.depth}\\. `));
  }
  // A name given again gets a variant of its own; the first keeps the one it had.
  const programs = store.variantRuns(LARGE).variants.map((v) => v.files.program);
  const first = script('exercise/gen.js').create(store.state.limits).exercise({ ...LARGE, seed: '1', name: LARGE.names[0] });
  assert.ok(programs[0] === first.program && new Set(programs).size === programs.length);
});

test('a gap\'s answers and feedback keep every mark of the Cloze grammar as written', () => {
  const odd = 'a}b#c~d\\e"f=g%h:i';
  const [read] = readGaps(script('exercise/moodle.js').gap('SHORTANSWER', [{ answer: odd, right: true, feedback: odd + ' <&>' }, { answer: 'x', right: false }]));
  assert.deepEqual(read.alternatives, [{ fraction: 100, answer: odd, feedback: odd + ' &lt;&amp;&gt;' }, { fraction: 0, answer: 'x', feedback: '' }]);
});

const CHOICES = ['niciunul', 'RAW', 'WAR', 'WAW'];

test('every question has one gap a cell in the form\'s order, right as the native program\'s tables and wrong otherwise, marked as the page marks', () => {
  let both = 0;
  const places = new Set(); // where a kind's right choice stands
  for (const request of REQUESTS) {
    const asked = check.readAsked(request.asked);
    const { variants } = store.variantRuns(request);
    const questions = questionsOf(request);
    variants.forEach((v, k) => {
      const where = `${JSON.stringify(request)} variant ${k}`;
      const native = nativeFigures(v.files.config, v.files.program);
      const gaps = readGaps(field(questions[k], 'questiontext', 'text'));
      const cells = check.cells(v.report, asked);
      const key = nativeKey(native, asked);
      assert.deepEqual(cells.map((c) => [c.answer, c.instr, c.distance]), key.map((c) => c.slice(0, 3)), where + ': the form follows the tables');
      assert.deepEqual(gaps.map((g) => g.type), cells.map((c) => (c.answer === 'kind' ? 'MULTICHOICE' : c.answer === 'entry' ? 'NUMERICAL' : 'SHORTANSWER')), where);
      gaps.forEach((gap, n) => {
        const [answer, , , right] = key[n];
        const at = `${where} ${cells[n].id}`;
        const full = gap.alternatives.filter((a) => a.fraction === 100);
        assert.ok(gap.weight === 1 && full.length >= 1 && gap.alternatives.every((a) => a.fraction === 100 || a.fraction === 0), at);
        if (answer === 'kind') {
          assert.deepEqual(gap.alternatives.map((a) => a.answer), CHOICES, at + ': the choices in one order');
          assert.deepEqual(full.map((a) => a.answer), [right === 'none' ? 'niciunul' : right], at);
          places.add(gap.alternatives.indexOf(full[0]));
        } else if (answer === 'registers') {
          const depend = right ? right.split(',') : [];
          const set = [...new Set(depend)]; // DEPEND as printed, and its registers each once in any order and separation
          const forms = right ? [right, [...set].reverse().join(', '), set.join(' ').toLowerCase()] : ['none', 'niciunul'];
          for (const form of forms) assert.equal(marks(gap, form), 100, `${at}: ${form}`);
          for (const form of right ? ['none', 'R1,R2,R3', ''] : ['R1', '']) assert.equal(marks(gap, form), 0, `${at}: ${form}`);
          for (const a of full) assert.ok(right ? a.answer.split(/, ?| /).every((r) => depend.includes(r)) : /^(none|niciunul|nimic|-)$/.test(a.answer), `${at}: ${a.answer}`);
          if (new Set(depend).size > 1) both++;
        } else if (answer === 'entry') {
          assert.deepEqual(full.map((a) => a.answer), [`${right}:0`], at);
        }
        // Every alternative marked and explained as the page grades that answer.
        for (const a of gap.alternatives.filter((x) => x.answer !== '*')) {
          const page = check.judge(v.report, cells[n], a.answer.replace(/:[0-9.]+$/, ''));
          assert.equal(a.fraction, page.right ? 100 : 0, `${at}: ${a.answer}`);
          assert.equal(a.feedback.replace(/&(amp|lt|gt);/g, (m, e) => ENTITY[e]), page.reason || '', `${at}: ${a.answer}`);
        }
      });
    });
  }
  assert.ok(both > 0, 'some registers gap where DEPEND prints two registers');
  assert.equal(places.size, CHOICES.length, 'the right choice stands in every place across the bank');
});

// [gap, responses from the right figure or cycle, site formats, marks]: the
// printed figure's forms right in either format, 0.01 off or a third decimal wrong.
const BOTH = ['point', 'comma'];
const MARKED = [
  ['performance', (f) => [f, f.replace('.', ','), ` ${f}% `, f.replace('.', ',') + ' %'], BOTH, 100],
  ['performance', (f) => [(Number(f) + 0.01).toFixed(2), (Number(f) - 0.01).toFixed(2).replace('.', ',') + '%', f + '0'], BOTH, 0],
  ['entry', (e) => [e, e + '%'], BOTH, 100],
  ['entry', (e) => [e + 1, e - 1], BOTH, 0],
];

test('Moodle marks the performance as printed and the entry cycles alike on a site of either number format', () => {
  let tried = 0;
  for (const request of REQUESTS) {
    const { variants } = store.variantRuns(request);
    questionsOf(request).forEach((q, k) => {
      const report = variants[k].report;
      const cells = check.cells(report, check.readAsked(request.asked));
      readGaps(field(q, 'questiontext', 'text')).forEach((gap, n) => {
        const right = cells[n].answer === 'entry' ? report.instructions[cells[n].instr].entry : report.performance;
        for (const [, responses, formats, want] of MARKED.filter((row) => row[0] === cells[n].answer))
          for (const format of formats) {
            for (const r of responses(right)) assert.equal(marks(gap, String(r), format), want, `${cells[n].id} ${r} ${format}`);
            tried++;
          }
      });
    });
  }
  assert.ok(tried > 50, `${tried} gaps and formats`);
});

test('the key as CSV has a row a cell, with the native program\'s answers, names intact', () => {
  for (const request of [REQUESTS[0], REQUESTS[3]]) {
    const asked = check.readAsked(request.asked);
    const rows = readCsv(store.classFile('csv', request).files[0].text);
    assert.deepEqual(rows.shift(), ['samanta sau numele', 'IN', 'Instructiunea', 'DIST', 'ce se cere', 'raspunsul corect']);
    for (const v of store.variantRuns(request).variants) {
      const native = nativeFigures(v.files.config, v.files.program);
      for (const [answer, instr, distance, right] of nativeKey(native, asked)) {
        const row = rows.shift();
        assert.deepEqual(row.slice(0, 4), [v.name === null ? v.seed : variantName(v), String(instr ?? ''), instr === undefined ? '' : native.rows[instr].text, String(distance || '')]);
        const said = row[5];
        const set = (text) => [...new Set(text.split(','))].sort().join();
        if (answer === 'registers') assert.ok(right ? said.split(' sau ').map(set).includes(set(right)) : said === 'niciunul', said);
        else assert.equal(said, answer === 'kind' && right === 'none' ? 'niciunul' : String(right));
      }
    }
    assert.deepEqual(rows, []);
  }
});

test('the key as CSV starts with a byte order mark, and no field that is not a number starts as a formula', () => {
  const names = ['=HYPERLINK("x")', '+Teodora', '-Victor', '@Zoe', '-5'];
  const text = store.classFile('csv', { from: '5', names, depth: 4, count: 3, level: 'many', asked: 'p' }).files[0].text;
  assert.ok(text.startsWith('\ufeffsamanta sau numele,'));
  assert.ok(text.includes('\r\n"\'=HYPERLINK(""x"")",'), 'quoted after the mark');
  assert.deepEqual(readCsv(text).slice(1).map((row) => row[0]), ["'=HYPERLINK(\"x\")", "'+Teodora", "'-Victor", "'@Zoe", '-5']);
});

test('with r, a question\'s last gap is the fewest bubbles, numerical; the CSV key gives them and a best order, which the native program runs with them', () => {
  const request = { from: '20', to: '23', depth: 6, count: 7, level: 'few', asked: 'pr' };
  const rows = readCsv(store.classFile('csv', request).files[0].text);
  const questions = questionsOf(request);
  store.variantRuns(request).variants.forEach((v, k) => {
    const { order, fewest } = v.reorder;
    assert.equal(nativeFigures(v.files.config, script('logic/reorder.js').programText(v.report.instructions, order)).figures.bubbles, fewest, v.seed);
    const gaps = readGaps(field(questions[k], 'questiontext', 'text'));
    assert.deepEqual([gaps.length, gaps[1].type, ...[fewest, fewest + 1, v.report.bubbles].map((r) => marks(gaps[1], String(r)))], [2, 'NUMERICAL', 100, 0, 0], v.seed);
    assert.deepEqual(rows.slice(3 * k + 2, 3 * k + 4), [[v.seed, '', '', '', 'Ordinea noua', order.join(' ')], [v.seed, '', '', '', 'Cele mai putine bule dupa reordonare', String(fewest)]]);
  });
});

test('a bad request gets the page\'s message, never a file', () => {
  const good = REQUESTS[0];
  const cases = [
    [{ from: '1', to: '201' }, 'sheetMax'], [{ from: '9', to: '1' }, 'sheetOrder'], [{ names: [] }, 'namesEmpty'], [{ names: '\n \n' }, 'namesEmpty'],
    [{ names: Array(201).fill('a') }, 'namesMax'], [{ names: ['a', 'b'.repeat(81)] }, 'nameLong'], [{ asked: '' }, 'askSome'],
    [{ asked: 'x' }, 'askSome'], [{ depth: 11 }, 'badDepth'], [{ count: 2, asked: 'hr' }, 'badCountR'],
  ];
  for (const [change, key] of cases)
    for (const form of ['moodle', 'csv']) assert.equal(store.classFile(form, { ...good, ...change }).error.key, key, JSON.stringify(change));
  assert.ok(store.classFile('csv', { ...good, from: '1', to: '200' }).files, '200 variants are allowed');
});

const openPage = browserTests();

test('in Chromium the two buttons save the setup\'s files, the same as hazardSim.moodle, a large class\'s links each one of hazardSim.moodleFiles, and a bad request says why', async () => {
  const { page, done } = await openPage();
  await page.fill('#exercise-depth', '5');
  await page.fill('#exercise-count', '7');
  await page.selectOption('#exercise-level', 'few');
  await page.locator('input[name="exercise-asked"][value="s"]').setChecked(false);
  await page.fill('#sheet-from', '3');
  await page.fill('#sheet-to', '6');
  const request = { from: '3', to: '6', depth: '5', count: '7', level: 'few', asked: 'hp' };
  const saved = async (button) => {
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    return [download.suggestedFilename(), readFileSync(await download.path(), 'utf8')];
  };
  assert.deepEqual(await saved('#moodle-export'), ['hazard-sim-moodle.xml', await page.evaluate((r) => window.hazardSim.moodle(r), request)]);
  assert.deepEqual(await saved('#key-csv'), ['hazard-sim-key.csv', store.classFile('csv', request).files[0].text]);
  assert.equal(await page.isVisible('#export-message'), false);

  await page.fill('#sheet-to', '300');
  await page.click('#moodle-export');
  assert.equal(await page.textContent('#export-message'), 'O fisa are cel mult 200 de variante.');
  await page.selectOption('#lang', 'en');
  assert.equal(await page.textContent('#export-message'), 'A sheet has at most 200 variants.');
  const thrown = await page.evaluate(() => {
    try {
      return window.hazardSim.moodle({ from: '1', names: [], depth: 5, count: 7, level: 'few', asked: 'h' });
    } catch (e) {
      return e.message;
    }
  });
  assert.equal(thrown, 'The list of names is empty: write one name per line.');
  await page.fill('#sheet-to', '4');
  assert.equal(await page.isVisible('#export-message'), false, 'the message goes once the setup changes');

  await page.fill('#exercise-depth', '10');
  await page.fill('#exercise-count', '50');
  await page.fill('#sheet-to', '12');
  const large = { from: '3', to: '12', depth: '10', count: '50', level: 'few', asked: 'hp' };
  const files = await page.evaluate((r) => window.hazardSim.moodleFiles(r), large);
  await page.click('#moodle-export');
  const links = page.locator('#moodle-files a');
  assert.ok(files.length > 1 && (await links.count()) === files.length, `${files.length} files`);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'moodle-files-note');
  assert.match(await links.first().textContent(), new RegExp(`^hazard-sim-moodle-1-of-${files.length}\\.xml: [0-9]+ variants, seeds 3\\.\\.[0-9]+$`));
  for (let k = 0; k < files.length; k++) {
    const [download] = await Promise.all([page.waitForEvent('download'), links.nth(k).click()]);
    assert.deepEqual([download.suggestedFilename(), readFileSync(await download.path(), 'utf8')], [files[k].name, files[k].text]);
  }
  const tooBig = await page.evaluate((r) => {
    try {
      return window.hazardSim.moodle(r);
    } catch (e) {
      return e.message;
    }
  }, large);
  assert.equal(tooBig, `The class does not fit one file of at most 2 MB: it takes ${files.length} files, which hazardSim.moodleFiles gives.`);
  await page.fill('#sheet-to', '11');
  assert.equal(await page.isVisible('#moodle-files'), false, 'the links go once the setup changes');
  await done();
});
