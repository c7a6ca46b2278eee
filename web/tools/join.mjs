// Joins the page's compacted scripts into the site's one page.js, in the
// order index.html lists them (the simulator's module, hazard-sim.js, stays
// a script of its own), and writes the site's index.html with one line for
// them: a page that loads one script instead of some fifty is ready sooner.
// Usage: node join.mjs <compacted folder> <site folder>
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';

const [from, site] = process.argv.slice(2);
const html = readFileSync(path.join(from, 'index.html'), 'utf8');
const line = /^<script src="([^"]+)"><\/script>$/;
const joined = html.split('\n').map((l) => l.match(line)).filter((m) => m && m[1] !== 'hazard-sim.js').map((m) => m[1]);
writeFileSync(path.join(site, 'page.js'), joined.map((name) => readFileSync(path.join(from, name), 'utf8')).join(''));
let first = true;
const lines = html.split('\n').filter((l) => {
  const m = l.match(line);
  return !m || m[1] === 'hazard-sim.js' || (first && !(first = false));
});
writeFileSync(path.join(site, 'index.html'), lines.map((l) => (l.match(line) && !l.includes('hazard-sim.js') ? '<script src="page.js"></script>' : l)).join('\n'));
