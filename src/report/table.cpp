// The table printer shared by both passes. Columns are separated by tabs;
// distance 1 puts its tabs after the distance and the registers, the later
// distances put them before the registers and the kind. A row is assembled
// in a line buffer, then written once to the console and once to the file.

#include "report/table.h"

#include "core/state.h"

#include <cstring>

namespace hs {

static const char rule[] =
    "==============================================================================\n";

static const char column_names[] = "IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD\n";

// The longest row: its own line (up to 36 characters), eight hazard lines
// of at most 22 each, the line end and the rule.
constexpr size_t row_room = 512;
static_assert(36 + 8 * 22 + 1 + sizeof rule < row_room, "a row fits its buffer");

struct row_buf {
    char text[row_room];
    size_t len;
};

static void put(row_buf &row, const char *s)
{
    size_t n = std::strlen(s);
    if (n > row_room - row.len)
        n = row_room - row.len;
    std::memcpy(row.text + row.len, s, n);
    row.len += n;
}

static void put_num(row_buf &row, int32_t v)
{
    char digits[12]; // least significant first
    size_t n = 0;
    uint32_t u = v < 0 ? 0U - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (v < 0)
        digits[n++] = '-';
    while (n > 0 && row.len < row_room)
        row.text[row.len++] = digits[--n];
}

// "R" and the register number.
static void put_reg(row_buf &row, int32_t reg)
{
    put(row, "R");
    put_num(row, reg);
}

// Writes the same text to the console, then to `stream`.
static void emit(FILE *stream, const char *text, size_t len)
{
    std::fwrite(text, 1, len, stdout);
    std::fwrite(text, 1, len, stream);
}

void print_header(FILE *stream)
{
    row_buf head{};
    put(head, rule);
    put(head, column_names);
    put(head, rule);
    emit(stream, head.text, head.len);
}

void print_row(int32_t i, FILE *stream)
{
    const instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    row_buf row{};
    bool shown = false; // a hazard is already on the row

    put_num(row, r.in);
    put(row, "\t");
    put(row, r.opcode);
    put(row, "\t");
    if (r.dest[0] != 0) {
        put_reg(row, r.dest[0]);
        put(row, "\t");
    }
    if (r.sources[0] != 0)
        put_reg(row, r.sources[0]);
    if (r.sources[1] != 0) {
        put(row, ",");
        put_reg(row, r.sources[1]);
    }
    put(row, "\t\t");

    if (r.dist[1] != 0) {
        put_num(row, r.dist[1]);
        shown = true;
        put(row, "\t\t");
    }
    if (r.depend[1][0] != 0)
        put_reg(row, r.depend[1][0]);
    if (r.depend[1][1] != 0) {
        put(row, ",");
        put_reg(row, r.depend[1][1]);
    }
    if (shown)
        put(row, "\t\t");
    put(row, r.hazard[1]);

    for (int32_t k = 2; k < sim.depth && k < max_depth; k++) {
        if (r.dist[k] != 0) {
            if (shown)
                put(row, "\n\t\t\t\t\t"); // a further hazard: its own line
            put_num(row, r.dist[k]);
            shown = true;
        }
        if (r.depend[k][0] != 0) {
            put(row, "\t\t");
            put_reg(row, r.depend[k][0]);
        }
        if (r.depend[k][1] != 0) {
            put(row, ",");
            put_reg(row, r.depend[k][1]);
        }
        if (r.hazard[k][0] != '\0') {
            put(row, "\t\t");
            put(row, r.hazard[k]);
        }
    }
    put(row, "\n");
    put(row, rule);
    emit(stream, row.text, row.len);
}

} // namespace hs
