#!/usr/bin/env bash
# Plays the game for a long time as a player would leave it running: the
# counter shown (its text rebuilt once a second), the right and down arrows
# held so that the scroll offsets and the sprite's position grow all along,
# and at every sample the music toggled, by Space and by p in turn. At a
# fixed interval it samples the game's resident memory and the GL texture
# names and SDL surfaces the game holds (counted by a preloaded library,
# bench/LiveCountShim.cpp), then reports their growth after the first
# minute, once everything is loaded and the GL driver has compiled what it
# draws with. A measurement, not a test: it never fails on the figures, only
# when the game does not start, dies on the way or does not quit cleanly.
#
#   tools/longrun.sh [seconds (600)] [interval (10)]
#
# Uses the build in $VEXLUME_BUILD_DIR (default build/), building the game
# and the counting library if needed (the benchmarks' build option), and the
# X server named in DISPLAY when it answers, else a virtual one of its own.
set -euo pipefail
. "$(dirname "$0")/../scripts/lib/common.sh"

duration=${1:-600}
interval=${2:-10}

build_options=(-DVEXLUME_BENCH=ON)
build vexlume vexlume_live_counts >/dev/null
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_virtual_display
fi

cd "$root"
log=$(mktemp)
counts=$(mktemp)
VEXLUME_COUNTS_FILE=$counts LD_PRELOAD=$build_dir/bench/libvexlume_live_counts.so \
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$build_dir/vexlume" >"$log" 2>&1 &
game=$!
cleanup() {
  xdotool keyup Right Down 2>/dev/null || true
  kill "$game" 2>/dev/null || true
  rm -f "$log" "$counts"
}
trap 'cleanup; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$game/status"; }
# "textures N surfaces M", as the counting library last wrote them.
live() { cat "$counts" 2>/dev/null || true; }

for _ in $(seq 1 100); do
  xdotool search --name '^Vexlume' >/dev/null 2>&1 && break
  kill -0 "$game" 2>/dev/null || { echo "The game ended at start:" >&2; cat "$log" >&2; exit 1; }
  sleep 0.1
done
sleep 1
# The window covers the screen; the pointer on it gives it the keyboard.
xdotool mousemove 840 525
xdotool key c
xdotool keydown Right Down

echo "Every ${interval} s for ${duration} s, counter shown, arrows held, music toggled at each sample:"
printf '%7s %10s %9s %9s  %s\n' time resident textures surfaces "music key"
times=()
rss=()
textures=()
surfaces=()
start=$(date +%s)
toggle=0
while :; do
  elapsed=$(( $(date +%s) - start ))
  kill -0 "$game" 2>/dev/null || { echo "The game ended during the run:" >&2; cat "$log" >&2; exit 1; }
  read -r _ t _ s <<<"$(live)" || true
  times+=("$elapsed")
  rss+=("$(rss_kb)")
  textures+=("${t:--}")
  surfaces+=("${s:--}")
  # Space halts and restarts the music, p pauses and resumes it.
  key=$([ $((toggle % 2)) -eq 0 ] && echo space || echo p)
  toggle=$((toggle + 1))
  xdotool key "$key"
  printf '%5d s %7d kB %9s %9s  %s\n' "$elapsed" "${rss[-1]}" "${textures[-1]}" "${surfaces[-1]}" "$key"
  [ "$elapsed" -ge "$duration" ] && break
  sleep "$interval"
done

xdotool keyup Right Down
xdotool key Escape
status=0
for _ in $(seq 1 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
wait "$game" || status=$?

# Growth is counted from the first sample taken a minute or more into the
# run (the last one when the run is shorter).
settled=$((${#times[@]} - 1))
for i in "${!times[@]}"; do
  if [ "${times[$i]}" -ge 60 ]; then
    settled=$i
    break
  fi
done
range() { printf '%s\n' "$@" | sort -n | sed -n '1p;$p' | paste -sd- -; }
after=("${rss[@]:$settled}")
echo "Samples: ${#times[@]}; resident ${rss[0]} kB at ${times[0]} s, ${rss[$settled]} kB at ${times[$settled]} s," \
  "${rss[-1]} kB at ${times[-1]} s"
echo "After ${times[$settled]} s: resident $(range "${after[@]}") kB, growth $(( rss[-1] - rss[settled] )) kB;" \
  "textures $(range "${textures[@]:$settled}"), surfaces $(range "${surfaces[@]:$settled}")"
echo "Exit status after Escape: ${status}"
[ "$status" -eq 0 ]
