// Exercise links: what follows '#' in the address of an exercise, and back.
// A generated one is x=<seed>&d=<depth>&n=<count>&l=<level>&a=<asked>, one
// on given files c=<config.txt>&p=<program.txt>&a=<asked> (base64url, as a
// share link): the questions and the files, nothing of the answer. A lang=
// part (the sender's language) is left to the page.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const share = node ? require('./share.js') : root.hazardShare;
  const gen = node ? require('./exercise-gen.js') : root.hazardExerciseGen;
  const check = node ? require('./exercise-check.js') : root.hazardExerciseCheck;
  const T = (node ? require('./words.js') : root.hazardText).t;

  const GENERATED = ['x', 'd', 'n', 'l', 'a'];
  const FILES = ['c', 'p', 'a'];

  // exercise: {asked, source: {kind: 'generated', seed, depth, count, level}}
  // or {asked, source: {kind: 'files'}, config, program}.
  function fragment(exercise) {
    const s = exercise.source;
    if (s.kind === 'generated') return `x=${s.seed}&d=${s.depth}&n=${s.count}&l=${s.level}&a=${exercise.asked}`;
    return share.encodeShare(exercise.config, exercise.program) + '&a=' + exercise.asked;
  }

  // hash: location.hash, with or without '#'. Returns null when it is no
  // exercise link (it has neither x= nor a=), {error} with what is wrong, or
  // the exercise with its files: strings for a generated one, else bytes.
  function read(hash) {
    const text = String(hash || '').replace(/^#/, '');
    if (!/(^|&)[xa]=/.test(text)) return null;
    const fields = share.fragmentParts(text);
    if (fields === null) return { error: T('badExLink') };
    const keys = Object.keys(fields).sort().join();
    const asked = check.readAsked(fields.a);
    if (keys !== [...GENERATED].sort().join() && keys !== [...FILES].sort().join())
      return { error: T('badExLink') };
    if (asked === null) return { error: T('badExAsked') };
    if ('x' in fields) {
      const p = gen.readParams({ seed: fields.x, depth: fields.d, count: fields.n, level: fields.l });
      if (p.error) return { error: T('badExParams', { e: p.error }) };
      return Object.assign({ asked, source: Object.assign({ kind: 'generated' }, p) }, gen.exercise(p));
    }
    const config = share.fromBase64Url(fields.c);
    const program = share.fromBase64Url(fields.p);
    if (config === null || program === null) return { error: T('badExFiles') };
    return { asked, source: { kind: 'files' }, config, program };
  }

  const api = { fragment, read };
  if (node) module.exports = api;
  else root.hazardExerciseLink = api;
})(this);
