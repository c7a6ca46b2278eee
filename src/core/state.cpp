// The simulator state's single instance and the helpers that reset it.

#include "core/state.h"

#include <cstring>

namespace hs {

sim_state sim;

void reset_state() { std::memset(&sim, 0, sizeof sim); }

void clear_hazards(int32_t i)
{
    instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    for (int32_t k = 0; k < sim.depth && k < max_depth; k++) {
        r.dist[k] = 0;
        r.depend[k][0] = 0;
        r.depend[k][1] = 0;
        r.hazard[k][0] = '\0';
    }
}

} // namespace hs
