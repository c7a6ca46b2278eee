// What the teaching views share: a delay's arithmetic worked out from the run
// report, and the Romanian words for instructions, hazard kinds and delays.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const model = node ? require('./run-model.js') : root.hazardRun;

  // "1 bula", "3 bule": a number with its noun.
  function count(n, one, many) {
    return n + ' ' + (n === 1 ? one : many);
  }

  function registers(list) {
    return [...new Set(list)].join(' si ');
  }

  // One kind of hazard between the later and the earlier instruction, in words.
  function kindText(k, later, earlier) {
    const regs = registers(k.registers);
    if (k.kind === 'RAW') return `RAW pe ${regs}: ${later} citeste ${regs}, pe care ${earlier} il scrie`;
    if (k.kind === 'WAR') return `WAR pe ${regs}: ${later} scrie ${regs}, pe care ${earlier} il citeste`;
    return `WAW pe ${regs}: amindoua scriu ${regs}`;
  }

  // What the table prints for a hazard: "WAW R3".
  function shownText(h) {
    return h.shown.kind + ' ' + registers(h.shown.registers);
  }

  // How instruction i came to its entry cycle in the corrected schedule, or
  // null when it has no hazard (it then enters right after what came before):
  //   earlier, distance  its nearest hazard
  //   entered            the cycle the earlier one entered
  //   need               the first cycle it may enter: entered + depth - 1
  //   before             the bubbles inserted before it, ahead of its own
  //   would              the cycle it would enter without its own bubbles
  //   delay              its bubbles: need - would, or 0 when that is not above 0
  function delayOf(report, i) {
    const ins = report.instructions[i];
    if (!ins || !ins.nearest) return null;
    const { earlier, distance } = ins.nearest;
    const entered = report.instructions[earlier].entry;
    const need = entered + report.depth - 1;
    const would = ins.entry - ins.delay;
    const hazard = ins.hazards.find((h) => h.distance === distance) || null;
    return {
      instr: i,
      earlier,
      distance,
      hazard,
      entered,
      need,
      before: would - i,
      would,
      delay: Math.max(0, need - would),
    };
  }

  // The arithmetic of a delay, with the run's numbers.
  function delayText(report, d) {
    const ins = report.instructions;
    const later = model.instrLabel(ins[d.instr]);
    const earlier = model.instrLabel(ins[d.earlier]);
    const kinds = d.hazard ? d.hazard.kinds.map((k) => k.kind + ' pe ' + registers(k.registers)).join(', ') : '';
    const head =
      `${later} asteapta dupa ${earlier}, cel mai apropiat conflict al ei ` +
      `(distanta ${d.distance}${kinds ? ': ' + kinds : ''}). ` +
      `${d.earlier} a intrat in ciclul ${d.entered}; o instructiune in conflict cu ea poate intra ` +
      `cel mai devreme in ciclul ${d.entered} + ${report.depth} - 1 = ${d.need}. ` +
      `${d.instr} ar intra in ciclul ${d.would} (${d.instr} + ${count(d.before, 'bula', 'bule')} de mai inainte)`;
    if (d.delay > 0)
      return `${head}, deci asteapta ${d.need} - ${d.would} = ${count(d.delay, 'bula', 'bule')} si intra in ciclul ${d.need}.`;
    return `${head}, care nu e mai devreme de ${d.need}: nu asteapta nicio bula, bulele de mai inainte i-au facut deja loc.`;
  }

  const api = { count, registers, kindText, shownText, delayOf, delayText };
  if (node) module.exports = api;
  else root.hazardTeach = api;
})(this);
