// Copies one of the page's files into the site without what only its
// readers need: blank lines, indentation and, in scripts, the lines that are
// only a comment. Lines are never joined, so every script runs as written.
// Usage: node compact.mjs <source file> <site file>
import { readFileSync, writeFileSync } from 'node:fs';

const [from, to] = process.argv.slice(2);
const script = from.endsWith('.js');
const kept = readFileSync(from, 'utf8')
  .split('\n')
  .map((line) => line.trim())
  .filter((line) => line !== '' && !(script && line.startsWith('//')));
writeFileSync(to, kept.join('\n') + '\n');
