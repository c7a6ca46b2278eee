// The class sheet: a generated exercise's variants for a range of seeds,
// each on its own A4 page with its files and an empty answer grid, then the
// answer key with both tables and the performance figure of every variant.
(function (root) {
  'use strict';

  const gen = root.hazardExerciseGen;
  const check = root.hazardExerciseCheck;
  const model = root.hazardRun;
  const exercise = root.hazardExercise;
  const $ = (id) => document.getElementById(id);
  const MAX_VARIANTS = 60;

  const el = exercise.el;
  const T = root.hazardText.t;

  const row = (cells, tag) => el('tr', {}, cells.map((c) => el(tag || 'td', { text: String(c) })));
  const table = (caption, head, rows, cls) =>
    el('table', { class: cls }, [el('caption', { text: caption }), el('thead', {}, [row(head, 'th')]), el('tbody', {}, rows)]);

  // The seeds from .. to as decimal strings (of any length), or {error}.
  function seedRange(from, to) {
    const a = String(from).trim();
    const b = String(to).trim();
    if (!/^[0-9]+$/.test(a) || !/^[0-9]+$/.test(b)) return { error: T('sheetSeeds') };
    const lo = BigInt(a);
    const hi = BigInt(b);
    if (hi < lo) return { error: T('sheetOrder') };
    if (hi - lo >= BigInt(MAX_VARIANTS)) return { error: T('sheetMax', { n: MAX_VARIANTS }) };
    const out = [];
    for (let s = lo; s <= hi; s++) out.push(s.toString());
    return out;
  }

  function variantPage(k, v, asked) {
    const { p, report } = v;
    const spread = check.distances(report, asked);
    const head = exercise.gridHead(report, asked);
    const rows = report.instructions.map((ins) => {
      const cells = [ins.index, model.instrText(ins)];
      for (let d = 1; d <= spread; d++) cells.push(d > ins.index ? '-' : '');
      if (asked.includes('s')) cells.push('');
      return row(cells);
    });
    const page = el('section', { class: 'sheet-variant' }, [
      el('h2', { text: T('variant', { k: k + 1, seed: p.seed }) }),
      el('p', { text: T('sheetHead', { depth: p.depth, n: p.count }) }),
    ]);
    if (head.length > 2) {
      // The grid holds the program, one line a row, and fits one A4 page.
      const grid = table(T('sheetGrid'), head, rows, 'sheet-grid');
      grid.style.setProperty('--row', Math.min(6.5, 225 / p.count).toFixed(2) + 'mm');
      page.append(grid);
    } else {
      page.append(el('pre', { class: 'sheet-program', text: v.files.program }));
    }
    if (asked.includes('p')) page.append(el('p', { class: 'sheet-performance', text: T('sheetPerf') }));
    return page;
  }

  function keyBlock(k, v) {
    const { p, report } = v;
    const analysis = [];
    const corrected = [];
    for (const ins of report.instructions) {
      const own = [ins.index, ins.opcode, ins.dest, ins.sources.join(',')];
      const lines = ins.hazards.length ? ins.hazards : [null];
      lines.forEach((h, n) => {
        const first = n === 0 ? own : ['', '', '', ''];
        analysis.push(row(first.concat(h ? [h.distance, h.shown.registers.join(','), h.shown.kind] : ['', '', ''])));
      });
      corrected.push(row([ins.entry, ins.opcode, ins.dest, ins.sources.join(','), ins.delay]));
    }
    return el('section', { class: 'sheet-key-variant' }, [
      el('h3', { text: T('variant', { k: k + 1, seed: p.seed }) }),
      table(T('keyAnalysis'), ['IN', 'OPCODE', 'DEST', 'SOURCES', 'DIST', 'DEPEND', 'HAZARD'], analysis, 'sheet-table'),
      table(T('keyCorrection'), ['IN', 'OPCODE', 'DEST', 'SOURCES', T('bubblesBefore')], corrected, 'sheet-table'),
      el('p', { text: T('keyPerf', { p: report.performance }) }),
    ]);
  }

  // The variants of the sheet on the page and the parts asked, or null.
  let made = null;

  function drop() {
    const old = $('sheet');
    if (old) old.remove();
  }

  function make() {
    made = null;
    const fail = (text) => {
      drop();
      $('sheet-note').textContent = text;
      $('sheet-print').hidden = true;
      document.body.classList.remove('sheet-print');
    };
    if ($('run').disabled) return fail(T('stillLoading'));
    const params = exercise.setupParams();
    const asked = exercise.askedFromSetup();
    if (!asked) return fail(T('askSome'));
    const checked = gen.readParams(Object.assign({}, params, { seed: '0' }));
    if (checked.error) return fail(checked.error);
    const seeds = seedRange($('sheet-from').value, $('sheet-to').value);
    if (seeds.error) return fail(seeds.error);
    const variants = seeds.map((seed) => {
      const p = gen.readParams(Object.assign({}, params, { seed }));
      const files = gen.exercise(p);
      return { p, files, report: root.hazardSim.run(files.config, files.program).report };
    });
    if (variants.some((v) => !v.report)) return fail(T('sheetFail'));
    made = { variants, asked };
    build(variants, asked);
  }

  // The sheet of worked-out variants, in the current language.
  function build(variants, asked) {
    drop();
    const sheet = el('div', { id: 'sheet', 'data-variants': String(variants.length) });
    variants.forEach((v, k) => sheet.append(variantPage(k, v, asked)));
    const key = el('section', { class: 'sheet-key' }, [el('h2', { text: T('sheetKey') })]);
    variants.forEach((v, k) => key.append(keyBlock(k, v)));
    sheet.append(key);
    document.body.append(sheet);
    document.body.classList.add('sheet-print');
    $('sheet-note').textContent = T('sheetReady', { n: variants.length });
    $('sheet-print').hidden = false;
  }

  $('sheet-make').addEventListener('click', make);
  root.hazardRun.on('lang', () => {
    if (made) build(made.variants, made.asked);
    else $('sheet-note').textContent = '';
  });
  $('sheet-print').addEventListener('click', () => root.print());
})(this);
