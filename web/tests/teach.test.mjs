// The teaching views' logic under Node, on runs of the module: the delay
// arithmetic gives the simulator's own bubbles, each cycle shows what the
// schedule holds and the conflict or the wait in it, and the list has one
// item per hazard and per delayed instruction, in words worked out by hand.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, exampleInput, runNative, tableRows, prng } from './lib.mjs';

const model = script('logic/schedule.js');
const teach = script('logic/teach.js');
const stepper = script('logic/steps.js');
const explain = script('logic/explain.js');
const runSim = (await loadSim()).run;
const example = (name) => [exampleInput(name, 'config.txt'), exampleInput(name, 'program.txt')];

// A run as the page's store holds it.
function pageRun(config, program) {
  const result = runSim(config, program);
  assert.equal(result.status, 0);
  return model.runRecord(config, program, result);
}

function* generatedRuns(count) {
  let seed = 90210;
  const rnd = () => ((seed = (Math.imul(seed, 1103515245) + 12345) >>> 0) / 4294967296);
  const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
  for (let k = 0; k < count; k++) {
    const n = int(2, 50);
    const regs = int(2, 10);
    const reg = () => 'R' + int(1, regs);
    const lines = Array.from({ length: n }, () => `ADD ${reg()},${reg()}` + (rnd() < 0.6 ? ',' + reg() : ''));
    yield pageRun(`${int(3, 10)}\n${n}\n`, lines.join('\n') + '\n');
  }
}

const runs = () => [...['six', 'chain', 'deep', 'no-hazards'].map((n) => pageRun(...example(n))), ...generatedRuns(60)];

test('the delay arithmetic gives each instruction the bubbles the simulator inserted', () => {
  for (const run of runs()) {
    for (const ins of run.report.instructions) {
      const d = teach.delayOf(run.report, ins.index);
      if (!ins.nearest) {
        assert.equal(d, null);
        assert.equal(ins.delay, 0);
        continue;
      }
      assert.equal(d.delay, ins.delay, `instruction ${ins.index}`);
      assert.equal(d.would + d.delay, ins.entry);
      assert.ok(ins.entry >= d.need, 'it enters no sooner than its nearest hazard allows');
      if (d.delay > 0) assert.equal(ins.entry, d.need, 'and no later than needed');
    }
  }
});

test('in every cycle the strip holds what entered depth - stage cycles before, and what entered is said', () => {
  for (const run of runs()) {
    const { report } = run;
    const n = report.instructions.length;
    for (const which of ['written', 'corrected']) {
      const entryOf = report.instructions.map((ins) => (which === 'written' ? ins.index : ins.entry));
      const last = entryOf[n - 1] + report.depth - 1;
      assert.equal(run[which].lastCycle, last);
      for (let cycle = 0; cycle <= last; cycle++) {
        const strip = stepper.strip(run[which], cycle);
        assert.deepEqual(strip.map((s) => s.stage), Array.from({ length: report.depth }, (_, k) => k + 1));
        for (const s of strip) {
          const c = cycle - s.stage + 1;
          const i = entryOf.indexOf(c);
          const want = i >= 0 ? i : c > 0 && c < entryOf[n - 1] ? -1 : null;
          assert.equal(s.instr, want, `${which} cycle ${cycle} stage ${s.stage}`);
        }
        const ev = stepper.cycleEvent(run, which, cycle);
        const i = entryOf.indexOf(cycle);
        if (i >= 0) {
          assert.equal(ev.type, 'instr');
          assert.equal(ev.instr, i);
          // As written every hazard the table shows is a conflict there; corrected, none is left.
          const want = which === 'written' ? report.instructions[i].hazards.map((h) => [h.earlier, h.distance]) : [];
          assert.deepEqual(ev.conflicts.map((c) => [c.earlier, c.ago]), want);
        } else if (cycle < entryOf[n - 1]) {
          const waiting = entryOf.findIndex((e) => e > cycle);
          const ins = report.instructions[waiting];
          assert.deepEqual([ev.type, ev.instr, ev.of, ev.ordinal], ['bubble', waiting, ins.delay, cycle - (ins.entry - ins.delay) + 1]);
        } else {
          assert.equal(ev.type, 'none');
        }
        assert.ok(stepper.cycleText(report, ev, cycle).length > 0);
      }
    }
  }
});

test('the list has one item per hazard of the table and one per delayed instruction, naming both lines and the registers', () => {
  for (const run of runs()) {
    const { report } = run;
    const got = explain.items(report);
    const want = [];
    for (const ins of report.instructions) {
      for (const h of ins.hazards) want.push(['hazard', ins.index, h.earlier, h.distance, h.shown.kind]);
      if (ins.delay > 0) want.push(['delay', ins.index, ins.nearest.earlier, ins.delay]);
    }
    assert.deepEqual(got.map((it) => (it.type === 'hazard'
      ? [it.type, it.instr, it.earlier, it.distance, it.kind]
      : [it.type, it.instr, it.earlier, it.delay])), want);
    for (const it of got) {
      const ins = report.instructions;
      assert.ok(it.text.includes(model.instrLabel(ins[it.instr])) && it.text.includes(model.instrLabel(ins[it.earlier])), it.text);
      if (it.type !== 'hazard') continue;
      const h = ins[it.instr].hazards.find((x) => x.distance === it.distance);
      for (const r of h.shown.registers) assert.match(it.text, new RegExp(`\\b${r}\\b`));
      assert.equal(it.text.includes(`tabelul de analiza il arata pe ultimul, ${h.shown.kind}, cu ${h.shown.registers.join(',')} in DEPEND`), h.kinds.length > 1, it.text);
    }
  }
});

test('examples/six in words, as worked out by hand', () => {
  const run = pageRun(...example('six'));
  const texts = explain.items(run.report).map((it) => it.text);
  const cases = [
    [texts[1], '1: ADD R3,R1,R4 asteapta dupa 0: LD R1,R2, cel mai apropiat conflict al ei (distanta 1: RAW pe R1). ' +
      '0 a intrat in ciclul 0; o instructiune in conflict cu ea poate intra cel mai devreme in ciclul 0 + 5 - 1 = 4. ' +
      '1 ar intra in ciclul 1 (1 + 0 bule de mai inainte), deci asteapta 4 - 1 = 3 bule si intra in ciclul 4.'],
    [texts[3], '2: SUB R4,R5,R6 asteapta dupa 1: ADD R3,R1,R4, cel mai apropiat conflict al ei (distanta 1: WAR pe R4). ' +
      '1 a intrat in ciclul 4; o instructiune in conflict cu ea poate intra cel mai devreme in ciclul 4 + 5 - 1 = 8. ' +
      '2 ar intra in ciclul 5 (2 + 3 bule de mai inainte), deci asteapta 8 - 5 = 3 bule si intra in ciclul 8.'],
    [texts[4], '3: MUL R3,R3,R1 si 1: ADD R3,R1,R4, la distanta 2: RAW pe R3: 3 citeste R3, pe care 1 il scrie; ' +
      'WAW pe R3: amindoua scriu R3. Se potrivesc 2 tipuri; tabelul de analiza il arata pe ultimul, WAW, cu R3 in DEPEND. ' +
      'De ce asteapta un WAW aici: modelul nu spune in ce etapa scriu 1 si 3 pe R3, asa ca socoteste ca 1 tine R3 pina ajunge ' +
      'in ultima etapa, etapa 5, la 5 - 1 = 4 cicluri dupa ce a intrat; 3 nu poate intra mai devreme. ' +
      'Este conflictul cel mai apropiat al lui 3. 3: MUL R3,R3,R1 asteapta dupa 1: ADD R3,R1,R4, cel mai apropiat ' +
      'conflict al ei (distanta 2: RAW pe R3, WAW pe R3). 1 a intrat in ciclul 4; o instructiune in conflict cu ea ' +
      'poate intra cel mai devreme in ciclul 4 + 5 - 1 = 8. 3 ar intra in ciclul 9 (3 + 6 bule de mai inainte), ' +
      'care nu e mai devreme de 8: nu asteapta nicio bula, bulele de mai inainte i-au facut deja loc.'],
    [texts[5], '3: MUL R3,R3,R1 si 0: LD R1,R2, la distanta 3: RAW pe R1: 3 citeste R1, pe care 0 il scrie. ' +
      'Corectia nu se uita la el: conflictul cel mai apropiat al lui 3 este la distanta 2, iar 0 a intrat si mai devreme.'],
    [stepper.cycleText(run.report, stepper.cycleEvent(run, 'written', 3), 3),
      'Intra 3: MUL R3,R3,R1. Este in conflict cu 1: ADD R3,R1,R4, intrata cu 2 cicluri inainte (mai putin de 5 - 1 = 4): ' +
      'RAW pe R3: 3 citeste R3, pe care 1 il scrie; WAW pe R3: amindoua scriu R3. Este in conflict cu 0: LD R1,R2, ' +
      'intrata cu 3 cicluri inainte (mai putin de 5 - 1 = 4): RAW pe R1: 3 citeste R1, pe care 0 il scrie.'],
    [stepper.cycleText(run.report, stepper.cycleEvent(run, 'corrected', 9), 9),
      'Intra 3: MUL R3,R3,R1. Nu a asteptat: 1, cu care e in conflict, a intrat in ciclul 4, cu 5 cicluri inainte (cel putin 4).'],
    [explain.modelFacts(run.report)[4],
      'Performanta = (adincimea + n - 1) / (n + bule + adincimea - 1) = (5 + 6 - 1) / (6 + 9 + 5 - 1) = 10 / 19 = 52.63%, cu n = 6 instructiuni.'],
  ];
  for (const [got, want] of cases) assert.equal(got, want);
  assert.match(stepper.cycleText(run.report, stepper.cycleEvent(run, 'corrected', 12), 12), /^Intra o bula \(2 din 3\) inaintea lui 5: ADD R10,R7,R3\. /);
});

test('DEPEND names the shown kind\'s registers, and each other one with the check that left it there', () => {
  const words = script('words/words.js');
  const cases = [
    ['WAR on R2, R32 left by RAW', '4\n2\n', 'ADD R32,R2\nSUB R2,R32,R32\n', [['R2', 'WAR'], ['R32', 'RAW']],
      'tabelul arata R2,R32 si WAR: WAR este pe R2; R32 a ramas de la verificarea RAW'],
    ['RAW under WAR on one register', '5\n2\n', 'ADD R1,R2,R3\nADD R2,R1,R4\n', [['R2', 'WAR']], ''],
    ['all three kinds on R1', '5\n2\n', 'ADD R1,R1,R2\nADD R1,R1,R3\n', [['R1', 'WAW']], ''],
    ['RAW twice, then WAR over the first place', '5\n2\n', 'ADD R1,R4,R2\nADD R4,R1,R1\n', [['R4', 'WAR'], ['R1', 'RAW']],
      'tabelul arata R4,R1 si WAR: WAR este pe R4; R1 a ramas de la verificarea RAW'],
  ];
  for (const [what, config, program, writers, text] of cases) {
    const h = runSim(config, program).report.instructions[1].hazards[0];
    assert.deepEqual(teach.dependWriters(h).map((w) => [w.register, w.kind]), writers, what);
    assert.equal(teach.dependText(h), text, what);
  }
  words.use('en');
  const h = runSim('4\n2\n', 'ADD R32,R2\nSUB R2,R32,R32\n').report.instructions[1].hazards[0];
  assert.equal(teach.dependText(h), 'the table prints R2,R32 and WAR: the WAR is on R2; R32 is left from the RAW check');
  words.use('ro');
});

// ------------------------------------------------------------ why a kind waits, and DEPEND as it is

const diagram = script('logic/diagram-written.js');
const words = script('words/words.js');

// The words a hazard gets: its item in the list, its note and its tie in
// the diagram as written, and the stepper's words in the later one's cycle.
function hazardWordsOf(run, instr, distance) {
  const item = explain.items(run.report).find((it) => it.type === 'hazard' && it.instr === instr && it.distance === distance);
  const note = diagram.layout(run.report).notes.find((n) => n.instr === instr && n.distance === distance);
  const tie = new RegExp(`data-instr="${instr}" data-distance="${distance}"[^>]*aria-label="([^"]*)"`).exec(diagram.draw(run.report).gutter.body)[1];
  const step = stepper.cycleText(run.report, stepper.cycleEvent(run, 'written', instr), instr);
  return { item: item.text, note: note.text, tie, step };
}

test('DEPEND as it is and why a WAR or a WAW waits, on hand-made programs, in both languages', () => {
  const cases = [
    ['WAR on R2, R32 left by RAW', '4\n2\n', 'ADD R32,R2\nSUB R2,R32,R32\n', {
      ro: {
        item: ['Se potrivesc 2 tipuri; tabelul de analiza il arata pe ultimul, WAR, cu R2,R32 in DEPEND: WAR este pe R2; R32 a ramas de la verificarea RAW. ' +
          'De ce asteapta un WAR aici: modelul nu spune in ce etapa citeste 0 pe R2 si nici in ce etapa il scrie 1, asa ca socoteste ca 0 tine R2 ' +
          'pina ajunge in ultima etapa, etapa 4, la 4 - 1 = 3 cicluri dupa ce a intrat; 1 nu poate intra mai devreme.'],
        note: 'WAR R2 dist 1; si RAW R32; DEPEND R2,R32: R32 de la RAW',
        tie: 'WAR pe R2, distanta 1: 1: SUB R2,R32,R32 fata de 0: ADD R32,R2; tot aici RAW pe R32; tabelul arata R2,R32 si WAR: WAR este pe R2; R32 a ramas de la verificarea RAW',
        step: ' Tabelul de analiza arata aici R2,R32 si WAR: WAR este pe R2; R32 a ramas de la verificarea RAW.',
      },
      en: {
        item: ['2 kinds hold; the analysis table shows the last, WAR, with R2,R32 in DEPEND: the WAR is on R2; R32 is left from the RAW check. ' +
          'Why a WAR waits here: the model does not say in which stage 0 reads R2 or 1 writes it, so it counts 0 as holding R2 ' +
          'until it reaches the last stage, stage 4, 4 - 1 = 3 cycles after it entered; 1 may enter no sooner.'],
        note: 'WAR R2 dist 1; also RAW R32; DEPEND R2,R32: R32 from RAW',
        tie: 'WAR on R2, distance 1: 1: SUB R2,R32,R32 and 0: ADD R32,R2; also RAW on R32; the table prints R2,R32 and WAR: the WAR is on R2; R32 is left from the RAW check',
        step: ' The analysis table prints R2,R32 and WAR here: the WAR is on R2; R32 is left from the RAW check.',
      },
    }],
    ['RAW on R1 hidden by WAR on R2', '5\n2\n', 'ADD R1,R2,R3\nADD R2,R1,R4\n', {
      ro: {
        item: ['RAW pe R1: 1 citeste R1, pe care 0 il scrie; WAR pe R2: 1 scrie R2, pe care 0 il citeste. ' +
          'Se potrivesc 2 tipuri; tabelul de analiza il arata pe ultimul, WAR, cu R2 in DEPEND. De ce asteapta un WAR aici'],
        note: 'WAR R2 dist 1; si RAW R1',
        tie: 'WAR pe R2, distanta 1: 1: ADD R2,R1,R4 fata de 0: ADD R1,R2,R3; tot aici RAW pe R1',
        step: null,
      },
      en: {
        item: ['RAW on R1: 1 reads R1, which 0 writes; WAR on R2: 1 writes R2, which 0 reads. ' +
          '2 kinds hold; the analysis table shows the last, WAR, with R2 in DEPEND. Why a WAR waits here'],
        note: 'WAR R2 dist 1; also RAW R1',
        tie: 'WAR on R2, distance 1: 1: ADD R2,R1,R4 and 0: ADD R1,R2,R3; also RAW on R1',
        step: null,
      },
    }],
    ['all three kinds on R1 at distance 1', '5\n2\n', 'ADD R1,R1,R2\nADD R1,R1,R3\n', {
      ro: {
        item: ['Se potrivesc 3 tipuri; tabelul de analiza il arata pe ultimul, WAW, cu R1 in DEPEND. ',
          'De ce asteapta un WAR aici: modelul nu spune in ce etapa citeste 0 pe R1 si nici in ce etapa il scrie 1',
          'De ce asteapta un WAW aici: modelul nu spune in ce etapa scriu 0 si 1 pe R1'],
        note: 'WAW R1 dist 1; si RAW R1; si WAR R1',
        tie: 'WAW pe R1, distanta 1: 1: ADD R1,R1,R3 fata de 0: ADD R1,R1,R2; tot aici RAW pe R1; tot aici WAR pe R1',
        step: null,
      },
      en: {
        item: ['3 kinds hold; the analysis table shows the last, WAW, with R1 in DEPEND. ',
          'Why a WAR waits here: the model does not say in which stage 0 reads R1 or 1 writes it',
          'Why a WAW waits here: the model does not say in which stage 0 and 1 write R1'],
        note: 'WAW R1 dist 1; also RAW R1; also WAR R1',
        tie: 'WAW on R1, distance 1: 1: ADD R1,R1,R3 and 0: ADD R1,R1,R2; also RAW on R1; also WAR on R1',
        step: null,
      },
    }],
  ];
  try {
    for (const [what, config, program, langs] of cases) {
      for (const lang of ['ro', 'en']) {
        words.use(lang);
        const got = hazardWordsOf(pageRun(config, program), 1, 1);
        const want = langs[lang];
        for (const part of want.item) assert.ok(got.item.includes(part), `${what}, ${lang}: ${got.item}`);
        assert.equal(got.note, want.note, what);
        assert.equal(got.tie, want.tie, what);
        if (want.step) assert.ok(got.step.endsWith(want.step), `${what}, ${lang}: ${got.step}`);
        else assert.doesNotMatch(got.step, /DEPEND|ramas|left from/, what);
      }
    }
    words.use('en');
    const facts = explain.modelFacts(pageRun('4\n2\n', 'ADD R32,R2\nSUB R2,R32,R32\n').report);
    assert.match(facts[2], /holding its registers until it reaches the last stage, stage 4\. .* in any of the three ways, may enter only when that one has reached the last stage, 4 - 1 = 3 cycles after it entered/);
    assert.match(explain.modelAside(), /five-stage pipeline of the textbooks\), only RAW makes an instruction wait\. WAR and WAW cannot go wrong there/);
  } finally {
    words.use('ro');
  }
});

// A program's lines as text: {op, dest, sources}.
const parsed = (line) => {
  const [op, dest, ...sources] = line.split(/[ ,]+/);
  return { op, dest, sources };
};

// The registers of one kind between a later and an earlier instruction, from their text, in DEPEND's order.
function kindRegisters(kind, later, earlier) {
  if (kind === 'RAW') return later.sources.filter((r) => r === earlier.dest);
  if (kind === 'WAR') return earlier.sources.filter((r) => r === later.dest);
  return later.dest === earlier.dest ? [later.dest] : [];
}

test('on 500 generated programs, every cell\'s words name what the native program\'s table prints, and where DEPEND holds another kind\'s register, the kind it is from', () => {
  const rnd = prng(2121);
  const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
  let differ = 0;
  let whys = 0;
  words.use('en');
  try {
    for (let n = 0; n < 500; n++) {
      const depth = int(3, 10);
      const regs = int(2, 5);
      const reg = () => 'R' + (rnd() < 0.1 ? 32 : int(1, regs));
      const lines = Array.from({ length: int(2, 12) }, () => `${['ADD', 'SUB', 'MUL'][int(0, 2)]} ${reg()},${reg()}` + (rnd() < 0.7 ? ',' + reg() : ''));
      const config = `${depth}\n${lines.length}\n`;
      const program = lines.join('\n') + '\n';
      const run = pageRun(config, program);
      const text = lines.map(parsed);
      for (const row of tableRows(runNative(config, program).analysis)) {
        for (const cell of row.hazards) {
          const i = row.in;
          const e = i - cell.distance;
          const depend = cell.depend.split(',');
          const own = kindRegisters(cell.kind, text[i], text[e]);
          const got = hazardWordsOf(run, i, cell.distance);
          const where = `program ${n}, ${i} at ${cell.distance}: ${JSON.stringify(lines)}`;
          assert.ok(got.item.includes(`${cell.kind} on ${[...new Set(own)].join(' and ')}: `), where);
          const kinds = ['RAW', 'WAR', 'WAW'].filter((k) => kindRegisters(k, text[i], text[e]).length);
          for (const k of ['WAR', 'WAW']) {
            const why = `Why a ${k} waits here: `;
            assert.equal(got.item.includes(why), kinds.includes(k), where);
            if (kinds.includes(k)) {
              whys++;
              assert.ok(got.item.includes(`${kindRegisters(k, text[i], text[e])[0]} until it reaches the last stage, stage ${depth}, ${depth} - 1 = ${depth - 1} cycles after it entered; ${i} may enter no sooner.`), where);
            }
          }
          if (depend.join() === own.join()) {
            assert.doesNotMatch(got.item + got.note + got.tie, /is left from|DEPEND R/, where);
            continue;
          }
          differ++;
          // Each place past the shown kind's holds the register of the last check before it that reached that place.
          const left = depend.slice(own.length).map((r, k) => {
            const place = own.length + k;
            const from = kinds.filter((x) => x !== cell.kind && kindRegisters(x, text[i], text[e]).length > place).pop();
            assert.equal(kindRegisters(from, text[i], text[e])[place], r, where);
            return [r, from];
          });
          const leftWords = left.map(([r, k]) => `${r} is left from the ${k} check`).join(' and ');
          const why = `the ${cell.kind} is on ${[...new Set(own)].join(' and ')}; ${leftWords}`;
          assert.ok(got.item.includes(`the analysis table shows the last, ${cell.kind}, with ${cell.depend} in DEPEND: ${why}.`), where);
          assert.ok(got.note.endsWith(`; DEPEND ${cell.depend}: ${left.map(([r, k]) => `${r} from ${k}`).join(', ')}`), where);
          assert.ok(got.tie.endsWith(`; the table prints ${cell.depend} and ${cell.kind}: ${why}`), where);
          assert.ok(got.step.includes(` The analysis table prints ${cell.depend} and ${cell.kind} here: ${why}.`), where);
        }
      }
    }
  } finally {
    words.use('ro');
  }
  assert.ok(differ > 100 && whys > 500, `enough cells: ${differ} where DEPEND differs, ${whys} reasons`);
});
