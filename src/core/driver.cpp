// The end of a run: the final check of the console, whichever way the run
// ended.

#include "core/driver.h"

#include <cstdio>

namespace hs {

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

} // namespace hs
