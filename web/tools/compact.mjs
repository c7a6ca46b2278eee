// Copies one of the page's files into the site without what only its
// readers need: blank lines, indentation, comments (in scripts, lines that
// are only one, and one after code that holds no quote or slash, so never
// inside a string or a pattern) and a style sheet's spaces after its
// colons, semicolons and commas. Lines are never joined, so every script
// runs as written. A script, a CommonJS module, is wrapped for
// modules.js on its first and last lines:
// hsDefine('<its path in the site>', function (require, module, exports) {...}).
// Usage: node compact.mjs <source file> <site file> <its path in the site>
import { readFileSync, writeFileSync } from 'node:fs';

const [from, to, name] = process.argv.slice(2);
const script = from.endsWith('.js');
// A style sheet's line without the spaces after its colons, semicolons and
// commas and around its braces, where it holds no quote.
const css = (line) => (!from.endsWith('.css') || /['"]/.test(line) ? line : line.replace(/([:;,{]) +/g, '$1').replace(/ +([{}])/g, '$1'));
// A script's line that holds no quote, slash or backtick, outside a template
// that spans lines, without the spaces beside its punctuation; never between
// two of + and -, which would make ++ or --.
const PUNCT = '=(){}[],;:?<>|&!*%+-';
let inTemplate = false;
function tight(line) {
  const plain = !inTemplate && !/['"`/]/.test(line);
  if ((line.split('`').length - 1) % 2) inTemplate = !inTemplate;
  if (!plain) return line;
  return line.replace(/(.?) +(?=(.?))/g, (run, a, b) =>
    (PUNCT.includes(a) || PUNCT.includes(b)) && !('+-'.includes(a) && '+-'.includes(b)) && a && b ? a : run);
}
const kept = readFileSync(from, 'utf8')
  .replace(from.endsWith('.css') ? /\/\*[\s\S]*?\*\//g : from.endsWith('.html') ? /<!--[\s\S]*?-->/g : /$^/, '')
  .split('\n')
  .map((line) => (script ? tight(line.replace(/^([^'"`/]*?) +\/\/ .*$/, '$1').trim()) : css(line).trim()))
  .filter((line) => line !== '' && !(script && line.startsWith('//')));
if (script && name !== 'modules.js') {
  kept.unshift(`hsDefine('${name}', function (require, module, exports) {`);
  kept.push('});');
}
writeFileSync(to, kept.join('\n') + '\n');
