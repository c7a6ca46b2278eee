// The JSON texts the page reads: the run report kept in the simulator's
// state, in the shape web/binding/report.schema.json sets out, and the
// simulator's limits, mnemonics, register count and exit statuses.

#include "report_json.h"

#include "core/driver.h"
#include "core/state.h"

using hs::sim;

static void regs_json(FILE *out, const int32_t *regs, int32_t len)
{
    std::fputc('[', out);
    const char *sep = "";
    for (int32_t k = 0; k < len; k++) {
        if (regs[k] == 0)
            continue;
        std::fprintf(out, "%s\"R%d\"", sep, regs[k]);
        sep = ",";
    }
    std::fputc(']', out);
}

// The analysis table's hazard at distance d, and every kind that held there.
static void hazard_json(FILE *out, int32_t i, int32_t d)
{
    const hs::report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
    std::fprintf(out,
                 "{\"distance\":%d,\"earlier\":%d,\"shown\":{\"kind\":\"%s\",\"registers\":", d,
                 i - d, rep.hazard[d]);
    regs_json(out, rep.depend[d], 2);
    std::fputs("},\"kinds\":[", out);
    const char *sep = "";
    for (int32_t kind = hs::kind_raw; kind <= hs::kind_waw; kind++) {
        if ((rep.kinds[d] & (1 << kind)) == 0)
            continue;
        std::fprintf(out, "%s{\"kind\":\"%s\",\"registers\":", sep,
                     hs::kind_names[static_cast<size_t>(kind)]);
        regs_json(out, rep.kind_regs[d][kind], 2);
        std::fputc('}', out);
        sep = ",";
    }
    std::fputs("]}", out);
}

static void instruction_json(FILE *out, int32_t i)
{
    const hs::instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    const hs::report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
    // The opcode is one of the accepted mnemonics: nothing in it needs escaping.
    std::fprintf(out, "{\"index\":%d,\"opcode\":\"%s\",\"dest\":\"R%d\",\"sources\":", i, r.opcode,
                 r.dest[0]);
    regs_json(out, r.sources, 2);
    std::fputs(",\"hazards\":[", out);
    const char *sep = "";
    for (int32_t d = 1; d < sim.depth && d < hs::max_depth; d++) {
        if (rep.kinds[d] == 0)
            continue;
        std::fputs(sep, out);
        hazard_json(out, i, d);
        sep = ",";
    }
    int32_t nearest = sim.nearest_dist[static_cast<size_t>(i)];
    if (nearest > 0)
        std::fprintf(out, "],\"nearest\":{\"earlier\":%d,\"distance\":%d}", i - nearest, nearest);
    else
        std::fputs("],\"nearest\":null", out);
    std::fprintf(out, ",\"entry\":%d,\"delay\":%d}", rep.entry, rep.delay);
}

// The report's shape, each field's meaning included, is
// web/binding/report.schema.json; a change here is a change there.
void write_report_json(FILE *out)
{
    std::fprintf(out,
                 "{\"depth\":%d,\"count\":%d,\"lines\":%d,\"performance\":\"%s\",\"bubbles\":%d,"
                 "\"cycles\":{\"written\":%d,\"corrected\":%d},\"instructions\":[",
                 sim.depth, sim.instr_count, sim.lines_read, sim.report.performance,
                 sim.report.bubbles, sim.report.cycles_written, sim.report.cycles_corrected);
    for (int32_t i = 0; i < sim.lines_read && i < hs::max_instr; i++) {
        if (i > 0)
            std::fputc(',', out);
        instruction_json(out, i);
    }
    std::fputs("]}\n", out);
}

void write_limits_json(char *buf, size_t size)
{
    // The mnemonics as the list's items, "ADD","DIV",...: at most four
    // letters each (the record's opcode field), so eight bytes an item hold
    // one with its quotes and comma.
    char names[hs::opcode_count * 8] = "";
    size_t len = 0;
    for (const char *name : hs::opcode_names) {
        const char *sep = len > 0 ? "," : "";
        int n = std::snprintf(names + len, sizeof names - len, "%s\"%s\"", sep, name);
        if (n < 0 || static_cast<size_t>(n) >= sizeof names - len)
            break;
        len += static_cast<size_t>(n);
    }
    std::snprintf(buf, size,
                  "{\"depth\":[%d,%d],\"count\":[%d,%d],\"registers\":%d,\"mnemonics\":[%s],"
                  "\"statuses\":{\"ok\":%d,\"noProgram\":%d,\"results\":%d,\"noConfig\":%d,"
                  "\"badConfig\":%d}}",
                  hs::min_depth, hs::max_depth, hs::min_instr, hs::max_instr, hs::register_count,
                  names, hs::exit_ok, hs::exit_no_program, hs::exit_results, hs::exit_no_config,
                  hs::exit_bad_config);
}
