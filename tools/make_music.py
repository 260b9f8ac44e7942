#!/usr/bin/python3
"""Synthesises share/Lullwater.ogg, the calm looping tune played in the game.

Eight bars of C major pentatonic over C - Am - F - G. Every note is written
into a circular buffer, so tails that ring past the last bar land at the start
and the loop joins without a seam. Needs oggenc (vorbis-tools) for encoding.
"""

import array
import math
import os
import subprocess
import tempfile
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "share", "Lullwater.ogg")

RATE = 22050
BPM = 80
BEAT = 60.0 / BPM
BARS = 8
N = int(round(BARS * 4 * BEAT * RATE))
PEAK = 10 ** (-3.0 / 20)          # -3 dBFS keeps decoders and mixers from clipping
TWO_PI = 2 * math.pi

NOTE = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def freq(name):
    semis = NOTE[name[0]] + 12 * (int(name[1:]) + 1)
    return 440.0 * 2 ** ((semis - 69) / 12.0)


# Chord per bar: (root for the bass, tones for pad and arpeggio).
CHORDS = [
    ("C2", ["C3", "G3", "C4", "E4"]),
    ("A1", ["A2", "E3", "A3", "C4"]),
    ("F1", ["F2", "C3", "F3", "A3"]),
    ("G1", ["G2", "D3", "G3", "B3"]),
    ("C2", ["C3", "G3", "C4", "E4"]),
    ("A1", ["A2", "E3", "A3", "C4"]),
    ("F1", ["F2", "C3", "F3", "A3"]),
    ("G1", ["G2", "D3", "G3", "D4"]),
]

# Melody as (note, length in beats) per bar; the last bar climbs G4-A4 so the
# first bar's C5 arrives as the resolution when the tune wraps round.
MELODY = [
    [("C5", 1), ("E5", 1.5), ("D5", 0.5), ("C5", 1)],
    [("A4", 1), ("C5", 0.5), ("D5", 0.5), ("E5", 2)],
    [("A5", 1.5), ("G5", 0.5), ("E5", 1), ("C5", 1)],
    [("D5", 2.5), ("E5", 0.5), ("D5", 1)],
    [("C5", 1), ("E5", 1), ("G5", 1.5), ("A5", 0.5)],
    [("G5", 1), ("E5", 1), ("C5", 1), ("E5", 1)],
    [("A5", 1.5), ("G5", 0.5), ("E5", 0.5), ("D5", 0.5), ("C5", 1)],
    [("D5", 2), ("G4", 1), ("A4", 1)],
]


def new_bus():
    return array.array("d", bytes(8 * N))


def add_note(bus, start, length, voice, gain):
    """Adds voice(t) * gain for `length` seconds from `start`, wrapping round."""
    i0 = int(round(start * RATE))
    n = int(length * RATE)
    inv = 1.0 / RATE
    for i in range(n):
        k = (i0 + i) % N
        bus[k] += gain * voice(i * inv)


def bell(f, dur):
    # Soft FM mallet: the brightness fades faster than the note itself.
    def v(t):
        env = min(1.0, t / 0.006) * math.exp(-t / 0.55)
        rel = dur + 0.9
        if t > rel - 0.25:
            env *= max(0.0, (rel - t) / 0.25)
        idx = 1.6 * math.exp(-t / 0.18)
        ph = TWO_PI * f * t
        return env * (math.sin(ph + idx * math.sin(ph))
                      + 0.18 * math.exp(-t / 0.08) * math.sin(4.0 * ph))
    return v, dur + 0.9


def pluck(f):
    def v(t):
        env = min(1.0, t / 0.004) * math.exp(-t / 0.22)
        if t > 0.6:
            env *= max(0.0, (0.8 - t) / 0.2)
        ph = TWO_PI * f * t
        return env * (math.sin(ph) + 0.3 * math.sin(2 * ph) * math.exp(-t / 0.1))
    return v, 0.8


def bass(f, dur):
    def v(t):
        env = min(1.0, t / 0.01) * (0.55 + 0.45 * math.exp(-t / 0.3))
        if t > dur - 0.3:
            env *= max(0.0, (dur - t) / 0.3)
        ph = TWO_PI * f * t
        return env * (math.sin(ph) + 0.35 * math.sin(2 * ph) + 0.1 * math.sin(3 * ph))
    return v, dur


def pad(f, dur, detune):
    # Two slightly detuned sines beat slowly for a warm, moving chord.
    f2 = f * detune

    def v(t):
        env = min(1.0, t / 0.6)
        if t > dur - 0.9:
            env *= max(0.0, (dur - t) / 0.9)
        env *= env
        return env * (math.sin(TWO_PI * f * t) + 0.8 * math.sin(TWO_PI * f2 * t + 1.0)
                      + 0.15 * math.sin(TWO_PI * 2 * f * t))
    return v, dur


def echo(src, left, right, delay_beats, feedback, taps):
    # Ping-pong echo computed circularly so it also wraps across the loop.
    d = int(round(delay_beats * BEAT * RATE))
    for k in range(1, taps + 1):
        g = feedback ** k
        dst = left if k % 2 else right
        off = k * d
        for i in range(N):
            dst[i] += g * src[(i - off) % N]


def render():
    left, right = new_bus(), new_bus()
    mel = new_bus()
    bar = 4 * BEAT

    for b in range(BARS):
        t0 = b * bar
        root, tones = CHORDS[b]

        # Pad overlaps into the next bar so chord changes fade across.
        for j, name in enumerate(tones[1:]):
            v, ln = pad(freq(name), bar + 0.9, 1.0025 + 0.001 * j)
            add_note(left if j != 1 else right, t0, ln, v, 0.055)
            add_note(right if j != 1 else left, t0, ln, v, 0.035)

        for (beat, beats, name) in ((0, 2.5, root), (2.5, 1.5, root[0] + str(int(root[1:]) + 1))):
            v, ln = bass(freq(name), beats * BEAT + 0.05)
            add_note(left, t0 + beat * BEAT, ln, v, 0.17)
            add_note(right, t0 + beat * BEAT, ln, v, 0.17)

        for step, idx in enumerate((0, 1, 2, 3, 2, 1, 3, 1)):
            v, ln = pluck(freq(tones[idx]))
            pan = 0.7 if step % 2 == 0 else 0.35
            add_note(left, t0 + step * BEAT / 2, ln, v, 0.13 * pan)
            add_note(right, t0 + step * BEAT / 2, ln, v, 0.13 * (1 - pan))

        t = t0
        for name, beats in MELODY[b]:
            v, ln = bell(freq(name), beats * BEAT)
            add_note(mel, t, ln, v, 0.30)
            t += beats * BEAT

    for i in range(N):
        left[i] += mel[i]
        right[i] += mel[i]
    echo(mel, left, right, 0.75, 0.32, 4)
    return left, right


def main():
    left, right = render()
    peak = max(max(abs(x) for x in left), max(abs(x) for x in right))
    scale = PEAK * 32767 / peak
    pcm = array.array("h", bytes(4 * N))
    for i in range(N):
        pcm[2 * i] = int(round(left[i] * scale))
        pcm[2 * i + 1] = int(round(right[i] * scale))
    if pcm.itemsize != 2:
        raise SystemExit("need 16-bit array items")
    if array.array("h", [1]).tobytes()[0] != 1:
        pcm.byteswap()                  # WAV data is little-endian

    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    fd, wav_path = tempfile.mkstemp(suffix=".wav")
    os.close(fd)
    try:
        with wave.open(wav_path, "wb") as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(pcm.tobytes())
        # Fixed serial number: otherwise oggenc picks a random one per run.
        subprocess.run(["oggenc", "-Q", "-q", "2", "-s", "1234",
                        "-t", "Lullwater", "-o", OUT, wav_path], check=True)
    finally:
        os.remove(wav_path)


if __name__ == "__main__":
    main()
