// The run report that the passes leave in the state for the page: every
// kind that holds at a distance with its registers (also where the table
// shows only the last), what the table shows, and the schedule's figures.

#include "harness.h"

#include "core/state.h"
#include "in_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using hs::sim;

// Runs in-process in a fresh folder, the console thrown away; the state is
// left as the run left it.
int run_for_report(const std::string &config, const std::string &program)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", config);
    test::write_file(dir + "/program.txt", program);
    fs::path before = fs::current_path();
    fs::current_path(dir);
    std::fflush(stdout);
    int saved = dup(1);
    int status = -1;
    if (std::freopen("/dev/null", "w", stdout) != nullptr)
        status = hs::run_in_process();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::clearerr(stdout);
    fs::current_path(before);
    test::remove_dir(dir);
    return status;
}

// The kinds recorded for instruction i at distance d, as "RAW R1,R1 WAR R5".
std::string kinds_at(int i, int d)
{
    const hs::report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
    std::string out;
    for (int k = hs::kind_raw; k <= hs::kind_waw; k++) {
        if ((rep.kinds[d] & (1 << k)) == 0)
            continue;
        out += out.empty() ? "" : " ";
        out += hs::kind_names[static_cast<size_t>(k)];
        for (int n = 0; n < 2; n++) {
            int reg = rep.kind_regs[d][k][n];
            if (reg != 0)
                out += (n == 0 ? " R" : ",R") + std::to_string(reg);
        }
    }
    return out;
}

// What the analysis table shows for instruction i at distance d, "WAR R5,R1".
std::string shown_at(int i, int d)
{
    const hs::report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
    if (rep.kinds[d] == 0)
        return "";
    std::string out = rep.hazard[d];
    for (int n = 0; n < 2; n++)
        if (rep.depend[d][n] != 0)
            out += (n == 0 ? " R" : ",R") + std::to_string(rep.depend[d][n]);
    return out;
}

struct kinds_case {
    const char *name;
    const char *program; // two instructions at depth 5: the hazard is at distance 1
    const char *shown;
    const char *kinds;
};

class ReportKinds : public testing::TestWithParam<kinds_case> {};

TEST_P(ReportKinds, KeepsEveryKindThatHoldsBesideWhatTheTableShows)
{
    const kinds_case &c = GetParam();
    ASSERT_EQ(run_for_report("5\n2\n", c.program), 0);
    EXPECT_EQ(shown_at(1, 1), c.shown);
    EXPECT_EQ(kinds_at(1, 1), c.kinds);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ReportKinds,
    testing::Values(
        kinds_case{"Raw", "LD R1,R2\nADD R3,R1,R4\n", "RAW R1", "RAW R1"},
        kinds_case{"War", "ADD R3,R1,R4\nSUB R4,R5,R6\n", "WAR R4", "WAR R4"},
        kinds_case{"Waw", "LD R1,R2\nSUB R1,R5,R6\n", "WAW R1", "WAW R1"},
        // Both sources read what the LD writes; the WAR's R5 then covers the first.
        kinds_case{"RawHiddenByWar", "LD R1,R5\nADD R5,R1,R1\n", "WAR R5,R1", "RAW R1,R1 WAR R5"},
        kinds_case{"RawHiddenByWaw", "LD R1,R2\nADD R1,R1,R1\n", "WAW R1,R1", "RAW R1,R1 WAW R1"},
        kinds_case{"WarOnTwoEqualSources", "ADD R3,R2,R2\nSUB R2,R4,R5\n", "WAR R2,R2",
                   "WAR R2,R2"},
        kinds_case{"AllThree", "ADD R1,R1,R2\nMUL R1,R1,R3\n", "WAW R1", "RAW R1 WAR R1 WAW R1"},
        kinds_case{"None", "LD R1,R2\nADD R3,R4,R5\n", "", ""}),
    test::by_name{});

using test::six;

TEST(Report, SixRecordsBothTablesAndTheFigures)
{
    ASSERT_EQ(run_for_report("5\n6\n", six), 0);
    // The MUL: RAW and WAW on R3 two back (the table shows WAW), RAW on R1 three back.
    EXPECT_EQ(shown_at(3, 2), "WAW R3");
    EXPECT_EQ(kinds_at(3, 2), "RAW R3 WAW R3");
    EXPECT_EQ(shown_at(3, 3), "RAW R1");
    EXPECT_EQ(kinds_at(3, 3), "RAW R1");
    EXPECT_EQ(kinds_at(3, 1), "");
    const int entries[] = {0, 4, 8, 9, 10, 14};
    const int delays[] = {0, 3, 3, 0, 0, 3};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(sim.report.instr[static_cast<size_t>(i)].entry, entries[i]) << i;
        EXPECT_EQ(sim.report.instr[static_cast<size_t>(i)].delay, delays[i]) << i;
    }
    EXPECT_EQ(sim.report.bubbles, 9);
    EXPECT_EQ(sim.report.cycles_written, 10);
    EXPECT_EQ(sim.report.cycles_corrected, 19);
    EXPECT_STREQ(sim.report.performance, "52.63");
}

TEST(Report, OnlyDistancesBelowDepthMinusOneCarryKinds)
{
    // At depth 3 the RAW two back is no hazard; at depth 4 it is.
    const char *program = "LD R1,R2\nDIV R7,R8,R9\nADD R3,R1,R4\n";
    ASSERT_EQ(run_for_report("3\n3\n", program), 0);
    EXPECT_EQ(kinds_at(2, 2), "");
    EXPECT_EQ(sim.report.bubbles, 0);
    ASSERT_EQ(run_for_report("4\n3\n", program), 0);
    EXPECT_EQ(kinds_at(2, 2), "RAW R1");
    EXPECT_EQ(sim.report.instr[2].delay, 1);
}

TEST(Report, ANewRunStartsFromAnEmptyReport)
{
    ASSERT_EQ(run_for_report("5\n6\n", six), 0);
    ASSERT_EQ(run_for_report("5\n2\n", "LD R1,R2\nADD R3,R5,R4\n"), 0);
    EXPECT_EQ(kinds_at(1, 1), "");
    EXPECT_EQ(sim.report.bubbles, 0);
    EXPECT_STREQ(sim.report.performance, "100.00");
}

TEST(Report, AFailedRunLeavesNoFigure)
{
    EXPECT_EQ(run_for_report("5\n2\n", "LD R1,R2\nXOR R3,R1,R4\n"), 2);
    EXPECT_STREQ(sim.report.performance, "");
}

} // namespace
