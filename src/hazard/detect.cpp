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
static inline void record(instr_rec &r, int32_t d, int32_t kind)
{
    r.dist[d] = d;
    std::memcpy(r.hazard[d], kind_names[static_cast<size_t>(kind)], sizeof r.hazard[d]);
    r.dist[0]++;
}

void check_pair(int32_t later, int32_t earlier, report_rec *found)
{
    if (later < 0 || earlier < 0)
        return; // a bubble takes part in no hazard
    instr_rec &l = sim.instr_table[static_cast<size_t>(later)];
    const instr_rec &e = sim.instr_table[static_cast<size_t>(earlier)];
    int32_t d = l.in - e.in;
    if (d < 1 || d >= sim.depth - 1)
        return; // at depth - 1 the earlier one is done with its registers

    // Each check leaves the registers it matched in depend[d] from position
    // 0 on (n of them), until the next check writes over them. Every kind
    // and its registers go to `found` or, when it is null, to locals that
    // nothing reads: chosen once here rather than tested at each kind.
    int32_t unread_kinds = 0;
    int32_t unread_regs[3][2];
    int32_t *kinds_out = found != nullptr ? &found->kinds[d] : &unread_kinds;
    int32_t(*regs)[2] = found != nullptr ? found->kind_regs[d] : unread_regs;
    int32_t *pair = l.depend[d];
    int32_t kinds = 0;
    int32_t n = intersect_regs(l.sources, 2, e.dest, 1, pair);
    if (n != 0) {
        record(l, d, kind_raw);
        kinds |= 1 << kind_raw;
        regs[kind_raw][0] = pair[0];
        regs[kind_raw][1] = n > 1 ? pair[1] : 0;
    }
    n = intersect_regs(l.dest, 1, e.sources, 2, pair);
    if (n != 0) {
        record(l, d, kind_war);
        kinds |= 1 << kind_war;
        regs[kind_war][0] = pair[0];
        regs[kind_war][1] = n > 1 ? pair[1] : 0;
    }
    if (intersect_regs(l.dest, 1, e.dest, 1, pair) != 0) {
        record(l, d, kind_waw);
        kinds |= 1 << kind_waw;
        regs[kind_waw][0] = pair[0]; // one destination each: one register
        regs[kind_waw][1] = 0;
    }
    if (kinds != 0)
        *kinds_out = kinds;
}

void scan_window(int32_t slot, report_rec *found)
{
    int32_t newest = sim.pipe_ring[static_cast<size_t>(slot)];
    if (newest <= 0)
        return; // instruction 0 has nothing before it; bubbles are not scanned
    for (int32_t k = 1; k < sim.depth; k++) {
        int32_t back = (slot + sim.depth - k) % sim.depth;
        check_pair(newest, sim.pipe_ring[static_cast<size_t>(back)], found);
    }
}

} // namespace hs
