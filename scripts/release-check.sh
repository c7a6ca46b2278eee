#!/usr/bin/env bash
# Checks the release files: builds them with scripts/release.sh, runs lintian
# on the Debian package, installs and removes it, runs the examples from the
# Linux archive, checks the Windows zip's contents (scripts/windows.sh runs
# the Windows build under wine) and the web zip's layout, and builds them
# again from a fresh clone in another folder, which must give the same
# SHA256SUMS. It installs the package on this machine (as root) and removes
# it again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

. scripts/lib.sh
need lintian man unzip x86_64-w64-mingw32-objdump perl
export LC_ALL=C

tmp=$(mktemp -d)
installed=0
cleanup() {
  if [ $installed = 1 ]; then dpkg -r hazard-sim >/dev/null 2>&1 || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

t0=$SECONDS
summary=()
failed=0
lap=$SECONDS
# Records one check's result line: ok or FAIL, its name, its time.
report() {
  local ok=$1 text=$2 line
  if [ "$ok" = 1 ]; then line="ok   $text"; else line="FAIL $text"; failed=1; fi
  line="$line ($((SECONDS - lap))s)"
  lap=$SECONDS
  echo "$line"
  summary+=("$line")
}
finish() {
  echo
  echo "== summary, $((SECONDS - t0))s in all"
  printf '%s\n' "${summary[@]}"
  exit $failed
}

# run_examples DIR CMD...: CMD on every example's inputs in DIR/<name> gives
# the committed expected files.
run_examples() {
  local dir=$1 name bad=0; shift
  for name in "${examples[@]}"; do
    check_run "$dir/$name" "$head_src/examples/$name/expected" cat "$@" || bad=1
  done
  return $bad
}

# unpack ARCHIVE TOP: unpacks the .tar.gz or .zip ARCHIVE into $tmp, every
# entry of it under TOP/.
unpack() {
  local archive=$1 top=$2 entries outside
  case $archive in
    *.zip) entries=$(unzip -Z1 "$archive") && unzip -q "$archive" -d "$tmp" ;;
    *) entries=$(tar -tzf "$archive") && tar -xzf "$archive" -C "$tmp" ;;
  esac || { echo "  $archive does not unpack"; return 1; }
  outside=$(grep -v -e "^$top/" -e "^$top\$" <<< "$entries" || true)
  [ -z "$outside" ] || { echo "  entries outside $top/:"; head -n 5 <<< "$outside"; return 1; }
}

echo "== scripts/release.sh"
ok=1
scripts/release.sh || ok=0
report $ok "release.sh wrote dist/"
[ $ok = 1 ] || finish
# The commit built (others may commit meanwhile): its examples are what the
# release holds and what runs must give, and the clone below builds it again.
commit=$(cat build-release/commit)
head_src=$tmp/head
mkdir -p "$head_src"
git archive "$commit" examples docs | tar -x -C "$head_src"
examples=()
for ex in "$head_src"/examples/*/; do examples+=("$(basename "$ex")"); done
version=$(project_version build-release/src)
deb=dist/hazard-sim_${version}_amd64.deb
tgz=dist/hazard-sim-$version-linux-x86_64.tar.gz
winzip=dist/hazard-sim-$version-windows-x86_64.zip
webzip=dist/hazard-sim-$version-web.zip

ok=1
(cd dist && sha256sum --quiet -c SHA256SUMS) || ok=0
[ "$(cut -d' ' -f3 dist/SHA256SUMS | tr '\n' ' ')" = "$(cd dist && ls "$(basename "$tgz")" "$(basename "$webzip")" "$(basename "$winzip")" "$(basename "$deb")" | tr '\n' ' ')" ] ||
  { echo "  SHA256SUMS does not list exactly the four release files"; ok=0; }
report $ok "SHA256SUMS checks with sha256sum -c"

echo "== lintian"
ok=1
lint_status=0
lintian --display-info --pedantic "$deb" > "$tmp/lintian" 2> "$tmp/lintian.err" || lint_status=$?
cat "$tmp/lintian"
grep -v 'running with root privileges is not recommended' "$tmp/lintian.err" || true
grep -q '^[EW]: ' "$tmp/lintian" && ok=0
[ $lint_status = 0 ] || { echo "  lintian exited with $lint_status"; ok=0; }
report $ok "lintian: $(grep -c '^[EW]: ' "$tmp/lintian" || true) errors or warnings, $(grep -c '^[IPX]: ' "$tmp/lintian" || true) info, pedantic or experimental tags"

echo "== the Debian package"
ok=1
if dpkg -s hazard-sim >/dev/null 2>&1; then
  echo "  note: hazard-sim was installed; removing it first"
  dpkg -r hazard-sim >/dev/null
fi
# What the package holds, and which of its folders exist before.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^$' > "$tmp/deb-paths"
: > "$tmp/new-dirs"
while read -r p; do
  if [ ! -e "$p" ]; then echo "$p" >> "$tmp/new-dirs"; fi
done < "$tmp/deb-paths"
installed=1
dpkg -i --path-include='/usr/share/man/man1/hazard-sim.1.gz' \
  --path-include='/usr/share/doc/hazard-sim/*' "$deb" > /dev/null
while read -r p; do
  [ -e "$p" ] || { echo "  $p not installed"; ok=0; }
done < "$tmp/deb-paths"
[ "$(command -v hazard-sim)" = /usr/bin/hazard-sim ] || { echo "  hazard-sim is not /usr/bin/hazard-sim on the PATH"; ok=0; }
run_examples /usr/share/doc/hazard-sim/examples hazard-sim || ok=0
page=$(man -w hazard-sim 2>/dev/null || true)
[ "$page" = /usr/share/man/man1/hazard-sim.1.gz ] || { echo "  man -w hazard-sim gives '$page'"; ok=0; }
MANWIDTH=80 man hazard-sim 2>/dev/null | grep -q 'simulate the data hazards of a program' ||
  { echo "  man hazard-sim does not show the page"; ok=0; }
dpkg -L hazard-sim > "$tmp/listed"
dpkg -r hazard-sim > /dev/null
installed=0
left=0
while read -r p; do
  [ "$p" = /. ] && continue
  if [ -d "$p" ] && [ ! -L "$p" ]; then
    grep -qxF "$p" "$tmp/new-dirs" || continue
  fi
  if [ -e "$p" ] || [ -L "$p" ]; then echo "  $p is left after dpkg -r"; left=1; fi
done < "$tmp/listed"
[ $left = 0 ] || ok=0
dpkg -s hazard-sim > /dev/null 2>&1 && { echo "  dpkg still knows hazard-sim"; ok=0; }
report $ok "package installs, runs the ${#examples[@]} examples from the PATH, man finds the page, dpkg -r removes all $(grep -c . "$tmp/listed") paths"

echo "== the Linux archive"
ok=1
ltop=hazard-sim-$version-linux-x86_64
unpack "$tgz" "$ltop" || ok=0
bin=$tmp/$ltop/bin/hazard-sim
run_examples "$tmp/$ltop/share/doc/hazard-sim/examples" "$bin" || ok=0
cmp -s "$tmp/$ltop/share/man/man1/hazard-sim.1" "$head_src/docs/hazard-sim.1" || { echo "  share/man/man1/hazard-sim.1 missing or not the page"; ok=0; }
for f in README.md CHANGELOG.md LICENSE; do
  [ -s "$tmp/$ltop/share/doc/hazard-sim/$f" ] || { echo "  share/doc/hazard-sim/$f missing"; ok=0; }
done
# Linked with the C++ runtime inside: it needs only the C library.
needed=$(readelf -d "$bin" 2>&1 | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ' | sed 's/ $//') || true
[ -n "$needed" ] || { echo "  bin/hazard-sim is not a dynamically linked program"; ok=0; }
case "$needed" in *libstdc++*|*libgcc_s*) echo "  needs $needed"; ok=0 ;; esac
report $ok "tar.gz: one top folder, the ${#examples[@]} examples give the expected output, needs only $needed"

echo "== the Windows zip"
ok=1
wtop=hazard-sim-$version-windows-x86_64
unpack "$winzip" "$wtop" || ok=0
w=$tmp/$wtop
for f in hazard-sim.exe README.txt LICENSE.txt hazard-sim.html; do
  [ -s "$w/$f" ] || { echo "  $f missing"; ok=0; }
done
# Plain-text files: every line ends in CRLF.
for f in README.txt LICENSE.txt; do
  [ "$(grep -c $'\r$' "$w/$f")" = "$(wc -l < "$w/$f")" ] && [ "$(tail -c 1 "$w/$f")" = "" ] ||
    { echo "  $f has lines without CRLF"; ok=0; }
done
grep -q '<title>HAZARD-SIM(1)</title>' "$w/hazard-sim.html" || { echo "  hazard-sim.html is not the manual page"; ok=0; }
# One self-contained program: no MinGW runtime DLLs.
dlls=$(x86_64-w64-mingw32-objdump -p "$w/hazard-sim.exe" 2>&1 | sed -n 's/.*DLL Name: //p' | tr '\n' ' ' | sed 's/ $//') || true
[ -n "$dlls" ] || { echo "  hazard-sim.exe is not a Windows program"; ok=0; }
case "$dlls" in *libstdc++*|*libgcc*|*libwinpthread*) echo "  imports $dlls"; ok=0 ;; esac
for f in "$head_src"/examples/*/{config.txt,program.txt,expected/*}; do
  cmp -s <(crlf < "$f") "$w/${f#"$head_src/"}" || { echo "  ${f#"$head_src/"} is not the CRLF copy"; ok=0; }
done
report $ok "zip: one top folder, CRLF texts and examples, imports only $dlls"

ok=1
btop=hazard-sim-$version-web
unpack "$webzip" "$btop" || ok=0
[ -f "$tmp/$btop/index.html" ] || { echo "  no $btop/index.html"; ok=0; }
report $ok "web zip: one top folder with index.html ($(find "$tmp/$btop" -type f | wc -l) files)"

echo "== a second release from a fresh clone"
ok=1
git clone -q "$root" "$tmp/clone"
git -C "$tmp/clone" checkout -q --detach "$commit"
(cd "$tmp/clone" && scripts/release.sh > "$tmp/clone.log" 2>&1) || { tail -n 20 "$tmp/clone.log"; ok=0; }
if [ $ok = 1 ] && ! cmp -s dist/SHA256SUMS "$tmp/clone/dist/SHA256SUMS"; then
  echo "  SHA256SUMS differ (here, then in the clone):"
  diff dist/SHA256SUMS "$tmp/clone/dist/SHA256SUMS" || true
  ok=0
fi
if [ -f "$tmp/clone/dist/SHA256SUMS" ]; then
  echo "  here | in the clone:"
  paste -d'|' <(sed 's/  / /' dist/SHA256SUMS) <(cut -c1-64 "$tmp/clone/dist/SHA256SUMS") | sed 's/^/  /'
fi
report $ok "the clone in $tmp/clone wrote the same SHA256SUMS"

finish
