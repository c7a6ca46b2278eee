// The simulator in the page: loads the WebAssembly module, runs it on two
// input files in its in-memory file system, and reads the simulator's facts
// (limits, mnemonics, exit statuses).
// Gives makeRunner, readLimits, load.
'use strict';

const inputs = ['config.txt', 'program.txt'];
const results = ['analiza_hazard.txt', 'eliminare_hazard.txt'];
const consolePath = '/console.txt';
const reportPath = '/report.json';

// run(config, program) over a loaded module. Each input is a string
// (written as UTF-8), a Uint8Array (written byte for byte) or null (absent).
// A run returns {console, analysis, schedule, status, report}: the console
// text, both result files, the exit status and, after a complete run, the
// run report (its shape: report.schema.json; null otherwise).
function makeRunner(Module) {
  const FS = Module.FS;
  const decoder = new TextDecoder();
  let runs = 0;
  FS.mkdir('/runs');

  function read(path) {
    try {
      return decoder.decode(FS.readFile(path));
    } catch (e) {
      return '';
    }
  }
  function remove(path) {
    try {
      FS.unlink(path);
    } catch (e) {
      // not there: nothing to remove
    }
  }

  return function run(config, program) {
    const dir = '/runs/' + ++runs;
    FS.mkdir(dir);
    FS.chdir(dir);
    try {
      [config, program].forEach(function (content, k) {
        if (content === null || content === undefined) return;
        if (typeof content !== 'string' && !(content instanceof Uint8Array))
          throw new TypeError(inputs[k] + ': a string, a Uint8Array or null');
        FS.writeFile(inputs[k], content);
      });
      const status = Module._hs_web_run();
      const report = status === 0 ? read(reportPath) : '';
      return {
        console: read(consolePath),
        analysis: read(results[0]),
        schedule: read(results[1]),
        status: status,
        report: report ? JSON.parse(report) : null,
      };
    } finally {
      inputs.concat(results, reportPath).forEach(remove);
      FS.chdir('/');
      FS.rmdir(dir);
    }
  };
}

// The simulator's facts: {depth: [min, max], count: [min, max],
// registers, mnemonics, statuses: {ok, noProgram, results, noConfig, badConfig}}.
function readLimits(Module) {
  return JSON.parse(Module.UTF8ToString(Module._hs_web_limits()));
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
