// Both passes over a few thousand random programs, against a model written
// from the hazard rules: the analysis finds exactly the model's hazards, the
// correction leaves none, and the schedule and figure are the model's.

#include "core/driver.h"
#include "core/state.h"
#include "hazard/passes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

using hs::sim;

struct model_pair {
    bool raw, war, waw;
};

model_pair conflict(const hs::instr_rec &later, const hs::instr_rec &earlier)
{
    auto reads = [](const hs::instr_rec &r, int32_t reg) {
        return r.sources[0] == reg || (r.sources[1] != 0 && r.sources[1] == reg);
    };
    return {reads(later, earlier.dest[0]), reads(earlier, later.dest[0]),
            later.dest[0] == earlier.dest[0]};
}

TEST(Passes, RandomProgramsAgreeWithModel)
{
    std::mt19937 rng(20261208);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    for (int run = 0; run < 3000; run++) {
        hs::reset_state();
        sim.depth = pick(hs::min_depth, hs::max_depth);
        sim.lines_read = pick(0, hs::max_instr);
        sim.instr_count = std::max(sim.lines_read, hs::min_instr);
        int regs = pick(2, 12);
        for (int32_t i = 0; i < sim.lines_read; i++) {
            hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
            r.in = i;
            std::strcpy(r.opcode, hs::opcode_names[static_cast<size_t>(pick(0, 4))]);
            r.dest[0] = pick(1, regs);
            r.sources[0] = pick(1, regs);
            r.sources[1] = pick(0, 1) != 0 ? pick(1, regs) : 0;
        }
        const int32_t n = sim.lines_read, depth = sim.depth;
        SCOPED_TRACE("run " + std::to_string(run) + ", depth " + std::to_string(depth) + ", " +
                     std::to_string(n) + " instructions");

        sim.pfile1 = std::tmpfile();
        sim.pfile2 = std::tmpfile();

        testing::internal::CaptureStdout();
        ASSERT_EQ(hs::analysis_pass(), hs::exit_ok);
        std::string console = testing::internal::GetCapturedStdout();
        ASSERT_EQ(sim.pfile1, nullptr);

        // Analysis: the model's hazards at every distance, and the nearest.
        for (int32_t i = 0; i < n; i++) {
            const hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
            int32_t nearest = 0;
            for (int32_t d = 1; d <= depth - 2; d++) {
                const char *want = "";
                if (i - d >= 0) {
                    model_pair p = conflict(r, sim.instr_table[static_cast<size_t>(i - d)]);
                    want = p.waw ? "WAW" : p.war ? "WAR" : p.raw ? "RAW" : "";
                }
                ASSERT_STREQ(r.hazard[d], want) << "instruction " << i << ", distance " << d;
                ASSERT_EQ(r.dist[d], *want != '\0' ? d : 0);
                if (*want != '\0' && nearest == 0)
                    nearest = d;
            }
            ASSERT_EQ(sim.nearest_dist[static_cast<size_t>(i)], nearest) << "instruction " << i;
        }

        // The model's schedule: each enters after the one before it and
        // depth - 1 cycles after every instruction it conflicts with.
        int32_t want_in[hs::max_instr] = {};
        for (int32_t i = 0; i < n; i++) {
            int32_t at = i == 0 ? 0 : want_in[i - 1] + 1;
            for (int32_t d = 1; d <= depth - 2 && i - d >= 0; d++) {
                model_pair p = conflict(sim.instr_table[static_cast<size_t>(i)],
                                        sim.instr_table[static_cast<size_t>(i - d)]);
                if (p.raw || p.war || p.waw)
                    at = std::max(at, want_in[i - d] + depth - 1);
            }
            want_in[i] = at;
        }

        testing::internal::CaptureStdout();
        ASSERT_EQ(hs::correction_pass(), hs::exit_ok);
        console = testing::internal::GetCapturedStdout();
        ASSERT_EQ(sim.pfile2, nullptr);

        for (int32_t i = 0; i < n; i++) {
            const hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
            ASSERT_EQ(r.dist[0], 0) << "hazard left at instruction " << i;
            ASSERT_EQ(r.in, want_in[i]) << "instruction " << i;
            if (i > 0) {
                ASSERT_GT(r.in, sim.instr_table[static_cast<size_t>(i - 1)].in);
            }
        }
        ASSERT_EQ(sim.total_delay, n == 0 ? 0 : want_in[n - 1] - (n - 1));
        ASSERT_EQ(console.find("RAW"), std::string::npos);
        ASSERT_EQ(console.find("WAR"), std::string::npos);
        ASSERT_EQ(console.find("WAW"), std::string::npos);

        // The figure: the model's cycles over the schedule's, in percent,
        // printed to two decimals (performance_test.cpp checks the rounding).
        const std::string lead = "Performanta structurii pipe-line = ";
        size_t at = console.rfind(lead);
        ASSERT_NE(at, std::string::npos);
        int whole = 0, cents = 0;
        char tail[4] = {};
        ASSERT_EQ(
            std::sscanf(console.c_str() + at + lead.size(), "%d.%2d%3c", &whole, &cents, tail), 3);
        ASSERT_STREQ(tail, "%\n\n");
        int bubbles = n == 0 ? 0 : want_in[n - 1] - (n - 1);
        double exact = 100.0 * (depth + n - 1) / (n + bubbles + depth - 1);
        ASSERT_NEAR(whole + cents / 100.0, exact, 0.005 + 1e-4);
    }
}

} // namespace
