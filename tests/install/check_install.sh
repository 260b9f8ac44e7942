#!/usr/bin/env bash
# Installs Vexlume into a scratch prefix and checks it as a player's system
# sees it: desktop entry, AppStream metadata and manual pages validate, the
# data is complete, and the installed launcher runs the game from / until
# Escape.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR   (needs DISPLAY: an X server with GLX)
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
: "${DISPLAY:?an X server is needed to start the installed game}"
scratch=$(mktemp -d)
game=
trap '[ -z "$game" ] || kill "$game" 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }

prefix=$scratch/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"; then
  cat "$scratch/install.log" >&2
  fail "cmake --install"
fi
cached() { sed -n "s|^$1:[A-Z]*=||p" "$build/CMakeCache.txt"; }
bindir=$prefix/$(cached VEXLUME_GAMES_BINDIR)
program=$prefix/$(cached VEXLUME_GAMES_LIBDIR)/vexlume
datadir=$prefix/$(cached VEXLUME_GAMES_DATADIR)
desktop=$prefix/share/applications/vexlume.desktop
metainfo=$prefix/share/metainfo/io.github.vexlume.Vexlume.metainfo.xml
for f in "$bindir/vexlume" "$bindir/vexlume-mapcheck" "$program" "$prefix/share/doc/vexlume/copyright"; do
  [ -s "$f" ] || fail "$f is not installed"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/vexlume.png
  file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" || fail "$icon is not a ${size}px icon"
done
diff -r "$source/share" "$datadir/share" || fail "the installed data differs from share/"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
for page in vexlume vexlume-mapcheck; do
  path=$prefix/share/man/man6/$page.6.gz
  warnings=$(zcat "$path" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1) && [ -z "$warnings" ] ||
    fail "$page(6): $warnings"
done
LC_ALL=C.UTF-8 man -l "$prefix/share/man/man6/vexlume.6.gz" 2>/dev/null | grep -q "vexlume-mapcheck(6)" ||
  fail "vexlume(6) does not point to vexlume-mapcheck(6)"
# The installed checker finds the tile set in the installed data wherever it is started, and checks the whole
# data folder clean.
(cd / && "$bindir/vexlume-mapcheck" "$datadir/share/test.map") >"$scratch/out" ||
  { cat "$scratch/out" >&2; fail "vexlume-mapcheck $datadir/share/test.map from /"; }
grep -q "from $datadir (the game's directory)" "$scratch/out" ||
  { cat "$scratch/out" >&2; fail "vexlume-mapcheck did not look for the tile set in $datadir"; }
(cd / && "$bindir/vexlume-mapcheck" --data "$datadir") >"$scratch/out" ||
  { cat "$scratch/out" >&2; fail "vexlume-mapcheck --data $datadir"; }
# The installed checker enables the installed Tiled format, and names the installed game's directory to it.
config=$scratch/config
XDG_CONFIG_HOME=$config "$bindir/vexlume-mapcheck" --enable-tiled >"$scratch/out" ||
  { cat "$scratch/out" >&2; fail "vexlume-mapcheck --enable-tiled"; }
[ "$(readlink -f "$config/tiled/extensions/vexlume/vexlume.js")" = "$(readlink -f "$datadir/tiled/vexlume.js")" ] ||
  fail "--enable-tiled did not link the installed $datadir/tiled/vexlume.js"
grep -qxF "game=$datadir" "$config/tiled/extensions/vexlume/places.txt" ||
  fail "--enable-tiled did not name $datadir as the game's directory: $(cat "$config/tiled/extensions/vexlume/places.txt")"
# --play finds the installed game and its data from anywhere; without sound the game stops at once, and its
# line and status come through.
status=0
(cd / && SDL_AUDIODRIVER=no-such-driver "$bindir/vexlume-mapcheck" --play "$datadir/share/test.map") >"$scratch/out" \
  2>"$scratch/err" || status=$?
[ "$status" -eq 1 ] && grep -q '^Unable to initialize the audio system: ' "$scratch/err" ||
  { cat "$scratch/out" "$scratch/err" >&2; fail "vexlume-mapcheck --play did not start the installed game"; }

# --version and --help answer without starting the game, which without a display would end with status 1.
version=$(cd / && env -u DISPLAY "$bindir/vexlume" --version 2>&1) ||
  fail "vexlume --version: status $?, not 0: $version"
help=$(cd / && env -u DISPLAY "$bindir/vexlume" --help 2>&1) || fail "vexlume --help: status $?, not 0: $help"
for named in "$(readlink -f "$datadir")/share" "$(readlink -f "$bindir")/vexlume-mapcheck" "man vexlume" \
  "$(readlink -f "$prefix/share/doc/vexlume")/tiled.md"; do
  grep -qF "$named" <<<"$help" || fail "vexlume --help does not name $named: $help"
done

# The launcher must become the game, running in the data directory, with the
# window class the desktop entry names so that docks group it. An argument
# it does not know is not passed on.
(cd / && SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec "$bindir/vexlume" --windowed) >"$scratch/out" \
  2>"$scratch/err" &
game=$!
for _ in $(seq 300); do
  window=$(xdotool search --pid "$game" --name '^Vexlume$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  kill -0 "$game" 2>/dev/null || { cat "$scratch/err" >&2; fail "the game ended before its window appeared"; }
  sleep 0.1
done
[ -n "$window" ] || fail "no window named Vexlume within 30 s"
! grep -qzx -- --windowed "/proc/$game/cmdline" || fail "the launcher passed --windowed on to the game"
# Under an emulator started by binfmt_misc (qemu-user, for another
# architecture), /proc/PID/exe names the emulator; the program it runs is
# mapped from its file, so /proc/PID/maps names it there.
exe=$(readlink "/proc/$game/exe")
if [[ ${exe##*/} == qemu-* || $exe == */qemu-binfmt/* ]]; then
  mapped() { awk -v file="$1" '$6 == file { found = 1 } END { exit !found }' "/proc/$game/maps"; }
  mapped "$(readlink -f "$program")" || fail "the launcher did not become $program: $exe maps no such file"
else
  [ "$exe" = "$(readlink -f "$program")" ] || fail "the launcher did not become $program but $exe"
fi
[ "$(readlink "/proc/$game/cwd")" = "$(readlink -f "$datadir")" ] || fail "the game does not run in $datadir"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
xprop -id "$window" WM_CLASS | grep -q "\"$wm_class\"$" || fail "WM_CLASS is not StartupWMClass"
sleep 1
xdotool key Escape
status=0
timeout 15 tail --pid="$game" -f /dev/null && wait "$game" || status=$?
game=
[ "$status" -eq 0 ] && [ ! -s "$scratch/err" ] ||
  { cat "$scratch/err" >&2; fail "the game should end with status 0, silent on standard error: status $status"; }
banner=$(head -n 1 "$scratch/out")
[ "$banner" = "$version" ] || fail "vexlume --version should print the game's banner '$banner', printed '$version'"
echo "install check: the installed tree is complete and its launcher plays the game"
