// The layout of the analysis and correction tables, each piece written to
// the console and then, identically, to the pass's result file.
#pragma once

#include <cstdint>
#include <cstdio>

namespace hs {

// The rule line, the column names and the rule line again.
void print_header(FILE *stream);

// Instruction i's row: IN, OPCODE, DEST, SOURCES, then one DIST, DEPEND and
// HAZARD group per distance that carries a hazard, each further group on a
// line of its own under its columns; closed by a line end and a rule line.
void print_row(int32_t i, FILE *stream);

} // namespace hs
