// Shared by the fuzz targets: each input runs in-process, through the
// simulator's in-process runner, in a private folder with the console sent
// to /dev/null, so one process can take millions of inputs.
#pragma once

#include "core/driver.h"
#include "core/state.h"
#include "in_process.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fz {

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

inline void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace fz
