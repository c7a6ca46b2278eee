#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed program on
# every installed example: the expected bytes and status, and the manual
# page, the examples and the licence in their places.
# Usage: install_test.sh BUILD_DIR EXAMPLES_DIR
set -euo pipefail
. "$(dirname "$0")/../scripts/lib.sh"
build=$1
examples=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
doc=$prefix/share/doc/hazard-sim
test -x "$prefix/bin/hazard-sim"
test -f "$prefix/share/man/man1/hazard-sim.1"
test -f "$doc/LICENSE"
test ! -e "$doc/examples/six/analiza_hazard.txt"

for ex in "$examples"/*/; do
  name=$(basename "$ex")
  for f in "$ex"{config.txt,program.txt,expected/*}; do
    cmp "$f" "$doc/examples/$name/${f#"$ex"}"
  done
  check_run "$doc/examples/$name" "$ex/expected" cat "$prefix/bin/hazard-sim"
done
echo "installed program ran every example from $prefix"
