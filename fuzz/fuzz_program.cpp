// Fuzz target: the first two bytes choose the instruction count and the
// depth, the rest is program.txt.

#include "fuzz_common.h"
#include "input/program_reader.h"

#include <cstring>

using hs::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    fz::init();
    fz::write("program.txt", data + 2, size - 2);
    const int32_t count = hs::min_instr + data[0] % (hs::max_instr - hs::min_instr + 1);
    const int32_t depth = hs::min_depth + data[1] % (hs::max_depth - hs::min_depth + 1);
    struct sizes {
        int32_t count, depth;
    } given{count, depth};
    int status = hs::run_step_in_process(
        [](void *ctx) {
            const auto *g = static_cast<const sizes *>(ctx);
            sim.depth = g->depth;
            sim.instr_count = g->count;
            return hs::read_program();
        },
        &given);
    fz::check(status == 0 || status == hs::exit_results, "program status");
    fz::check(sim.lines_read >= 0 && sim.lines_read <= count, "lines read");
    if (status != 0)
        return 0;
    for (int32_t i = 0; i < sim.lines_read; i++) {
        const hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
        fz::check(r.in == i, "record number");
        fz::check(hs::opcode_index(r.opcode, static_cast<int32_t>(std::strlen(r.opcode))) >= 0,
                  "mnemonic");
        fz::check(r.dest[0] >= 1 && r.dest[0] <= 32, "destination");
        fz::check(r.sources[0] >= 1 && r.sources[0] <= 32, "first source");
        fz::check(r.sources[1] >= 0 && r.sources[1] <= 32, "second source");
    }
    return 0;
}
