#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed program on
# the six-instruction example: the same bytes as expected, and the manual
# page, the examples and the licence in their places.
# Usage: install_test.sh BUILD_DIR EXAMPLES_DIR
set -euo pipefail
build=$1
ex=$2/six
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/hazard-sim"
test -f "$prefix/share/man/man1/hazard-sim.1"
test -f "$prefix/share/doc/hazard-sim/examples/six/expected/console.txt"
test -f "$prefix/share/doc/hazard-sim/LICENSE"
test ! -e "$prefix/share/doc/hazard-sim/examples/six/analiza_hazard.txt"

cp "$ex/config.txt" "$ex/program.txt" "$work/"
cd "$work"
status=0
"$prefix/bin/hazard-sim" > console || status=$?
cmp console "$ex/expected/console.txt"
cmp analiza_hazard.txt "$ex/expected/analiza_hazard.txt"
cmp eliminare_hazard.txt "$ex/expected/eliminare_hazard.txt"
test "$status" = "$(cat "$ex/expected/status")"
echo "installed program ran from $prefix"
