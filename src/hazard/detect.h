// Hazard detection: which instructions in the pipeline at the same time
// conflict over a register, of which kind, and at what distance.
#pragma once

#include <cstdint>

namespace hs {

struct report_rec;

// Stores in `out`, from position 0 on, each element of `a` that equals an
// element of `b` (once per equal pair) and returns how many it stored.
// Positions from the count on keep what they held; callers pass lists of
// at most two and one, so `out` holds two.
int32_t intersect_regs(const int32_t *a, int32_t a_len, const int32_t *b, int32_t b_len,
                       int32_t *out);

// Records in the record of `later` the RAW, WAR and WAW hazards it has with
// `earlier` (both instruction indices, -1 for a bubble) when their distance
// in `in` is 1 .. depth - 2. Every kind that holds at distance d, with the
// registers it matched, also goes to `found->kinds[d]` and
// `found->kind_regs[d]`; nothing does when `found` is null.
void check_pair(int32_t later, int32_t earlier, report_rec *found);

// Checks the instruction in ring slot `slot` against the depth - 1 slots
// before it, nearest first, its kinds going to `found` as in check_pair.
void scan_window(int32_t slot, report_rec *found);

} // namespace hs
