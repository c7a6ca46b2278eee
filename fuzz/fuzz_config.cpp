// Fuzz target: the whole input is config.txt.

#include "fuzz_common.h"
#include "input/config_reader.h"

using hs::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fz::init();
    fz::write("config.txt", data, size);
    int status = hs::run_step_in_process([](void *) { return hs::read_config(); }, nullptr);
    fz::check(status == 0 || status == hs::exit_bad_config, "config status");
    if (status == 0) {
        fz::check(sim.depth >= hs::min_depth && sim.depth <= hs::max_depth, "depth range");
        fz::check(sim.instr_count >= hs::min_instr && sim.instr_count <= hs::max_instr,
                  "count range");
    }
    return 0;
}
