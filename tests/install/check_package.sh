#!/usr/bin/env bash
# Builds the Debian package twice from the sources, the way docs/installing.md
# tells a packager to, and checks it as Debian takes a package: both builds
# give the same contents, lintian finds no error or warning, it holds exactly
# what `cmake --install` installs, and it brings SDL 1.2 as sdl12-compat.
# Usage: check_package.sh SOURCE_DIR
set -euo pipefail
source=$(cd "$1" && pwd)
scratch=$(mktemp -d) && trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }

# The two builds share a date, as a distribution's builders do; their
# directory, umask and time zone differ.
export SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || echo 1767225600)
package() {
  local dir=$scratch/$1
  (
    umask "$2" && export TZ=$3
    cmake -S "$source" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVEXLUME_TESTS=OFF -DVEXLUME_BENCH=OFF
    cmake --build "$dir" -j"$(nproc)"
    cd "$dir" && cpack -G DEB
  ) >"$dir.log" 2>&1 || { cat "$dir.log" >&2; fail "packaging in $dir"; }
}
package one 022 UTC0
package two 002 NZST-12
name=$(cd "$scratch/one" && echo vexlume_*_"$(dpkg --print-architecture)".deb) && deb=$scratch/one/$name
[ -f "$deb" ] || fail "cpack made no single vexlume package"
# CPack gives the archive's members the mode of its umask, so only what they
# hold can be equal under any umask.
for member in $(ar t "$deb"); do
  cmp <(ar p "$deb" "$member") <(ar p "$scratch/two/$name" "$member") || {
    diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$scratch/two/$name") >&2
    fail "two builds of the same sources gave a different $member"
  }
done
lintian --fail-on error,warning "$deb" >"$scratch/lintian" 2>&1 ||
  { cat "$scratch/lintian" >&2; fail "lintian found errors or warnings"; }
cmake --install "$scratch/one" --prefix "$scratch/prefix" >/dev/null
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort >"$scratch/package.list"
(cd "$scratch/prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/installed.list"
diff -u "$scratch/installed.list" "$scratch/package.list" || fail "the package's files differ from the installed tree's"

# Some dependency must name this machine's sdl12-compat package in a form the classic SDL 1.2, which ended at
# 1.2.15, cannot meet: apt then has no choice but sdl12-compat, wherever the package is installed.
classic=1.2.15+dfsg2-8
link=$(pkg-config --variable=libdir sdl)/libSDL-1.2.so.0
sdl=$(dpkg-query -S "$link" | cut -d: -f1)
read -r sdl_version origin <<<"$(dpkg-query -W -f='${Version} ${source:Package}' "$sdl")"
[ "$origin" = sdl12-compat ] || fail "$link is not sdl12-compat's but $sdl's"
meets() { # PACKAGE VERSION ALTERNATIVE: whether that version of the package meets the alternative
  local name relation version
  read -r name relation version <<<"$(tr -d '()' <<<"$3")"
  [ "$name" = "$1" ] && { [ -z "$relation" ] || dpkg --compare-versions "$2" "$relation" "$version"; }
}
depends=$(dpkg-deb -f "$deb" Depends) found=
while read -r clause; do
  named= classic_meets=
  while read -r alternative; do
    meets "$sdl" "$sdl_version" "$alternative" && named=1
    meets libsdl1.2debian "$classic" "$alternative" && classic_meets=1
  done < <(tr '|' '\n' <<<"$clause")
  [ -n "$named" ] && [ -z "$classic_meets" ] && found=1
done < <(tr ',' '\n' <<<"$depends")
[ -n "$found" ] || fail "no dependency asks for $sdl $sdl_version (sdl12-compat) over the classic SDL 1.2: $depends"
twice=$(tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }' | sort | uniq -d | paste -sd ' ')
[ -z "$twice" ] || fail "Depends should name each package once, names $twice more than once: $depends"
echo "package check: $name is the same from two builds, clean under lintian, and brings $sdl $sdl_version"
