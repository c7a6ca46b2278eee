// In-process benchmarks of a complete largest run (depth 10, 50
// instructions full of hazards) and of each reader, in a scratch folder
// holding the deep example's inputs, through the in-process runner; the
// console goes to /dev/null.

#include "core/state.h"
#include "in_process.h"
#include "input/config_reader.h"
#include "input/program_reader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

using hs::sim;

void setup_folder()
{
    namespace fs = std::filesystem;
    char dir[] = "/tmp/hazard-sim-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr)
        std::abort();
    fs::copy_file(fs::path(HAZARD_SIM_EXAMPLES) / "deep/config.txt", fs::path(dir) / "config.txt");
    fs::copy_file(fs::path(HAZARD_SIM_EXAMPLES) / "deep/program.txt",
                  fs::path(dir) / "program.txt");
    if (chdir(dir) != 0 || std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
}

void CompleteRun(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(hs::run_in_process());
}
BENCHMARK(CompleteRun);

void ReadConfig(benchmark::State &state)
{
    for (auto _ : state) {
        hs::run_step_in_process([](void *) { return hs::read_config(); }, nullptr);
        benchmark::DoNotOptimize(sim.depth);
    }
}
BENCHMARK(ReadConfig);

void ReadProgram(benchmark::State &state)
{
    for (auto _ : state) {
        hs::run_step_in_process(
            [](void *) {
                sim.depth = hs::max_depth;
                sim.instr_count = hs::max_instr;
                return hs::read_program();
            },
            nullptr);
        benchmark::DoNotOptimize(sim.lines_read);
    }
}
BENCHMARK(ReadProgram);

} // namespace

int main(int argc, char **argv)
{
    setup_folder();
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter report; // stdout is the simulator's
    report.SetOutputStream(&std::cerr);
    report.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    return 0;
}
