// The page's words: t(key, params) over one flat table per language (the
// other files of this folder) in the language in use. Only the store changes
// that language (use); every view draws again when it does.
// Gives t, langs, known, nameOf, lang.
'use strict';

// One line a language: its code and its word file.
const tables = { ro: require('./ro.js'), en: require('./en.js') };
let lang = 'ro';

// The word for key in the language in use (Romanian when it has none),
// with {name} put in from params (a value {key, params} is itself a word)
// and {n:one|many} the noun for n.
function t(key, params) {
  const table = tables[lang] && key in tables[lang] ? tables[lang] : tables.ro;
  const w = key in table ? table[key] : key;
  const p = params || {};
  const value = (v) => (v && typeof v === 'object' && 'key' in v ? t(v.key, v.params) : String(v));
  return w.replace(/\{(\w+)(?::([^|}]*)\|([^}]*))?\}/g, (m, k, one, many) =>
    !(k in p) ? m : one === undefined ? value(p[k]) : Number(p[k]) === 1 ? one : many);
}

const api = {
  t,
  langs: () => Object.keys(tables),
  known: (code) => typeof code === 'string' && Object.hasOwn(tables, code),
  nameOf: (code) => tables[code]._name,
  get lang() {
    return lang;
  },
  // Switches to code when it is a known language; returns whether it is.
  use(code) {
    if (!api.known(code)) return false;
    lang = code;
    return true;
  },
};
module.exports = api;
