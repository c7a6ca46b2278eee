#!/usr/bin/env bash
# Builds the release files of the checked-out commit into dist/: the Debian
# package, the Linux tar.gz, the Windows zip, the web page as a zip, and
# their SHA256SUMS. Two runs from the same commit write the same bytes.
#
# It builds what is committed (HEAD, exported with git archive into
# build-release/), not uncommitted edits. RELEASE_WEB_SITE=DIR packages the
# site folder DIR instead of building it with scripts/web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

die() { echo "release: $*" >&2; exit 1; }

. scripts/lib.sh
need cmake g++ dpkg-buildpackage dh mandoc x86_64-w64-mingw32-g++ zip perl

# Nothing from the caller's environment may change the bytes.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS MAKEFLAGS DEB_BUILD_OPTIONS DEB_BUILD_PROFILES
export LC_ALL=C TZ=UTC
umask 022

commit=$(git rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are left out; building commit $commit"
fi

work=$root/build-release
src=$work/src
rm -rf "$work" dist
mkdir -p "$src" dist
git archive --format=tar "$commit" | tar -x -C "$src"
echo "$commit" > "$work/commit"

version=$(project_version "$src")
[ -n "$version" ] || die "no VERSION in the project() line of CMakeLists.txt"
deb_version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
[ "$deb_version" = "$version" ] ||
  die "debian/changelog is at $deb_version, CMakeLists.txt at $version"
grep -q "^## \[$version\] - [0-9]" "$src/CHANGELOG.md" || die "CHANGELOG.md has no entry for $version"
echo "== hazard-sim $version, commit $commit, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

# Gives every file and folder under $1 a fixed mode and time; the files
# named after it (paths below $1) are executable.
normalize() {
  local dir=$1; shift
  find "$dir" -type d -exec chmod 755 {} +
  find "$dir" -type f -exec chmod 644 {} +
  local x
  for x in "$@"; do chmod 755 "$dir/$x"; done
  find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# Zips folder $2/$3 into $1 as top folder $3: sorted entries, no extra
# fields, times from SOURCE_DATE_EPOCH (set by normalize, read in UTC).
zip_tree() {
  local out=$1 base=$2 top=$3
  (cd "$base" && find "$top" -print | sort | zip -q -X -9 -@ "$out")
}

t0=$SECONDS
step() { echo "== $1 (at $((SECONDS - t0))s)"; }

# The compilers see $work as ".", so no build folder path ends up in a binary.
prefix_map="-ffile-prefix-map=$work=."

step "Debian package"
(cd "$src" &&
  DEB_BUILD_OPTIONS="nocheck noautodbgsym parallel=2" \
    dpkg-buildpackage -b -us -uc -Pnocheck > "$work/deb.log" 2>&1) ||
  { tail -n 40 "$work/deb.log"; die "dpkg-buildpackage failed (log: $work/deb.log)"; }
cp "$work/hazard-sim_${version}_amd64.deb" dist/

step "Linux archive"
ltop=hazard-sim-$version-linux-x86_64
cmake -S "$src" -B "$work/linux" -DCMAKE_BUILD_TYPE=Release -DHAZARD_SIM_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$prefix_map" \
  -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" > "$work/linux.log"
cmake --build "$work/linux" -j2 >> "$work/linux.log"
cmake --install "$work/linux" --prefix "$work/stage-linux/$ltop" --strip >> "$work/linux.log"
normalize "$work/stage-linux/$ltop" bin/hazard-sim
tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
  --mtime="@$SOURCE_DATE_EPOCH" -C "$work/stage-linux" -cf - "$ltop" |
  gzip -9n > "dist/$ltop.tar.gz"

step "Windows zip"
wtop=hazard-sim-$version-windows-x86_64
cmake -S "$src" -B "$work/win" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
  -DHAZARD_SIM_TESTS=OFF -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$prefix_map" \
  -DCMAKE_EXE_LINKER_FLAGS_RELEASE="-s -Wl,--no-insert-timestamp" > "$work/win.log"
cmake --build "$work/win" -j2 >> "$work/win.log"
w=$work/stage-win/$wtop
mkdir -p "$w/examples"
cp "$work/win/hazard-sim.exe" "$w/"
sed "s/@VERSION@/$version/g" "$src/packaging/windows/README.txt" | crlf > "$w/README.txt"
crlf < "$src/LICENSE" > "$w/LICENSE.txt"
mandoc -Thtml "$src/docs/hazard-sim.1" > "$w/hazard-sim.html"
for ex in "$src"/examples/*/; do
  name=$(basename "$ex")
  mkdir -p "$w/examples/$name/expected"
  for f in config.txt program.txt; do crlf < "$ex/$f" > "$w/examples/$name/$f"; done
  for f in "$ex"/expected/*; do crlf < "$f" > "$w/examples/$name/expected/$(basename "$f")"; done
done
normalize "$w" hazard-sim.exe
zip_tree "$root/dist/$wtop.zip" "$work/stage-win" "$wtop"

step "web page zip"
if [ -n "${RELEASE_WEB_SITE:-}" ]; then
  site=$(realpath "$RELEASE_WEB_SITE")
  [ -d "$site" ] || die "RELEASE_WEB_SITE=$RELEASE_WEB_SITE is not a folder"
  echo "note: packaging the site folder $site instead of building it"
elif [ -f "$src/scripts/web.sh" ]; then
  (cd "$src" && bash scripts/web.sh build > "$work/web.log" 2>&1) ||
    { tail -n 40 "$work/web.log"; die "scripts/web.sh build failed (log: $work/web.log)"; }
  site=$src/build-web/site
else
  die "this commit has no scripts/web.sh to build the web page (RELEASE_WEB_SITE=DIR packages a site folder)"
fi
[ -f "$site/index.html" ] || die "the site folder $site has no index.html"
btop=hazard-sim-$version-web
mkdir -p "$work/stage-web"
cp -R "$site" "$work/stage-web/$btop"
normalize "$work/stage-web/$btop"
zip_tree "$root/dist/$btop.zip" "$work/stage-web" "$btop"

(cd dist && sha256sum -- * > SHA256SUMS)
echo "== dist/, in $((SECONDS - t0))s"
(cd dist && ls -l --time-style=+ | tail -n +2 && cat SHA256SUMS)
