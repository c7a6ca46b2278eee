#!/usr/bin/env bash
# Builds a Release tree with the benchmarks and runs them: the in-process
# benchmarks of a complete largest run and of each reader, then the
# side-by-side timing against the baseline C program.
# Usage: bench/run.sh [runs]   (runs of each program, default 500)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DHAZARD_SIM_BENCH=ON -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-bench -j2 >/dev/null
build-bench/bench/hazard_bench
build-bench/bench/compare "${1:-500}"
