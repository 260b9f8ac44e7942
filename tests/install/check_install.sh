#!/usr/bin/env bash
# Installs Vexlume into a scratch prefix and checks it as a player's system
# would see it: the desktop entry and the AppStream metadata validate, the
# manual pages render without warnings, the data is complete, the installed
# launcher starts the game from an unrelated directory and a quit with Escape
# ends it with status 0; then the Debian package is built and must hold the
# same files.
#
# Usage: check_install.sh BUILD_DIR SOURCE_DIR   (needs DISPLAY: an X server
# with GLX at 1680x1050x24, as scripts/test starts)
set -euo pipefail

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
: "${DISPLAY:?an X server is needed to start the installed game}"

scratch=$(mktemp -d)
game=
cleanup() {
  if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

step() {
  echo "== $*"
}

prefix=$scratch/prefix
step "cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
  { cat "$scratch/install.log" >&2; fail "cmake --install"; }

# The games directories as this build was configured (lib may be multiarch).
cached() {
  sed -n "s|^$1:[A-Z]*=||p" "$build/CMakeCache.txt"
}
launcher=$prefix/$(cached VEXLUME_GAMES_BINDIR)/vexlume
mapcheck=$prefix/$(cached VEXLUME_GAMES_BINDIR)/vexlume-mapcheck
program=$prefix/$(cached VEXLUME_GAMES_LIBDIR)/vexlume
datadir=$prefix/$(cached VEXLUME_GAMES_DATADIR)
desktop=$prefix/share/applications/vexlume.desktop
metainfo=$prefix/share/metainfo/io.github.vexlume.Vexlume.metainfo.xml

for f in "$launcher" "$mapcheck" "$program"; do
  [ -f "$f" ] && [ -x "$f" ] || fail "$f is not an installed program"
done
for f in "$desktop" "$metainfo" "$prefix/share/doc/vexlume/copyright"; do
  [ -f "$f" ] || fail "$f is not installed"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/vexlume.png
  [ -f "$icon" ] || fail "$icon is not installed"
  file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "$icon: $(file -b "$icon")"
done

step "data: every file of share/ is installed unchanged"
for f in "$source"/share/*; do
  name=$(basename "$f")
  cmp -s "$f" "$datadir/share/$name" || fail "share/$name is missing or differs in $datadir/share"
done
extra=$(comm -13 <(cd "$source/share" && ls) <(cd "$datadir/share" && ls))
[ -z "$extra" ] || fail "installed data files that share/ does not have: $extra"

step "desktop-file-validate"
desktop-file-validate "$desktop" || fail "desktop-file-validate"

step "appstreamcli validate --no-net"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"

step "manual pages render without warnings"
for page in vexlume vexlume-mapcheck; do
  path=$prefix/share/man/man6/$page.6.gz
  [ -f "$path" ] || fail "$path is not installed"
  warnings=$(zcat "$path" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page(6): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$path" 2>/dev/null | grep -q "^NAME" ||
    fail "man -l $path shows no NAME section"
done
man_text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/share/man/man6/vexlume.6.gz" 2>/dev/null)
grep -q "vexlume-mapcheck(6)" <<<"$man_text" || fail "vexlume(6) does not point to vexlume-mapcheck(6)"

step "vexlume-mapcheck reads the installed map from the data directory"
(cd "$datadir" && "$mapcheck" share/test.map) >"$scratch/mapcheck.out" 2>&1 ||
  { cat "$scratch/mapcheck.out" >&2; fail "vexlume-mapcheck share/test.map in $datadir"; }
"$mapcheck" --help | grep -q "^Usage: vexlume-mapcheck" || fail "vexlume-mapcheck --help"

step "the installed launcher, started from /, runs the game until Escape"
(cd / && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec "$launcher") \
  >"$scratch/game.out" 2>"$scratch/game.err" &
game=$!
window=
for _ in $(seq 1 300); do
  window=$(xdotool search --pid "$game" --name '^Vexlume$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  if ! kill -0 "$game" 2>/dev/null; then
    status=0
    wait "$game" || status=$?
    game=
    cat "$scratch/game.err" >&2
    fail "the game ended with status $status before its window appeared"
  fi
  sleep 0.1
done
[ -n "$window" ] || fail "no window named Vexlume within 30 s"
# The launcher must have become the game, running in the data directory.
[ "$(readlink "/proc/$game/exe")" = "$(readlink -f "$program")" ] ||
  fail "process $game runs $(readlink "/proc/$game/exe"), not $program"
[ "$(readlink "/proc/$game/cwd")" = "$(readlink -f "$datadir")" ] ||
  fail "the game runs in $(readlink "/proc/$game/cwd"), not in $datadir"
# Docks group a window under the launcher whose StartupWMClass names the
# window's class.
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wm_class" ] && [ "$wm_class" = "$startup_class" ] ||
  fail "the window's class is '$wm_class', the desktop entry's StartupWMClass '$startup_class'"
sleep 1
xdotool key Escape
status=
for _ in $(seq 1 150); do
  if ! kill -0 "$game" 2>/dev/null; then
    status=0
    wait "$game" || status=$?
    game=
    break
  fi
  sleep 0.1
done
[ -n "$status" ] || fail "the game did not end within 15 s of Escape"
if [ "$status" -ne 0 ]; then
  cat "$scratch/game.err" >&2
  fail "the installed game ended with status $status"
fi
[ ! -s "$scratch/game.err" ] || { cat "$scratch/game.err" >&2; fail "the game wrote to standard error"; }

step "cpack -G DEB holds the installed files"
packdir=$scratch/package
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$packdir" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
debs=("$packdir"/vexlume_*_"$(dpkg --print-architecture)".deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { ls -R "$packdir" >&2; fail "cpack made no single vexlume package"; }
deb=${debs[0]}
dpkg-deb -f "$deb" Package Section Maintainer Depends
# Regular files and links, as paths below the prefix (/usr in the package).
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort >"$scratch/package.list"
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/installed.list"
diff -u "$scratch/installed.list" "$scratch/package.list" ||
  fail "the package's files differ from the installed tree's"
echo "package $(basename "$deb"): $(wc -l <"$scratch/package.list") files, the same as installed"
