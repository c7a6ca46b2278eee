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

// Creates (or empties) a result file into `stream`, or says `fail_msg`.
static int create_result(FILE *&stream, const char *name, const char *fail_msg)
{
    stream = std::fopen(name, "w");
    if (stream != nullptr)
        return exit_ok;
    std::fputs(fail_msg, stdout);
    return exit_results;
}

int run_simulator()
{
    int status = create_result(sim.pfile1, "analiza_hazard.txt",
                               "Eroare deschidere fisier de analiza hazard !\n");
    if (status == exit_ok)
        status = create_result(sim.pfile2, "eliminare_hazard.txt",
                               "Eroare deschidere fisier de corectie hazard !\n");
    if (status == exit_ok)
        status = read_config();
    if (status == exit_ok) {
        sim.lines_read = 0;
        status = read_program();
    }
    if (status != exit_ok)
        return status;
    std::printf("Se scriu fisierele de rezultate ...\n\n");
    status = analysis_pass();
    if (status == exit_ok)
        status = correction_pass();
    return status;
}

} // namespace hs
