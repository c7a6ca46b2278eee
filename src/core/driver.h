// The run driver: the run's steps in order, the exit statuses, and the one
// way out of the process on failure.
#pragma once

namespace hs {

// Process exit statuses.
constexpr int exit_ok = 0;         // complete run
constexpr int exit_no_program = 1; // "program.txt" cannot be opened
constexpr int exit_results = 2;    // a result file cannot be created or written,
                                   // or the program has syntax errors
constexpr int exit_no_config = 3;  // "config.txt" cannot be opened
constexpr int exit_bad_config = 4; // a configuration value is out of range

// Ends the run with `status`; whatever had to be said is printed already.
// Open streams are flushed and closed by the normal process exit.
[[noreturn]] void end_run(int status);

// When set, end_run calls it instead of ending the process; it must not
// return (a harness that runs the simulator in-process jumps out of it).
extern void (*end_run_hook)(int status);

// One complete run in the current folder; returns exit_ok or ends the run.
int run_simulator();

} // namespace hs
