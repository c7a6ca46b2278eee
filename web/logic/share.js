// Share links: both input files, byte for byte, in the address after '#',
// as c=<config.txt in base64url>&p=<program.txt in base64url>, and the
// sender's language as a lang= part, which is no concern of the files.
// Gives MAX_LINK, encodeShare, decodeShare, fragmentParts, linkLang, withoutLang, toBase64Url, fromBase64Url, asBytes, sameBytes.
'use strict';

const CHUNK = 0x8000;
const MAX_LINK = 2000000; // characters after '#': Chromium refuses longer addresses

function toBase64Url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += CHUNK) {
    binary += String.fromCharCode.apply(null, bytes.subarray(i, i + CHUNK));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// Returns null when the text is not base64url (without padding).
function fromBase64Url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
  const padded = text.replace(/-/g, '+').replace(/_/g, '/') + '==='.slice((text.length + 3) % 4);
  let binary;
  try {
    binary = atob(padded);
  } catch (e) {
    return null;
  }
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

function asBytes(content) {
  return typeof content === 'string' ? new TextEncoder().encode(content) : content;
}

// content: a string (sent as UTF-8) or a Uint8Array. Returns the fragment without '#'.
function encodeShare(config, program) {
  return 'c=' + toBase64Url(asBytes(config)) + '&p=' + toBase64Url(asBytes(program));
}

// text: a fragment without its '#'. Its '&' parts as {key: value}, the
// lang= parts left out; null when a part has no '=' or a key comes twice.
function fragmentParts(text) {
  const parts = Object.create(null);
  for (const part of text.split('&')) {
    if (/^lang=/.test(part)) continue;
    const eq = part.indexOf('=');
    const key = eq < 0 ? part : part.slice(0, eq);
    if (eq < 0 || key in parts) return null;
    parts[key] = part.slice(eq + 1);
  }
  return parts;
}

// hash: location.hash, with or without its '#'.
// Returns null when it is no share link (empty, or no c= or p= part, as
// '#top'), {config, program} (Uint8Arrays) for a well-formed link, or
// {error: true} for a malformed one.
function decodeShare(hash) {
  const text = hash.charAt(0) === '#' ? hash.slice(1) : hash;
  if (!/(^|&)[cp]=/.test(text)) return null;
  const parts = fragmentParts(text);
  if (parts === null || Object.keys(parts).sort().join() !== 'c,p') return { error: true };
  const config = fromBase64Url(parts.c);
  const program = fromBase64Url(parts.p);
  return config === null || program === null ? { error: true } : { config, program };
}

// The language a link asks for: the code of its lang= part, or null.
function linkLang(hash) {
  const m = /(?:^|[#&])lang=([a-z]+)(?:&|$)/.exec(String(hash || ''));
  return m ? m[1] : null;
}

// hash without its lang= part, and without '#'.
const withoutLang = (hash) =>
  String(hash || '').replace(/^#/, '').split('&').filter((p) => !/^lang=/.test(p)).join('&');

function sameBytes(a, b) {
  const x = asBytes(a);
  const y = asBytes(b);
  return x.length === y.length && x.every((v, k) => v === y[k]);
}

module.exports = { MAX_LINK, encodeShare, decodeShare, fragmentParts, linkLang, withoutLang, toBase64Url, fromBase64Url, asBytes, sameBytes };
