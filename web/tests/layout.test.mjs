// The page's files hold to their layout, read from their source: every
// module is in the page and requires only files below its own layer, no
// view requires another view (the builder and the order list are shared)
// or the store, no file of the store a view;
// only the address's owner touches the address, only the store runs the
// simulator, and no file clicks a control of the page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import path from 'node:path';
import { root } from './lib.mjs';

const web = path.join(root, 'web');
// From the bottom up; start.js, on top, wires the rest together.
const LAYERS = { words: 0, binding: 0, logic: 1, exercise: 2, store: 3, views: 3, '.': 4 };

const files = Object.keys(LAYERS).flatMap((dir) =>
  readdirSync(path.join(web, dir)).filter((f) => f.endsWith('.js')).map((f) => path.posix.join(dir, f)));
const source = Object.fromEntries(files.map((f) => [f, readFileSync(path.join(web, f), 'utf8')]));
const code = (f) => source[f].split('\n').filter((l) => !/^\s*\/\//.test(l)).join('\n');
const layer = (f) => LAYERS[f.includes('/') ? f.split('/')[0] : '.'];
const requires = (f) => [...code(f).matchAll(/require\('(\.\.?\/[^']+)'\)/g)].map((m) => path.posix.join(path.posix.dirname(f), m[1]));

test('every module is loaded by the page and opens with what it owns, then what it needs', () => {
  const html = readFileSync(path.join(web, 'index.html'), 'utf8');
  const loaded = [...html.matchAll(/<script src="([^"]+)">/g)].map((m) => m[1]);
  const modules = files.filter((f) => f !== 'modules.js');
  assert.deepEqual(modules.filter((f) => !loaded.includes(f)), [], 'every module has its script line');
  for (const f of modules) {
    const lines = source[f].split('\n');
    const comment = lines.findIndex((l) => !l.startsWith('//'));
    assert.ok(comment >= 2, `${f} opens with two lines or more on what it owns`);
    for (const other of requires(f)) assert.ok(files.includes(other) || other === 'examples.js', `${f} requires ${other}, which is there`);
  }
});

test('no file requires one of a layer above it, no view another view (but for the shared builder and list) or the store, and the store no view', () => {
  const wrong = [];
  for (const f of files) {
    for (const other of requires(f)) {
      if (layer(other) > layer(f)) wrong.push(`${f} requires ${other}`);
      // Views share only the element builder and the order list widget.
      if (f.startsWith('views/') && (other.startsWith('store/') || (other.startsWith('views/') && !['views/dom.js', 'views/order-list.js'].includes(other))))
        wrong.push(`${f} reaches into ${other}`);
      if (f.startsWith('store/') && other.startsWith('views/')) wrong.push(`${f} reaches into ${other}`);
    }
  }
  assert.deepEqual(wrong, []);
});

test('only the address\'s owner touches the address, only the store runs the simulator, no file clicks a control', () => {
  const wrong = [];
  for (const f of files) {
    const text = code(f);
    if (f !== 'store/address.js' && /location\.hash|\bhistory\.|hashchange|pushState|replaceState/.test(text)) wrong.push(`${f} touches the address`);
    if (!['store/store.js', 'binding/sim.js'].includes(f) && /\b(sim|hazardSim)\.run\(|\bhs_web_run\b/.test(text)) wrong.push(`${f} runs the simulator`);
    // A link made only to save a file is the one thing clicked, in views/dom.js.
    const clicks = text.match(/\.click\(\)/g) || [];
    if (clicks.length > (f === 'views/dom.js' ? 1 : 0)) wrong.push(`${f} clicks a control`);
    if (/dispatchEvent\(/.test(text)) wrong.push(`${f} dispatches an event`);
  }
  assert.deepEqual(wrong, []);
});
