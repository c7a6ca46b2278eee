// What the page says is wrong in the input files, under Node: each fault
// under its editor in both languages, at its line and column, on the lines
// the native program finds faulty; on generated programs the fault found is
// the one put in, where it was put, and mending what can be mended gives a
// program the native program reads; the status line says the cause.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { script, loadSim, runNative, exampleInput, prng } from './lib.mjs';

const sim = await loadSim();
const words = script('words/words.js');
const faults = script('logic/faults.js');
const input = script('logic/input-help.js').create(sim.limits);

// Runs fn in each language, Romanian last.
function inBoth(fn) {
  try {
    for (const lang of ['en', 'ro']) {
      words.use(lang);
      fn(lang);
    }
  } finally {
    words.use('ro');
  }
}

// The lines the native program names in its "Eroare X (linia N)" messages.
const nativeErrorLines = (consoleText) => [...new Set([...consoleText.matchAll(/^Eroare \w+ \(linia (\d+)\)$/gm)].map((m) => Number(m[1])))];

// [what, config, program, file, line, column (null: the line as a whole), mark, Romanian, English]
const CASES = [
  ['a trailing space', '5 \n4\n', 'LD R1,R2\n', 'config', 1, 2, '\u2423',
    'linia 1 (adincimea), coloana 2: un spatiu se citeste ca parte a valorii, deci linia se citeste 0; stergeti-l.',
    'line 1 (the depth), column 2: a space is read as part of the value, so the line is read as 0; delete it.'],
  ['a byte-order mark before the depth', '\ufeff5\n4\n', 'LD R1,R2\n', 'config', 1, 1, 'BOM',
    'linia 1 (adincimea), coloana 1: fisierul incepe cu un marcaj invizibil de ordine a octetilor (BOM), deci linia se citeste 0; salvati fisierul fara el.',
    'line 1 (the depth), column 1: the file begins with an invisible byte-order mark, so this line is read as 0; save the file without one.'],
  ['a sign', '5\n+4\n', 'LD R1,R2\n', 'config', 2, 1, '+',
    'linia 2 (numarul de instructiuni), coloana 1: un semn se citeste ca parte a valorii, deci linia se citeste 0; scrieti doar numarul.',
    'line 2 (the number of instructions), column 1: a sign is read as part of the value, so the line is read as 0; write the number alone.'],
  ['three digits', '005\n4\n', 'LD R1,R2\n', 'config', 1, 3, '5',
    'linia 1 (adincimea), coloana 3: o valoare are una sau doua cifre; cu a treia, linia se citeste 0.',
    'line 1 (the depth), column 3: a value has one or two digits; with a third, the line is read as 0.'],
  ['a tab after the count', '5\n4\t\n', 'LD R1,R2\n', 'config', 2, 2, '\u21e5',
    'linia 2 (numarul de instructiuni), coloana 2: un tab se citeste ca parte a valorii, deci linia se citeste 0; stergeti-l.',
    'line 2 (the number of instructions), column 2: a tab is read as part of the value, so the line is read as 0; delete it.'],
  ['a letter', '5\n4a\n', 'LD R1,R2\n', 'config', 2, 2, 'a',
    'linia 2 (numarul de instructiuni), coloana 2: "a" nu este o cifra, deci linia se citeste 0.',
    'line 2 (the number of instructions), column 2: "a" is not a digit, so the line is read as 0.'],
  ['an empty depth', '\n4\n', 'LD R1,R2\n', 'config', 1, null, null,
    'linia 1 (adincimea): linia este goala, deci se citeste 0.', 'line 1 (the depth): the line is empty, so it is read as 0.'],
  ['a depth out of bounds', '12\n4\n', 'LD R1,R2\n', 'config', 1, null, null,
    'linia 1 (adincimea): valoarea 12 este in afara limitelor 3..10.', 'line 1 (the depth): the value 12 is out of bounds: 3..10.'],
  ['a lower-case register', '5\n2\n', 'LD R1,R2\nADD r3,R1,R2\n', 'program', 2, 5, 'r',
    'linia 2, coloana 5: scrieti registrele cu R mare: R3.', 'line 2, column 5: write registers with a capital R: R3.'],
  ['a lower-case mnemonic', '5\n2\n', 'Ld R1,R2\nADD R3,R1,R2\n', 'program', 1, 2, 'd',
    'linia 1, coloana 2: scrieti mnemonicele cu majuscule: LD.', 'line 1, column 2: write mnemonics in capitals: LD.'],
  ['a tab between fields', '5\n2\n', 'LD\tR1,R2\nADD R3,R1,R2\n', 'program', 1, 3, '\u21e5',
    'linia 1, coloana 3: un tab nu separa cimpurile: folositi un spatiu sau o virgula.',
    'line 1, column 3: a tab does not separate fields: use a space or a comma.'],
  ['R0', '5\n2\n', 'LD R1,R2\nADD R3,R0\n', 'program', 2, 9, '0',
    'linia 2, coloana 9: nu exista registrul R0: registrele sint R1 .. R32.',
    'line 2, column 9: there is no register R0: the registers are R1 .. R32.'],
  ['R33', '5\n2\n', 'LD R33,R2\nADD R3,R1\n', 'program', 1, 5, '33',
    'linia 1, coloana 5: nu exista registrul R33: registrele sint R1 .. R32.',
    'line 1, column 5: there is no register R33: the registers are R1 .. R32.'],
  ['a mnemonic not among the five', '5\n2\n', 'MOV R1,R2\nADD R3,R1\n', 'program', 1, 1, 'MOV',
    'linia 1, coloana 1: MOV nu este o mnemonica: mnemonicele sint ADD, DIV, LD, MUL, SUB.',
    'line 1, column 1: MOV is not a mnemonic: the mnemonics are ADD, DIV, LD, MUL, SUB.'],
  ['an empty line', '5\n3\n', 'LD R1,R2\n\nADD R3,R1\n', 'program', 2, null, null,
    'linia 2: o linie goala se citeste ca o linie fara mnemonica; stergeti-o.',
    'line 2: an empty line is read as a line without a mnemonic; delete it.'],
  ['a byte-order mark before the program', '5\n2\n', '\ufeffLD R1,R2\nADD R3,R1\n', 'program', 1, 1, 'BOM',
    'linia 1, coloana 1: fisierul incepe cu un marcaj invizibil de ordine a octetilor (BOM); salvati-l fara el.',
    'line 1, column 1: the file begins with an invisible byte-order mark; save it without one.'],
  ['a sign before a register', '5\n2\n', 'LD R1,-R2\nADD R3,R1\n', 'program', 1, 7, '-',
    'linia 1, coloana 7: -R2 are semn, iar un registru nu are.', 'line 1, column 7: -R2 has a sign, which no register has.'],
  ['a leading zero', '5\n2\n', 'LD R01,R2\nADD R3,R1\n', 'program', 1, 5, '0',
    'linia 1, coloana 5: scrieti registrele fara zero in fata: R1.', 'line 1, column 5: write registers without a leading zero: R1.'],
  ['a missing source', '5\n2\n', 'LD R1,R2\nADD R3\n', 'program', 2, 7, '\u25af',
    'linia 2, coloana 7: lipseste prima sursa (Rs1): o instructiune are o mnemonica, o destinatie si una sau doua surse, ca ADD R3,R1,R4.',
    'line 2, column 7: the first source (Rs1) is missing: an instruction is a mnemonic, a destination and one or two source registers, as in ADD R3,R1,R4.'],
  ['a semicolon', '5\n2\n', 'LD R1;R2\nADD R3,R1\n', 'program', 1, 6, ';',
    'linia 1, coloana 6: caracterul ";" se citeste ca parte a unui cimp: cimpurile se separa prin spatii si virgule.',
    'line 1, column 6: the character ";" is read as part of a field: fields are separated by spaces and commas.'],
  ['a lone carriage return', '5\n2\n', 'LD R1,R2\nADD R3,R1\r', 'program', 2, 10, '\u240d',
    'linia 2, coloana 10: un caracter de control invizibil (CR, U+000D) se citeste ca parte a unui cimp; stergeti-l.',
    'line 2, column 10: an invisible control character (CR, U+000D) is read as part of a field; delete it.'],
  ['a no-break space', '5\n2\n', 'LD R1,R2\nADD R3,R1\u00a0R2\n', 'program', 2, 10, '\u2423',
    'linia 2, coloana 10: caracterul U+00A0 se citeste ca parte a unui cimp: cimpurile se separa prin spatii si virgule.',
    'line 2, column 10: the character U+00A0 is read as part of a field: fields are separated by spaces and commas.'],
  ['a letter past ASCII', '5\n2\n', 'LD R1,R2\u00e9\nADD R3,R1\n', 'program', 1, 9, '\u00e9',
    'linia 1, coloana 9: caracterul "\u00e9" (U+00E9) se citeste ca parte a unui cimp: cimpurile se separa prin spatii si virgule.',
    'line 1, column 9: the character "\u00e9" (U+00E9) is read as part of a field: fields are separated by spaces and commas.'],
];

test('each fault is told under its editor in both languages, at its line and column, on a line the native program reads so', () => {
  for (const [what, config, program, file, line, col, mark, ro, en] of CASES) {
    const native = runNative(config, program);
    if (file === 'program') assert.ok(nativeErrorLines(native.console).includes(line), `${what}: the native program finds line ${line} faulty`);
    else {
      const name = line === 1 ? 'Adincimea pipe-line' : 'Numarul de instructiuni din program';
      const value = Number(new RegExp(`^${name} \\((\\d+)\\)`, 'm').exec(native.console)[1]);
      assert.equal(value, input.config(config).lines[line - 1].value, `${what}: the native program reads the line as the page says`);
    }
    inBoth((lang) => {
      const help = faults.editorHelp({ config, program }, sim.limits)[file];
      const note = help.notes.find((n) => n.line === line);
      assert.ok(note, `${what}: a note on line ${line}`);
      assert.equal(note.text, lang === 'ro' ? ro : en, what);
      assert.equal(note.col, col, what);
      assert.equal(note.shown && note.shown.mark, mark, what);
      assert.ok(help.marks.has(line), `${what}: the line's number is marked`);
    });
  }
});

test('the status says what happened, not every cause of its number', () => {
  const six = [exampleInput('six', 'config.txt'), exampleInput('six', 'program.txt')];
  // [config, program, Romanian, English]; the run is the module's, its status the native program's
  const cases = [
    [...six, 'Stare 0: rulare completa', 'Status 0: complete run'],
    ['5\n2\n', 'LD R1,R2\nadd R3,R1\n', 'Stare 2: programul are erori de sintaxa: vedeti linia marcata',
      'Status 2: the program has syntax errors: see the line marked'],
    ['5\n3\n', 'LD\tR1,R2\n\nADD R3,R33\n', 'Stare 2: programul are erori de sintaxa: vedeti liniile marcate',
      'Status 2: the program has syntax errors: see the lines marked'],
    ['5\n2\n', null, 'Stare 1: program.txt nu poate fi deschis', 'Status 1: program.txt cannot be opened'],
    [null, 'LD R1,R2\n', 'Stare 3: config.txt nu poate fi deschis', 'Status 3: config.txt cannot be opened'],
    ['12\n60\n', '', 'Stare 4: o valoare din config.txt este in afara limitelor: adincimea este 12, nu intre 3 si 10; numarul de instructiuni este 60, nu intre 2 si 50',
      'Status 4: a value of config.txt is out of bounds: the depth is 12, not in 3..10; the number of instructions is 60, not in 2..50'],
    ['5 \n4\n', '', 'Stare 4: o valoare din config.txt este in afara limitelor: adincimea se citeste 0: vedeti linia 1, marcata',
      'Status 4: a value of config.txt is out of bounds: the depth is read as 0: see line 1, marked'],
  ];
  for (const [config, program, ro, en] of cases) {
    const result = sim.run(config, program);
    assert.equal(result.status, runNative(config, program).status);
    inBoth((lang) => assert.equal(faults.statusText({ config, program, result }, sim.limits), lang === 'ro' ? ro : en));
  }
  // Files the program reads, and still status 2: a result file could not be made.
  const result = { status: 2, console: 'Eroare deschidere fisier de analiza hazard !\n' };
  inBoth((lang) => assert.equal(faults.statusText({ config: six[0], program: six[1], result }, sim.limits),
    lang === 'ro' ? 'Stare 2: nu s-a putut scrie un fisier de rezultate sau consola' : 'Status 2: a result file or the console could not be written'));
});

// ------------------------------------------------------------ generated

const rnd = prng(21);
const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
const pick = (list) => list[int(0, list.length - 1)];
const reg = () => 'R' + int(1, 32);

// A fault put into a good line: [fault, the line, byte offset of the fault].
// Those with a fix can be mended from what the page says.
const MAKE = [
  ['lowerOp', (op, rs) => [op.toLowerCase() + ' ' + rs.join(','), 0]],
  ['lowerReg', (op, rs) => [`${op} ${rs[0].toLowerCase()},${rs.slice(1).join(',')}`, op.length + 1]],
  ['tab', (op, rs) => [op + '\t' + rs.join(','), op.length]],
  ['char', (op, rs) => [`${op} ${rs[0]};${rs.slice(1).join(',')}`, op.length + 1 + rs[0].length]],
  ['control', (op, rs) => [`${op} ${rs[0]}\r,${rs.slice(1).join(',')}`, op.length + 1 + rs[0].length]],
  ['lead0', (op, rs) => [`${op} R0${rs[0].slice(1)},${rs.slice(1).join(',')}`, op.length + 2]],
  ['sign', (op, rs) => [`${op} ${rs[0]},+${rs.slice(1).join(',')}`, op.length + 2 + rs[0].length]],
  ['range', (op, rs) => [`${op} ${rs[0]},R${int(33, 99)}`, op.length + 3 + rs[0].length]],
  ['badOp', (op, rs) => [pick(['NOP', 'MOV', 'JMP', 'ADDI']) + ' ' + rs.join(','), 0]],
  ['missing', (op, rs) => [`${op} ${rs[0]}`, op.length + 1 + rs[0].length]],
  ['empty', () => ['', 0]],
  ['blank', () => [pick([' ', ',', ' , ']), 0]],
];
const MENDABLE = ['lowerOp', 'lowerReg', 'tab', 'char', 'control', 'lead0', 'sign'];

// A line mended as the page's faults say: each word or character put right.
function mend(line, found) {
  let bytes = Buffer.from(line, 'latin1');
  for (const f of [...found].sort((a, b) => b.at - a.at)) {
    const [at, size, put] = f.fix ? [f.wordAt, f.word.length, f.fix] : f.fault === 'sign' ? [f.at, 1, ''] : [f.at, f.size, ' '];
    bytes = Buffer.concat([bytes.subarray(0, at), Buffer.from(put, 'latin1'), bytes.subarray(at + size)]);
  }
  return bytes.toString('latin1');
}

test('on 40 generated programs, the fault found is the one put in, on the lines the native program names, and mending it gives a program it reads', () => {
  const seen = new Set();
  for (let n = 0; n < 40; n++) {
    const count = int(10, 50);
    const lines = [];
    const put = new Map(); // line number -> [fault, offset]
    for (let k = 1; k <= count; k++) {
      const op = pick(sim.limits.mnemonics);
      const rs = [reg(), reg(), ...(rnd() < 0.5 ? [reg()] : [])];
      if (rnd() < 0.4) {
        const [fault, make] = pick(MAKE);
        const [line, at] = make(op, rs);
        lines.push(line);
        put.set(k, [fault, at]);
      } else lines.push(`${op} ${rs.join(',')}`);
    }
    const config = `5\n${count}\n`;
    const program = lines.join('\n') + '\n';
    const native = runNative(config, Buffer.from(program, 'latin1'));
    const help = faults.editorHelp({ config, program: Buffer.from(program, 'latin1') }, sim.limits).program;
    assert.deepEqual([...help.marks.keys()].sort((a, b) => a - b), [...put.keys()], `program ${n}: the native program names the lines marked`);
    assert.deepEqual(nativeErrorLines(native.console), [...put.keys()], `program ${n}: and they are the lines made faulty`);
    const mended = lines.map((line, k) => {
      const found = input.lineFaults(Buffer.from(line, 'latin1'), k === 0);
      if (!put.has(k + 1)) return line;
      const [fault, at] = put.get(k + 1);
      seen.add(fault);
      assert.deepEqual(found.map((f) => [f.fault, f.at]), [[fault, at]], `program ${n}, line ${k + 1}: ${JSON.stringify(line)}`);
      assert.ok(help.notes.some((note) => note.line === k + 1 && (note.col === null || note.col === at + 1)), 'its note gives the column');
      return MENDABLE.includes(fault) ? mend(line, found) : `${pick(sim.limits.mnemonics)} ${reg()},${reg()}`;
    });
    const again = runNative(config, Buffer.from(mended.join('\n') + '\n', 'latin1'));
    assert.equal(again.status, 0, `program ${n} mended: ${JSON.stringify(mended)}\n${again.console}`);
  }
  assert.deepEqual([...seen].sort(), MAKE.map(([f]) => f).sort(), 'every fault was made');
});

test('every line of 3,000 random ones that the reader finds faulty gets a fault, inside the line, and no other line does', () => {
  const alphabet = ['ADD', 'LD', 'add', 'R1', 'R32', 'R33', 'r4', 'R0', 'R07', ' ', ',', '\t', ';', '-', '+', '\r', '\0', '\u00e9', 'X', '9', '\ufeff'];
  for (let n = 0; n < 3000; n++) {
    const text = Array.from({ length: int(0, 9) }, () => pick(alphabet)).join('');
    const line = Buffer.from(text, 'utf8');
    const found = input.lineFaults(line, n % 2 === 0);
    assert.equal(found.length > 0, input.lineErrors(line).length > 0, JSON.stringify(text));
    for (const f of found) assert.ok(f.at >= 0 && f.at + f.size <= line.length, JSON.stringify(text));
  }
});
