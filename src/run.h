// One run of the simulator: the steps in order, from creating the result
// files to the performance line.
#pragma once

namespace hs {

// One complete run in the current folder; returns exit_ok or ends the run
// through end_run with a failure status.
int run_simulator();

} // namespace hs
