// The register intersection, the check of one pair and the window scan,
// run on records set up by hand.

#include "harness.h"

#include "core/state.h"
#include "hazard/detect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include <string>

namespace {

using hs::sim;

TEST(IntersectRegs, KeepsFirstListOrderAndLeavesTheRest)
{
    int32_t out[2] = {7, 8};
    const int32_t two[2] = {4, 1};
    const int32_t one[1] = {1};
    EXPECT_EQ(hs::intersect_regs(two, 2, one, 1, out), 1);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 8); // untouched past the count

    const int32_t same[2] = {5, 5};
    const int32_t five[1] = {5};
    EXPECT_EQ(hs::intersect_regs(five, 1, same, 2, out), 2);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 5);

    const int32_t none[1] = {9};
    out[0] = 3;
    out[1] = 4;
    EXPECT_EQ(hs::intersect_regs(two, 2, none, 1, out), 0);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 4);
}

TEST(IntersectRegs, NoRegisterNeverMatchesADestination)
{
    int32_t out[2] = {0, 0};
    const int32_t one_source[2] = {3, 0};
    const int32_t dest[1] = {6};
    EXPECT_EQ(hs::intersect_regs(one_source, 2, dest, 1, out), 0);
}

// Sets record i to `dest`, `s1`, `s2` entering at `in`, with no hazards.
void set(int32_t i, int32_t in, int32_t dest, int32_t s1, int32_t s2)
{
    hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    r = hs::instr_rec{};
    r.in = in;
    r.dest[0] = dest;
    r.sources[0] = s1;
    r.sources[1] = s2;
}

struct pair_case {
    const char *name;
    int32_t depth;
    int32_t earlier[3]; // dest, source 1, source 2
    int32_t later[3];
    int32_t distance;
    int32_t found; // successful checks
    int32_t depend[2];
    const char *hazard;
    int32_t kinds; // the kinds recorded at the distance: 1 RAW, 2 WAR, 4 WAW
};

void PrintTo(const pair_case &c, std::ostream *os) { *os << c.name; }

const pair_case pair_cases[] = {
    {"Raw", 5, {1, 2, 0}, {3, 1, 4}, 1, 1, {1, 0}, "RAW", 1},
    {"War", 5, {3, 1, 4}, {4, 5, 6}, 1, 1, {4, 0}, "WAR", 2},
    {"Waw", 5, {1, 2, 0}, {1, 3, 4}, 1, 1, {1, 0}, "WAW", 4},
    {"RawOnBothSources", 5, {1, 2, 0}, {5, 1, 1}, 1, 1, {1, 1}, "RAW", 1},
    {"WarOnBothSources", 5, {3, 2, 2}, {2, 4, 5}, 1, 1, {2, 2}, "WAR", 2},
    {"RawAndWawShowWaw", 5, {1, 2, 0}, {1, 1, 1}, 1, 2, {1, 1}, "WAW", 5},
    {"RawAndWarKeepLeftover", 5, {1, 5, 0}, {5, 1, 1}, 1, 2, {5, 1}, "WAR", 3},
    {"WarAndWaw", 5, {3, 3, 4}, {3, 5, 6}, 1, 2, {3, 0}, "WAW", 6},
    {"AllThree", 5, {3, 3, 4}, {3, 3, 6}, 1, 3, {3, 0}, "WAW", 7},
    {"AtDepthMinusTwo", 10, {1, 2, 0}, {3, 1, 4}, 8, 1, {1, 0}, "RAW", 1},
    {"AtDepthMinusOneNone", 10, {1, 2, 0}, {3, 1, 4}, 9, 0, {0, 0}, "", 0},
    {"DepthThreeDistanceTwoNone", 3, {1, 2, 0}, {3, 1, 4}, 2, 0, {0, 0}, "", 0},
    {"NoCommonRegister", 5, {1, 2, 3}, {4, 5, 6}, 1, 0, {0, 0}, "", 0},
    {"SecondSourceZeroNeverMatches", 5, {7, 8, 0}, {9, 10, 0}, 1, 0, {0, 0}, "", 0},
};

class CheckPair : public testing::TestWithParam<pair_case> {};

TEST_P(CheckPair, RecordsInLaterAtDistance)
{
    const pair_case &c = GetParam();
    hs::reset_state();
    sim.depth = c.depth;
    set(0, 10, c.earlier[0], c.earlier[1], c.earlier[2]);
    set(1, 10 + c.distance, c.later[0], c.later[1], c.later[2]);
    hs::report_rec found{};
    hs::check_pair(1, 0, &found);

    const hs::instr_rec &l = sim.instr_table[1];
    int32_t d = c.distance < hs::max_depth ? c.distance : 0;
    EXPECT_EQ(l.dist[0], c.found);
    EXPECT_EQ(l.dist[d], c.found != 0 ? c.distance : 0);
    EXPECT_EQ(l.depend[d][0], c.depend[0]);
    EXPECT_EQ(l.depend[d][1], c.depend[1]);
    EXPECT_EQ(std::string(l.hazard[d]), c.hazard);
    EXPECT_EQ(found.kinds[d], c.kinds);
    // The earlier record is never written.
    EXPECT_EQ(sim.instr_table[0].dist[0], 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckPair, testing::ValuesIn(pair_cases), test::by_name());

TEST(CheckPair, BubbleTakesPartInNoHazard)
{
    hs::reset_state();
    sim.depth = 5;
    set(0, 0, 1, 2, 0);
    set(1, 1, 1, 1, 1);
    hs::check_pair(1, -1, nullptr);
    hs::check_pair(-1, 1, nullptr);
    EXPECT_EQ(sim.instr_table[1].dist[0], 0);
}

TEST(ScanWindow, SkipsBubbleAndComparesAcrossIt)
{
    hs::reset_state();
    sim.depth = 5;
    set(0, 0, 1, 2, 0); // LD R1,R2 in cycle 0
    set(1, 4, 3, 1, 4); // ADD R3,R1,R4 in cycle 4
    set(2, 6, 5, 3, 6); // MUL R5,R3,R6 in cycle 6, after a bubble
    sim.pipe_ring = {1, -1, 2, 0, 0};
    hs::scan_window(2, nullptr);
    const hs::instr_rec &r = sim.instr_table[2];
    EXPECT_EQ(r.dist[1], 0);
    EXPECT_EQ(r.dist[2], 2);
    EXPECT_EQ(r.depend[2][0], 3);
    EXPECT_STREQ(r.hazard[2], "RAW");
    EXPECT_EQ(r.dist[0], 1); // instruction 0 is 6 cycles back: no hazard
}

TEST(ScanWindow, UnwrittenSlotsRepeatInstructionZero)
{
    hs::reset_state();
    sim.depth = 5;
    set(0, 0, 1, 2, 0);
    set(1, 1, 3, 1, 4);
    sim.pipe_ring = {0, 1, 0, 0, 0};
    hs::scan_window(1, nullptr);
    const hs::instr_rec &r = sim.instr_table[1];
    EXPECT_EQ(r.dist[1], 1);
    EXPECT_STREQ(r.hazard[1], "RAW");
    EXPECT_EQ(r.dist[0], 4); // the same pair, checked from four slots
}

TEST(ScanWindow, NewestZeroOrBubbleIsNotScanned)
{
    hs::reset_state();
    sim.depth = 5;
    set(0, 0, 1, 1, 1);
    sim.pipe_ring = {0, -1, 0, 0, 0};
    hs::scan_window(0, nullptr);
    hs::scan_window(1, nullptr);
    EXPECT_EQ(sim.instr_table[0].dist[0], 0);
}

TEST(ScanWindow, RecordsKindsWhereTheCallerSaysAndNowhereElse)
{
    hs::reset_state();
    sim.depth = 5;
    set(0, 0, 1, 2, 0); // LD R1,R2
    set(1, 1, 2, 5, 5); // SUB R2,R5,R5
    set(2, 2, 1, 1, 2); // ADD R1,R1,R2: RAW on R2 one back, RAW and WAW on R1 two back
    sim.pipe_ring = {-1, -1, 0, 1, 2};
    std::memset(&sim.report, 0x5a, sizeof sim.report);
    static hs::run_report before;
    before = sim.report;

    // As the correction pass calls it: hazards in the record, no kinds anywhere.
    hs::scan_window(4, nullptr);
    EXPECT_EQ(sim.instr_table[2].dist[0], 3);
    EXPECT_EQ(std::memcmp(&sim.report, &before, sizeof before), 0);

    // As the analysis pass calls it: every kind, with its registers.
    hs::report_rec found{};
    hs::scan_window(4, &found);
    EXPECT_EQ(found.kinds[1], 1);
    EXPECT_EQ(found.kind_regs[1][hs::kind_raw][0], 2);
    EXPECT_EQ(found.kinds[2], 1 | 4);
    EXPECT_EQ(found.kind_regs[2][hs::kind_raw][0], 1);
    EXPECT_EQ(found.kind_regs[2][hs::kind_raw][1], 0);
    EXPECT_EQ(found.kind_regs[2][hs::kind_waw][0], 1);
    EXPECT_EQ(found.kinds[3], 0);
    EXPECT_EQ(std::memcmp(&sim.report, &before, sizeof before), 0);
}

} // namespace
