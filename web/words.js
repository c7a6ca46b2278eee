// The page's language: t(key, params) over the word files (web/words-<lang>.js,
// one table each), the choice kept in the browser or taken from a link's
// lang= part, the #lang switch, and the page's fixed words (data-w: text,
// data-wl: aria-label), put in again on every switch.
(function (root) {
  'use strict';

  const node = typeof module === 'object' && module.exports;
  const STORE = 'hazard-sim.lang';
  const tables = {};
  if (node) {
    for (const f of require('fs').readdirSync(__dirname))
      if (/^words-[a-z]+\.js$/.test(f)) Object.assign(tables, require('./' + f).hazardWords);
  } else Object.assign(tables, root.hazardWords);
  let lang = 'ro';

  // The word for key in the current language (Romanian when it has none),
  // with {name} put in from params and {n:one|many} the noun for n.
  function t(key, params) {
    const table = tables[lang] && key in tables[lang] ? tables[lang] : tables.ro;
    const w = key in table ? table[key] : key;
    const p = params || {};
    return w.replace(/\{(\w+)(?::([^|}]*)\|([^}]*))?\}/g, (m, k, one, many) =>
      !(k in p) ? m : one === undefined ? String(p[k]) : Number(p[k]) === 1 ? one : many);
  }

  // The language a link asks for: 'lang=<code>' among its '&' parts, when known.
  function linkLang(hash) {
    const m = /(?:^|[#&])lang=([a-z]+)(?:&|$)/.exec(String(hash || ''));
    return m && m[1] in tables ? m[1] : null;
  }

  // hash without its lang= part, and without '#'.
  const withoutLang = (hash) => String(hash || '').replace(/^#/, '').split('&').filter((p) => !/^lang=/.test(p)).join('&');

  const api = {
    t,
    linkLang,
    withoutLang,
    langs: () => Object.keys(tables),
    get lang() {
      return lang;
    },
    // Switches to code when it is a known language; the views draw again.
    use(code, keep) {
      if (!(code in tables)) return;
      const changed = code !== lang;
      lang = code;
      if (node) return;
      if (keep !== false) {
        try {
          localStorage.setItem(STORE, code);
        } catch (e) {
          // storage disabled: the choice lasts for this page
        }
      }
      fill();
      if (changed && root.hazardRun) root.hazardRun.emit('lang', code);
    },
  };
  if (node) return void (module.exports = api);
  root.hazardText = api;

  const doc = root.document;
  const select = doc.getElementById('lang');

  function fill() {
    doc.documentElement.lang = lang;
    for (const el of doc.querySelectorAll('[data-w]')) el.textContent = t(el.dataset.w);
    for (const el of doc.querySelectorAll('[data-wl]')) el.setAttribute('aria-label', t(el.dataset.wl));
    if (select) select.value = lang;
  }

  if (select) {
    for (const code of Object.keys(tables)) {
      const option = Object.assign(doc.createElement('option'), { value: code, textContent: tables[code]._name });
      option.lang = code;
      select.append(option);
    }
    select.addEventListener('change', () => api.use(select.value));
  }
  let kept = null;
  try {
    kept = localStorage.getItem(STORE);
  } catch (e) {
    // storage disabled: the default language
  }
  lang = linkLang(root.location.hash) || (kept in tables ? kept : 'ro');
  fill();
  root.addEventListener('hashchange', () => {
    const asked = linkLang(root.location.hash);
    if (asked) api.use(asked);
  });
})(this);
