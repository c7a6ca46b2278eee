// The run report as the page reads it: one JSON object written from the
// simulator's state after a complete run.
#pragma once

#include <cstdio>

// Writes the report of the run that just completed to `out`.
void write_report_json(FILE *out);
