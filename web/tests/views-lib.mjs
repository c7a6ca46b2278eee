// What the views' tests share: the built site folder (HAZARD_WEB_SITE, default
// build-web/site), its scripts loaded under Node, the module's runner, and the
// native program run in a fresh folder.
import { spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const site = process.env.HAZARD_WEB_SITE || join(root, 'build-web', 'site');
const require = createRequire(import.meta.url);

// A script of the site, as its Node exports.
export const siteScript = (name) => require(join(site, name));

let runner = null;
// hazardSim.run under Node, the module loaded once.
export async function simRunner() {
  if (!runner) runner = siteScript('sim.js').makeRunner(await siteScript('hazard-sim.js')());
  return runner;
}

export const exampleInput = (name, file) => readFileSync(join(root, 'examples', name, file));

// The native program on two inputs: its status, console text and correction
// table, and the figures read off them (null unless the run is complete):
// depth, count, each instruction's entry cycle, bubbles, cycles and the
// performance line.
export function runNative(config, program) {
  const dir = mkdtempSync(join(tmpdir(), 'hazard-sim-views-'));
  try {
    writeFileSync(join(dir, 'config.txt'), config);
    writeFileSync(join(dir, 'program.txt'), program);
    const p = spawnSync(join(root, 'build', 'hazard-sim'), [], { cwd: dir, encoding: 'utf8' });
    if (p.status !== 0) return { status: p.status, console: p.stdout, figures: null };
    const read = (f) => readFileSync(join(dir, f), 'utf8');
    const entries = tableRows(read('eliminare_hazard.txt')).map((r) => r.in);
    const depth = Number(/^Adincimea pipe-line: (\d+)$/m.exec(p.stdout)[1]);
    const n = entries.length;
    const bubbles = n ? entries[n - 1] - (n - 1) : 0;
    return {
      status: 0,
      console: p.stdout,
      analysis: tableRows(read('analiza_hazard.txt')),
      figures: {
        depth,
        count: Number(/^Numarul de instructiuni din program: (\d+)$/m.exec(p.stdout)[1]),
        entries,
        bubbles,
        cycles: { written: depth + n - 1, corrected: n + bubbles + depth - 1 },
        performance: /^Performanta structurii pipe-line = ([\d.]+)%$/m.exec(p.stdout)[1],
      },
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// The rows of a table as the native program writes it:
// {in, text, hazards: [{distance, depend, kind}]}.
export function tableRows(text) {
  const rows = [];
  for (const line of text.split('\n').slice(3)) {
    const f = line.split('\t');
    if (line.startsWith('=') || f.length < 6) continue;
    if (f[0] !== '') rows.push({ in: Number(f[0]), text: `${f[1]} ${f[2]},${f[3]}`, hazards: [] });
    if (f.length === 10) rows[rows.length - 1].hazards.push({ distance: Number(f[5]), depend: f[7], kind: f[9] });
  }
  return rows;
}
