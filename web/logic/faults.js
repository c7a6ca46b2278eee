// What is wrong in a run's input files, in the page's words: under each
// editor, every fault with its line and column and the line with the
// character picked out, the lines marked beside the editor, and the status
// line by its cause.
// Gives editorHelp, statusText.
'use strict';

const inputHelp = require('./input-help.js');
const T = require('../words/words.js').t;

const WINDOW = 24; // characters of a long line shown on each side of its fault
const NAMED = { 0: 'NUL', 13: 'CR', 27: 'ESC', 127: 'DEL' };

// A character as the words name it: itself when it can be seen, else its code.
function charName(text) {
  const code = text.codePointAt(0);
  const hex = 'U+' + code.toString(16).toUpperCase().padStart(4, '0');
  if (code < 32 || code === 127) return (NAMED[code] ? NAMED[code] + ', ' : '') + hex;
  if (/\s/u.test(text)) return hex;
  return code < 128 ? `"${text}"` : `"${text}" (${hex})`;
}

// Invisible characters made visible in a shown line.
const visible = (text) => text.replace(/[\x00-\x1f\x7f]/g, (c) => (c === '\t' ? '\u21e5' : String.fromCharCode(c === '\x7f' ? 0x2421 : 0x2400 + c.charCodeAt(0))));

const decode = (bytes, a, b) => new TextDecoder('utf-8', { ignoreBOM: true }).decode(bytes.subarray(a, b));

// The line around a fault: {before, mark, after}, the mark never empty.
function shownLine(bytes, fault, from) {
  const start = Math.max(fault.at, from);
  let before = fault.fault === 'bom' ? '' : decode(bytes, from, start);
  let mark = fault.fault === 'bom' ? 'BOM' : decode(bytes, start, start + fault.size);
  let after = decode(bytes, fault.fault === 'bom' ? from : start + fault.size);
  if (/^\s$/u.test(mark) && mark.charCodeAt(0) >= 32) mark = '\u2423'; // a space of any width
  if (mark === '') mark = '\u25af'; // where a missing field goes
  if (before.length > WINDOW) before = '\u2026' + before.slice(-WINDOW);
  if (after.length > WINDOW) after = after.slice(0, WINDOW) + '\u2026';
  return { before: visible(before), mark: visible(mark), after: visible(after) };
}

// What a fault is, in words. kind: 'cfg' for a config.txt line, 'prog' for a program line.
function faultWords(fault, kind, bytes, limits, name) {
  const c = ['char', 'control'].includes(fault.fault) ? charName(decode(bytes, fault.at, fault.at + fault.size)) : '';
  const p = {
    c, w: fault.word, fix: fault.fix, name, v: fault.value, lo: fault.lo, hi: fault.hi, n: limits.registers,
    list: limits.mnemonics.join(', '), field: fault.field && T('field' + fault.field),
  };
  return T(kind + '_' + fault.fault, p);
}

// One note for each fault of a line: {kind, line, col, text, shown}.
function lineNotes(line, kind, limits, name) {
  const from = line.line === 1 && line.faults.some((f) => f.fault === 'bom') ? 3 : 0;
  return line.faults.map((f) => {
    const place = ['empty', 'blank', 'bounds'].includes(f.fault) ? null : inputHelp.column(line.bytes, Math.max(f.at, from), from);
    const where = T(place === null ? 'atLine' : 'atColumn', { line: line.line, col: place, name: name ? ` (${name})` : '' });
    return {
      kind: kind === 'cfg' && f.fault !== 'bounds' ? 'zero' : 'error',
      line: line.line,
      col: place,
      text: where + ': ' + faultWords(f, kind, line.bytes, limits, name) + '.',
      shown: place === null ? null : shownLine(line.bytes, f, from),
    };
  });
}

// The marks and notes of both editors for a run's files:
// {config: {marks: Map(line -> 'zero' | 'error' | 'unread'), notes: [{kind,
// text, line, col, shown}]}, program: ...}; a note without a line tells of
// the file as a whole.
function editorHelp(run, limits) {
  const out = { config: { marks: new Map(), notes: [] }, program: { marks: new Map(), notes: [] } };
  if (!run || !limits) return out;
  const input = inputHelp.create(limits);
  const c = out.config;
  const conf = run.config === null ? null : input.config(run.config);
  for (const line of conf ? conf.lines : []) {
    const notes = lineNotes(line, 'cfg', limits, T('name_' + line.name));
    if (notes.length) c.marks.set(line.line, notes[0].kind);
    c.notes.push(...notes);
  }
  const p = out.program;
  if (!conf || run.program === null) return out;
  const prog = input.program(run.program, conf);
  if (!prog.read) p.notes.push({ kind: 'unread', text: T('noProg') });
  for (const line of prog.lines) {
    if (!line.errors.length) continue;
    p.marks.set(line.line, 'error');
    p.notes.push(...lineNotes(line, 'prog', limits));
  }
  for (const k of prog.unread) p.marks.set(k, 'unread');
  const u = prog.unread;
  if (u.length === 1) p.notes.push({ kind: 'unread', text: T('unreadOne', { a: u[0], n: conf.count }) });
  if (u.length > 1) p.notes.push({ kind: 'unread', text: T('unreadMany', { a: u[0], b: u[u.length - 1], n: conf.count }) });
  if (prog.cut) p.notes.push({ kind: 'unread', text: T('cutNote', { line: prog.cut }) });
  return out;
}

// The status line of a run ({config, program, result} as the store keeps
// it) by what happened: its number and, for a failure, its cause.
function statusText(record, limits) {
  const s = record.result.status;
  const st = limits.statuses;
  const input = inputHelp.create(limits);
  const conf = record.config === null ? null : input.config(record.config);
  let m;
  if (s === st.results) {
    const prog = conf && conf.valid && record.program !== null ? input.program(record.program, conf) : null;
    const n = prog ? prog.lines.filter((l) => l.errors.length).length : 0;
    m = n ? T('st' + s, { n }) : T('stFiles');
  } else if (s === st.badConfig && conf) {
    const out = conf.lines.filter((l) => l.faults.length).map((l) => {
      const name = T('name_' + l.name);
      const f = l.faults[0];
      return f.fault === 'bounds' ? T('stOut', { name, v: f.value, lo: f.lo, hi: f.hi }) : T('stZero', { name, line: l.line });
    });
    m = T('st' + s, { list: out.join('; ') });
  } else m = T(Object.values(st).includes(s) ? 'st' + s : 'stX');
  return T('status', { s, m });
}

module.exports = { editorHelp, statusText };
