// The best order of a program: the legal order of its instructions that
// needs the fewest bubbles, found by a search bounded by a number of steps.
// Gives bestOrder.
'use strict';

const { binding } = require('./reorder.js');

const STEPS = 300000;

// The least last cycle when each of `items` [release, tail] enters at its
// release or later, one a cycle, and ends tail cycles after its entry.
function jackson(items) {
  const rest = items.sort((a, b) => b[1] - a[1]);
  let t = -Infinity;
  let most = 0;
  while (rest.length) {
    t = Math.max(t, Math.min(...rest.map((x) => x[0])));
    const [, q] = rest.splice(rest.findIndex((x) => x[0] <= t), 1)[0];
    most = Math.max(most, t++ + q);
  }
  return most;
}

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
// order ends by it; each failure proves the next as a bound. A state (the
// instructions placed, and the cycles after the next free one that those
// ready must wait) is left when the instructions left cannot end by that
// cycle, each taking a cycle and each followed by its tail, or when it failed
// before with as many cycles left.
function bestOrder(instrs, depth, steps = STEPS) {
  const n = instrs.length;
  const gap = depth - 1;
  const preds = instrs.map(() => []);
  const succs = instrs.map(() => []);
  instrs.forEach((b, j) => instrs.slice(0, j).forEach((a, i) => binding(a, b) && (preds[j].push(i), succs[i].push(j))));
  // tail[i]: cycles from i's entry to the last entry, at least. Those that
  // must follow i (after[i]: each with how many cycles after i it enters at
  // least, gap for each link of the longest chain down to it) enter one a
  // cycle, and each is followed by its own tail.
  const tail = [];
  const after = [];
  for (let i = n - 1; i >= 0; i--) {
    after[i] = new Map();
    for (const s of succs[i]) {
      after[i].set(s, Math.max(after[i].get(s) || 0, gap));
      for (const [d, h] of after[s]) after[i].set(d, Math.max(after[i].get(d) || 0, h + gap));
    }
    tail[i] = jackson([...after[i]].map(([d, h]) => [h, tail[d]]));
  }
  const byTail = [...instrs.keys()].sort((a, b) => tail[b] - tail[a] || a - b);

  const placed = new Uint8Array(n);
  const waiting = preds.map((p) => p.length);
  const cycle = [];
  const order = [];
  const mask = [0, 0];
  const failed = new Map(); // state -> the most cycles left after it that no order fits in
  let left = steps;

  // Whether an order ending by cycle `end` follows the `order` placed so far,
  // whose last instruction entered at cycle `last`; if so, order holds it.
  function fits(last, end) {
    if (order.length === n) return true;
    if (--left < 0) return false;
    const enter = [];
    let first = Infinity;
    for (let j = 0; j < n; j++) {
      if (placed[j] || waiting[j]) continue;
      let c = last + 1;
      for (const p of preds[j]) c = Math.max(c, cycle[p] + gap);
      enter[j] = c;
      if (c < first) first = c;
    }
    let bound = 0;
    let k = 0;
    let key = mask[0] + mask[1] * 2 ** 32;
    for (const j of byTail) {
      if (placed[j]) continue;
      bound = Math.max(bound, first + k++ + tail[j], (enter[j] ?? 0) + tail[j]);
      if (enter[j] > first) key += ' ' + j + ':' + (enter[j] - first);
    }
    if (bound > end || failed.get(key) >= end - first) return false;
    for (const j of byTail) {
      if (enter[j] !== first) continue;
      place(j, first, 1);
      if (fits(first, end)) return true;
      place(j, first, -1);
      if (left < 0) return false;
    }
    failed.set(key, end - first);
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

  let end = Math.max(...byTail.map((j, k) => k + tail[j]));
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
