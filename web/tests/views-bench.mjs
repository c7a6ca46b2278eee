// Benchmark of the teaching views, not a test (node web/tests/views-bench.mjs
// [rounds], after scripts/web.sh build): one step of the stepper on
// examples/deep redrawn (the strip, the words and the diagrams' current
// cycle, laid out), the depth comparison of examples/deep worked out, and
// the whole site's size.
import { siteFiles, siteUrl, launch } from './lib.mjs';

const rounds = Number(process.argv[2]) || 5;

const median = (list) => {
  const s = [...list].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};
const quantile = (list, q) => [...list].sort((a, b) => a - b)[Math.floor(q * (list.length - 1))];
const bytes = siteFiles().reduce((sum, [, size]) => sum + size, 0);

const browser = await launch();
const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
await page.goto(siteUrl + 'index.html');
await page.waitForSelector('#run:not([disabled])');
await page.selectOption('#example', 'deep');
await page.click('#run');
await page.waitForSelector('#pipeline-now [data-stage="10"]');

// Every cycle of both schedules, `rounds` times: the input event's handlers
// and the layout they cause.
const steps = await page.evaluate((rounds) => {
  const slider = document.getElementById('cycle');
  const select = document.getElementById('step-schedule');
  const strip = document.getElementById('pipeline-now');
  const times = [];
  for (let r = 0; r < rounds; r++) {
    for (const which of ['corrected', 'written']) {
      select.value = which;
      select.dispatchEvent(new Event('change'));
      for (let c = 0; c <= Number(slider.max); c++) {
        const t0 = performance.now();
        slider.value = String(c);
        slider.dispatchEvent(new Event('input'));
        strip.getBoundingClientRect();
        document.body.offsetHeight;
        times.push(performance.now() - t0);
      }
    }
  }
  return times;
}, rounds);

// The comparison of deep, worked out 50 times.
const sweeps = await page.evaluate(() => {
  const deep = hsRequire('examples.js').find((e) => e.name === 'deep');
  const run = { program: deep.program, report: window.hazardSim.run(deep.config, deep.program).report };
  const times = [];
  for (let k = 0; k < 50; k++) {
    const t0 = performance.now();
    const rows = hsRequire('logic/sweep.js').sweepRows(window.hazardSim.run, run, window.hazardSim.limits);
    hsRequire('logic/sweep.js').chartSvg(rows, run.report.depth);
    times.push(performance.now() - t0);
  }
  return times;
});
await browser.close();

console.log(`site size: ${(bytes / 1024).toFixed(1)} KB (target <= 250 KB)`);
console.log(`one step of examples/deep redrawn: median ${median(steps).toFixed(2)} ms, 95th percentile ${quantile(steps, 0.95).toFixed(2)} ms, slowest ${Math.max(...steps).toFixed(2)} ms over ${steps.length} steps (target: median <= 16 ms)`);
console.log(`the depth comparison of examples/deep (7 runs, the chart): median ${median(sweeps).toFixed(2)} ms over ${sweeps.length} (target <= 20 ms)`);
