// How a run ends: the exit statuses that every step of a run gives back to
// its caller, and the final check of the console.
#pragma once

namespace hs {

// Exit statuses. A step of the run that cannot go on prints what has to be
// said and returns its status; every caller returns it unchanged, up to the
// run's driver (the console program's main, or the in-process runner).
constexpr int exit_ok = 0;         // complete run
constexpr int exit_no_program = 1; // "program.txt" cannot be opened
constexpr int exit_results = 2;    // a result file or the console cannot be
                                   // created or written, or the program has
                                   // syntax errors
constexpr int exit_no_config = 3;  // "config.txt" cannot be opened
constexpr int exit_bad_config = 4; // a configuration value is out of range

// Flushes the console and returns the run's final status: `status`, or
// exit_results when the console could not be written completely, which is
// then reported on standard error. A failure status is kept as it is.
int console_status(int status);

} // namespace hs
