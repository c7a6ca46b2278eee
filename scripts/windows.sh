#!/usr/bin/env bash
# Builds hazard-sim.exe for 64-bit Windows with MinGW-w64 and runs it under
# wine: on every example its console text and result files must be the
# expected ones with CRLF line ends, and on inputs with CRLF line ends,
# lone carriage returns and Ctrl-Z bytes it must do what the Linux build
# does. Needs g++-mingw-w64-x86-64, mingw-w64 and wine64 (it installs them
# when apt-get is at hand and they are missing).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v wine >/dev/null; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q g++-mingw-w64-x86-64 mingw-w64 wine64
fi

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-win -j2 >/dev/null
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null
exe=$root/build-win/hazard-sim.exe
export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$root/build-win/wineprefix}

crlf() { perl -pe 's/\n/\r\n/'; }
failed=0
checked=0

# Runs `bin` in folder $1 (holding the inputs): console to $1/console,
# status to $1/status.
run_in() {
  local dir=$1 bin=$2
  (cd "$dir" && set +e && $bin > console 2>/dev/null; echo $? > status)
}

# Compares folder $1's outputs with $2 (a folder of expected files, LF ends)
# after turning the expected line ends into CRLF.
same() {
  local got=$1 want=$2 name=$3
  local ok=1
  for f in console analiza_hazard.txt eliminare_hazard.txt; do
    local wf=$want/$f
    [ "$f" = console ] && wf=$want/console.txt
    if ! cmp -s <(crlf < "$wf") "$got/$f"; then ok=0; echo "  $name: $f differs"; fi
  done
  if ! cmp -s "$want/status" "$got/status"; then ok=0; echo "  $name: status differs"; fi
  checked=$((checked + 1))
  [ $ok = 1 ] && echo "ok   $name" || { echo "FAIL $name"; failed=1; }
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every example against its expected files.
for ex in examples/*/; do
  name=$(basename "$ex")
  [ -f "$ex/expected/status" ] || continue
  d=$work/$name; mkdir -p "$d"
  cp "$ex/config.txt" "$ex/program.txt" "$d/"
  run_in "$d" "wine $exe"
  same "$d" "$ex/expected" "$name"
done

# Text-stream cases: the Linux build's output, with CRLF line ends, is the
# expected one.
text_case() {
  local name=$1 config=$2 program=$3
  local lin=$work/lin-$name win=$work/win-$name
  mkdir -p "$lin" "$win"
  for d in "$lin" "$win"; do printf "$config" > "$d/config.txt"; printf "$program" > "$d/program.txt"; done
  run_in "$lin" "$root/build/hazard-sim"
  mv "$lin/console" "$lin/console.txt"
  run_in "$win" "wine $exe"
  same "$win" "$lin" "$name"
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
