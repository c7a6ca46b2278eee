// The web page's way into the simulator: one complete run in the current
// folder of the WebAssembly module's file system, with the console written
// to a file that the page reads back byte for byte.

#include "in_process.h"

#include <cstdio>
#include <emscripten/emscripten.h>

// Runs in the current folder with the console in "/console.txt"; returns
// the exit status, or -1 when the console file cannot be made.
extern "C" EMSCRIPTEN_KEEPALIVE int hs_web_run()
{
    if (std::freopen("/console.txt", "w", stdout) == nullptr)
        return -1;
    return hs::run_in_process();
}
