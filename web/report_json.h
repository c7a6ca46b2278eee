// What the page reads from the simulator as JSON: the run report, written
// from the state after a complete run, and the simulator's own limits, names
// and exit statuses.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes the report of the run that just completed to `out`.
void write_report_json(FILE *out);

// Writes into `buf` one NUL-terminated JSON object, as much as fits in
// `size` bytes (about 200 are needed): {"depth":[min,max],"count":[min,max],
// "registers":n,"mnemonics":[...],"statuses":{"ok":0,...}}, from the
// constants of core/state.h and core/driver.h.
void write_limits_json(char *buf, size_t size);
