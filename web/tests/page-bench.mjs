// Page benchmark, not a test (node web/tests/page-bench.mjs [runs], after scripts/web.sh build):
// the site's size, the time from opening index.html from disk until
// hazardSim.ready resolves and where it goes, the time of one hazardSim.run
// of examples/deep with its report, the time from an edit to its results
// drawn, and the most time of hazardSim.best on generated programs.
import { siteFiles, siteUrl, launch } from './lib.mjs';

const runs = Number(process.argv[2]) || 200;
const opens = 9;
const batch = 5; // runs timed together: the page's clock ticks in 0.1 ms steps

const median = (list) => {
  const s = [...list].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

const files = siteFiles();
const bytes = files.reduce((sum, [, size]) => sum + size, 0);
const moduleBytes = files.find(([name]) => name === 'hazard-sim.js')[1];

const browser = await launch();
const url = siteUrl + 'index.html';

// The page's way to ready, in ms since the navigation started: scripts (every
// script has run: DOMContentLoaded), module (the simulator's WebAssembly
// instantiated), ready (hazardSim.ready resolved), run (the first run
// returned), drawn (the frame after the first run's results were drawn).
const stages = ['scripts', 'module', 'ready', 'run', 'drawn'];
const probe = () => {
  const at = (window.stamps = {});
  const stamp = (name) => name in at || (at[name] = performance.now());
  document.addEventListener('DOMContentLoaded', () => stamp('scripts'));
  const instantiate = WebAssembly.instantiate;
  WebAssembly.instantiate = (...args) => instantiate.apply(WebAssembly, args).then((made) => (stamp('module'), made));
  let sim;
  Object.defineProperty(window, 'hazardSim', {
    configurable: true,
    get: () => sim,
    set: (value) => {
      sim = value;
      Promise.resolve(value.ready).then(() => stamp('ready'));
      const run = value.run;
      value.run = (...args) => {
        const result = run.apply(value, args);
        if (!('run' in at)) {
          stamp('run');
          requestAnimationFrame(() => setTimeout(() => stamp('drawn'), 0));
        }
        return result;
      };
    },
  });
};

const stamped = Object.fromEntries(stages.map((s) => [s, []]));
for (let k = 0; k < opens; k++) {
  const context = await browser.newContext();
  await context.addInitScript(probe);
  const page = await context.newPage();
  await page.goto(url);
  const at = await page.waitForFunction(() => window.stamps.drawn && window.stamps).then((h) => h.jsonValue());
  for (const s of stages) stamped[s].push(at[s] ?? NaN);
  await context.close();
}
const readyTimes = stamped.ready;

const page = await browser.newPage();
await page.goto(url);
await page.waitForSelector('#run:not([disabled])');
const perRun = await page.evaluate(
  ({ runs, batch }) => {
    const deep = hsRequire('examples.js').find((e) => e.name === 'deep');
    for (let k = 0; k < 200; k++) window.hazardSim.run(deep.config, deep.program); // warm-up
    const times = [];
    for (let k = 0; k < runs; k += batch) {
      const t0 = performance.now();
      for (let j = 0; j < batch; j++) {
        if (window.hazardSim.run(deep.config, deep.program).status !== 0) throw new Error('deep did not complete');
      }
      times.push((performance.now() - t0) / batch);
    }
    return times;
  },
  { runs, batch }
);

// hazardSim.best on generated programs of 12 and of 50 instructions, 20
// seeds each (depth and level from the seed): the most time and how many
// were proved; null in a page without it.
const best = await page.evaluate(() => {
  const sim = window.hazardSim;
  if (!sim.best) return null;
  return [12, 50].map((count) => {
    let most = 0;
    let proved = 0;
    for (let seed = 0; seed < 20; seed++) {
      const files = sim.exercise({ seed, depth: 3 + (seed % 8), count, level: seed % 2 ? 'many' : 'few' });
      const t0 = performance.now();
      if (sim.best(files).exact) proved++;
      most = Math.max(most, performance.now() - t0);
    }
    return { count, most, proved };
  });
});

// From an edit of examples/deep's program to the frame after the new run is
// drawn (the depth comparison, the last view drawn), the pause before the run included.
await page.selectOption('#example', 'deep');
const edits = [];
for (let k = 0; k < 20; k++) {
  edits.push(await page.evaluate((k) => new Promise((resolve) => {
    const drawn = new MutationObserver(() => {
      drawn.disconnect();
      requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - t0), 0));
    });
    drawn.observe(document.getElementById('comparison'), { childList: true });
    const editor = document.getElementById('program');
    const t0 = performance.now();
    editor.value = k % 2 ? editor.value.slice(0, -1) : editor.value + ' ';
    editor.dispatchEvent(new Event('input', { bubbles: true }));
  }), k));
}
await browser.close();

const at = Object.fromEntries(stages.map((s) => [s, median(stamped[s])]));
// In the order they came: the simulator may be ready before the last script has run.
const byTime = [...stages].sort((a, b) => at[a] - at[b]);
const way = byTime.map((s, k) => `${s} ${at[s].toFixed(1)} ms (+${(at[s] - (k ? at[byTime[k - 1]] : 0)).toFixed(1)})`).join(', ');
console.log(`site size: ${(bytes / 1024).toFixed(1)} KB (target <= 263.4 KB: 15 KB over the 248.4 KB of the site before reordering); the simulator's script hazard-sim.js: ${(moduleBytes / 1024).toFixed(1)} KB (target <= 45 KB)`);
console.log(`from opening index.html (file://) to hazardSim.ready: median ${median(readyTimes).toFixed(1)} ms over ${opens} opens (target <= 500 ms)`);
console.log(`  the way there and on, medians since the navigation started: ${way}`);
console.log(`one hazardSim.run of examples/deep with its report: median ${median(perRun).toFixed(3)} ms over ${runs} runs, timed ${batch} at a time (target <= 0.6 ms)`);
console.log(`from an edit of examples/deep to its results drawn: median ${median(edits).toFixed(0)} ms, at most ${Math.max(...edits).toFixed(0)} ms over ${edits.length} edits (target: median <= 200 ms)`);
const targets = { 12: 'proved within 100 ms', 50: 'an answer within 1 s' };
for (const b of best || []) {
  console.log(`hazardSim.best on generated programs of ${b.count} instructions: at most ${b.most.toFixed(1)} ms over 20 seeds, ${b.proved} of 20 proved the fewest (target: ${targets[b.count]})`);
}
if (!best) console.log('hazardSim.best: not in this page, not timed');
