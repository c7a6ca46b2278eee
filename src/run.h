// One run of the simulator: the steps in order, from creating the result
// files to the performance line.
#pragma once

namespace hs {

// One complete run in the current folder; returns exit_ok, or the failure
// status of the step that ended it. Result files an early end leaves open
// are the caller's to close (sim.pfile1, sim.pfile2).
[[nodiscard]] int run_simulator();

} // namespace hs
