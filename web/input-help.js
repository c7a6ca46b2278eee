// What the simulator will make of its two input files, line by line, by the
// readers' own rules (src/input/): each config.txt line's value, which
// program.txt lines are read and the faulty fields of each. Works on the
// bytes that run, never on the simulator's messages.
(function (root) {
  'use strict';

  const MNEMONICS = ['ADD', 'DIV', 'LD', 'MUL', 'SUB'];
  const LIMITS = { depth: [3, 10], count: [2, 50] };
  const LF = 10;
  const CR = 13;
  const CTRL_Z = 26;

  function bytesOf(content) {
    return typeof content === 'string' ? new TextEncoder().encode(content) : content;
  }

  // The lines as the readers get them: CR LF read as LF, a Ctrl-Z byte
  // ending the file. Returns {lines: [Uint8Array], cut: line number where a
  // Ctrl-Z ended the file, or 0}.
  function readLines(content) {
    const bytes = bytesOf(content);
    const lines = [];
    let line = [];
    let cut = 0;
    for (let k = 0; k < bytes.length; k++) {
      const b = bytes[k];
      if (b === CTRL_Z) {
        cut = lines.length + 1;
        break;
      }
      if (b === CR && bytes[k + 1] === LF) continue;
      if (b === LF) {
        lines.push(Uint8Array.from(line));
        line = [];
      } else line.push(b);
    }
    if (line.length) lines.push(Uint8Array.from(line));
    return { lines, cut };
  }

  // A config.txt line's value: one or two digits, else 0, with the reason.
  function configValue(line) {
    if (!line || line.length === 0) return { value: 0, why: 'goala' };
    if (line.length > 2) return { value: 0, why: 'are mai mult de doua caractere' };
    if (!line.every((b) => b >= 48 && b <= 57)) return { value: 0, why: 'are un caracter care nu e cifra' };
    return { value: line.reduce((v, b) => v * 10 + b - 48, 0), why: '' };
  }

  // {depth, count, valid, lines: [{line, name, value, why}]} for the two lines read.
  function config(content) {
    const { lines } = readLines(content);
    const [depth, count] = [0, 1].map((k) => configValue(lines[k]));
    const valid = depth.value >= LIMITS.depth[0] && depth.value <= LIMITS.depth[1] &&
      count.value >= LIMITS.count[0] && count.value <= LIMITS.count[1];
    return {
      depth: depth.value,
      count: count.value,
      valid,
      lines: [
        { line: 1, name: 'adincimea', ...depth },
        { line: 2, name: 'numarul de instructiuni', ...count },
      ],
    };
  }

  // A line's fields: runs of anything but spaces and commas; only the first
  // four count, and a fifth only tells that there are more.
  function fields(line) {
    const out = [];
    let field = null;
    for (const b of line) {
      if (b === 32 || b === 44) {
        field = null;
        continue;
      }
      if (field === null) {
        if (out.length > 4) break;
        out.push((field = []));
      }
      field.push(b);
    }
    return out.map((f) => String.fromCharCode.apply(null, f));
  }

  const isRegister = (f) => /^R([1-9]|[12][0-9]|3[0-2])$/.test(f || '');

  // The faulty fields of a line, in the order the reader names them.
  function lineErrors(line) {
    const f = fields(line);
    const errors = [];
    if (!MNEMONICS.includes(f[0])) errors.push('OPCODE');
    if (!isRegister(f[1])) errors.push('Rd');
    if (!isRegister(f[2])) errors.push('Rs1');
    if (f.length > 3 && !isRegister(f[3])) errors.push('Rs2');
    return errors;
  }

  // What the program reader does with each line, given config.txt:
  // {read: false} when the configuration stops the run first, else
  // {read: true, lines: [{line, errors}] for the lines read, unread: [line
  // numbers past the count], cut: line where a Ctrl-Z ended the file or 0}.
  function program(content, conf) {
    if (!conf.valid) return { read: false, lines: [], unread: [], cut: 0 };
    const { lines, cut } = readLines(content);
    const read = lines.slice(0, conf.count).map((line, k) => ({ line: k + 1, errors: lineErrors(line) }));
    const unread = [];
    for (let k = conf.count; k < lines.length; k++) unread.push(k + 1);
    return { read: true, lines: read, unread, cut };
  }

  const api = { readLines, config, program, lineErrors, fields };
  if (typeof module === 'object' && module.exports) module.exports = api;
  else root.hazardInput = api;
})(this);
