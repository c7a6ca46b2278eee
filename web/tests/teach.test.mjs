// The teaching views' logic under Node, on runs of the module: the delay
// arithmetic gives the simulator's own bubbles, each cycle shows what the
// schedule holds and the conflict or the wait in it, and the list has one
// item per hazard and per delayed instruction, in words worked out by hand.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, exampleInput } from './lib.mjs';

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
      assert.equal(it.text.includes(`tabelul de analiza il arata pe ultimul: ${h.shown.kind}`), h.kinds.length > 1, it.text);
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
      'WAW pe R3: amindoua scriu R3. Se potrivesc 2 tipuri; tabelul de analiza il arata pe ultimul: WAW R3. ' +
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
