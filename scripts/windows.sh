#!/usr/bin/env bash
# Builds hazard-sim.exe for 64-bit Windows with MinGW-w64 and runs it under
# wine: on every example its console text and result files must be the
# expected ones with CRLF line ends, and on inputs with CRLF line ends,
# lone carriage returns and Ctrl-Z bytes it must do what the Linux build
# does. Needs g++-mingw-w64-x86-64, mingw-w64, wine and wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib.sh
need cmake g++ x86_64-w64-mingw32-g++ wine perl

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-win -j2 >/dev/null
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null
exe=$root/build-win/hazard-sim.exe
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$root/build-win/wineprefix}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
checked=0

# on_windows NAME INPUTS WANT: the Windows build on folder INPUTS must give
# what folder WANT holds, with CRLF line ends.
on_windows() {
  checked=$((checked + 1))
  if check_run "$2" "$3" crlf wine "$exe"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi
}

# Every example against its expected files.
for ex in examples/*/; do
  if [ -f "$ex/expected/status" ]; then on_windows "$(basename "$ex")" "$ex" "$ex/expected"; fi
done

# Text-stream cases: the Linux build's output, with CRLF line ends, is the
# expected one.
text_case() {
  local name=$1 in=$work/in-$1
  mkdir -p "$in"
  printf "$2" > "$in/config.txt"
  printf "$3" > "$in/program.txt"
  run_into "$work/linux-$name" "$in" "$root/build/hazard-sim"
  on_windows "$name" "$in" "$work/linux-$name"
}
text_case crlf-inputs '5\r\n6\r\n' 'LD R1,R2\r\nADD R3,R1,R4\r\nSUB R4,R5,R6\r\nMUL R3,R3,R1\r\nDIV R7,R8,R9\r\nADD R10,R7,R3\r\n'
text_case ctrl-z-in-program '5\n6\n' 'LD R1,R2\nADD R3,R1,R4\n\032SUB R4,R5\n'
text_case ctrl-z-in-config '5\032\n6\n' 'LD R1,R2\n'
text_case ctrl-z-after-count '3\n2\n' 'LD R1,R2\nADD R3,R1,R4\n\032more\n'
text_case lone-carriage-return '5\n3\n' 'LD R1,R2\r\rADD R3,R1,R4\r\r\nSUB R1,R2\n'
text_case carriage-return-before-crlf '5\n3\n' 'LD R1,R2\r\r\nADD R3,R1,R4\n'
text_case reader-errors '4\n5\n' 'add R1,R2\nLD R0,R33\r\n\nMUL\tR1,R2\n'

echo "$checked checked on Windows"
exit $failed
