// The table printer shared by both passes. Columns are separated by tabs;
// distance 1 puts its tabs after the distance and the registers, the later
// distances put them before the registers and the kind.

#include "report/table.h"

#include "core/state.h"

#include <cstdarg>

namespace hs {

static const char rule[] =
    "==============================================================================\n";

// Writes one formatted piece to the console, then the same to `stream`.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
static void emit(FILE *stream, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    va_list again;
    va_copy(again, ap);
    std::vprintf(fmt, ap);
    std::vfprintf(stream, fmt, again);
    va_end(again);
    va_end(ap);
}

void print_header(FILE *stream)
{
    for (int pass = 0; pass < 2; pass++) {
        FILE *out = pass == 0 ? stdout : stream;
        std::fputs(rule, out);
        std::fputs("IN\tOPCODE\tDEST\tSOURCES\t\tDIST\t\tDEPEND\t\tHAZARD\n", out);
        std::fputs(rule, out);
    }
}

void print_row(int32_t i, FILE *stream)
{
    const instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    bool shown = false; // a hazard is already on the row

    emit(stream, "%d\t", r.in);
    emit(stream, "%s\t", r.opcode);
    if (r.dest[0] != 0)
        emit(stream, "R%d\t", r.dest[0]);
    if (r.sources[0] != 0)
        emit(stream, "R%d", r.sources[0]);
    if (r.sources[1] != 0)
        emit(stream, ",R%d", r.sources[1]);
    emit(stream, "\t\t");

    if (r.dist[1] != 0) {
        emit(stream, "%d", r.dist[1]);
        shown = true;
        emit(stream, "\t\t");
    }
    if (r.depend[1][0] != 0)
        emit(stream, "R%d", r.depend[1][0]);
    if (r.depend[1][1] != 0)
        emit(stream, ",R%d", r.depend[1][1]);
    if (shown)
        emit(stream, "\t\t");
    if (r.hazard[1][0] != '\0')
        emit(stream, "%s", r.hazard[1]);

    for (int32_t k = 2; k < sim.depth && k < max_depth; k++) {
        if (r.dist[k] != 0) {
            if (shown) {
                emit(stream, "\n\t\t\t\t\t%d", r.dist[k]);
            } else {
                emit(stream, "%d", r.dist[k]);
                shown = true;
            }
        }
        if (r.depend[k][0] != 0)
            emit(stream, "\t\tR%d", r.depend[k][0]);
        if (r.depend[k][1] != 0)
            emit(stream, ",R%d", r.depend[k][1]);
        if (r.hazard[k][0] != '\0')
            emit(stream, "\t\t%s", r.hazard[k]);
    }
    emit(stream, "\n%s", rule);
}

} // namespace hs
