// What the page keeps in the browser between visits: JSON values under
// 'hazard-sim.' keys of local storage, and a file's content in a form that
// JSON can hold. Full or disabled storage is never an error: the page goes
// on with what it holds, and a value that cannot be read counts as none.
// Gives create, parse, fromContent, toContent, keyOf.
'use strict';

const share = require('../logic/share.js');
const PREFIX = 'hazard-sim.';
const MAX_BYTES = 1000000; // a loaded file larger than this is kept as the text its editor shows

// A value from its text as kept, or null when it cannot be read.
function parse(text) {
  try {
    return JSON.parse(text);
  } catch (e) {
    return null;
  }
}

// area: window.localStorage, or anything with getItem and setItem.
function create(area) {
  // The value's text as kept (to tell whether another tab changed it), or null.
  function text(key) {
    try {
      return area.getItem(PREFIX + key);
    } catch (e) {
      return null;
    }
  }
  return {
    text,
    get: (key) => parse(text(key)),
    // Returns the text kept, or null when storage refused it.
    set(key, value) {
      const json = JSON.stringify(value);
      try {
        area.setItem(PREFIX + key, json);
        return json;
      } catch (e) {
        return null;
      }
    },
  };
}

// The page's own key in a key of local storage ('hazard-sim.editors' ->
// 'editors'), or null for another page's.
const keyOf = (full) => (typeof full === 'string' && full.startsWith(PREFIX) ? full.slice(PREFIX.length) : null);

// A file's content (a string, or a Uint8Array of its bytes) as JSON keeps
// it: bytes up to MAX_BYTES exactly, larger ones as `shown`, the text the
// editor holds.
function fromContent(content, shown) {
  if (typeof content === 'string') return { text: content };
  if (content.length <= MAX_BYTES) return { bytes: share.toBase64Url(content) };
  return { text: shown };
}

// The content kept, or null when it is not there or not readable.
function toContent(kept) {
  if (!kept || typeof kept !== 'object') return null;
  if (typeof kept.text === 'string') return kept.text;
  return typeof kept.bytes === 'string' ? share.fromBase64Url(kept.bytes) : null;
}

module.exports = { create, parse, fromContent, toContent, keyOf };
