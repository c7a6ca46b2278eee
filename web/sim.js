// The simulator in the page: loads the WebAssembly module and runs it on two
// input files in a fresh folder of its in-memory file system. Sets
// window.hazardSim = {ready, run, limits}; under Node it exports makeRunner
// and readLimits instead. A run returns {console, analysis, schedule, status,
// report}: the console text, both result files, the exit status and, after a
// complete run, the run report (web/binding/report.schema.json), else null.
(function () {
  'use strict';

  const inputs = ['config.txt', 'program.txt'];
  const results = ['analiza_hazard.txt', 'eliminare_hazard.txt'];
  const consolePath = '/console.txt';
  const reportPath = '/report.json';

  // run(config, program) over a loaded module. Each input is a string
  // (written as UTF-8), a Uint8Array (written byte for byte) or null (absent).
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

  // The simulator's own constants, {depth: [min, max], count: [min, max],
  // registers, mnemonics, statuses}: the page's `limits`, set before `ready`
  // resolves.
  function readLimits(Module) {
    return JSON.parse(Module.UTF8ToString(Module._hs_web_limits()));
  }

  if (typeof module === 'object' && module.exports) {
    module.exports = { makeRunner: makeRunner, readLimits: readLimits };
    return;
  }
  let runner = null;
  window.hazardSim = {
    limits: null,
    ready: createHazardSim().then(function (Module) {
      window.hazardSim.limits = readLimits(Module);
      runner = makeRunner(Module);
    }),
    run: function (config, program) {
      if (runner === null) throw new Error('hazardSim.run before hazardSim.ready');
      return runner(config, program);
    },
  };
})();
