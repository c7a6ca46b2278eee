// A class's variants of one generated exercise: one for each seed of a
// range, or one for each name of a list, made from the class seed and the
// name; what the class sheet prints and the question bank exports.
// Gives MAX_VARIANTS, choose, variants.
'use strict';

const MAX_VARIANTS = 200;
const MAX_NAME = 80; // characters of one name

// The names of a list, one a line, blank lines left out.
function readNames(text) {
  return String(text == null ? '' : text).split(/\r?\n/).map((n) => n.trim()).filter(Boolean);
}

// The seeds from .. to as decimal strings (of any length), or {error}.
function seedRange(from, to) {
  const a = String(from == null ? '' : from).trim();
  const b = String(to == null ? '' : to).trim();
  if (!/^[0-9]+$/.test(a) || !/^[0-9]+$/.test(b)) return { error: { key: 'sheetSeeds' } };
  const lo = BigInt(a);
  const hi = BigInt(b);
  if (hi < lo) return { error: { key: 'sheetOrder' } };
  if (hi - lo >= BigInt(MAX_VARIANTS)) return { error: { key: 'sheetMax', params: { n: MAX_VARIANTS } } };
  const out = [];
  for (let s = lo; s <= hi; s++) out.push(s.toString());
  return out;
}

// Which variants a request ({from, to, names}) asks for, before any is made:
// {seeds, names} (names null for a range; with names, every seed is the
// class seed `from`, as typed), or {error: {key, params}}. names, an array
// (or a text of one name a line), stands instead of the range when given.
function choose(request) {
  const r = request || {};
  if (r.names == null) {
    const seeds = seedRange(r.from, r.to);
    return seeds.error ? seeds : { seeds, names: null };
  }
  const names = Array.isArray(r.names) ? r.names.map((n) => String(n).trim()) : readNames(r.names);
  if (names.length === 0 || names.some((n) => n === '')) return { error: { key: 'namesEmpty' } };
  if (names.length > MAX_VARIANTS) return { error: { key: 'namesMax', params: { n: MAX_VARIANTS } } };
  const long = names.find((n) => n.length > MAX_NAME);
  if (long) return { error: { key: 'nameLong', params: { n: MAX_NAME, name: long.slice(0, 20) } } };
  return { seeds: names.map(() => r.from), names };
}

// generator: exerciseGen.create(limits). request: {from, to, names,
// depth, count, level}, the variants as choose reads them. Returns
// {variants: [{seed, name, params, files}]} (name null in a range), or
// {error: {key, params}} in the page's words.
function variants(generator, request) {
  const r = request || {};
  const chosen = choose(r);
  if (chosen.error) return chosen;
  const out = [];
  for (let k = 0; k < chosen.seeds.length; k++) {
    const p = generator.readParams(Object.assign({}, r, { seed: chosen.seeds[k] }));
    if (p.error) return { error: p.why };
    const name = chosen.names ? chosen.names[k] : null;
    out.push({ seed: p.seed, name, params: p, files: generator.exercise(Object.assign({}, p, name === null ? {} : { name })) });
  }
  return { variants: out };
}

module.exports = { MAX_VARIANTS, choose, variants };
