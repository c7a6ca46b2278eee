#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds
# (default 60), starting from its seed corpus under fuzz/corpus/.
# Usage: fuzz/run.sh [seconds] [target ...]   targets: config program run
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(config program run)

CXX=clang++ cmake -S . -B build-fuzz -DHAZARD_SIM_FUZZ=ON -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 >/dev/null
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
  echo "== fuzz_$t for ${secs}s"
  "build-fuzz/fuzz/fuzz_$t" -max_total_time="$secs" -print_final_stats=1 \
    -artifact_prefix="$PWD/build-fuzz/artifacts/$t/" -max_len=4096 \
    "$PWD/build-fuzz/corpus/$t" "$PWD/fuzz/corpus/$t" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::new_units_added|==|SUMMARY|INFO: Running|Done)|ERROR|broken' || true
  if ls "build-fuzz/artifacts/$t/"* >/dev/null 2>&1; then
    echo "fuzz_$t found a failing input: build-fuzz/artifacts/$t/"
    exit 1
  fi
done
