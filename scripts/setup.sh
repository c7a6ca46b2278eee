#!/usr/bin/env bash
# Installs on a Debian machine what the checks need and it lacks: the
# packages listed in scripts/lib.sh, and the page tests' Node modules.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh

missing=()
while read -r what pkgs; do
  [ -z "$what" ] || has "$what" || missing+=($pkgs)
done <<< "$hs_needs"
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing ${missing[*]}"
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi
if [ ! -d web/node_modules ]; then
  echo "== npm ci in web/"
  (cd web && npm ci --no-audit --no-fund >/dev/null)
fi
echo "setup: all the checks need is installed"
