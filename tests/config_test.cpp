// The configuration reader, run end to end: every case runs without a
// program file, so a configuration that is accepted ends with status 1.

#include "harness.h"

#include "input/config_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

using test::reading_config;

std::string accepted(int depth, int count)
{
    return reading_config + test::config_values(depth, count) +
           "Eroare deschidere fisier de instructiuni !\n";
}

std::string count_high(int v)
{
    return "Numarul de instructiuni din program (" + std::to_string(v) +
           ") depaseste numarul maxim (50)\n";
}
std::string depth_high(int v)
{
    return "Adincimea pipe-line (" + std::to_string(v) + ") depaseste adincimea maxima (10)\n";
}
std::string count_low(int v)
{
    return "Numarul de instructiuni din program (" + std::to_string(v) +
           ") este mai mic ca numarul minim (2)\n";
}
std::string depth_low(int v)
{
    return "Adincimea pipe-line (" + std::to_string(v) +
           ") este mai mica decit adincimea minima (3)\n";
}

struct config_case {
    const char *name;
    std::string config;
    std::string out;
    int status;
};

void PrintTo(const config_case &c, std::ostream *os) { *os << c.name; }

const config_case cases[] = {
    {"SmallValues", "5\n6\n", accepted(5, 6), 1},
    {"LargestLimits", "10\n50\n", accepted(10, 50), 1},
    {"SmallestLimits", "3\n2\n", accepted(3, 2), 1},
    {"LeadingZeros", "07\n09\n", accepted(7, 9), 1},
    {"CrlfLines", "5\r\n6\r\n", accepted(5, 6), 1},
    {"LinesAfterSecondIgnored", "5\n6\nnot read\n", accepted(5, 6), 1},
    {"CountWithoutLineEnd", "5\n20", accepted(5, 20), 1},
    {"OneDigitCountWithoutLineEnd", "5\n6", accepted(5, 6), 1},
    {"BothAboveMaximum", "11\n51\n", reading_config + count_high(51) + depth_high(11), 4},
    {"BothBelowMinimum", "2\n1\n", reading_config + count_low(1) + depth_low(2), 4},
    {"DepthAboveMaximumAlone", "99\n5\n", reading_config + depth_high(99), 4},
    {"CountAboveMaximumAlone", "5\n99\n", reading_config + count_high(99), 4},
    {"CountBelowMinimumAlone", "5\n1\n", reading_config + count_low(1), 4},
    {"DepthBelowMinimumAlone", "0\n5\n", reading_config + depth_low(0), 4},
    {"DepthHighCountLow", "12\n0\n", reading_config + depth_high(12) + count_low(0), 4},
    {"DepthAtMaximumCountAboveMaximum", "10\n51\n", reading_config + count_high(51), 4},
    {"CountAtMinimumDepthAboveMaximum", "11\n2\n", reading_config + depth_high(11), 4},
    {"DepthAtMinimumCountBelowMinimum", "3\n1\n", reading_config + count_low(1), 4},
    {"CountAtMaximumDepthBelowMinimum", "2\n50\n", reading_config + depth_low(2), 4},
    {"EmptyFirstLine", "\n6\n", reading_config + depth_low(0), 4},
    {"ThreeDigitsDoNotEatNextLine", "123\n6\n", reading_config + depth_low(0), 4},
    {"ByteOrderMark",
     "\xEF\xBB\xBF"
     "5\n6\n",
     reading_config + depth_low(0), 4},
    {"LeadingSpace", " 5\n6\n", reading_config + depth_low(0), 4},
    {"TrailingSpace", "5 \n6\n", reading_config + depth_low(0), 4},
    {"NotADigit", "1/\n6\n", reading_config + depth_low(0), 4},
    {"SignIsNotADigit", "5\n-6\n", reading_config + count_low(0), 4},
    {"NulByte", "5\0\n6\n"s, reading_config + depth_low(0), 4},
    {"HighByte", "5\n\xB5\n", reading_config + count_low(0), 4},
    {"LoneCarriageReturnIsACharacter", "5\r6\n", reading_config + count_low(0) + depth_low(0), 4},
    {"CarriageReturnBeforeValue", "\r5\n6\n", reading_config + depth_low(0), 4},
    {"EmptyFile", "", reading_config + count_low(0) + depth_low(0), 4},
    {"MissingCountLine", "5\n", reading_config + count_low(0), 4},
    {"CtrlZEndsTheFile", "5\x1a\n6\n", reading_config + count_low(0), 4},
    {"CountMissingAfterUnendedDepth", "5", reading_config + count_low(0), 4},
    {"LongFirstLine", std::string(100000, '7') + "\n6\n", reading_config + depth_low(0), 4},
};

class ConfigReader : public testing::TestWithParam<config_case> {};

TEST_P(ConfigReader, OutputAndStatus)
{
    const config_case &c = GetParam();
    test::run_result r = test::run_with(c.config, test::missing);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigReader, testing::ValuesIn(cases), test::by_name());

TEST(ConfigReader, MissingFile)
{
    test::run_result r = test::run_with(test::missing, "LD R1,R2\n");
    EXPECT_EQ(r.out, "Eroare deschidere fisier de configurare !\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

TEST(ConfigValue, DigitsOnly)
{
    struct {
        const char *head;
        int32_t len;
        int32_t value;
    } const rows[] = {
        {"5", 1, 5}, {"50", 2, 50}, {"09", 2, 9}, {"", 0, 0},  {"12", 3, 0},
        {"a", 1, 0}, {"5a", 2, 0},  {"/", 1, 0},  {":", 1, 0}, {"\xEF\xBB", 2, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(hs::config_value(row.head, row.len), row.value) << row.head;
}

} // namespace
