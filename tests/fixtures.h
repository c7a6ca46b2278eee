// The text that tests in several files expect: the tables' rule line and
// header, the reader's console lines of a run, and the six-instruction
// example program with its two tables' rows.
#pragma once

#include <string>

namespace test {

inline const std::string rule = std::string(78, '=') + "\n";

// The three header lines of both tables.
inline std::string header()
{
    return rule + "IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD\n" + rule;
}

// The reader's console lines, in the order a run prints them.
inline const std::string reading_config = "Se citeste fisierul de configurare ...\n";

inline std::string config_values(int depth, int count)
{
    return "Adincimea pipe-line: " + std::to_string(depth) +
           "\nNumarul de instructiuni din program: " + std::to_string(count) + "\n";
}

inline const std::string reading_program = "Se citeste fisierul de instructiuni ...\n";

inline std::string lines_read(int lines)
{
    return "S-au citit " + std::to_string(lines) +
           " linii din fisierul de instructiuni, nu exista erori de sintaxa \n\n";
}

// After lines_read, when the program file holds more than `count` lines.
inline std::string exceeded(int count)
{
    std::string n = std::to_string(count);
    return "S-a depasit numarul maxim de " + n + " linii in fisierul de cod\nDoar primele " + n +
           " linii din fisierul de cod au fost prelucrate\n";
}

inline const std::string writing = "Se scriu fisierele de rezultate ...\n\n";

// Every reader line of an accepted program of `lines` lines, up to the
// analysis table.
inline std::string reader_lines(int depth, int count, int lines)
{
    return reading_config + config_values(depth, count) + reading_program + lines_read(lines) +
           writing;
}

// The console text of a complete run, from the reader lines to the
// performance line, around the rows of both tables.
inline std::string full_run(int depth, int count, int lines, const std::string &rows1,
                            const std::string &rows2, const std::string &percent)
{
    return reader_lines(depth, count, lines) + "Analiza hazardului\n" + header() + rows1 +
           "Terminare analiza hazard\n\n\n"
           "Corectia hazardului (prin intirzierea minima a instructiunilor)\n" +
           header() + rows2 +
           "Terminare corectie hazard\n\nPerformanta structurii pipe-line = " + percent + "%\n\n";
}

// examples/six: depth 5, every hazard kind.
inline const std::string six =
    "LD R1,R2\nADD R3,R1,R4\nSUB R4,R5,R6\nMUL R3,R3,R1\nDIV R7,R8,R9\nADD R10,R7,R3\n";

inline const std::string six_analysis =
    "0\tLD\tR1\tR2\t\t\n" + rule + "1\tADD\tR3\tR1,R4\t\t1\t\tR1\t\tRAW\n" + rule +
    "2\tSUB\tR4\tR5,R6\t\t1\t\tR4\t\tWAR\n" + rule +
    "3\tMUL\tR3\tR3,R1\t\t2\t\tR3\t\tWAW\n\t\t\t\t\t3\t\tR1\t\tRAW\n" + rule +
    "4\tDIV\tR7\tR8,R9\t\t\n" + rule +
    "5\tADD\tR10\tR7,R3\t\t1\t\tR7\t\tRAW\n\t\t\t\t\t2\t\tR3\t\tRAW\n" + rule;

inline const std::string six_schedule =
    "0\tLD\tR1\tR2\t\t\n" + rule + "4\tADD\tR3\tR1,R4\t\t\n" + rule + "8\tSUB\tR4\tR5,R6\t\t\n" +
    rule + "9\tMUL\tR3\tR3,R1\t\t\n" + rule + "10\tDIV\tR7\tR8,R9\t\t\n" + rule +
    "14\tADD\tR10\tR7,R3\t\t\n" + rule;

} // namespace test
