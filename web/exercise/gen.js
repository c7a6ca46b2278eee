// The exercise generator: from a seed, a depth, a number of instructions and
// a level (and, for a class's named variants, a name and which time in the
// list it is given; asked to be reordered, a program that reordering helps),
// the same config.txt and program.txt in every browser and under Node.
// Gives create(limits) -> {exercise, readParams}, hash32.
'use strict';

const LEVELS = ['few', 'many'];
const MANY_POOL = 6; // registers a 'many' program draws from
const REORDER_TRIES = 40; // programs tried for one seed asked to be reordered
const T = require('../words/words.js').t;
const { bubblesOf } = require('../logic/reorder.js');
const { bestOrder } = require('../logic/best-order.js');

// A whole number 0 .. (any size) as a string, or a number. Leading zeros
// and surrounding spaces do not make another seed.
function seedText(seed) {
  if (typeof seed === 'number') return Number.isSafeInteger(seed) && seed >= 0 ? String(seed) : null;
  if (typeof seed !== 'string') return null;
  const text = seed.trim();
  return /^[0-9]+$/.test(text) ? text.replace(/^0+(?=.)/, '') : null;
}

// FNV-1a over the characters of a string: a seed of any length gives 32 bits.
function hash32(text) {
  let h = 0x811c9dc5;
  for (let i = 0; i < text.length; i++) {
    h ^= text.charCodeAt(i);
    h = Math.imul(h, 0x01000193);
  }
  return h >>> 0;
}

function wholeIn(value, [lo, hi]) {
  const text = typeof value === 'number' ? String(value) : typeof value === 'string' ? value.trim() : '';
  if (!/^[0-9]{1,3}$/.test(text)) return null;
  const n = Number(text);
  return n >= lo && n <= hi ? n : null;
}

const without = (list, drop) => list.filter((r) => !drop.includes(r));
const range = (lo, hi) => Array.from({ length: hi - lo + 1 }, (_, k) => lo + k);

// One instruction {op, dest, sources} with registers as numbers.
function line(ins) {
  return ins.op + ' ' + [ins.dest].concat(ins.sources).map((r) => 'R' + r).join(',') + '\n';
}

// mulberry32: below(n) is a whole number 0 .. n - 1.
function stream(state) {
  let s = state | 0;
  const next = () => {
    s = (s + 0x6d2b79f5) | 0;
    let t = Math.imul(s ^ (s >>> 15), 1 | s);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return (t ^ (t >>> 14)) >>> 0;
  };
  const below = (n) => next() % n;
  return { below, pick: (list) => list[below(list.length)] };
}

// What is wrong, in the page's words and as a word's key and its values.
const failure = (key, params) => ({ error: T(key, params), why: { key, params } });
const reordered = (p) => typeof p.asked === 'string' && p.asked.includes('r');

// Whether some legal order of a program (instructions as the generator
// makes them, registers as numbers) needs fewer bubbles than as written,
// proved by the search.
function reorderHelps(out, depth) {
  const instrs = out.map((ins, index) => ({ index, dest: ins.dest, sources: ins.sources }));
  const best = bestOrder(instrs, depth);
  return best.exact && best.bubbles < bubblesOf(instrs, instrs.map((ins) => ins.index), depth);
}

// The generator for the simulator's limits ({depth, count, registers,
// mnemonics}, as hazardSim.limits gives them).
function create(limits) {
  // {seed, depth, count, level, asked} as typed or given. Returns the same
  // values made canonical (asked as given, when given), or {error, why}:
  // what is wrong in the page's words, and as a word's key and its values.
  function readParams(params) {
    const p = params || {};
    const fail = (key, range) => failure(key, range ? { lo: range[0], hi: range[1] } : {});
    const seed = seedText(p.seed);
    if (seed === null) return fail('badSeed');
    const depth = wholeIn(p.depth, limits.depth);
    if (depth === null) return fail('badDepth', limits.depth);
    const count = wholeIn(p.count, limits.count);
    if (count === null) return fail('badCount', limits.count);
    if (!LEVELS.includes(p.level)) return fail('badLevel');
    // With 2 instructions, any hazard fixes the order.
    if (reordered(p) && count < 3) return fail('badCountR');
    return Object.assign({ seed, depth, count, level: p.level }, typeof p.asked === 'string' ? { asked: p.asked } : {});
  }

  // The program's instructions. At the level 'many', registers come from a
  // small pool and, from 4 instructions on, three pairs of neighbours are
  // built so that the analysis table shows a RAW, a WAR and a WAW at
  // distance 1 (always closer than depth - 1): the later one of a RAW pair
  // reads the earlier one's destination and writes none of its registers; a
  // WAR pair's later one writes a source of the earlier one but not its
  // destination; a WAW pair's both write one register. At the level 'few',
  // one pair is built (see fewPair).
  function instructions(rng, depth, count, level) {
    const many = level === 'many';
    const base = many ? 1 + rng.below(limits.registers - MANY_POOL + 1) : 1;
    const pool = range(base, base + (many ? MANY_POOL : limits.registers) - 1);
    const built = {};
    const back = {}; // a built pair's later instruction -> how far back its earlier one is
    if (count >= 4 && many) {
      const later = range(1, count - 1);
      for (const kind of ['RAW', 'WAR', 'WAW']) built[later.splice(rng.below(later.length), 1)[0]] = kind;
    }
    if (!many) {
      const pair = fewPair(rng, depth, count);
      built[pair.at] = pair.kind;
      back[pair.at] = pair.distance;
    }
    // At the level 'few', a register used in the last depth - 2 instructions
    // is drawn again once, so that conflicts stay rare but can happen.
    const recent = (out) => out.slice(-(depth - 2)).flatMap((ins) => [ins.dest].concat(ins.sources));
    const draw = (out, from) => {
      const r = rng.pick(from);
      if (many || !recent(out).includes(r)) return r;
      return rng.pick(from);
    };

    const out = [];
    for (let i = 0; i < count; i++) {
      const prev = out[i - (back[i] || 1)];
      const kind = built[i];
      let dest;
      const sources = [];
      if (kind === 'RAW') {
        dest = rng.pick(without(pool, [prev.dest].concat(prev.sources)));
        sources.push(prev.dest);
      } else if (kind === 'WAR') {
        dest = rng.pick(many ? without(prev.sources, [prev.dest]) : prev.sources);
      } else if (kind === 'WAW') {
        dest = prev.dest;
      } else {
        dest = draw(out, pool);
      }
      // Before a WAR built at 'many', a source other than the destination.
      const first = many && built[i + 1] === 'WAR' ? without(pool, [dest]) : pool;
      if (sources.length === 0) sources.push(draw(out, first));
      if (rng.below(10) < 7) sources.push(draw(out, pool));
      if (kind === 'RAW' && rng.below(2) === 1) sources.reverse();
      out.push({ op: rng.pick(limits.mnemonics), dest, sources });
    }
    return out;
  }

  // The pair of a 'few' program that the analysis table always shows: a
  // RAW, WAR or WAW between an instruction and one 1 .. depth - 2 places
  // before it (the table shows no farther one), both chosen from the seed.
  // A shown hazard is always waited for: the first instruction that has one
  // gets at least one bubble. Returns {at, distance, kind}.
  function fewPair(rng, depth, count) {
    const distance = 1 + rng.below(Math.min(depth - 2, count - 1));
    const at = distance + rng.below(count - distance);
    return { at, distance, kind: rng.pick(['RAW', 'WAR', 'WAW']) };
  }

  // {seed, depth, count, level, asked, name, repeat} -> {config, program},
  // both strings; name (optional) makes a variant of its own for each name
  // with one seed, and repeat (2, 3, ...) one for each time a name is given
  // again. With r in asked, the first of the seed's programs (its own, then
  // one of each try's seed) whose fewest bubbles are proved and fewer than
  // as written. Throws an Error with the message of readParams for values
  // out of range, or of no such program; its why as readParams gives it.
  function exercise(params) {
    const p = readParams(params);
    if (p.error) throw Object.assign(new Error(p.error), p);
    const again = Number.isSafeInteger(params.repeat) && params.repeat >= 2 ? '\n' + params.repeat : '';
    const named = typeof params.name === 'string' ? '\n' + params.name + again : '';
    const seed = [p.seed, p.depth, p.count, p.level].join(':') + named;
    const tries = reordered(p) ? REORDER_TRIES : 1;
    for (let k = 0; k < tries; k++) {
      const out = instructions(stream(hash32(k ? seed + '\nr' + k : seed)), p.depth, p.count, p.level);
      if (tries === 1 || reorderHelps(out, p.depth)) return { config: p.depth + '\n' + p.count + '\n', program: out.map(line).join('') };
    }
    const none = failure('reorderNone', {});
    throw Object.assign(new Error(none.error), none);
  }

  return { exercise, readParams };
}

module.exports = { create, hash32 };
