// The explanations in words: every hazard and every delay of a run, and how
// the model works, with the run's numbers.
// Gives items, modelFacts, modelAside.
'use strict';

const model = require('./schedule.js');
const teach = require('./teach.js');
const T = require('../words/words.js').t;

function hazardText(report, i, h) {
  const ins = report.instructions;
  const me = ins[i];
  const kinds = h.kinds.map((k) => teach.kindText(k, i, h.earlier)).join('; ');
  let text = T('hz', { a: model.instrLabel(me), b: model.instrLabel(ins[h.earlier]), d: h.distance, kinds });
  if (h.kinds.length > 1) {
    const why = teach.dependWhy(h);
    text += T('hzMany', { n: h.kinds.length, k: h.shown.kind, regs: h.shown.registers.join(','), why: why && ': ' + why });
  }
  text += teach.whyWaits(h, i, report.depth);
  if (me.nearest.distance !== h.distance) text += T('hzFar', { i, nd: me.nearest.distance, e: h.earlier });
  else if (me.delay > 0) text += T('hzDelays', { i });
  else text += T('hzNearest', { i }) + teach.delayText(report, teach.delayOf(report, i));
  return text;
}

// The list's items in order: for each instruction, its hazards as the
// analysis table shows them (by distance), then its delay if it has one.
//   {type: 'hazard', instr, earlier, distance, kind, text}
//   {type: 'delay', instr, earlier, delay, text}
function items(report) {
  const out = [];
  for (const ins of report.instructions) {
    for (const h of ins.hazards) {
      out.push({
        type: 'hazard', instr: ins.index, earlier: h.earlier, distance: h.distance, kind: h.shown.kind,
        text: hazardText(report, ins.index, h),
      });
    }
    if (ins.delay > 0) {
      const d = teach.delayOf(report, ins.index);
      out.push({ type: 'delay', instr: ins.index, earlier: d.earlier, delay: ins.delay, text: teach.delayText(report, d) });
    }
  }
  return out;
}

// How the model works, with the run's numbers: one sentence each.
function modelFacts(report) {
  const D = report.depth;
  const n = report.lines;
  const p = { D, D1: D - 1, n, B: report.bubbles, w: report.cycles.written, c: report.cycles.corrected, p: report.performance };
  return [1, 2, 3, 4, 5].map((k) => T('fact' + k, p));
}

// After the model's facts, for the curious: the pipeline of the textbooks,
// where only RAW makes an instruction wait.
const modelAside = () => T('modelAside');

module.exports = { items, modelFacts, modelAside };
