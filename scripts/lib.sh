# Shell helpers that the scripts and tests/install_test.sh source: the tools
# the checks need, line-end conversion, the version, and runs of an example.

# What the checks need, one entry a line: a command (or, starting with /, a
# file pattern) and the Debian packages that bring it. scripts/setup.sh
# installs from this list; `need` stops when one is missing.
hs_needs='
cmake cmake
g++ g++
clang++ clang
clang-tidy clang-tidy
clang-format clang-format
cppcheck cppcheck
mandoc mandoc
x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64 mingw-w64
x86_64-w64-mingw32-objdump binutils-mingw-w64-x86-64
wine wine wine64
/usr/lib/x86_64-linux-gnu/cmake/GTest/GTestConfig.cmake libgtest-dev
/usr/lib/x86_64-linux-gnu/cmake/benchmark/benchmarkConfig.cmake libbenchmark-dev
/usr/lib/llvm-14/lib/clang/14*/lib/linux/libclang_rt.fuzzer-x86_64.a libclang-rt-14-dev
clang++-14 clang-14
wasm-ld-14 lld-14
wasm-opt binaryen
/usr/lib/wasm32-wasi/libc.a wasi-libc
/usr/include/wasm32-wasi/c++/v1/cstdio libc++-14-dev-wasm32 libc++abi-14-dev-wasm32
/usr/lib/llvm-14/lib/clang/14*/lib/wasi/libclang_rt.builtins-wasm32.a libclang-rt-14-dev-wasm32
chromium chromium
firefox-esr firefox-esr
dh debhelper
dpkg-buildpackage dpkg-dev
lintian lintian
man man-db
zip zip
unzip unzip
node nodejs
npm npm
pdftotext poppler-utils
pdftoppm poppler-utils
perl perl
'

# has WHAT: the command or file pattern WHAT is on this machine.
has() {
  case $1 in
    /*) compgen -G "$1" >/dev/null ;;
    *) command -v "$1" >/dev/null ;;
  esac
}

# need WHAT...: stops, naming the first missing one and what installs it.
need() {
  local what pkgs
  for what in "$@"; do
    has "$what" && continue
    pkgs=$(awk -v w="$what" '$1 == w { $1 = ""; print substr($0, 2) }' <<< "$hs_needs")
    echo "$(basename "$0"): $what is missing; install it with: apt-get install ${pkgs:-?}" \
      "(scripts/setup.sh installs all the checks need)" >&2
    exit 1
  done
}

# Stops when the page's Node modules (playwright-core, puppeteer-core) are not installed.
need_node_modules() {
  [ -d web/node_modules/playwright-core ] && [ -d web/node_modules/puppeteer-core ] ||
    { echo "$(basename "$0"): web/node_modules is missing; install it with: (cd web && npm ci)" >&2; exit 1; }
}

# Copies stdin to stdout with every LF turned into CR LF.
crlf() { perl -pe 's/\n/\r\n/'; }

# The version in the project() line of DIR/CMakeLists.txt (DIR: default .).
project_version() {
  sed -n 's/^project(hazard_sim VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "${1:-.}/CMakeLists.txt"
}

# run_into OUT INPUTS CMD...: runs CMD in a new folder OUT holding the
# config.txt and program.txt of folder INPUTS; the console goes to
# OUT/console.txt, the status to OUT/status, standard error is dropped.
run_into() {
  local out=$1 inputs=$2; shift 2
  mkdir -p "$out"
  cp "$inputs/config.txt" "$inputs/program.txt" "$out/"
  (cd "$out" && set +e && "$@" > console.txt 2>/dev/null; echo $? > status)
}

# check_run INPUTS WANT CONV CMD...: runs CMD on the inputs of folder INPUTS
# in a fresh folder; the console text, both result files and the status must
# be the files of folder WANT, passed through CONV (cat or crlf) but for the
# status. Prints what differs and fails if anything does.
check_run() {
  local inputs=$1 want=$2 conv=$3; shift 3
  local d f bad=0
  d=$(mktemp -d)
  run_into "$d" "$inputs" "$@"
  for f in console.txt analiza_hazard.txt eliminare_hazard.txt; do
    cmp -s <($conv < "$want/$f") "$d/$f" || { echo "  $inputs: $f differs"; bad=1; }
  done
  cmp -s "$want/status" "$d/status" ||
    { echo "  $inputs: status $(cat "$d/status"), expected $(cat "$want/status")"; bad=1; }
  rm -rf "$d"
  return $bad
}
