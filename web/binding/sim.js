// The simulator in the page: starts the WebAssembly module, runs it on two
// input files among its in-memory files, and reads the simulator's facts
// (limits, mnemonics, exit statuses).
// Gives makeRunner, readLimits, load.
'use strict';

const inputs = ['config.txt', 'program.txt'];
const results = ['analiza_hazard.txt', 'eliminare_hazard.txt'];
const decoder = new TextDecoder();
const encoder = new TextEncoder();

// run(config, program) over a started module (createHazardSim's result:
// binding/wasi.js). Each input is a string (written as UTF-8), a Uint8Array
// (written byte for byte) or null (absent). A run returns {console,
// analysis, schedule, status, report}: the console text, both result files,
// the exit status and, after a complete run, the run report (its shape:
// report.schema.json; null otherwise). A run that traps or exits throws an
// Error marked `broken`, and so does every run after it.
function makeRunner(Module) {
  const files = Module.files;
  let broken = null;
  const read = (name) => {
    const data = files.read(name);
    return data ? decoder.decode(data) : '';
  };

  return function run(config, program) {
    if (broken) throw broken;
    [config, program].forEach(function (content, k) {
      if (content !== null && content !== undefined && typeof content !== 'string' && !(content instanceof Uint8Array))
        throw new TypeError(inputs[k] + ': a string, a Uint8Array or null');
    });
    files.clear();
    try {
      [config, program].forEach(function (content, k) {
        if (content === null || content === undefined) return;
        files.write(inputs[k], typeof content === 'string' ? encoder.encode(content) : content);
      });
      let status;
      try {
        status = Module.exports.hs_web_run();
      } catch (e) {
        broken = new Error('the simulator stopped: ' + (e && e.message ? e.message : String(e)));
        broken.broken = true;
        throw broken;
      }
      const report = status === 0 ? read('report.json') : '';
      return {
        console: read('console.txt'),
        analysis: read(results[0]),
        schedule: read(results[1]),
        status: status,
        report: report ? JSON.parse(report) : null,
      };
    } finally {
      files.clear();
    }
  };
}

// The simulator's facts: {depth: [min, max], count: [min, max],
// registers, mnemonics, statuses: {ok, noProgram, results, noConfig, badConfig}}.
function readLimits(Module) {
  const memory = new Uint8Array(Module.exports.memory.buffer);
  const at = Module.exports.hs_web_limits();
  return JSON.parse(decoder.decode(memory.subarray(at, memory.indexOf(0, at))));
}

// The simulator for the page: {ready, run, limits}, from the module's
// factory (createHazardSim of hazard-sim.js). run works once ready resolves;
// limits is set just before.
function load(createModule) {
  let runner = null;
  const sim = {
    limits: null,
    ready: createModule().then((Module) => {
      runner = makeRunner(Module);
      sim.limits = Object.freeze(readLimits(Module));
    }),
    run(config, program) {
      if (runner === null) throw new Error('hazardSim.run before hazardSim.ready');
      return runner(config, program);
    },
  };
  return sim;
}

module.exports = { makeRunner, readLimits, load };
