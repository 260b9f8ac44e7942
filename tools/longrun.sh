#!/usr/bin/env bash
# Plays the game for a long time with the right and down arrows held, so
# that the scroll offsets and the sprite's position grow all along, samples
# the game's resident memory at a fixed interval and reports its growth. A
# measurement, not a test: it never fails on the figures, only when the game
# does not start, dies on the way or does not quit cleanly at the end.
#
#   tools/longrun.sh [seconds (600)] [interval (10)]
#
# Uses the build in $VEXLUME_BUILD_DIR (default build/), building the game
# if needed, and the X server named in DISPLAY when it answers, else a
# virtual one of its own.
set -euo pipefail
. "$(dirname "$0")/../scripts/lib/common.sh"

duration=${1:-600}
interval=${2:-10}

build vexlume >/dev/null
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_virtual_display
fi

cd "$root"
log=$(mktemp)
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$build_dir/vexlume" >"$log" 2>&1 &
game=$!
cleanup() {
  xdotool keyup Right Down 2>/dev/null || true
  kill "$game" 2>/dev/null || true
  rm -f "$log"
}
trap 'cleanup; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$game/status"; }

for _ in $(seq 1 100); do
  xdotool search --name '^Vexlume' >/dev/null 2>&1 && break
  kill -0 "$game" 2>/dev/null || { echo "The game ended at start:" >&2; cat "$log" >&2; exit 1; }
  sleep 0.1
done
sleep 1
# The window covers the screen; the pointer on it gives it the keyboard.
xdotool mousemove 840 525
xdotool keydown Right Down

echo "Resident memory of the game, every ${interval} s for ${duration} s, arrows held:"
samples=()
start=$(date +%s)
while :; do
  elapsed=$(( $(date +%s) - start ))
  kill -0 "$game" 2>/dev/null || { echo "The game ended during the run:" >&2; cat "$log" >&2; exit 1; }
  kb=$(rss_kb)
  samples+=("$kb")
  printf '%5d s  %8d kB\n' "$elapsed" "$kb"
  [ "$elapsed" -ge "$duration" ] && break
  sleep "$interval"
done

xdotool keyup Right Down
xdotool key Escape
status=0
for _ in $(seq 1 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
wait "$game" || status=$?

first=${samples[0]}
last=${samples[-1]}
# The first sample is taken while the game settles; growth is counted from
# the second, once every picture, the font and the music are in place.
settled=${samples[1]:-$first}
min=$(printf '%s\n' "${samples[@]:1}" | sort -n | head -1)
max=$(printf '%s\n' "${samples[@]:1}" | sort -n | tail -1)
echo "Samples: ${#samples[@]}; first ${first} kB, after settling ${settled} kB, last ${last} kB"
echo "Range after settling: ${min}-${max} kB; growth from settling to end: $(( last - settled )) kB"
echo "Exit status after Escape: ${status}"
[ "$status" -eq 0 ]
