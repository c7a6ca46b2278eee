// The best order of a program: the legal order of its instructions that
// needs the fewest bubbles, found by a search bounded by a number of steps.
// Gives bestOrder.
'use strict';

const { binding } = require('./reorder.js');

const STEPS = 150000;

// {order, bubbles, exact, bound} for instructions of a run report at
// `depth`: order the indices as written, bubbles its bubbles, exact true
// when no legal order needs fewer, bound the fewest any could need. At most
// `steps` states are expanded, so every machine gives the same answer.
//
// Each instruction enters at the first cycle its bound ones allow (depth - 1
// after each, one after the one before); the last one's cycle is the cost.
// Only orders that never leave a cycle empty while an instruction could
// enter in it are tried: moving such an instruction into the empty cycle
// delays none. The search asks, for each last cycle from the least up, if an
// order ends by it; each failure proves the next as a bound. A state is
// left when the instructions left cannot end by that cycle even if each were
// bound only to those placed and to the ones it must precede, or when one
// that failed before shows it fails.
function bestOrder(instrs, depth, steps = STEPS) {
  const n = instrs.length;
  const gap = depth - 1;
  const preds = instrs.map(() => []);
  const succs = instrs.map(() => []);
  instrs.forEach((b, j) => instrs.slice(0, j).forEach((a, i) => binding(a, b) && (preds[j].push(i), succs[i].push(j))));

  const taken = new Int32Array(n * (2 * depth + 1));
  let stamp = 0;
  // The least last cycle when each of `list` (longest tail first) enters at
  // release(j) or later, one a cycle, and is followed by its tail: each in
  // turn takes the first cycle free from its release (none below 0 counts).
  function fill(list, release) {
    stamp++;
    let most = 0;
    for (const j of list) {
      let c = release(j);
      if (c < 0) continue;
      while (taken[c] === stamp) c++;
      taken[c] = stamp;
      most = Math.max(most, c + tail[j]);
    }
    return most;
  }
  // tail[i]: cycles from i's entry to the last entry, at least. Those that
  // must follow i (after[i]: each with how many cycles after i it enters at
  // least, gap for each link of the longest chain down to it) take a cycle
  // each, and each is followed by its own tail.
  const tail = [];
  const after = [];
  for (let i = n - 1; i >= 0; i--) {
    after[i] = new Map();
    for (const s of succs[i]) {
      after[i].set(s, Math.max(after[i].get(s) || 0, gap));
      for (const [d, h] of after[s]) after[i].set(d, Math.max(after[i].get(d) || 0, h + gap));
    }
    tail[i] = fill([...after[i].keys()].sort((a, b) => tail[b] - tail[a]), (d) => after[i].get(d));
  }
  const byTail = [...instrs.keys()].sort((a, b) => tail[b] - tail[a] || a - b);

  const placed = new Uint8Array(n);
  const waiting = preds.map((p) => p.length);
  const cycle = [];
  const order = [];
  const mask = [0, 0];
  // The instructions placed (as bits) -> the last 32 states of theirs that
  // failed, none failing another: how long each ready one waited after the
  // first free cycle, and how many cycles were left.
  const failed = new Map();
  let left = steps;

  // Whether an order ending by cycle `end` follows the `order` placed so far,
  // whose last instruction entered at cycle `last`; if so, order holds it.
  function fits(last, end) {
    if (order.length === n) return true;
    if (--left < 0) return false;
    const head = [];
    let first = Infinity;
    for (let j = 0; j < n; j++) {
      if (placed[j]) continue;
      let c = last + 1;
      for (const p of preds[j]) c = Math.max(c, (placed[p] ? cycle[p] : head[p]) + gap);
      head[j] = c;
      if (c < first) first = c;
    }
    if (fill(byTail, (j) => (placed[j] ? -1 : head[j])) > end) return false;
    // A state that failed with the same instructions placed, its ready ones
    // waiting no longer and as many cycles left or more, fails this one.
    const wait = byTail.filter((j) => !placed[j] && !waiting[j]).map((j) => head[j] - first);
    const slack = end - first;
    const key = mask[0] + mask[1] * 2 ** 32;
    const known = failed.get(key) || [];
    if (known.some((f) => f.slack >= slack && f.wait.every((w, k) => wait[k] >= w))) return false;
    for (const j of byTail) {
      if (head[j] !== first || waiting[j]) continue;
      place(j, first, 1);
      if (fits(first, end)) return true;
      place(j, first, -1);
      if (left < 0) return false;
    }
    failed.set(key, known.filter((f) => f.slack > slack || f.wait.some((w, k) => wait[k] > w)).concat({ wait, slack }).slice(-32));
    return false;
  }

  function place(j, c, way) {
    placed[j] = way > 0;
    cycle[j] = c;
    if (way > 0) order.push(j);
    else order.pop();
    for (const s of succs[j]) waiting[s] -= way;
    mask[j >> 5] ^= 1 << (j & 31);
  }

  const rise = []; // the least cycle each can enter at
  preds.forEach((p, j) => (rise[j] = Math.max(0, ...p.map((i) => rise[i] + gap))));
  let end = fill(byTail, (j) => rise[j]);
  while (!fits(-1, end) && left >= 0) end++;
  if (left < 0) {
    left = Infinity;
    fits(-1, Infinity);
  }
  const bubbles = cycle[order[n - 1]] - n + 1;
  const bound = end - n + 1;
  return { order, bubbles, exact: bubbles === bound, bound };
}

module.exports = { bestOrder };
