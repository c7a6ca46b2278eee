// Reordering a program: which orders of its instructions compute the same
// (every two that share a register one of them writes keep their order),
// what a move breaks, the program text of an order, and its bubbles.
// Gives binding, breach, breachWords, moveBreach, programText, entries, bubblesOf, moved.
'use strict';

const { instrText, instrLabel } = require('./schedule.js');
const T = require('../words/words.js').t;

// What keeps `later` after `earlier` (instructions of a run report, later
// after earlier as written): {kind, register}, RAW first, then WAR and WAW,
// or null when they may go in either order.
function binding(earlier, later) {
  const reg = later.sources.find((s) => s === earlier.dest);
  if (reg) return { kind: 'RAW', register: reg };
  if (earlier.sources.includes(later.dest)) return { kind: 'WAR', register: later.dest };
  if (earlier.dest === later.dest) return { kind: 'WAW', register: later.dest };
  return null;
}

// The first pair an order puts the wrong way round, as {earlier, later,
// kind, register} (indices as written), or null when the order is legal.
function breach(instrs, order) {
  const seen = new Set();
  for (const i of order) {
    for (let j = i + 1; j < instrs.length; j++) {
      if (!seen.has(j)) continue;
      const b = binding(instrs[i], instrs[j]);
      if (b) return Object.assign({ earlier: i, later: j }, b);
    }
    seen.add(i);
  }
  return null;
}

// Why a breach binds, in the page's words: "1: ADD R3,R1,R4 citeste R1,
// pe care il scrie 0: LD R1,R2: trebuie sa ramina dupa ea."
function breachWords(instrs, b) {
  const [a, later] = [instrs[b.earlier], instrs[b.later]].map(instrLabel);
  return T('order' + b.kind, { a, b: later, r: b.register }) + T('orderStay');
}

// The order with the instruction at position `from` moved to position `to`.
function moved(order, from, to) {
  const next = order.slice();
  next.splice(to, 0, next.splice(from, 1)[0]);
  return next;
}

// What moving position `from` to position `to` of a legal order breaks
// (as breach gives it), or null when the move keeps it legal.
function moveBreach(instrs, order, from, to) {
  const i = order[from];
  const step = to > from ? 1 : -1;
  for (let p = from + step; p !== to + step; p += step) {
    const j = order[p];
    const b = i < j ? binding(instrs[i], instrs[j]) : binding(instrs[j], instrs[i]);
    if (b) return Object.assign({ earlier: Math.min(i, j), later: Math.max(i, j) }, b);
  }
  return null;
}

// The program of an order, one instruction a line as the page writes it.
function programText(instrs, order) {
  return order.map((i) => instrText(instrs[i]) + '\n').join('');
}

// The cycle each position of an order enters when every two instructions
// that keep their order enter at least depth - 1 cycles apart: what the
// correction pass gives, since each waits only for its nearest such one.
function entries(instrs, order, depth) {
  const cycle = [];
  order.forEach((i, p) => {
    let c = p === 0 ? 0 : cycle[p - 1] + 1;
    for (let q = 0; q < p; q++) {
      const j = order[q];
      const bound = j < i ? binding(instrs[j], instrs[i]) : binding(instrs[i], instrs[j]);
      if (bound) c = Math.max(c, cycle[q] + depth - 1);
    }
    cycle.push(c);
  });
  return cycle;
}

function bubblesOf(instrs, order, depth) {
  const cycle = entries(instrs, order, depth);
  return cycle.length ? cycle[cycle.length - 1] - (cycle.length - 1) : 0;
}

module.exports = { binding, breach, breachWords, moveBreach, moved, programText, entries, bubblesOf };
