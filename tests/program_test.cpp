// The program reader, run end to end: faulty programs end with their error
// lines and status 2; sound ones print the reader's lines and go on.

#include "harness.h"

#include "input/program_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

#include <cstring>

using namespace std::string_literals;

namespace {

using test::exceeded;
using test::lines_read;
using test::six;

std::string config(int count) { return "5\n" + std::to_string(count) + "\n"; }

// The reader's lines up to the reading of the program.
std::string start(int count)
{
    return test::reading_config + test::config_values(5, count) + test::reading_program;
}

const std::string syntax_end = "Exista erori de sintaxa\nNu s-a generat fisierul de rezultate\n";

std::string err(const char *field, int line)
{
    return "Eroare "s + field + " (linia " + std::to_string(line) + ")\n";
}

// A program that is accepted: the reader's lines, then the tables follow.
struct accepted_case {
    const char *name;
    int count;
    std::string program;
    int lines;
    bool over; // the file holds more than `count` lines
};

void PrintTo(const accepted_case &c, std::ostream *os) { *os << c.name; }

std::string pad(const std::string &line, size_t len)
{
    return line + std::string(len - line.size(), ' ');
}

const accepted_case accepted_cases[] = {
    {"SixLines", 6, six, 6, false},
    {"FewerThanConfigured", 10, six, 6, false},
    {"MoreThanConfigured", 4, six, 4, true},
    {"UnreadLineIsNotChecked", 2, "LD R1,R2\nADD R3,R1,R4\nXXX\n", 2, true},
    {"EmptyLineAfterLastCounted", 2, "LD R1,R2\nADD R3,R1,R4\n\n", 2, true},
    {"LoneCarriageReturnAfterLastCounted", 2, "LD R1,R2\nADD R3,R1,R4\n\r", 2, true},
    {"CtrlZAfterLastCounted", 2,
     "LD R1,R2\nADD R3,R1,R4\n\x1a"
     "more",
     2, false},
    {"LastLineWithoutLineEnd", 2, "LD R1,R2\nADD R3,R1,R4", 2, false},
    {"CrlfLines", 2, "LD R1,R2\r\nADD R3,R1,R4\r\n", 2, false},
    {"CtrlZEndsTheFile", 5, "LD R1,R2\nADD R3,R1,R4\n\x1aSUB bad line\n", 2, false},
    {"EmptyFile", 2, "", 0, false},
    {"SpacesOnly", 2, "ADD R1 R2 R3\nSUB R4 R5\n", 2, false},
    {"SeveralSeparators", 2, "  ADD  R1 ,, R2 ,\n,,LD,R3,R4,\n", 2, false},
    {"FifthFieldNotLookedAt", 2, "ADD R1,R2,R3,R4\nADD R1,R2,R3,R4,XX\n", 2, false},
    {"AnyMnemonicTakesOneOrTwoSources", 5,
     "ADD R1,R2\nDIV R1,R2\nLD R1,R2,R3\nMUL R32,R31\nSUB R9,R10,R19\n", 5, false},
    {"Line18Characters", 2, pad("ADD R10,R11,R12", 18) + "\n" + pad("LD R1,R2", 18) + "\n", 2,
     false},
    {"Line19Characters", 2, pad("ADD R10,R11,R12", 19) + "\n" + pad("LD R1,R2", 19) + "\n", 2,
     false},
    {"Line20Characters", 2, pad("ADD R10,R11,R12", 20) + "\n" + pad("LD R1,R2", 20) + "\n", 2,
     false},
    {"LineOfThousandsOfCharacters", 2,
     pad("ADD R10,R11,R12", 5000) + "\n" + std::string(7000, ',') + "LD R1,R2\n", 2, false},
    {"LastCounted19CharactersLeavesNothing", 2, "LD R1,R2\n" + pad("ADD R3,R1,R4", 19) + "\n", 2,
     false},
};

class ProgramAccepted : public testing::TestWithParam<accepted_case> {};

TEST_P(ProgramAccepted, ReaderLines)
{
    const accepted_case &c = GetParam();
    test::run_result r = test::run_with(config(c.count), c.program);
    std::string want = start(c.count) + lines_read(c.lines) + (c.over ? exceeded(c.count) : "") +
                       test::writing + "Analiza hazardului\n";
    EXPECT_EQ(r.out.substr(0, want.size()), want);
    EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramAccepted, testing::ValuesIn(accepted_cases),
                         test::by_name());

// A program with syntax errors: every faulty field, then the closing lines.
struct rejected_case {
    const char *name;
    int count;
    std::string program;
    std::string errors;
};

void PrintTo(const rejected_case &c, std::ostream *os) { *os << c.name; }

const rejected_case rejected_cases[] = {
    {"LowerCaseMnemonic", 2, "add R1,R2\nLD R1,R2\n", err("OPCODE", 1)},
    {"UnknownMnemonic", 2, "LD R1,R2\nNOP R1,R2\n", err("OPCODE", 2)},
    {"MissingFirstSource", 2, "LD R1,R2\nADD R1\n", err("Rs1", 2)},
    {"EmptyLine", 3, "LD R1,R2\n\nLD R1,R2\n", err("OPCODE", 2) + err("Rd", 2) + err("Rs1", 2)},
    {"SeparatorsOnly", 2, " , ,\nLD R1,R2\n", err("OPCODE", 1) + err("Rd", 1) + err("Rs1", 1)},
    {"BadSecondSourceThenShortLine", 4, "LD R1,R2\nADD R3,R1,R4\nADD R1,R2,R33\nSUB R4,R5\n",
     err("Rs2", 3)},
    {"TabIsNotASeparator", 2, "ADD\tR1,R2\nLD R1,R2\n", err("OPCODE", 1) + err("Rs1", 1)},
    {"RegisterZero", 2, "LD R0,R2\nLD R1,R2\n", err("Rd", 1)},
    {"Register33", 2, "LD R1,R33\nLD R1,R2\n", err("Rs1", 1)},
    {"LeadingZeroRegister", 2, "LD R1,R2,R01\nLD R1,R2\n", err("Rs2", 1)},
    {"LowerCaseRegister", 2, "LD r1,R2\nLD R1,R2\n", err("Rd", 1)},
    {"WholeLineWrong", 2, "X Y Z W\nLD R1,R2\n",
     err("OPCODE", 1) + err("Rd", 1) + err("Rs1", 1) + err("Rs2", 1)},
    {"ErrorsOnSeveralLines", 5, "add R1,R2\nLD R0,R33\nSUB R1,R2,R3\nMUL\nDIV R1,R2,x\n",
     err("OPCODE", 1) + err("Rd", 2) + err("Rs1", 2) + err("Rd", 4) + err("Rs1", 4) +
         err("Rs2", 5)},
    {"LinesAfterAnErrorStillChecked", 3, "LD R1\nLD R1,R2\nLD R1,R2,R0\n",
     err("Rs1", 1) + err("Rs2", 3)},
    {"LoneCarriageReturnBelongsToField", 2, "LD R1,R2\r\rLD R1,R2\n", err("Rs1", 1)},
    {"NulByteInField", 2, "LD R1,R2\0\nLD R1\0,R2\n"s, err("Rs1", 1) + err("Rd", 2)},
    {"NulByteDoesNotEndLine", 2,
     "LD R1,R2\0"
     "ADD R3\nLD R1,R2\n"s,
     err("Rs1", 1)},
    {"HighByte", 2, "LD R1,R2,\xff\nLD R1,R2\n", err("Rs2", 1)},
    {"FieldOfThousandsOfCharacters", 2, "ADD R1,R2," + std::string(5000, 'X') + "\nLD R1,R2\n",
     err("Rs2", 1)},
    {"LongFieldWithValidStart", 2, "ADD R1,R2,R3" + std::string(5000, '4') + "\nLD R1,R2\n",
     err("Rs2", 1)},
    {"MnemonicPrefixIsWrong", 2, "ADDX R1,R2\nLD R1,R2\n", err("OPCODE", 1)},
    {"TruncatedMnemonicIsWrong", 2, "AD R1,R2\nLD R1,R2\n", err("OPCODE", 1)},
};

class ProgramRejected : public testing::TestWithParam<rejected_case> {};

TEST_P(ProgramRejected, EveryErrorThenStatus2)
{
    const rejected_case &c = GetParam();
    test::run_result r = test::run_with(config(c.count), c.program);
    EXPECT_EQ(r.out, start(c.count) + c.errors + syntax_end);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramRejected, testing::ValuesIn(rejected_cases),
                         test::by_name());

TEST(ProgramReader, MissingFile)
{
    test::run_result r = test::run_with(config(6), test::missing);
    EXPECT_EQ(r.out, test::reading_config + test::config_values(5, 6) +
                         "Eroare deschidere fisier de instructiuni !\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.analysis, "");
    EXPECT_EQ(r.schedule, "");
}

TEST(ProgramReader, FifthFieldIsDropped)
{
    test::run_result r = test::run_with(config(2), "ADD R1,R2,R3,R4\nSUB R9,R8\n");
    EXPECT_NE(r.analysis.find("0\tADD\tR1\tR2,R3\t\t\n"), std::string::npos) << r.analysis;
    EXPECT_NE(r.analysis.find("1\tSUB\tR9\tR8\t\t\n"), std::string::npos) << r.analysis;
}

// Long lines are read whole in bounded memory. Sanitizer runtimes hold
// memory of their own, so the bound is checked in the plain build only.
#ifdef HAZARD_SIM_SANITIZED
constexpr long peak_bound_kb = 1L << 30;
#else
constexpr long peak_bound_kb = 10 * 1024;
#endif

TEST(ProgramReader, HugeLineInLittleMemory)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", config(2));
    std::string program = "LD R1,R2" + std::string(50u << 20, ' ') + "\nLD R3,R4\n";
    test::write_file(dir + "/program.txt", program);
    program.clear();
    program.shrink_to_fit();
    test::run_result r = test::run_in(dir);
    test::remove_dir(dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(lines_read(2)), std::string::npos);
    EXPECT_LT(r.peak_kb, peak_bound_kb);
}

TEST(ProgramReader, HugeFileWithoutLineFeed)
{
    std::string dir = test::make_dir();
    test::write_file(dir + "/config.txt", config(2));
    test::write_file(dir + "/program.txt", "LD R1,R2," + std::string(50u << 20, 'R'));
    test::run_result r = test::run_in(dir);
    test::remove_dir(dir);
    EXPECT_EQ(r.out, start(2) + err("Rs2", 1) + syntax_end);
    EXPECT_EQ(r.status, 2);
    EXPECT_LT(r.peak_kb, peak_bound_kb);
}

TEST(RegisterNames, OnlyExactNames)
{
    EXPECT_EQ(hs::register_number("R1", 2), 1);
    EXPECT_EQ(hs::register_number("R9", 2), 9);
    EXPECT_EQ(hs::register_number("R10", 3), 10);
    EXPECT_EQ(hs::register_number("R32", 3), 32);
    for (const char *bad : {"R0", "R33", "R01", "r1", "R", "1", "R1 ", "R100"})
        EXPECT_EQ(hs::register_number(bad, static_cast<int32_t>(std::strlen(bad))), 0) << bad;
    EXPECT_EQ(hs::register_number("R1\0", 3), 0);
    EXPECT_EQ(hs::opcode_index("LD", 2), 2);
    EXPECT_EQ(hs::opcode_index("LD\0", 3), -1);
    EXPECT_EQ(hs::opcode_index("SUB", 3), 4);
}

} // namespace
