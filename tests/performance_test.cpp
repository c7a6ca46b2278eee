// The performance figure, end to end: programs built to give a chosen depth,
// instruction count and bubble count print the figure worked out by hand
// from (depth + n - 1) / (n + bubbles + depth - 1), taken in single
// precision, then to two decimals with an exact half rounded up.

#include "harness.h"

#include "hazard/passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

struct figure_case {
    const char *name;
    int depth, n, bubbles;
    const char *figure;
};

void PrintTo(const figure_case &c, std::ostream *os) { *os << c.name; }

const figure_case figure_cases[] = {
    {"NoBubbles", 3, 2, 0, "100.00"},               // 4 / 4
    {"TwoBubblesAtDepthFour", 4, 2, 2, "71.43"},    // 5 / 7 = 71.428...
    {"OneChainAtDepthSeven", 7, 3, 10, "47.37"},    // 9 / 19 = 47.368...
    {"OneShortDelay", 8, 5, 3, "80.00"},            // 12 / 15
    {"EightBubblesAtDepthTen", 10, 10, 8, "70.37"}, // 19 / 27 = 70.370...
    {"WholeChainAtDepthThree", 3, 50, 49, "51.49"}, // 52 / 101 = 51.485...
    {"LargestRun", 10, 50, 392, "13.08"},           // 59 / 451 = 13.082...
    // Exact halves whose single-precision value is exact: rounded up.
    {"HalfRoundsUp", 3, 27, 3, "90.63"},    // 29 / 32 = 90.625
    {"HalfRoundsUpToo", 6, 8, 19, "40.63"}, // 13 / 32 = 40.625
    // 47 / 160 = 29.375 exactly, but 29.3749981 in single precision.
    {"HalfJustBelowInSinglePrecision", 5, 43, 113, "29.37"},
};

// A program of n instructions at `depth` whose correction needs exactly
// `bubbles`: an instruction reading the register the one before it writes
// waits depth - 2 cycles; one reading what the instruction k back wrote,
// with none delayed between, waits depth - 1 - k. The rest use registers of
// their own, none written within depth - 2 of a reader.
std::string program_for(int depth, int n, int bubbles)
{
    int chain = bubbles / (depth - 2);
    int rest = bubbles % (depth - 2);
    int filler = 0;
    auto free_line = [&filler] {
        int k = filler++ % 11;
        return "LD R" + std::to_string(10 + k) + ",R" + std::to_string(21 + k) + "\n";
    };
    std::string program = "LD R1,R32\n";
    if (rest > 0) {
        for (int k = 1; k < depth - 1 - rest; k++)
            program += free_line();
        program += "ADD R1,R1,R32\n";
    }
    for (int c = 0; c < chain; c++)
        program += "ADD R1,R1,R32\n";
    while (std::count(program.begin(), program.end(), '\n') < n)
        program += free_line();
    return program;
}

// The first field of the last row of a table: the last instruction's cycle.
int last_cycle(const std::string &table)
{
    size_t end = table.rfind(test::rule);
    size_t row = table.rfind(test::rule, end - 1) + test::rule.size();
    return std::stoi(table.substr(row));
}

class Figure : public testing::TestWithParam<figure_case> {};

TEST_P(Figure, PrintedAsWorkedOut)
{
    const figure_case &c = GetParam();
    std::string program = program_for(c.depth, c.n, c.bubbles);
    ASSERT_EQ(std::count(program.begin(), program.end(), '\n'), c.n) << program;
    test::run_result r =
        test::run_with(std::to_string(c.depth) + "\n" + std::to_string(c.n) + "\n", program);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(last_cycle(r.schedule), c.n - 1 + c.bubbles) << program;
    std::string line = std::string("Performanta structurii pipe-line = ") + c.figure + "%\n\n";
    ASSERT_GE(r.out.size(), line.size());
    EXPECT_EQ(r.out.substr(r.out.size() - line.size()), line);
}

INSTANTIATE_TEST_SUITE_P(Cases, Figure, testing::ValuesIn(figure_cases), test::by_name());

// The rounding to hundredths on its own, also for values no run reaches
// (a ratio of 12.125% needs 97 cycles as written, more than 59).
TEST(RoundCents, ToHundredthsWithHalvesUp)
{
    const struct {
        float percent;
        int cents;
    } rows[] = {
        {90.625F, 9063},     {12.125F, 1213},    {40.625F, 4063}, {100.0F, 10000},
        {29.3749981F, 2937}, {52.631580F, 5263}, {80.0F, 8000},   {10.004999F, 1000},
    };
    for (const auto &row : rows)
        EXPECT_EQ(hs::round_cents(row.percent), row.cents) << row.percent;
}

} // namespace
