// Shared by the fuzz targets: each input runs in-process in a private
// folder, with the state reset and the run's exit turned into a jump back
// here, so one process can take millions of inputs.
#pragma once

#include "core/driver.h"
#include "core/state.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fz {

inline std::jmp_buf back;
inline int status;

[[noreturn]] inline void jump(int s)
{
    status = s;
    std::longjmp(back, 1);
}

// Once per process: a private working folder, and the console to /dev/null.
inline void init()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    char dir[] = "/tmp/hazard-sim-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0)
        std::abort();
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
    hs::end_run_hook = jump;
}

inline void write(const char *name, const uint8_t *data, size_t size)
{
    FILE *f = std::fopen(name, "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
}

// Runs `step` on a fresh state; returns the exit status it ended with, or
// 0 when it returned. Result files left open by an early end are closed.
template <class F> int guarded(F step)
{
    hs::reset_state();
    status = 0;
    if (setjmp(back) == 0)
        step();
    for (FILE **f : {&hs::sim.pfile1, &hs::sim.pfile2}) {
        if (*f != nullptr)
            std::fclose(*f);
        *f = nullptr;
    }
    std::fflush(stdout);
    return status;
}

inline void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace fz
