// The web page's way into the simulator: one complete run in the root folder
// of the WebAssembly module's in-memory files, with the console written to a
// file that the page reads back byte for byte, and the run report; and the
// simulator's limits, names and exit statuses, which the page reads.

#include "core/driver.h"
#include "in_process.h"
#include "report_json.h"

#include <cstdio>

// Runs in the root folder with the console in "/console.txt" and, after a
// complete run, the run report in "/report.json"; returns the exit status,
// or -1 when the console file cannot be made.
extern "C" __attribute__((export_name("hs_web_run"))) int hs_web_run()
{
    if (std::freopen("/console.txt", "w", stdout) == nullptr)
        return -1;
    int status = hs::run_in_process();
    if (status == hs::exit_ok) {
        FILE *out = std::fopen("/report.json", "w");
        if (out != nullptr) {
            write_report_json(out);
            std::fclose(out);
        }
    }
    return status;
}

// The JSON text of write_limits_json, made on the first call; the page reads
// it once the module is ready.
extern "C" __attribute__((export_name("hs_web_limits"))) const char *hs_web_limits()
{
    static char text[256];
    if (text[0] == '\0')
        write_limits_json(text, sizeof text);
    return text;
}
