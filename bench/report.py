#!/usr/bin/env python3
"""Prints the table of one scripts/bench run from the files it left in a
directory: the frame benchmarks' JSON for both back-ends, the first-frame
logs of the start-up runs, the traced file opens and the played stretch."""

import json
import os
import re
import statistics
import sys

FRAME_MS = 40.0
PART_TARGET = 1.10
FRAME_SHARE_TARGET = 0.40
START_TARGET_MS = 150.0

PARTS = [
    ("floor", "BeginDraw + EndDraw alone"),
    ("stars", "5000 stars"),
    ("pictures", "the two pictures"),
    ("tilemap", "8 x 6 tile map window (63 cells)"),
    ("sprite", "the sprite"),
    ("counter", "the counter text"),
    ("frame", "whole frame, as the main loop draws it"),
]
# Software parts run ten times over per measured run.
SDL_PART_REPEAT = 10


def read_pairs(path):
    with open(path) as f:
        data = json.load(f)
    pairs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].split("/")[0]
        pairs[name.split(".", 1)[1]] = b
    return pairs


def read_keys(path):
    values = {}
    if not os.path.exists(path):
        return values
    with open(path) as f:
        for line in f:
            key, _, value = line.strip().partition(" ")
            values[key] = value
    return values


def verdict(ok):
    return "met" if ok else "MISSED"


def frame_table(backend, pairs):
    gl = backend == "gl"
    rows = []
    floor = pairs.get("floor")
    for key, label in PARTS:
        b = pairs.get(key)
        if not b:
            continue
        ours, plain = b["ours_ms"], b["bare_ms"]
        scale = SDL_PART_REPEAT if (not gl and key not in ("floor", "frame")) else 1
        ours, plain = ours / scale, plain / scale
        cpu_ours, cpu_bare = b["ours_cpu_ms"] / scale, b["bare_cpu_ms"] / scale
        # A GL part is measured inside its frame; what it adds to the floor
        # is shown apart. Software parts are measured on their own.
        if gl and key not in ("floor", "frame") and floor:
            added_ours = ours - floor["ours_ms"]
            added_bare = plain - floor["bare_ms"]
            added = "%7.3f %7.3f %6.2f" % (
                added_ours, added_bare, added_ours / added_bare if added_bare > 0.05 else float("nan"))
        else:
            added = "%7s %7s %6s" % ("", "", "")
        rows.append("%-40s %8.3f %8.3f %6.3f  %5.2f-%-5.2f %s  %7.3f %7.3f %6.3f  %s" % (
            label, ours, plain, b["ratio"], b["ratio_q1"], b["ratio_q3"], added,
            cpu_ours, cpu_bare, b["cpu_ratio"], verdict(b["ratio"] <= PART_TARGET)))
    return rows


def main(directory):
    machine = read_keys(os.path.join(directory, "machine.txt"))
    print()
    print("Vexlume performance: %s, %s cores; %s (%s); load average at the end %s" % (
        machine.get("cpu", "?"), machine.get("nproc", "?"), machine.get("renderer", "?"),
        machine.get("gl_version", "?"), machine.get("load", "?")))
    print()
    print("Frame at 1680 x 1050. ms are medians; ratio = ours / bare, the median of runs taken in turn,")
    print("with its quartiles. GL parts are drawn inside the frame bracket; 'added' is the part minus the")
    print("floor. Software parts are timed on their own, per draw. cpu = the calling thread's processor time.")
    header = "%-40s %8s %8s %6s  %11s %7s %7s %6s  %7s %7s %6s  %s" % (
        "part", "ours", "bare", "ratio", "quartiles", "added", "added", "ratio", "cpu", "cpu", "ratio",
        "<= 1.10")
    sub = "%-40s %8s %8s %6s  %11s %7s %7s %6s  %7s %7s %6s" % (
        "", "ms", "ms", "", "", "ours", "bare", "", "ours", "bare", "")
    frame_share = None
    for backend, title in (("gl", "OpenGL back-end (the game's)"), ("sdl", "SDL software back-end")):
        path = os.path.join(directory, backend + ".json")
        if not os.path.exists(path):
            continue
        pairs = read_pairs(path)
        print()
        print(title)
        print(header)
        print(sub)
        for row in frame_table(backend, pairs):
            print(row)
        if backend == "gl" and "frame" in pairs:
            frame_share = pairs["frame"]["ours_ms"] / FRAME_MS

    print()
    if frame_share is not None:
        print("Whole OpenGL frame: %.1f ms of the 40 ms frame = %.1f %% (target <= 40 %%): %s" % (
            frame_share * FRAME_MS, frame_share * 100, verdict(frame_share <= FRAME_SHARE_TARGET)))

    starts = {}
    for name in sorted(os.listdir(directory)):
        m = re.match(r"start-(game|bare)-\d+\.log$", name)
        if m:
            values = read_keys(os.path.join(directory, name))
            if "first_frame_ms" in values:
                starts.setdefault(m.group(1), []).append(values)
    if "game" in starts and "bare" in starts:
        def median(program, key):
            return statistics.median(float(v[key]) for v in starts[program])

        def quartiles(program, key):
            values = [float(v[key]) for v in starts[program]]
            if len(values) < 2:
                return values[0], values[0]
            q = statistics.quantiles(values, n=4)
            return q[0], q[2]

        print()
        print("Start-up, medians of %d starts of each program taken in turn (ms)   game     bare  game-bare" %
              len(starts["game"]))
        for key, label in (
                ("to_sdl_init_ms", "process start to SDL_Init (shared libraries)"),
                ("to_mode_set_ms", "SDL_Init to mode set (SDL, audio, fonts, X, GL)"),
                ("video_mode_ms", "  of which SDL_SetVideoMode, the same call in both"),
                ("to_first_clear_ms", "mode set to first clear (loading the scene)"),
                ("first_draw_ms", "drawing the first frame"),
                ("first_present_ms", "presenting it")):
            g, b = median("game", key), median("bare", key)
            print("  %-62s %7.0f  %7.0f  %7.0f" % (label, g, b, g - b))
        g, b = median("game", "first_frame_ms"), median("bare", "first_frame_ms")
        gq, bq = quartiles("game", "first_frame_ms"), quartiles("bare", "first_frame_ms")
        print("  %-62s %7.0f  %7.0f  %7.0f" % ("first presented frame", g, b, g - b))
        print("  %-62s %3.0f-%-4.0f %3.0f-%-4.0f" % ("  its quartiles", gq[0], gq[1], bq[0], bq[1]))
        fastest_g = min(float(v["first_frame_ms"]) for v in starts["game"])
        fastest_b = min(float(v["first_frame_ms"]) for v in starts["bare"])
        print("  %-62s %7.0f  %7.0f  %7.0f" % ("  the fastest start", fastest_g, fastest_b, fastest_g - fastest_b))
        # The mode call is the same in both programs and holds most of the
        # spread between starts; what is left is what the game does besides.
        outside = lambda p: statistics.median(
            float(v["first_frame_ms"]) - float(v["video_mode_ms"]) for v in starts[p])
        og, ob = outside("game"), outside("bare")
        print("  %-62s %7.0f  %7.0f  %7.0f" % ("  everything but SDL_SetVideoMode", og, ob, og - ob))
        pg, pb = median("game", "processor_to_first_frame_ms"), median("bare", "processor_to_first_frame_ms")
        print("  %-62s %7.0f  %7.0f  %7.0f" % ("processor time of all threads until then", pg, pb, pg - pb))
        print("  %-62s %7.0f  %7.0f" % ("shared libraries mapped", median("game", "libraries"),
                                        median("bare", "libraries")))
        for key, label in (("resident_before_mode_kb", "resident memory before the mode is set (MB)"),
                           ("resident_after_mode_kb", "  after it is set"),
                           ("resident_at_first_clear_kb", "  when the first frame begins"),
                           ("peak_kb", "  peak, once the first frame is presented")):
            g2, b2 = median("game", key) / 1024, median("bare", key) / 1024
            print("  %-62s %7.1f  %7.1f  %7.1f" % (label, g2, b2, g2 - b2))
        print("The game's first frame is %.0f ms after the bare program's (target <= 150 ms): %s; it uses "
              "%.0f ms more processor time to get there" % (g - b, verdict(g - b <= START_TARGET_MS), pg - pb))
        print()

    opens_path = os.path.join(directory, "opens.txt")
    if os.path.exists(opens_path):
        counts = {}
        with open(opens_path) as f:
            for line in f:
                m = re.search(r'open(?:at)?\((?:AT_FDCWD, )?"((?:\./)?share/[^"]+)".*= (\d+)', line)
                if m:
                    counts[m.group(1)] = counts.get(m.group(1), 0) + 1
        listed = ", ".join("%s %d" % (os.path.basename(k), v) for k, v in sorted(counts.items()))
        print("Data files opened while loading: %s: %s" % (
            listed or "none seen", verdict(bool(counts) and all(v == 1 for v in counts.values()))))

    play = read_keys(os.path.join(directory, "play.txt"))
    frames = read_keys(os.path.join(directory, "play-frames.log"))
    if play:
        seconds = int(play["seconds"]) / 1000.0
        tps = float(play["ticks_per_second"])
        share = int(play["game_ticks"]) / tps / seconds
        line = "Played %.1f s: the game used %.0f %% of one core" % (seconds, share * 100)
        if play.get("xserver_known") == "1":
            line += ", the X server %.0f %%" % (int(play["xserver_ticks"]) / tps / seconds * 100)
        if frames.get("frames"):
            count = int(frames["frames"])
            span = float(frames["frames_span_ms"]) / 1000.0
            if span > 0:
                line += "; %.1f frames a second over the whole run" % ((count - 1) / span)
        print(line)
        print("Peak resident memory: %.1f MB; exit status after Escape: %s" % (
            int(play["peak_kb"]) / 1024.0, play["exit_status"]))


if __name__ == "__main__":
    main(sys.argv[1])
