// Runs the simulator inside a process that goes on afterwards (the web
// page, the fuzz targets, the benchmarks): each call starts from a fresh
// state and comes back with the status the run ended with.
#pragma once

namespace hs {

// Runs `step(ctx)` from a fresh state in the current folder; `step` returns
// the status its run ended with. Result files an early end left open are
// closed and the console is flushed and checked. Returns the status the
// program would have exited with.
int run_step_in_process(int (*step)(void *ctx), void *ctx);

// One complete run in the current folder, as the program does it.
int run_in_process();

} // namespace hs
