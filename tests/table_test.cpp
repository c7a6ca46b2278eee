// The row printer and the header: the exact text of each row layout, and
// the same characters on the console and in the result file.

#include "fixtures.h"

#include "core/state.h"
#include "report/table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using hs::sim;

using test::rule;

std::string file_text(FILE *f)
{
    std::fflush(f);
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;)
        s += static_cast<char>(c);
    return s;
}

// Prints record 0's row, checks that console and file agree, returns it.
std::string row()
{
    FILE *f = std::tmpfile();
    testing::internal::CaptureStdout();
    hs::print_row(0, f);
    std::string console = testing::internal::GetCapturedStdout();
    std::string file = file_text(f);
    std::fclose(f);
    EXPECT_EQ(console, file);
    return file;
}

hs::instr_rec &rec(int32_t in, const char *op, int32_t dest, int32_t s1, int32_t s2)
{
    hs::instr_rec &r = sim.instr_table[0];
    r = hs::instr_rec{};
    r.in = in;
    std::strcpy(r.opcode, op);
    r.dest[0] = dest;
    r.sources[0] = s1;
    r.sources[1] = s2;
    return r;
}

void hazard(hs::instr_rec &r, int32_t k, int32_t a, int32_t b, const char *kind)
{
    r.dist[0]++;
    r.dist[k] = k;
    r.depend[k][0] = a;
    r.depend[k][1] = b;
    std::strcpy(r.hazard[k], kind);
}

class PrintRow : public testing::Test {
  protected:
    void SetUp() override
    {
        hs::reset_state();
        sim.depth = 5;
    }
};

TEST_F(PrintRow, NoHazardTwoSources)
{
    rec(4, "DIV", 7, 8, 9);
    EXPECT_EQ(row(), "4\tDIV\tR7\tR8,R9\t\t\n" + rule);
}

TEST_F(PrintRow, NoHazardOneSource)
{
    rec(0, "LD", 1, 2, 0);
    EXPECT_EQ(row(), "0\tLD\tR1\tR2\t\t\n" + rule);
}

TEST_F(PrintRow, RawAtDistanceOne)
{
    hazard(rec(1, "ADD", 3, 1, 4), 1, 1, 0, "RAW");
    EXPECT_EQ(row(), "1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW\n" + rule);
}

TEST_F(PrintRow, TwoRegistersAtDistanceOne)
{
    hazard(rec(1, "ADD", 5, 1, 5), 1, 5, 1, "WAR");
    EXPECT_EQ(row(), "1\tADD\tR5\tR1,R5\t\t1\t\tR5,R1\t\tWAR\n" + rule);
}

TEST_F(PrintRow, LaterHazardOnItsOwnLine)
{
    hs::instr_rec &r = rec(3, "MUL", 3, 3, 1);
    hazard(r, 2, 3, 0, "WAW");
    hazard(r, 3, 1, 0, "RAW");
    EXPECT_EQ(row(), "3\tMUL\tR3\tR3,R1\t\t2\t\tR3\t\tWAW\n\t\t\t\t\t3\t\tR1\t\tRAW\n" + rule);
}

TEST_F(PrintRow, DistanceOneThenLater)
{
    hs::instr_rec &r = rec(5, "ADD", 10, 7, 3);
    hazard(r, 1, 7, 0, "RAW");
    hazard(r, 3, 3, 3, "RAW");
    EXPECT_EQ(row(), "5\tADD\tR10\tR7,R3\t\t1\t\tR7\t\tRAW\n\t\t\t\t\t3\t\tR3,R3\t\tRAW\n" + rule);
}

TEST_F(PrintRow, OnlyDistancesBelowDepthArePrinted)
{
    sim.depth = 3;
    hs::instr_rec &r = rec(2, "SUB", 1, 2, 3);
    hazard(r, 3, 1, 0, "WAW"); // never found at depth 3; not printed
    EXPECT_EQ(row(), "2\tSUB\tR1\tR2,R3\t\t\n" + rule);
}

TEST(PrintHeader, ConsoleThenFile)
{
    FILE *f = std::tmpfile();
    testing::internal::CaptureStdout();
    hs::print_header(f);
    std::string console = testing::internal::GetCapturedStdout();
    std::string want = test::header();
    EXPECT_EQ(console, want);
    EXPECT_EQ(file_text(f), want);
    std::fclose(f);
}

} // namespace
