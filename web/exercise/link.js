// Exercise links: what follows '#' in the address of an exercise, and back.
// A generated one is x=<seed>&d=<depth>&n=<count>&l=<level>&a=<asked>, one
// on given files c=<config.txt>&p=<program.txt>&a=<asked> (base64url, as a
// share link): the questions and the files, nothing of the answer. A lang=
// part (the sender's language) is left to the address.
// Gives fragment, read.
'use strict';

const share = require('../logic/share.js');
const check = require('./check.js');

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
// exercise link (it has neither x= nor a=), {error: word key} when it is
// malformed, or what it asks for: {asked, source} with the generator's
// values as written (the generator judges them), or {asked, source,
// config, program} with the files' bytes.
function read(hash) {
  const text = String(hash || '').replace(/^#/, '');
  if (!/(^|&)[xa]=/.test(text)) return null;
  const fields = share.fragmentParts(text);
  if (fields === null) return { error: 'badExLink' };
  const keys = Object.keys(fields).sort().join();
  if (keys !== [...GENERATED].sort().join() && keys !== [...FILES].sort().join()) return { error: 'badExLink' };
  const asked = check.readAsked(fields.a);
  if (asked === null) return { error: 'badExAsked' };
  if ('x' in fields)
    return { asked, source: { kind: 'generated', seed: fields.x, depth: fields.d, count: fields.n, level: fields.l } };
  const config = share.fromBase64Url(fields.c);
  const program = share.fromBase64Url(fields.p);
  if (config === null || program === null) return { error: 'badExFiles' };
  return { asked, source: { kind: 'files' }, config, program };
}

module.exports = { fragment, read };
