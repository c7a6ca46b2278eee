// What the simulator will make of its two input files, line by line, by the
// readers' own rules (src/input/): each config.txt line's value, which
// program.txt lines are read and the faulty fields of each, and what is
// wrong in a line, at the byte where it is. Works on the bytes that run,
// never on the simulator's messages.
// Gives column, create(limits) -> {config, program, lineErrors, configFaults, lineFaults, messages}.
'use strict';

const { asBytes } = require('./share.js');
const LF = 10;
const CR = 13;
const CTRL_Z = 26;
const TAB = 9;
const SPACE = 32;
const COMMA = 44;
const BOM = [0xef, 0xbb, 0xbf];

// The lines as the readers get them: CR LF read as LF, a Ctrl-Z byte
// ending the file. Returns {lines: [Uint8Array], cut: line number where a
// Ctrl-Z ended the file, or 0}.
function readLines(content) {
  const bytes = asBytes(content);
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

// Whether the line (the file's first) begins with a UTF-8 byte-order mark.
const hasBom = (line) => line.length >= 3 && BOM.every((b, k) => line[k] === b);

const isDigit = (b) => b >= 48 && b <= 57;
const isControl = (b) => b < 32 || b === 127;

// The bytes of the character that starts at byte k: one, or a UTF-8 sequence.
function charSize(line, k) {
  let n = 1;
  if (line[k] >= 0xc0) while (k + n < line.length && (line[k + n] & 0xc0) === 0x80) n++;
  return n;
}

// The column (from 1) of byte k of a line as an editor shows it: one for
// each character, a byte-order mark before it not counted.
function column(line, k, from) {
  let col = 1;
  for (let j = from || 0; j < k; j++) if ((line[j] & 0xc0) !== 0x80) col++;
  return col;
}

// What a character that no value, mnemonic or register holds is: 'tab',
// 'control', 'space', 'sign' or 'char'.
function strayKind(b) {
  if (b === TAB) return 'tab';
  if (isControl(b)) return 'control';
  if (b === SPACE) return 'space';
  if (b === 43 || b === 45) return 'sign';
  return 'char';
}

// A config.txt line's value: one or two digits, else 0, with the reason
// ('empty', 'long', 'digit'; '' when it is read).
function configValue(line) {
  if (!line || line.length === 0) return { value: 0, why: 'empty' };
  if (line.length > 2) return { value: 0, why: 'long' };
  if (!line.every((b) => b >= 48 && b <= 57)) return { value: 0, why: 'digit' };
  return { value: line.reduce((v, b) => v * 10 + b - 48, 0), why: '' };
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

// The rules that depend on the simulator's limits ({depth, count,
// registers, mnemonics}, as hazardSim.limits gives them).
function create(limits) {
  // {depth, count, valid, lines: [{line, name, value, why, faults, bytes}]} for the two lines read.
  function config(content) {
    const { lines } = readLines(content);
    const line = (k, name, read) => {
      const bytes = lines[k] || new Uint8Array(0);
      return { line: k + 1, name, ...read, faults: configFaults(bytes, k + 1), bytes };
    };
    const [depth, count] = [0, 1].map((k) => configValue(lines[k]));
    const valid = depth.value >= limits.depth[0] && depth.value <= limits.depth[1] &&
      count.value >= limits.count[0] && count.value <= limits.count[1];
    return {
      depth: depth.value,
      count: count.value,
      valid,
      lines: [line(0, 'depth', depth), line(1, 'count', count)],
    };
  }

  const isRegister = (f) => /^R[1-9][0-9]?$/.test(f || '') && Number(f.slice(1)) <= limits.registers;

  // The faulty fields of a line, in the order the reader names them.
  function lineErrors(line) {
    const f = fields(line);
    const errors = [];
    if (!limits.mnemonics.includes(f[0])) errors.push('OPCODE');
    if (!isRegister(f[1])) errors.push('Rd');
    if (!isRegister(f[2])) errors.push('Rs1');
    if (f.length > 3 && !isRegister(f[3])) errors.push('Rs2');
    return errors;
  }

  // What is wrong in config.txt's line `number` (1 or 2; the file's first
  // line may begin with a byte-order mark): none when its value is read
  // and within bounds, else each fault once, where it first is:
  // [{fault, at, size}] ('bom', 'empty', 'space', 'tab', 'control', 'sign',
  // 'char', 'digits'; 'bounds' with value, lo, hi).
  function configFaults(line, number) {
    const [lo, hi] = number === 1 ? limits.depth : limits.count;
    const read = configValue(line);
    if (read.why === '') return read.value >= lo && read.value <= hi ? [] : [{ fault: 'bounds', at: 0, size: 0, value: read.value, lo, hi }];
    if (read.why === 'empty') return [{ fault: 'empty', at: 0, size: 0 }];
    const out = [];
    const seen = new Set();
    const from = number === 1 && hasBom(line) ? 3 : 0;
    if (from) out.push({ fault: 'bom', at: 0, size: 3 });
    let digits = 0;
    for (let k = from; k < line.length; k += charSize(line, k)) {
      if (isDigit(line[k])) {
        if (++digits === 3) out.push({ fault: 'digits', at: k, size: 1 });
        continue;
      }
      const fault = strayKind(line[k]);
      if (!seen.has(fault)) out.push({ fault, at: k, size: charSize(line, k) });
      seen.add(fault);
    }
    return out.sort((a, b) => a.at - b.at);
  }

  const registerNames = Array.from({ length: limits.registers }, (_, k) => 'R' + (k + 1));

  // What is wrong with a word where a register goes: {fault, at (in the
  // word), size, fix} or null when it is a register.
  function registerFault(w) {
    if (isRegister(w)) return null;
    if (/^[+-]/.test(w)) {
      const rest = registerFault(w.slice(1));
      return { fault: 'sign', at: 0, size: 1, fix: rest ? rest.fix || '' : w.slice(1) };
    }
    const m = /^([Rr])(0*)([0-9]+)$/.exec(w);
    if (m && Number(m[3]) >= 1 && Number(m[3]) <= limits.registers) {
      if (m[1] === 'r') return { fault: 'lowerReg', at: 0, size: 1, fix: 'R' + Number(m[3]) };
      return { fault: 'lead0', at: 1, size: m[2].length, fix: 'R' + Number(m[3]) };
    }
    if (m) return { fault: 'range', at: 1, size: w.length - 1, fix: '' };
    // The first character that no register's name goes on with.
    let at = 0;
    while (at < w.length && registerNames.some((r) => r.startsWith(w.slice(0, at + 1)))) at++;
    return { fault: 'notReg', at: Math.min(at, Math.max(w.length - 1, 0)), size: 1, fix: '' };
  }

  // What is wrong in a program line the reader finds faulty, each fault
  // where it is, in the order of the line: [{fault, at, size}], with, for
  // a word that is no mnemonic or register, {word, wordAt, fix (the word
  // mended, or '' when it cannot be guessed), field}; none for a line it
  // reads. The words are split as the writer meant them: at spaces and
  // commas, and also at a character no mnemonic or register holds (a tab,
  // a control character, a punctuation mark, a character past ASCII),
  // which the reader takes into a field and which is a fault of its own.
  // first: whether it is the file's first line.
  function lineFaults(line, first) {
    if (lineErrors(line).length === 0) return [];
    const out = [];
    const from = first && hasBom(line) ? 3 : 0;
    if (from) out.push({ fault: 'bom', at: 0, size: 3 });
    // The reader's first four fields end at `counted`: what follows is not read.
    let counted = line.length;
    for (let k = 0, n = 0, inField = false; k < line.length; k++) {
      if (line[k] === SPACE || line[k] === COMMA) inField = false;
      else if (!inField) {
        inField = true;
        if (++n > 4) {
          counted = k;
          break;
        }
      }
    }
    const words = [];
    let word = null;
    for (let k = from; k < line.length; k += charSize(line, k)) {
      const b = line[k];
      const stray = b >= 128 || !/[A-Za-z0-9+, -]/.test(String.fromCharCode(b));
      if (b === SPACE || b === COMMA || stray) {
        word = null;
        if (stray && k < counted) out.push({ fault: strayKind(b), at: k, size: charSize(line, k) });
        continue;
      }
      if (word === null) words.push((word = { at: k, text: '' }));
      word.text += String.fromCharCode(b);
    }
    if (words.length === 0) return out.concat({ fault: line.length > from ? 'blank' : 'empty', at: from, size: 0 });
    const names = ['OPCODE', 'Rd', 'Rs1', 'Rs2'];
    words.slice(0, 4).forEach((w, j) => {
      let f;
      if (j === 0) {
        if (limits.mnemonics.includes(w.text)) return;
        const upper = w.text.toUpperCase();
        f = limits.mnemonics.includes(upper)
          ? { fault: 'lowerOp', at: /[a-z]/.exec(w.text).index, size: 1, fix: upper }
          : { fault: 'badOp', at: 0, size: w.text.length, fix: '' };
      } else if (!(f = registerFault(w.text))) return;
      out.push({ fault: f.fault, at: w.at + f.at, size: f.size, word: w.text, wordAt: w.at, fix: f.fix, field: names[j] });
    });
    for (let j = Math.max(words.length, 1); j < 3; j++) out.push({ fault: 'missing', at: line.length, size: 0, field: names[j] });
    return out.sort((a, b) => a.at - b.at);
  }

  // What the program reader does with each line, given config.txt:
  // {read: false} when the configuration stops the run first, else
  // {read: true, lines: [{line, errors, faults, bytes}] for the lines read, unread: [line
  // numbers past the count], cut: line where a Ctrl-Z ended the file or 0}.
  function program(content, conf) {
    if (!conf.valid) return { read: false, lines: [], unread: [], cut: 0 };
    const { lines, cut } = readLines(content);
    const read = lines.slice(0, conf.count).map((bytes, k) => ({ line: k + 1, errors: lineErrors(bytes), faults: lineFaults(bytes, k === 0), bytes }));
    const unread = [];
    for (let k = conf.count; k < lines.length; k++) unread.push(k + 1);
    return { read: true, lines: read, unread, cut };
  }

  // The lines the readers will print, and then the run, in order: each
  // {ro: the simulator's line, k: its meaning's key in the word files, p:
  // the values in it}. The files as hazardSim.run takes them;
  // status and report as it returns them.
  function messages(configText, programText, status, report) {
    const out = [];
    const say = (ro, k, p) => out.push({ ro, k, p: p || {} });
    if (configText === null) return say('Eroare deschidere fisier de configurare !', 'm_cfgOpen'), out;
    const conf = config(configText);
    say('Se citeste fisierul de configurare ...', 'm_cfgRead');
    if (!conf.valid) {
      const { depth: d, count: n } = conf;
      const [[d0, d1], [n0, n1]] = [limits.depth, limits.count];
      if (n > n1) say(`Numarul de instructiuni din program (${n}) depaseste numarul maxim (${n1})`, 'm_countMax', { n, max: n1 });
      if (d > d1) say(`Adincimea pipe-line (${d}) depaseste adincimea maxima (${d1})`, 'm_depthMax', { n: d, max: d1 });
      if (n < n0) say(`Numarul de instructiuni din program (${n}) este mai mic ca numarul minim (${n0})`, 'm_countMin', { n, min: n0 });
      if (d < d0) say(`Adincimea pipe-line (${d}) este mai mica decit adincimea minima (${d0})`, 'm_depthMin', { n: d, min: d0 });
      return out;
    }
    say(`Adincimea pipe-line: ${conf.depth}`, 'm_depth', { n: conf.depth });
    say(`Numarul de instructiuni din program: ${conf.count}`, 'm_count', { n: conf.count });
    if (programText === null) return say('Eroare deschidere fisier de instructiuni !', 'm_progOpen'), out;
    const prog = program(programText, conf);
    say('Se citeste fisierul de instructiuni ...', 'm_progRead');
    const errors = prog.lines.flatMap((l) => l.errors.map((f) => [f, l.line]));
    for (const [f, line] of errors) say(`Eroare ${f} (linia ${line})`, 'm_err', { f, line });
    if (errors.length) {
      say('Exista erori de sintaxa', 'm_errs');
      return say('Nu s-a generat fisierul de rezultate', 'm_noResult'), out;
    }
    const n = prog.lines.length;
    say(`S-au citit ${n} linii din fisierul de instructiuni, nu exista erori de sintaxa`, 'm_readOk', { n });
    if (prog.unread.length) {
      say(`S-a depasit numarul maxim de ${conf.count} linii in fisierul de cod`, 'm_over', { n: conf.count });
      say(`Doar primele ${conf.count} linii din fisierul de cod au fost prelucrate`, 'm_only', { n: conf.count });
    }
    if (status !== 0 || !report) return out;
    say('Se scriu fisierele de rezultate ...', 'm_writing');
    say('Analiza hazardului', 'm_analysis');
    say('IN OPCODE DEST SOURCES DIST DEPEND HAZARD', 'm_heads');
    say('Terminare analiza hazard', 'm_analysisEnd');
    say('Corectia hazardului (prin intirzierea minima a instructiunilor)', 'm_correction');
    say('Terminare corectie hazard', 'm_correctionEnd');
    say(`Performanta structurii pipe-line = ${report.performance}%`, 'm_perf', { p: report.performance });
    return out;
  }

  return { config, program, lineErrors, configFaults, lineFaults, messages };
}

module.exports = { column, create };
