// The configuration reader. "config.txt" holds two lines, the pipeline depth
// and the instruction count; each line is read whole up to its line feed and
// nothing after the second line is read.

#include "input/config_reader.h"

#include "core/driver.h"
#include "core/state.h"
#include "input/text_in.h"

#include <cstdio>

namespace hs {

int32_t config_value(const char *head, int32_t len)
{
    if (len < 1 || len > 2)
        return 0;
    int32_t v = 0;
    for (int32_t k = 0; k < len; k++) {
        char c = head[k];
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Reads one line without its line feed and returns its value. Only the
// first two characters are kept; the length stops counting at 3, which is
// already too long for a value.
static int32_t read_value(text_file &t)
{
    char head[2] = {0, 0};
    int32_t len = 0;
    for (int c = text_getc(t); c != EOF && c != '\n'; c = text_getc(t)) {
        if (len < 2)
            head[len] = static_cast<char>(c);
        if (len < 3)
            len++;
    }
    return config_value(head, len);
}

int read_config()
{
    text_file t{};
    if (!text_open(t, "config.txt")) {
        std::printf("Eroare deschidere fisier de configurare !\n");
        return exit_no_config;
    }
    std::printf("Se citeste fisierul de configurare ...\n");
    sim.depth = read_value(t);
    sim.instr_count = read_value(t);
    text_close(t);

    if (sim.depth >= min_depth && sim.depth <= max_depth && sim.instr_count >= min_instr &&
        sim.instr_count <= max_instr) {
        std::printf("Adincimea pipe-line: %d\n", sim.depth);
        std::printf("Numarul de instructiuni din program: %d\n", sim.instr_count);
        return exit_ok;
    }
    // Every message whose condition holds, in this order.
    if (sim.instr_count > max_instr)
        std::printf("Numarul de instructiuni din program (%d) depaseste numarul maxim (%d)\n",
                    sim.instr_count, max_instr);
    if (sim.depth > max_depth)
        std::printf("Adincimea pipe-line (%d) depaseste adincimea maxima (%d)\n", sim.depth,
                    max_depth);
    if (sim.instr_count < min_instr)
        std::printf("Numarul de instructiuni din program (%d) este mai mic ca numarul minim (%d)\n",
                    sim.instr_count, min_instr);
    if (sim.depth < min_depth)
        std::printf("Adincimea pipe-line (%d) este mai mica decit adincimea minima (%d)\n",
                    sim.depth, min_depth);
    return exit_bad_config;
}

} // namespace hs
