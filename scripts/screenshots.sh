#!/usr/bin/env bash
# Makes the screenshots of the page that the documents show (docs/web.png,
# and any other listed in web/tools/screenshots.mjs) from a fresh site build.
# No test writes them; run this on purpose after the page changes.
# Usage: scripts/screenshots.sh [file ...]   (default: every screenshot)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
need chromium node pdftoppm
need_node_modules

scripts/web.sh build
node web/tools/screenshots.mjs build-web/site . "$@"
