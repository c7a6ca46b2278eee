// The end of a run: the exit hook for in-process runs, the console check,
// and the process exit.

#include "core/driver.h"

#include <cstdio>
#include <cstdlib>

namespace hs {

void (*end_run_hook)(int status) = nullptr;

int console_status(int status)
{
    bool failed = std::fflush(stdout) != 0;
    if (std::ferror(stdout) != 0)
        failed = true;
    if (!failed)
        return status;
    // The console itself failed, so the message goes to standard error.
    std::fputs("Eroare scriere consola !\n", stderr);
    return status == exit_ok ? exit_results : status;
}

void end_run(int status)
{
    if (end_run_hook != nullptr)
        end_run_hook(status);
    std::exit(console_status(status));
}

} // namespace hs
