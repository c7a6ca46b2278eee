// Complete runs, end to end: the console, both result files and the exit
// status, byte for byte, for programs whose tables are worked out by hand.

#include "harness.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using test::header;
using test::rule;
using test::six;
using test::six_analysis;
using test::six_schedule;

TEST(CompleteRun, SixInstructionsAtDepthFive)
{
    test::run_result r = test::run_with("5\n6\n", six);
    EXPECT_EQ(r.out, test::full_run(5, 6, 6, six_analysis, six_schedule, "52.63")); // 10 over 19
    EXPECT_EQ(r.analysis, header() + six_analysis);
    EXPECT_EQ(r.schedule, header() + six_schedule);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(CompleteRun, ExceededCountGoesOnWithFirstLines)
{
    test::run_result r = test::run_with("5\n4\n", six);
    std::string rows1 = six_analysis.substr(0, six_analysis.find("4\tDIV"));
    std::string rows2 = six_schedule.substr(0, six_schedule.find("10\tDIV"));
    std::string want = test::full_run(5, 4, 4, rows1, rows2, "57.14"); // 8 over 14
    want.insert(want.find(test::writing), test::exceeded(4));
    EXPECT_EQ(r.out, want);
    EXPECT_EQ(r.status, 0);
}

// A run of a small program: its two tables' rows and performance figure.
struct run_case {
    const char *name;
    int depth;
    std::string program;
    std::string rows1;
    std::string rows2;
    const char *percent;
};

void PrintTo(const run_case &c, std::ostream *os) { *os << c.name; }

std::string line(const std::string &text) { return text + "\n" + rule; }

const run_case run_cases[] = {
    // Two instructions at depth 4: one hazard at distance 1, two bubbles,
    // 5 cycles over 7.
    {"Raw", 4, "LD R1,R2\nADD R3,R1,R4\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW"),
     line("0\tLD\tR1\tR2\t\t") + line("3\tADD\tR3\tR1,R4\t\t"), "71.43"},
    {"War", 4, "ADD R3,R1,R4\nSUB R4,R5,R6\n",
     line("0\tADD\tR3\tR1,R4\t\t") + line("1\tSUB\tR4\tR5,R6\t\t1\t\tR4\t\tWAR"),
     line("0\tADD\tR3\tR1,R4\t\t") + line("3\tSUB\tR4\tR5,R6\t\t"), "71.43"},
    {"Waw", 4, "LD R1,R2\nADD R1,R3,R4\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR1\tR3,R4\t\t1\t\tR1\t\tWAW"),
     line("0\tLD\tR1\tR2\t\t") + line("3\tADD\tR1\tR3,R4\t\t"), "71.43"},
    {"RawAndWaw", 4, "LD R1,R2\nADD R1,R1,R1\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR1\tR1,R1\t\t1\t\tR1,R1\t\tWAW"),
     line("0\tLD\tR1\tR2\t\t") + line("3\tADD\tR1\tR1,R1\t\t"), "71.43"},
    {"RawAndWarLeaveARegister", 4, "LD R1,R5\nADD R5,R1,R1\n",
     line("0\tLD\tR1\tR5\t\t") + line("1\tADD\tR5\tR1,R1\t\t1\t\tR5,R1\t\tWAR"),
     line("0\tLD\tR1\tR5\t\t") + line("3\tADD\tR5\tR1,R1\t\t"), "71.43"},
    {"WarAndWaw", 4, "ADD R3,R3,R4\nSUB R3,R5,R6\n",
     line("0\tADD\tR3\tR3,R4\t\t") + line("1\tSUB\tR3\tR5,R6\t\t1\t\tR3\t\tWAW"),
     line("0\tADD\tR3\tR3,R4\t\t") + line("3\tSUB\tR3\tR5,R6\t\t"), "71.43"},
    {"AllThreeKinds", 4, "ADD R3,R3,R4\nSUB R3,R3,R6\n",
     line("0\tADD\tR3\tR3,R4\t\t") + line("1\tSUB\tR3\tR3,R6\t\t1\t\tR3\t\tWAW"),
     line("0\tADD\tR3\tR3,R4\t\t") + line("3\tSUB\tR3\tR3,R6\t\t"), "71.43"},
    {"WarOnTwoEqualSources", 4, "ADD R3,R2,R2\nSUB R2,R4,R5\n",
     line("0\tADD\tR3\tR2,R2\t\t") + line("1\tSUB\tR2\tR4,R5\t\t1\t\tR2,R2\t\tWAR"),
     line("0\tADD\tR3\tR2,R2\t\t") + line("3\tSUB\tR2\tR4,R5\t\t"), "71.43"},
    // Depth 3: the least depth with a hazard, one bubble, 4 over 5.
    {"DepthThreeOneBubble", 3, "LD R1,R2\nADD R3,R1,R4\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW"),
     line("0\tLD\tR1\tR2\t\t") + line("2\tADD\tR3\tR1,R4\t\t"), "80.00"},
    // Depth 3: two instructions apart is no hazard.
    {"DepthThreeDistanceTwoIsNoHazard", 3, "LD R1,R2\nSUB R5,R6,R7\nADD R3,R1,R4\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tSUB\tR5\tR6,R7\t\t") + line("2\tADD\tR3\tR1,R4\t\t"),
     line("0\tLD\tR1\tR2\t\t") + line("1\tSUB\tR5\tR6,R7\t\t") + line("2\tADD\tR3\tR1,R4\t\t"),
     "100.00"},
    // A chain: each waits for the one before, 6 over 10.
    {"ChainOfDelays", 4, "LD R1,R2\nADD R3,R1,R4\nSUB R5,R3,R6\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW") +
         line("2\tSUB\tR5\tR3,R6\t\t1\t\tR3\t\tRAW"),
     line("0\tLD\tR1\tR2\t\t") + line("3\tADD\tR3\tR1,R4\t\t") + line("6\tSUB\tR5\tR3,R6\t\t"),
     "60.00"},
    // The MUL's producer was itself delayed: its need counts from cycle 4.
    {"NeedFromDelayedProducer", 5, "LD R1,R2\nADD R3,R1,R4\nSUB R7,R8,R9\nMUL R5,R3,R6\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW") +
         line("2\tSUB\tR7\tR8,R9\t\t") + line("3\tMUL\tR5\tR3,R6\t\t2\t\tR3\t\tRAW"),
     line("0\tLD\tR1\tR2\t\t") + line("4\tADD\tR3\tR1,R4\t\t") + line("5\tSUB\tR7\tR8,R9\t\t") +
         line("8\tMUL\tR5\tR3,R6\t\t"),
     "61.54"},
    // Only hazard at distance 2: it starts on the instruction's own line.
    {"OnlyLaterDistance", 5, "LD R1,R2\nSUB R7,R8,R9\nADD R3,R1,R4\n",
     line("0\tLD\tR1\tR2\t\t") + line("1\tSUB\tR7\tR8,R9\t\t") +
         line("2\tADD\tR3\tR1,R4\t\t2\t\tR1\t\tRAW"),
     line("0\tLD\tR1\tR2\t\t") + line("1\tSUB\tR7\tR8,R9\t\t") + line("4\tADD\tR3\tR1,R4\t\t"),
     "77.78"},
};

class SmallRun : public testing::TestWithParam<run_case> {};

TEST_P(SmallRun, TablesAndFigure)
{
    const run_case &c = GetParam();
    int lines = 0;
    for (char ch : c.program)
        lines += ch == '\n';
    std::string config = std::to_string(c.depth) + "\n" + std::to_string(lines) + "\n";
    test::run_result r = test::run_with(config, c.program);
    EXPECT_EQ(r.out, test::full_run(c.depth, lines, lines, c.rows1, c.rows2, c.percent));
    EXPECT_EQ(r.analysis, header() + c.rows1);
    EXPECT_EQ(r.schedule, header() + c.rows2);
    EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SmallRun, testing::ValuesIn(run_cases), test::by_name());

TEST(CompleteRun, EmptyProgramIsPerfect)
{
    test::run_result r = test::run_with("5\n2\n", "");
    EXPECT_EQ(r.out, test::full_run(5, 2, 0, "", "", "100.00"));
    EXPECT_EQ(r.analysis, header());
    EXPECT_EQ(r.schedule, header());
    EXPECT_EQ(r.status, 0);
}

// Depth 10: the last instruction writes what all eight before it read.
TEST(CompleteRun, HazardsAtDistancesOneToEight)
{
    std::string program, rows1, rows2;
    for (int j = 0; j < 9; j++) {
        std::string text = "LD\tR" + std::to_string(j + 1) + "\tR20\t\t";
        program += "LD R" + std::to_string(j + 1) + ",R20\n";
        rows1 += line(std::to_string(j) + "\t" + text);
        rows2 += line(std::to_string(j) + "\t" + text);
    }
    program += "ADD R20,R21,R22\n";
    std::string last = "9\tADD\tR20\tR21,R22\t\t1\t\tR20\t\tWAR";
    for (int k = 2; k <= 8; k++)
        last += "\n\t\t\t\t\t" + std::to_string(k) + "\t\tR20\t\tWAR";
    rows1 += line(last);
    rows2 += line("17\tADD\tR20\tR21,R22\t\t"); // 8 bubbles after cycle 8
    test::run_result r = test::run_with("10\n10\n", program);
    EXPECT_EQ(r.out, test::full_run(10, 10, 10, rows1, rows2, "70.37")); // 19 over 27
    EXPECT_EQ(r.analysis, header() + rows1);
    EXPECT_EQ(r.schedule, header() + rows2);
    EXPECT_EQ(r.status, 0);
}

// The largest run: 50 instructions at depth 10, each conflicting with every
// one before it in all three ways.
TEST(CompleteRun, FiftyInstructionsFullOfHazards)
{
    std::string program, rows1, rows2;
    for (int i = 0; i < 50; i++) {
        program += "ADD R1,R1,R1\n";
        std::string row = std::to_string(i) + "\tADD\tR1\tR1,R1\t\t";
        for (int k = 1; k <= 8 && k <= i; k++)
            row += (k == 1 ? "1\t\tR1,R1\t\tWAW"
                           : "\n\t\t\t\t\t" + std::to_string(k) + "\t\tR1,R1\t\tWAW");
        rows1 += line(row);
        rows2 += line(std::to_string(9 * i) + "\tADD\tR1\tR1,R1\t\t");
    }
    test::run_result r = test::run_with("10\n50\n", program);
    EXPECT_EQ(r.out, test::full_run(10, 50, 50, rows1, rows2, "13.08")); // 59 over 451
    EXPECT_EQ(r.analysis, header() + rows1);
    EXPECT_EQ(r.schedule, header() + rows2);
    EXPECT_EQ(r.status, 0);
}

// ------------------------------------------------------- result files

// Runs the six-instruction example with `name` made by `make` first.
test::run_result run_with_result_file(const char *name, bool as_folder)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", "5\n6\n");
    test::write_file(dir + "/program.txt", six);
    std::string path = dir + "/" + name;
    if (as_folder)
        EXPECT_EQ(mkdir(path.c_str(), 0755), 0);
    else
        EXPECT_EQ(symlink("/dev/full", path.c_str()), 0);
    test::run_result r = test::run_in(dir);
    test::remove_dir(dir);
    return r;
}

const std::string six_reading = test::reader_lines(5, 6, 6);

TEST(ResultFiles, AnalysisFileCannotBeCreated)
{
    test::run_result r = run_with_result_file("analiza_hazard.txt", true);
    EXPECT_EQ(r.out, "Eroare deschidere fisier de analiza hazard !\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.schedule, "<none>");
}

TEST(ResultFiles, ScheduleFileCannotBeCreated)
{
    test::run_result r = run_with_result_file("eliminare_hazard.txt", true);
    EXPECT_EQ(r.out, "Eroare deschidere fisier de corectie hazard !\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.analysis, "");
}

TEST(ResultFiles, AnalysisFileOnFullDisk)
{
    test::run_result r = run_with_result_file("analiza_hazard.txt", false);
    EXPECT_EQ(r.out, six_reading + "Analiza hazardului\n" + header() + six_analysis +
                         "Eroare scriere fisier de analiza hazard !\n");
    EXPECT_EQ(r.status, 2);
}

TEST(ResultFiles, ScheduleFileOnFullDisk)
{
    test::run_result r = run_with_result_file("eliminare_hazard.txt", false);
    EXPECT_EQ(r.out, six_reading + "Analiza hazardului\n" + header() + six_analysis +
                         "Terminare analiza hazard\n\n\n"
                         "Corectia hazardului (prin intirzierea minima a instructiunilor)\n" +
                         header() + six_schedule + "Eroare scriere fisier de corectie hazard !\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.analysis, header() + six_analysis);
}

TEST(ResultFiles, OldContentIsReplaced)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", "5\n6\n");
    test::write_file(dir + "/analiza_hazard.txt", std::string(100000, 'x'));
    test::write_file(dir + "/eliminare_hazard.txt", std::string(100000, 'y'));
    test::run_result r = test::run_in(dir); // no program: both files emptied
    test::remove_dir(dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

// ------------------------------------------------------------ console

const char *const console_failed = "Eroare scriere consola !\n";

// Runs in a fresh folder holding the inputs, with the console on a full disk.
test::run_result run_on_full_console(const test::input &config, const test::input &program)
{
    std::string dir = test::make_dir();
    if (config)
        test::write_file(dir + "/config.txt", *config);
    if (program)
        test::write_file(dir + "/program.txt", *program);
    test::run_result r = test::run_in(dir, "/dev/full");
    test::remove_dir(dir);
    return r;
}

TEST(Console, CompleteRunOnFullDiskFailsWithStatus2)
{
    test::run_result r = run_on_full_console("5\n6\n", six);
    EXPECT_EQ(r.err, console_failed);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.analysis, header() + six_analysis); // the result files are whole
    EXPECT_EQ(r.schedule, header() + six_schedule);
}

TEST(Console, FailedRunOnFullDiskKeepsItsStatus)
{
    struct {
        const char *name;
        test::input config;
        test::input program;
        int status;
    } const rows[] = {
        {"no config.txt", test::missing, six, 3},
        {"no program.txt", "5\n6\n", test::missing, 1},
        {"out of range", "11\n6\n", six, 4},
        {"syntax error", "5\n6\n", "LD R1\n", 2},
    };
    for (const auto &row : rows) {
        test::run_result r = run_on_full_console(row.config, row.program);
        EXPECT_EQ(r.err, console_failed) << row.name;
        EXPECT_EQ(r.status, row.status) << row.name;
    }
}

} // namespace
