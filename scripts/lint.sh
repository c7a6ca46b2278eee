#!/usr/bin/env bash
# Static checks: the layout (clang-format), clang-tidy with .clang-tidy,
# and cppcheck, over the program's sources. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
need cmake clang-format clang-tidy cppcheck

clang-format --dry-run -Werror src/*.cpp src/*/*.cpp src/*/*.h tests/*.cpp tests/*.h \
  fuzz/*.cpp fuzz/*.h bench/*.cpp bench/*.c web/binding/*.cpp web/binding/*.h

cmake -S . -B build-tidy -DHAZARD_SIM_TESTS=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
clang-tidy -p build-tidy --quiet src/*.cpp src/*/*.cpp

cppcheck --enable=warning,style,performance,portability --std=c++17 --inline-suppr \
  --error-exitcode=1 --quiet -I src src
echo "lint: clean"
