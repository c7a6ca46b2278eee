// The analysis pass and the correction pass. Both put instructions into the
// pipeline ring one cycle at a time, scan the window behind each, and print
// its row; the correction pass also inserts bubbles and rates the schedule.

#include "hazard/passes.h"

#include "core/driver.h"
#include "core/state.h"
#include "hazard/detect.h"
#include "report/table.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace hs {

static void reset_ring()
{
    sim.pipe_ring.fill(0);
    sim.ring_pos = -1;
}

// Puts `entry` (an instruction index, or -1 for a bubble) into the next slot.
static void enter_ring(int32_t entry)
{
    sim.ring_pos = (sim.ring_pos + 1) % sim.depth;
    sim.pipe_ring[static_cast<size_t>(sim.ring_pos)] = entry;
}

// Closes a result file; a failed write or close says `fail_msg` and ends
// the run, so a truncated table is never passed off as a result.
static int close_result(FILE *&stream, const char *fail_msg)
{
    bool ok = std::ferror(stream) == 0;
    if (std::fclose(stream) != 0)
        ok = false;
    stream = nullptr;
    if (ok)
        return exit_ok;
    std::fputs(fail_msg, stdout);
    return exit_results;
}

// ------------------------------------------------------------ analysis

// The smallest distance that carries a hazard for instruction i.
static void note_nearest(int32_t i)
{
    const instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    int32_t &nearest = sim.nearest_dist[static_cast<size_t>(i)];
    if (r.dist[0] == 0)
        return;
    bool found = false;
    nearest = 0;
    for (int32_t k = 1; k < sim.depth; k++) {
        if (r.dist[k] != 0 && !found) {
            nearest = k;
            found = true;
        }
    }
}

// Keeps what the analysis table shows for instruction i in the run report.
static void report_shown(int32_t i)
{
    const instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
    std::memcpy(rep.depend, r.depend, sizeof rep.depend);
    std::memcpy(rep.hazard, r.hazard, sizeof rep.hazard);
}

int analysis_pass()
{
    std::printf("Analiza hazardului\n");
    sim.total_delay = 0;
    sim.delay = 0;
    sim.nearest_dist.fill(0);
    reset_ring();
    print_header(sim.pfile1);

    for (int32_t i = 0; i < sim.lines_read; i++) {
        report_rec &rep = sim.report.instr[static_cast<size_t>(i)];
        std::memset(rep.kinds, 0, sizeof rep.kinds);
        enter_ring(i);
        scan_window(sim.ring_pos, &rep);
        note_nearest(i);
        report_shown(i);
        print_row(i, sim.pfile1);
    }
    if (close_result(sim.pfile1, "Eroare scriere fisier de analiza hazard !\n") != exit_ok)
        return exit_results;
    std::printf("Terminare analiza hazard\n\n\n");
    return exit_ok;
}

// ---------------------------------------------------------- correction

// Bubbles needed before instruction i so that the instruction of its
// nearest hazard entered at least depth - 1 cycles earlier.
static int32_t bubbles_before(int32_t i)
{
    int32_t t = i + sim.total_delay; // entry cycle with the delays so far
    int32_t nearest = sim.nearest_dist[static_cast<size_t>(i)];
    int32_t need = 0;
    if (nearest > 0)
        need = sim.instr_table[static_cast<size_t>(i - nearest)].in + sim.depth - 1;
    return t - need < 0 ? need - t : 0;
}

int32_t round_cents(float percent)
{
    // A float times 100 is exact in double, and so is adding one half.
    return static_cast<int32_t>(std::floor(static_cast<double>(percent) * 100.0 + 0.5));
}

static void print_performance()
{
    // The cycles of the schedule as written, and as corrected.
    sim.report.cycles_written = sim.depth + sim.lines_read - 1;
    sim.report.cycles_corrected = sim.lines_read + sim.total_delay + sim.depth - 1;
    float ideal = static_cast<float>(sim.report.cycles_written);
    float real = static_cast<float>(sim.report.cycles_corrected);
    float ratio = ideal / real;
    float percent = ratio * 100.0F;
    int32_t cents = round_cents(percent); // never below 1000: no padding
    char *text = sim.report.performance;
    std::snprintf(text, sizeof sim.report.performance, "%d.%02d", cents / 100, cents % 100);
    std::printf("Performanta structurii pipe-line = %s%%\n\n", text);
}

int correction_pass()
{
    std::printf("Corectia hazardului (prin intirzierea minima a instructiunilor)\n");
    for (int32_t i = 0; i < sim.instr_count && i < max_instr; i++)
        clear_hazards(i);
    reset_ring();
    print_header(sim.pfile2);

    for (int32_t i = 0; i < sim.lines_read; i++) {
        if (i > 0)
            sim.delay = bubbles_before(i);
        for (int32_t b = 0; b < sim.delay; b++)
            enter_ring(-1);
        sim.total_delay += sim.delay;
        enter_ring(i);
        sim.instr_table[static_cast<size_t>(i)].in = i + sim.total_delay;
        sim.report.instr[static_cast<size_t>(i)].entry = i + sim.total_delay;
        sim.report.instr[static_cast<size_t>(i)].delay = sim.delay;
        scan_window(sim.ring_pos, nullptr); // it finds none, and records none
        print_row(i, sim.pfile2);
    }
    if (close_result(sim.pfile2, "Eroare scriere fisier de corectie hazard !\n") != exit_ok)
        return exit_results;
    std::printf("Terminare corectie hazard\n\n");
    sim.report.bubbles = sim.total_delay;
    print_performance();
    return exit_ok;
}

} // namespace hs
