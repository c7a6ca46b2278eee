// End-to-end harness: runs the built hazard-sim, as a user does, in a fresh
// temporary folder holding the given input files, and collects standard
// output, both result files and the exit status.
#pragma once

#include "fixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace test {

// What a run produced. A result file that does not exist reads as "<none>",
// one that is not a regular file as "<not a file>".
struct run_result {
    std::string out;      // standard output
    std::string err;      // standard error
    std::string analysis; // analiza_hazard.txt
    std::string schedule; // eliminare_hazard.txt
    int status;           // exit status, or -1 when killed by a signal (a
                          // run still going after 10 seconds is killed)
    long peak_kb;         // the program's peak resident memory
};

// A fresh empty folder under the system's temporary folder.
std::string make_dir();

void write_file(const std::string &path, const std::string &bytes);
std::string read_file(const std::string &path);

void remove_dir(const std::string &dir);

// Runs hazard-sim in `dir`, with no arguments; standard output goes to
// the file `console` instead of `out` when one is named.
run_result run_in(const std::string &dir, const char *console = nullptr);

// Writes the inputs into a fresh folder, runs there and removes the folder;
// a `missing` input is a file that is not there.
using input = std::optional<std::string>;
constexpr std::nullopt_t missing = std::nullopt;
run_result run_with(const input &config, const input &program);

// Names each case of a parameterised suite after its `name` field.
struct by_name {
    template <class T> std::string operator()(const testing::TestParamInfo<T> &info) const
    {
        return info.param.name;
    }
};

} // namespace test
