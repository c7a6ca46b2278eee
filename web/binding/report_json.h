// What the page reads from the simulator as JSON: the run report (in the
// shape of web/binding/report.schema.json) and the simulator's limits.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes the report of the run that just completed to `out`, as
// web/binding/report.schema.json describes it.
void write_report_json(FILE *out);

// Writes into `buf` one NUL-terminated JSON object, as much as fits in
// `size` bytes (163 with today's constants): {"depth":[min,max],
// "count":[min,max],"registers":n,"mnemonics":[...],"statuses":{"ok":0,...}},
// from the constants of core/state.h and core/driver.h.
void write_limits_json(char *buf, size_t size);
