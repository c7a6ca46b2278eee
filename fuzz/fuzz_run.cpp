// Fuzz target: a whole run. The low four bits of the first byte give the
// length of config.txt, which follows; the rest is program.txt.

#include "fuzz_common.h"

using hs::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    fz::init();
    size_t n = data[0] & 0x0f;
    if (n > size - 1)
        n = size - 1;
    fz::write("config.txt", data + 1, n);
    fz::write("program.txt", data + 1 + n, size - 1 - n);
    int status = hs::run_in_process();
    fz::check(status == 0 || status == hs::exit_results || status == hs::exit_bad_config,
              "run status");
    if (status != 0)
        return 0;
    for (int32_t i = 0; i < sim.lines_read; i++) {
        const hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
        fz::check(r.dist[0] == 0, "hazard left after correction");
        fz::check(i == 0 || r.in > sim.instr_table[static_cast<size_t>(i - 1)].in, "entry cycles");
    }
    return 0;
}
