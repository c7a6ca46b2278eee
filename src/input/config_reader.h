// The configuration reader: pipeline depth and instruction count from
// "config.txt".
#pragma once

#include <cstdint>

namespace hs {

// Sets sim.depth and sim.instr_count and returns exit_ok when both are in
// range; otherwise reports why and returns exit_no_config or exit_bad_config.
[[nodiscard]] int read_config();

// The value of one configuration line of `len` characters whose first
// characters are `head` (at most two are looked at): one or two decimal
// digits give their number, anything else 0.
int32_t config_value(const char *head, int32_t len);

} // namespace hs
