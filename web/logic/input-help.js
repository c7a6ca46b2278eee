// What the simulator will make of its two input files, line by line, by the
// readers' own rules (src/input/): each config.txt line's value, which
// program.txt lines are read and the faulty fields of each. Works on the
// bytes that run, never on the simulator's messages.
// Gives readLines, fields, create(limits) -> {config, program, lineErrors, messages}.
'use strict';

const { asBytes } = require('./share.js');
const LF = 10;
const CR = 13;
const CTRL_Z = 26;

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
  // {depth, count, valid, lines: [{line, name, value, why}]} for the two lines read.
  function config(content) {
    const { lines } = readLines(content);
    const [depth, count] = [0, 1].map((k) => configValue(lines[k]));
    const valid = depth.value >= limits.depth[0] && depth.value <= limits.depth[1] &&
      count.value >= limits.count[0] && count.value <= limits.count[1];
    return {
      depth: depth.value,
      count: count.value,
      valid,
      lines: [
        { line: 1, name: 'depth', ...depth },
        { line: 2, name: 'count', ...count },
      ],
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

  return { config, program, lineErrors, messages };
}

module.exports = { readLines, fields, create };
