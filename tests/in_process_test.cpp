// The in-process runner, as the web page and the fuzz targets use it: runs
// one after another in one process must each give what a fresh process
// gives, whatever the run before them left, and an early end must leave no
// file open.

#include "harness.h"

#include "in_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct outcome {
    std::string console, analysis, schedule;
    int status;
};

// Runs in-process in a fresh folder holding the inputs, with the console
// written to a file there, then puts the test's own console back.
outcome run_here(const test::input &config, const test::input &program)
{
    std::string dir = test::make_dir();
    if (config)
        test::write_file(dir + "/config.txt", *config);
    if (program)
        test::write_file(dir + "/program.txt", *program);
    fs::path before = fs::current_path();
    fs::current_path(dir);
    std::fflush(stdout);
    int saved = dup(1);
    outcome o{};
    if (std::freopen("console", "w", stdout) != nullptr)
        o.status = hs::run_in_process();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::clearerr(stdout);
    fs::current_path(before);
    o.console = test::read_file(dir + "/console");
    o.analysis = test::read_file(dir + "/analiza_hazard.txt");
    o.schedule = test::read_file(dir + "/eliminare_hazard.txt");
    test::remove_dir(dir);
    return o;
}

size_t open_descriptors()
{
    size_t n = 0;
    for ([[maybe_unused]] const auto &e : fs::directory_iterator("/proc/self/fd"))
        n++;
    return n;
}

const std::string deep = std::string(HAZARD_SIM_EXAMPLES) + "/deep/";

TEST(InProcess, EachRunGivesWhatAFreshProcessGives)
{
    // Every kind of end, in an order where each run follows a different one.
    const struct {
        const char *name;
        test::input config, program;
    } runs[] = {
        {"deep", test::read_file(deep + "config.txt"), test::read_file(deep + "program.txt")},
        {"syntax error", "5\n6\n", "LD R1,R2\nadd R1\n"},
        {"short program after a long one", "3\n2\n", "LD R1,R2\nADD R3,R1,R4\n"},
        {"no config.txt", test::missing, "LD R1,R2\n"},
        {"out of range", "11\n51\n", "LD R1,R2\n"},
        {"no program.txt", "5\n6\n", test::missing},
        {"deep again", test::read_file(deep + "config.txt"), test::read_file(deep + "program.txt")},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE(r.name);
        outcome got = run_here(r.config, r.program);
        test::run_result want = test::run_with(r.config, r.program);
        EXPECT_EQ(got.console, want.out);
        EXPECT_EQ(got.analysis, want.analysis);
        EXPECT_EQ(got.schedule, want.schedule);
        EXPECT_EQ(got.status, want.status);
    }
}

TEST(InProcess, EarlyEndsLeaveNoFileOpen)
{
    run_here("5\n6\n", test::missing); // the first run may open what stays open
    size_t before = open_descriptors();
    for (int k = 0; k < 50; k++) {
        EXPECT_EQ(run_here("5\n6\n", test::missing).status, 1);
        EXPECT_EQ(run_here("5\n6\n", "X\n").status, 2);
        EXPECT_EQ(run_here("0\n0\n", "LD R1,R2\n").status, 4);
    }
    EXPECT_EQ(open_descriptors(), before);
}

} // namespace
