// The two passes over the program: the analysis of the program as written
// and the correction that delays instructions by the fewest bubbles.
#pragma once

#include <cstdint>

namespace hs {

// Issues the instructions one per cycle, records their hazards and each
// one's nearest hazard distance, writes the analysis table to the console
// and sim.pfile1, and closes it. Returns exit_ok, or exit_results when the
// file could not be written completely (said on the console).
[[nodiscard]] int analysis_pass();

// Issues the instructions again behind just enough bubbles, writes the
// correction table to the console and sim.pfile2, closes it, and prints
// the performance figure. Returns as analysis_pass does.
[[nodiscard]] int correction_pass();

// `percent` in hundredths, rounded from its exact value with halves up.
int32_t round_cents(float percent);

} // namespace hs
