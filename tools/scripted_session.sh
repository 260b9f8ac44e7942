#!/usr/bin/env bash
# Plays a short scripted session of the real game on a virtual X server,
# with SDL's disk audio driver standing in for a sound card, and saves
# screenshots into the folder given (default: screenshots/).
# Expects the game built in the build directory; scripts/run sees to that.
set -euo pipefail
. "$(dirname "$0")/../scripts/lib/common.sh"

out=${1:-$root/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
start_virtual_display

audio="$out/session-audio.raw"
rm -f "$audio"
cd "$root"
# SDL warns of that driver on standard error, as if it were a mistake; here it
# is the point, and a newcomer should not take the line for a failure.
echo "Sound goes to a file through SDL's disk audio driver: SDL's CRITICAL lines about it are expected."
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" "$build_dir/vexlume" &
game=$!

# Dumps are converted after the session, so that a shot taken while a key is
# held does not stretch how long it is held.
shots=()
shot() {
  xwd -root -silent > "$out/$1.xwd"
  shots+=("$1")
}

for i in $(seq 1 100); do
  xdotool search --name '^Vexlume$' >/dev/null 2>&1 && break
  kill -0 $game 2>/dev/null || { wait $game; exit $?; }
  sleep 0.1
done
# The window comes before the first frame, which on a slow machine (under an
# emulator, half a minute later) would come after keys pressed into the
# loading game and shots of a black screen. The keys wait for the stars: the
# lower half of the screen is black until the game has drawn a frame.
drawn() {
  xwd -root -silent | python3 -c '
import sys
dump = sys.stdin.buffer.read()
sys.exit(not dump[len(dump) // 2:].strip(b"\0"))'
}
for i in $(seq 1 240); do
  drawn && break
  kill -0 $game 2>/dev/null || { wait $game; exit $?; }
  sleep 0.5
done
sleep 1
shot 01-start

xdotool keydown Right; sleep 3; shot 02-walking-right; xdotool keyup Right
xdotool keydown Left; sleep 1; shot 03-walking-left; xdotool keyup Left
xdotool keydown shift Up; sleep 0.6; shot 04-shift-up; xdotool keyup Up shift
xdotool key c; sleep 2.5; shot 05-counter
xdotool key p; sleep 1; shot 06-music-paused
xdotool key p; sleep 1
xdotool key Escape

status=0
wait $game || status=$?
for name in "${shots[@]}"; do
  python3 "$root/tools/xwd2png.py" "$out/$name.xwd" "$out/$name.png"
  rm -f "$out/$name.xwd"
  echo "saved $out/$name.png"
done
if [ -f "$audio" ]; then
  python3 - "$audio" <<'PY'
import array, math, sys
samples = array.array("h", open(sys.argv[1], "rb").read())
rms = math.sqrt(sum(s * s for s in samples) / max(1, len(samples)))
print("music level over the session (RMS): %.0f of 32767" % rms)
PY
  rm -f "$audio"
fi
echo "the game exited with status $status; screenshots are in $out"
exit $status
