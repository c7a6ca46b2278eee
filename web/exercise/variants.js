// A class's variants of one generated exercise: one for each seed of a
// range, or one for each name of a list, made from the class seed and the
// name (and, for a name given again, which time it is); what the class sheet
// prints and the question bank exports, and what a named variant is called.
// Gives MAX_VARIANTS, setupRequest, choose, variants, variantName.
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

// The exercise setup's values (the store's state.setup) as a request of a
// class's variants: the range from .. to, or with byNames the class seed
// `from` and the names, and what is asked; the one place the setup becomes a request.
function setupRequest(s) {
  return { from: s.from, to: s.to, names: s.byNames ? s.names : null, depth: s.depth, count: s.count, level: s.level, asked: s.asked };
}

// Which variants a request ({from, to, names}) asks for, before any is made:
// {seeds, names, repeats} (names and repeats null for a range; with names,
// every seed is the class seed `from` as typed, '1' when not given, and
// repeats[k] is the time names[k] is given, counting from 1), or {error:
// {key, params}}. names, an array (or a text of one name a line), stands
// instead of the range when given.
function choose(request) {
  const r = request || {};
  if (r.names == null) {
    const seeds = seedRange(r.from, r.to);
    return seeds.error ? seeds : { seeds, names: null, repeats: null };
  }
  const names = Array.isArray(r.names) ? r.names.map((n) => String(n).trim()) : readNames(r.names);
  if (names.length === 0 || names.some((n) => n === '')) return { error: { key: 'namesEmpty' } };
  if (names.length > MAX_VARIANTS) return { error: { key: 'namesMax', params: { n: MAX_VARIANTS } } };
  const long = names.find((n) => n.length > MAX_NAME);
  if (long) return { error: { key: 'nameLong', params: { n: MAX_NAME, name: long.slice(0, 20) } } };
  const times = new Map();
  const repeats = names.map((n) => {
    times.set(n, (times.get(n) || 0) + 1);
    return times.get(n);
  });
  return { seeds: names.map(() => (r.from == null ? '1' : r.from)), names, repeats };
}

// What a variant ({seed, name, repeat}) is called in the key, the CSV and
// the question bank: its name, numbered from the second time it is given
// ('Ana', 'Ana (2)', 'Ana (3)'), or a range's variant its seed.
function variantName(v) {
  if (v.name === null) return v.seed;
  return v.repeat > 1 ? `${v.name} (${v.repeat})` : v.name;
}

// generator: exerciseGen.create(limits). request: {from, to, names,
// depth, count, level, asked}, the variants as choose reads them. Returns
// {variants: [{seed, name, repeat, params, files}]} (name null and repeat 1
// in a range), or {error: {key, params}} in the page's words.
function variants(generator, request) {
  const r = request || {};
  const chosen = choose(r);
  if (chosen.error) return chosen;
  const out = [];
  for (let k = 0; k < chosen.seeds.length; k++) {
    const p = generator.readParams(Object.assign({}, r, { seed: chosen.seeds[k] }));
    if (p.error) return { error: p.why };
    const name = chosen.names ? chosen.names[k] : null;
    const repeat = chosen.repeats ? chosen.repeats[k] : 1;
    let files;
    try {
      files = generator.exercise(Object.assign({}, p, name === null ? {} : { name, repeat }));
    } catch (e) {
      if (!e.why) throw e;
      return { error: e.why };
    }
    out.push({ seed: p.seed, name, repeat, params: p, files });
  }
  return { variants: out };
}

module.exports = { MAX_VARIANTS, setupRequest, choose, variants, variantName };
