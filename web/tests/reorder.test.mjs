// The best order under Node: on small programs, the fewest bubbles the
// search proves against every legal order tried, both orders' bubbles as the
// simulator counts them, also where the bound at the start falls short; on
// large ones with few steps, an honest bound.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, randomProgram } from './lib.mjs';

const { bestOrder } = script('logic/best-order.js');
const { binding, breach, bubblesOf, programText } = script('logic/reorder.js');
const sim = await loadSim();
const gen = script('exercise/gen.js').create(sim.limits);

const instructions = ({ config, program }) => sim.run(config, program).report.instructions;
const simBubbles = (instrs, order, depth) => sim.run(`${depth}\n${instrs.length}\n`, programText(instrs, order)).report.bubbles;

// The fewest bubbles over every legal order, and the first order reaching them.
function bruteForce(instrs, depth) {
  const n = instrs.length;
  const best = { bubbles: Infinity, order: null };
  const order = [];
  (function walk() {
    if (order.length === n) {
      const b = bubblesOf(instrs, order, depth);
      if (b < best.bubbles) Object.assign(best, { bubbles: b, order: order.slice() });
      return;
    }
    for (let i = 0; i < n; i++) {
      if (order.includes(i) || instrs.slice(0, i).some((a, j) => !order.includes(j) && binding(a, instrs[i]))) continue;
      order.push(i);
      walk();
      order.pop();
    }
  })();
  return best;
}

// What every answer must be: a legal permutation with the bubbles the
// simulator gives it, a bound below them (equal when exact), the same again.
function checkAnswer(instrs, depth, steps, name) {
  const got = bestOrder(instrs, depth, steps);
  assert.deepEqual([...got.order].sort((a, b) => a - b), [...instrs.keys()], name);
  assert.equal(breach(instrs, got.order), null, name);
  assert.equal(simBubbles(instrs, got.order, depth), got.bubbles, name);
  assert.ok(got.bound <= got.bubbles && got.exact === (got.bound === got.bubbles), name);
  assert.deepEqual(bestOrder(instrs, depth, steps), got, name);
  return got;
}

// [seed, depth, count, registers] of randomProgram: the 20 of the first 40,000 small programs whose fewest
// is above the search's bound at the start, so that it must fail and remember states.
const SHORT = [[52, 7, 8, 7], [341, 8, 7, 8], [713, 4, 9, 8], [2363, 6, 9, 8], [3274, 5, 10, 7], [4049, 4, 10, 8], [8387, 6, 8, 8], [13511, 10, 7, 8], [16023, 10, 9, 6], [16492, 7, 8, 7],
  [18605, 8, 6, 8], [18897, 4, 8, 6], [23309, 8, 10, 8], [26049, 4, 10, 6], [29779, 6, 10, 4], [30149, 8, 10, 8], [31139, 6, 10, 8], [32543, 10, 9, 8], [33202, 5, 8, 7], [35435, 6, 6, 8]];
// One whose best order passes through a state that waits one cycle less than one that failed
// with the same instructions placed: the search must not take it for the failed one.
const WAITS = [12964, 7, 10, 8];

test('the fewest bubbles of small programs at every depth are those of every legal order tried, also where the first bound falls short', () => {
  const programs = [];
  for (let seed = 0; seed < 120; seed++) {
    const depth = 3 + (seed % 8);
    const count = 2 + (seed % 7);
    programs.push([`seed ${seed} few`, depth, gen.exercise({ seed, depth, count, level: 'few' })], [`seed ${seed} many`, depth, gen.exercise({ seed, depth, count, level: 'many' })],
      [`seed ${seed} random`, depth, randomProgram(seed, depth, count, 3 + (seed % 10))]);
  }
  for (const [seed, depth, count, registers] of SHORT) programs.push([`short ${seed}`, depth, randomProgram(seed, depth, count, registers)]);
  programs.push([`waits ${WAITS[0]}`, WAITS[1], randomProgram(...WAITS)]);
  for (const [name, depth, program] of programs) {
    const instrs = instructions(program);
    const got = checkAnswer(instrs, depth, undefined, name);
    const brute = bruteForce(instrs, depth);
    assert.equal(simBubbles(instrs, brute.order, depth), brute.bubbles, name);
    assert.deepEqual([got.exact, got.bubbles], [true, brute.bubbles], name);
    if (name.startsWith('short')) assert.ok(bestOrder(instrs, depth, 1).bound < got.bubbles, `${name}: the bound at the start falls short`);
  }
  assert.equal(programs.length, 381);
});

test('with the steps cut short, large programs get a legal order and a bound the full search keeps', () => {
  for (let seed = 0; seed < 12; seed++) {
    const depth = 3 + (seed % 8);
    const program = seed % 2 ? randomProgram(seed, depth, 50, 24) : gen.exercise({ seed, depth, count: 50, level: 'few' });
    const instrs = instructions(program);
    const full = checkAnswer(instrs, depth, undefined, `seed ${seed}`);
    for (const steps of [1, 60]) {
      const cut = checkAnswer(instrs, depth, steps, `seed ${seed}, ${steps} steps`);
      assert.ok(cut.bound <= full.bound && cut.bubbles >= full.bubbles, `seed ${seed}, ${steps} steps`);
    }
  }
});
