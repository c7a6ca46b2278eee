// The simulator's one process-wide state: its limits, name tables, the
// instruction table with its hazard results, the pipeline ring and the
// bookkeeping of the two passes. Everything is static storage, zero at start.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

namespace hs {

// ---------------------------------------------------------------- limits

constexpr int32_t min_depth = 3;  // fewest pipeline stages
constexpr int32_t max_depth = 10; // most pipeline stages; sizes the ring
constexpr int32_t min_instr = 2;  // fewest instructions a program may name
constexpr int32_t max_instr = 50; // most instructions; sizes the table

// ------------------------------------------------------------ name tables

constexpr int32_t opcode_count = 5;
constexpr int32_t register_count = 32;

// The accepted mnemonics. All five are handled alike: only registers matter.
constexpr std::array<const char *, opcode_count> opcode_names = {"ADD", "DIV", "LD", "MUL", "SUB"};

// "R1" .. "R32"; register number n is register_names[n - 1]. 0 is no register.
// clang-format off
constexpr std::array<const char *, register_count> register_names = {
    "R1",  "R2",  "R3",  "R4",  "R5",  "R6",  "R7",  "R8",
    "R9",  "R10", "R11", "R12", "R13", "R14", "R15", "R16",
    "R17", "R18", "R19", "R20", "R21", "R22", "R23", "R24",
    "R25", "R26", "R27", "R28", "R29", "R30", "R31", "R32"};
// clang-format on

// ------------------------------------------------------------ the record

// One instruction and the hazards found for it in the current pass. The
// per-distance arrays are indexed by distance (1 .. depth - 2 can hold a
// hazard); index 0 of `dist` counts the successful checks.
struct instr_rec {
    int32_t in;                   // line index; in the correction pass, entry cycle
    char opcode[5];               // mnemonic as written, NUL-terminated
    int32_t dest[1];              // destination register, 1 .. 32
    int32_t sources[2];           // source registers; [1] is 0 when only one
    int32_t dist[max_depth];      // [0]: hazards found; [k]: k if one at k
    int32_t depend[max_depth][2]; // [k]: registers of the last check at k
    char hazard[max_depth][4];    // [k]: "RAW", "WAR", "WAW" or ""
};

// ---------------------------------------------------------- the run report

// What a run leaves behind for the views that draw it (the web page). The
// passes write it as they go and never read it back, so it changes nothing
// they print. The record's own hazard fields cannot serve: the correction
// pass clears them, and they keep only the last kind found at a distance.

// The three kinds of hazard, in the order the checks run.
constexpr int32_t kind_raw = 0; // reads what the earlier one writes
constexpr int32_t kind_war = 1; // writes what the earlier one reads
constexpr int32_t kind_waw = 2; // writes what the earlier one writes
constexpr std::array<const char *, 3> kind_names = {"RAW", "WAR", "WAW"};

// Instruction i as the analysis pass found it and the correction pass
// placed it.
struct report_rec {
    // Per distance k (1 .. depth - 2): bit kind_raw, kind_war or kind_waw
    // set for every check that matched at k, and the registers each matched,
    // in the order intersect_regs stored them (a source named twice appears
    // twice); [1] is 0 when it matched one. Only the set kinds' are written.
    int32_t kinds[max_depth];
    int32_t kind_regs[max_depth][3][2];
    // The analysis table's DEPEND and HAZARD at each distance, copied from
    // the record before the correction pass clears it; its DIST shows k
    // where `kinds[k]` is not 0.
    int32_t depend[max_depth][2];
    char hazard[max_depth][4];
    int32_t entry; // correction: the cycle it enters, its IN column
    int32_t delay; // correction: bubbles inserted just before it
};

struct run_report {
    std::array<report_rec, max_instr> instr; // by line index, 0 .. lines_read - 1

    int32_t bubbles;          // bubbles inserted in all (total_delay at the end)
    int32_t cycles_written;   // depth + lines_read - 1: the program as written
    int32_t cycles_corrected; // lines_read + bubbles + depth - 1: as corrected
    char performance[16];     // the figure as the performance line prints it, "52.63";
                              // empty until that line is printed
};

// --------------------------------------------------------------- the state

struct sim_state {
    // Configuration, set once by read_config; 0 until read.
    int32_t depth;       // pipeline stages, min_depth .. max_depth
    int32_t instr_count; // instructions expected, min_instr .. max_instr

    // Program, filled by read_program.
    std::array<instr_rec, max_instr> instr_table; // by line index
    int32_t lines_read; // lines consumed; the passes run over 0 .. this - 1

    // Pipeline ring, written by both passes. A slot holds the index of the
    // instruction that entered in that cycle, or -1 for a bubble; only the
    // first `depth` slots are used. Reset to 0 before each pass, so a slot
    // not yet written names instruction 0.
    std::array<int32_t, max_depth> pipe_ring;
    int32_t ring_pos; // slot written last; -1 before a pass's first entry

    // Pass bookkeeping.
    // Analysis: each instruction's nearest hazard distance, 0 when none.
    std::array<int32_t, max_instr> nearest_dist;
    int32_t delay;       // correction: bubbles before the current instruction
    int32_t total_delay; // correction: bubbles inserted so far

    // Result files, opened by the driver, closed by the pass that fills them.
    FILE *pfile1; // "analiza_hazard.txt", the analysis table
    FILE *pfile2; // "eliminare_hazard.txt", the correction table

    // The run report; complete only once `report.performance` is set.
    run_report report;
};

extern sim_state sim;

// Zeroes the whole state, as at process start. Does not close files.
void reset_state();

// Clears the hazard results of record i for distances 0 .. depth - 1.
void clear_hazards(int32_t i);

} // namespace hs
