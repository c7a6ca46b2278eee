// The best order of a program: the legal order of its instructions that
// needs the fewest bubbles, found by a search bounded by a number of steps.
// Gives bestOrder.
'use strict';

const { binding, bubblesOf } = require('./reorder.js');

// {order, bubbles, exact, bound} for instructions of a run report at
// `depth`: order the indices as written, bubbles its bubbles, exact true
// when no legal order needs fewer, bound the fewest any could need.
// (For now every legal order is tried: small programs only.)
function bestOrder(instrs, depth) {
  const n = instrs.length;
  const before = instrs.map((a, i) => instrs.slice(0, i).map((b, j) => j).filter((j) => binding(instrs[j], a)));
  let best = null;
  const order = [];
  const placed = new Array(n).fill(false);
  (function walk() {
    if (order.length === n) {
      const b = bubblesOf(instrs, order, depth);
      if (!best || b < best.bubbles) best = { order: order.slice(), bubbles: b };
      return;
    }
    for (let i = 0; i < n; i++) {
      if (placed[i] || !before[i].every((j) => placed[j])) continue;
      placed[i] = true;
      order.push(i);
      walk();
      order.pop();
      placed[i] = false;
    }
  })();
  return { order: best.order, bubbles: best.bubbles, exact: true, bound: best.bubbles };
}

module.exports = { bestOrder };
