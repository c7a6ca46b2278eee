// The in-process runner: a run from a fresh state, whose end, early or
// complete, comes back to the caller, so that one process can run the
// simulator again and again.

#include "in_process.h"

#include "core/driver.h"
#include "core/state.h"
#include "run.h"

#include <cstdio>

namespace hs {

static void close_left_open(FILE *&stream)
{
    if (stream != nullptr)
        std::fclose(stream);
    stream = nullptr;
}

int run_step_in_process(int (*step)(void *ctx), void *ctx)
{
    reset_state();
    std::clearerr(stdout);
    int status = step(ctx);
    close_left_open(sim.pfile1);
    close_left_open(sim.pfile2);
    return console_status(status);
}

static int whole_run(void * /*ctx*/) { return run_simulator(); }

int run_in_process() { return run_step_in_process(whole_run, nullptr); }

} // namespace hs
