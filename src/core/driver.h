// How a run ends: the exit statuses, the one way out of the process on
// failure, and the final check of the console.
#pragma once

namespace hs {

// Process exit statuses.
constexpr int exit_ok = 0;         // complete run
constexpr int exit_no_program = 1; // "program.txt" cannot be opened
constexpr int exit_results = 2;    // a result file or the console cannot be
                                   // created or written, or the program has
                                   // syntax errors
constexpr int exit_no_config = 3;  // "config.txt" cannot be opened
constexpr int exit_bad_config = 4; // a configuration value is out of range

// Ends the run with `status` (after the console check below); whatever had
// to be said is printed already. Open streams are flushed and closed by the
// normal process exit.
[[noreturn]] void end_run(int status);

// When set, end_run calls it instead of ending the process; it must not
// return. The in-process runner sets it to jump back to its caller.
extern void (*end_run_hook)(int status);

// Flushes the console and returns the run's final status: `status`, or
// exit_results when the console could not be written completely, which is
// then reported on standard error. A failure status is kept as it is.
int console_status(int status);

} // namespace hs
