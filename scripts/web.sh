#!/usr/bin/env bash
# Builds the web page into build-web/site/: the simulator's library compiled
# to WebAssembly with Debian's emscripten, and the page around it. Then runs
# the page's tests: the module under Node against the native program, and
# the page in headless Chromium (Debian's chromium, driven by playwright-core)
# and in headless Firefox (Debian's firefox-esr, driven by puppeteer-core).
# Usage: scripts/web.sh [build]   (build: build the site only, no tests)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-test}

. scripts/lib.sh
need cmake emcc node
[ "$mode" = build ] || need chromium firefox-esr
# Debian's emscripten finds its Node modules there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

echo "== site: build-web/site/"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=MinSizeRel -DHAZARD_SIM_TESTS=OFF >/dev/null
cmake --build build-web -j2 >/dev/null
du -sb build-web/site | awk '{printf "site size: %d bytes\n", $1}'
[ "$mode" = build ] && exit 0

echo "== native build (what the page is compared with)"
cmake -S . -B build >/dev/null
cmake --build build -j2 >/dev/null

echo "== page tests"
need_node_modules
node --test web/tests/
