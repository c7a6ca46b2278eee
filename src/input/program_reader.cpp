// The program reader. Each physical line of "program.txt" is one
// instruction: fields separated by runs of spaces and commas, of which the
// first four are kept. A line is read whole in a few bytes, whatever its
// length, since no valid field is longer than three characters.

#include "input/program_reader.h"

#include "core/driver.h"
#include "core/state.h"
#include "input/text_in.h"

#include <cstdio>
#include <cstring>

namespace hs {

constexpr int32_t kept_fields = 4; // mnemonic, Rd, Rs1, Rs2
constexpr int32_t field_room = 4;  // one more than the longest valid field

// The first four fields of one line. A field's length stops counting at
// field_room and the field count at kept_fields + 1: past that, a field is
// wrong and a line has "more than four" fields, whatever the real numbers.
struct line_fields {
    int32_t count;
    char text[kept_fields][field_room];
    int32_t len[kept_fields];
};

static bool same_name(const char *name, const char *text, int32_t len)
{
    return std::strlen(name) == static_cast<size_t>(len) &&
           std::memcmp(name, text, static_cast<size_t>(len)) == 0;
}

int32_t opcode_index(const char *name, int32_t len)
{
    for (int32_t k = 0; k < opcode_count; k++)
        if (same_name(opcode_names[static_cast<size_t>(k)], name, len))
            return k;
    return -1;
}

int32_t register_number(const char *name, int32_t len)
{
    for (int32_t k = 0; k < register_count; k++)
        if (same_name(register_names[static_cast<size_t>(k)], name, len))
            return k + 1;
    return 0;
}

// Reads one physical line into `cimp`; false when the file has ended
// before the line's first character.
static bool read_line(text_file &t, line_fields &cimp)
{
    cimp = line_fields{};
    int c = text_getc(t);
    if (c == EOF)
        return false;
    bool in_field = false;
    for (; c != EOF && c != '\n'; c = text_getc(t)) {
        if (c == ' ' || c == ',') {
            in_field = false;
            continue;
        }
        if (!in_field) {
            in_field = true;
            if (cimp.count <= kept_fields)
                cimp.count++;
        }
        if (cimp.count > kept_fields)
            continue;
        int32_t f = cimp.count - 1;
        if (cimp.len[f] < field_room)
            cimp.text[f][cimp.len[f]++] = static_cast<char>(c);
    }
    return true;
}

// The register in field f, or 0 when the field is missing or no register.
static int32_t field_register(const line_fields &cimp, int32_t f)
{
    if (f >= cimp.count)
        return 0;
    return register_number(cimp.text[f], cimp.len[f]);
}

// Reports every faulty field of line `line_no`; true when there was one.
static bool check_line(const line_fields &cimp, int32_t line_no)
{
    bool bad = false;
    if (cimp.count < 1 || opcode_index(cimp.text[0], cimp.len[0]) < 0) {
        std::printf("Eroare OPCODE (linia %d)\n", line_no);
        bad = true;
    }
    if (field_register(cimp, 1) == 0) {
        std::printf("Eroare Rd (linia %d)\n", line_no);
        bad = true;
    }
    if (field_register(cimp, 2) == 0) {
        std::printf("Eroare Rs1 (linia %d)\n", line_no);
        bad = true;
    }
    if (cimp.count > 3 && field_register(cimp, 3) == 0) {
        std::printf("Eroare Rs2 (linia %d)\n", line_no);
        bad = true;
    }
    return bad;
}

static void store_line(const line_fields &cimp, int32_t i)
{
    instr_rec &r = sim.instr_table[static_cast<size_t>(i)];
    r.in = i;
    std::memset(r.opcode, 0, sizeof r.opcode);
    std::memcpy(r.opcode, cimp.text[0], static_cast<size_t>(cimp.len[0]));
    r.dest[0] = field_register(cimp, 1);
    r.sources[0] = field_register(cimp, 2);
    r.sources[1] = field_register(cimp, 3);
    clear_hazards(i);
}

int read_program()
{
    text_file pfile{};
    if (!text_open(pfile, "program.txt")) {
        std::printf("Eroare deschidere fisier de instructiuni !\n");
        return exit_no_program;
    }
    std::printf("Se citeste fisierul de instructiuni ...\n");

    // Sticky: after the first faulty line, lines are still checked and
    // reported but no longer stored.
    bool error = false;
    line_fields cimp{};
    while (sim.lines_read < sim.instr_count && sim.lines_read < max_instr) {
        if (!read_line(pfile, cimp))
            break;
        if (check_line(cimp, sim.lines_read + 1))
            error = true;
        if (!error)
            store_line(cimp, sim.lines_read);
        sim.lines_read++;
    }

    if (error) {
        text_close(pfile);
        std::printf("Exista erori de sintaxa\nNu s-a generat fisierul de rezultate\n");
        return exit_results;
    }
    std::printf("S-au citit %d linii din fisierul de instructiuni, nu exista erori de sintaxa \n\n",
                sim.lines_read);
    if (sim.lines_read == sim.instr_count && text_getc(pfile) != EOF) {
        std::printf("S-a depasit numarul maxim de %d linii in fisierul de cod\n", sim.instr_count);
        std::printf("Doar primele %d linii din fisierul de cod au fost prelucrate\n",
                    sim.instr_count);
    }
    text_close(pfile);
    return exit_ok;
}

} // namespace hs
