// Writes the page's examples: every folder of examples/ with its config.txt
// and program.txt, sorted by name, as one module of the site.
// Usage: node examples.mjs EXAMPLES_DIR OUT_FILE
import { readdirSync, readFileSync, writeFileSync, existsSync } from 'node:fs';
import { join } from 'node:path';

const [dir, out] = process.argv.slice(2);
const examples = readdirSync(dir, { withFileTypes: true })
  .filter((e) => e.isDirectory() && existsSync(join(dir, e.name, 'program.txt')))
  .map((e) => e.name)
  .sort()
  .map((name) => ({
    name,
    config: readFileSync(join(dir, name, 'config.txt'), 'utf8'),
    program: readFileSync(join(dir, name, 'program.txt'), 'utf8'),
  }));
writeFileSync(out, '// The bundled examples, generated from examples/.\n' +
  "hsDefine('examples.js', function (require, module) {\n" +
  'module.exports = ' + JSON.stringify(examples, null, 1) + ';\n});\n');
