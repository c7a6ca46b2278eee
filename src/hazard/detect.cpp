// Hazard detection over the pipeline ring. A hazard is always seen from the
// later instruction and recorded in its record, at the index of its
// distance: RAW (it reads what the earlier one writes), WAR (it writes what
// the earlier one reads) and WAW (both write the same register).

#include "hazard/detect.h"

#include "core/state.h"

#include <cstring>

namespace hs {

int32_t intersect_regs(const int32_t *a, int32_t a_len, const int32_t *b, int32_t b_len,
                       int32_t *out)
{
    int32_t count = 0;
    for (int32_t i = 0; i < a_len; i++)
        for (int32_t j = 0; j < b_len; j++)
            if (a[i] == b[j] && count < 2)
                out[count++] = a[i];
    return count;
}

// One kind of hazard at distance d: the three kinds share the name slot and
// the register pair, so the last kind found at d is the one shown.
static void record(instr_rec &r, int32_t d, const char *kind)
{
    r.dist[d] = d;
    std::memcpy(r.hazard[d], kind, sizeof r.hazard[d]);
    r.dist[0]++;
}

void check_pair(int32_t later, int32_t earlier)
{
    if (later < 0 || earlier < 0)
        return; // a bubble takes part in no hazard
    instr_rec &l = sim.instr_table[static_cast<size_t>(later)];
    const instr_rec &e = sim.instr_table[static_cast<size_t>(earlier)];
    int32_t d = l.in - e.in;
    if (d < 1 || d >= sim.depth - 1)
        return; // at depth - 1 the earlier one is done with its registers
    if (intersect_regs(l.sources, 2, e.dest, 1, l.depend[d]) != 0)
        record(l, d, "RAW");
    if (intersect_regs(l.dest, 1, e.sources, 2, l.depend[d]) != 0)
        record(l, d, "WAR");
    if (intersect_regs(l.dest, 1, e.dest, 1, l.depend[d]) != 0)
        record(l, d, "WAW");
}

void scan_window(int32_t slot)
{
    int32_t newest = sim.pipe_ring[static_cast<size_t>(slot)];
    if (newest <= 0)
        return; // instruction 0 has nothing before it; bubbles are not scanned
    for (int32_t k = 1; k < sim.depth; k++) {
        int32_t back = (slot + sim.depth - k) % sim.depth;
        check_pair(newest, sim.pipe_ring[static_cast<size_t>(back)]);
    }
}

} // namespace hs
