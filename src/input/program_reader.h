// The program reader: the instruction list from "program.txt", checked
// line by line against the mnemonic and register tables.
#pragma once

#include <cstdint>

namespace hs {

// Fills sim.instr_table[0 .. lines_read - 1], advancing sim.lines_read;
// returns exit_ok when no line had a syntax error, otherwise reports every
// faulty field and returns exit_results (exit_no_program: no file).
[[nodiscard]] int read_program();

// The number of the register called `name` (`len` characters, which may
// include NUL bytes), 1 .. 32, or 0 when it is no register name.
int32_t register_number(const char *name, int32_t len);

// The index of the mnemonic `name` in opcode_names, or -1.
int32_t opcode_index(const char *name, int32_t len);

} // namespace hs
