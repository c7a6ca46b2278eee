// The in-process runner: turns the end of a run into a jump back to the
// caller, so that one process can run the simulator again and again.

#include "in_process.h"

#include "core/driver.h"
#include "core/state.h"
#include "run.h"

#include <csetjmp>
#include <cstdio>

namespace hs {

static std::jmp_buf back;
static int end_status;

// The simulator's own code holds nothing that needs destroying, so no
// frame skipped by the jump leaves anything behind.
[[noreturn]] static void jump_back(int status)
{
    end_status = status;
    std::longjmp(back, 1); // NOLINT(cert-err52-cpp): the only way back out of a run
}

static void close_left_open(FILE *&stream)
{
    if (stream != nullptr)
        std::fclose(stream);
    stream = nullptr;
}

int run_step_in_process(void (*step)(void *ctx), void *ctx)
{
    reset_state();
    std::clearerr(stdout);
    end_status = exit_ok;
    end_run_hook = jump_back;
    if (setjmp(back) == 0) // NOLINT(cert-err52-cpp): see jump_back
        step(ctx);
    end_run_hook = nullptr;
    close_left_open(sim.pfile1);
    close_left_open(sim.pfile2);
    return console_status(end_status);
}

static void whole_run(void * /*ctx*/) { run_simulator(); }

int run_in_process() { return run_step_in_process(whole_run, nullptr); }

} // namespace hs
