#!/usr/bin/env bash
# Builds the web page into build-web/site/: the simulator's library compiled
# to WebAssembly with Debian's clang for wasm32-wasi (cmake/wasm32-wasi.cmake)
# and embedded in one script, and the page around it. Then runs
# the page's tests: the module under Node against the native program, and
# the page in headless Chromium (Debian's chromium, driven by playwright-core)
# and in headless Firefox (Debian's firefox-esr, driven by puppeteer-core).
# Usage: scripts/web.sh [build]   (build: build the site only, no tests)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-test}

. scripts/lib.sh
need cmake clang++-14 wasm-ld-14 wasm-opt node \
  /usr/lib/wasm32-wasi/libc.a /usr/include/wasm32-wasi/c++/v1/cstdio \
  /usr/lib/llvm-14/lib/clang/14*/lib/wasi/libclang_rt.builtins-wasm32.a
[ "$mode" = build ] || need chromium firefox-esr

echo "== site: build-web/site/"
cmake -S . -B build-web --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-web -j2 >/dev/null
du -sb build-web/site | awk '{printf "site size: %d bytes\n", $1}'
[ "$mode" = build ] && exit 0

echo "== native build (what the page is compared with)"
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null

echo "== page tests"
need_node_modules
# As many test files at a time as cores: a browser test waits on its
# browser for much of its time.
node --test --test-concurrency="$(nproc)" web/tests/
