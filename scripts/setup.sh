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
# Again when a module the tests have since taken on is missing; no module
# may fetch a browser of its own (the tests drive Debian's).
if [ ! -d web/node_modules/puppeteer-core ]; then
  echo "== npm ci in web/"
  (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund >/dev/null)
fi
echo "setup: all the checks need is installed"
