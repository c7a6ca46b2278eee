// The run: creates the two result files, has the configuration and the
// program read, and runs both passes.

#include "run.h"

#include "core/driver.h"
#include "core/state.h"
#include "hazard/passes.h"
#include "input/config_reader.h"
#include "input/program_reader.h"

#include <cstdio>

namespace hs {

// Creates (or empties) a result file, or ends the run with `fail_msg`.
static FILE *create_result(const char *name, const char *fail_msg)
{
    FILE *f = std::fopen(name, "w");
    if (f == nullptr) {
        std::fputs(fail_msg, stdout);
        end_run(exit_results);
    }
    return f;
}

int run_simulator()
{
    sim.pfile1 =
        create_result("analiza_hazard.txt", "Eroare deschidere fisier de analiza hazard !\n");
    sim.pfile2 =
        create_result("eliminare_hazard.txt", "Eroare deschidere fisier de corectie hazard !\n");
    read_config();
    sim.lines_read = 0;
    read_program();
    std::printf("Se scriu fisierele de rezultate ...\n\n");
    analysis_pass();
    correction_pass();
    return exit_ok;
}

} // namespace hs
