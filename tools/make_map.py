#!/usr/bin/python3
"""Builds share/test.map: a small island with a village, fields, a river and woods.

The map is laid out from a few shapes plus hash noise for the ground cover, so
it is easy to rearrange yet rebuilds to the same bytes every time.
"""

import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "share", "test.map")

COLS, ROWS = 40, 30
TILE_W = TILE_H = 32
TILESET = "share/Tiles.png"     # opened by the game relative to the repo root

# Tile numbers in share/Tiles.png (column n % 8, row n // 8).
GRASS, TALL, FLOWERS, SOIL, PATH, WATER, SAND, COBBLE = range(8)
BUSH, TREE, BRICK, ROOF, DOOR, BRIDGE, WHEAT, WINDOW = range(8, 16)


def noise(x, y, seed):
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    n ^= n >> 16
    return (n & 0xFFFF) / 65536.0


def build():
    g = [[GRASS] * COLS for _ in range(ROWS)]

    def put(x, y, t):
        if 0 <= x < COLS and 0 <= y < ROWS:
            g[y][x] = t

    def fill(x0, y0, w, h, t):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                put(x, y, t)

    # Ground cover: patches of tall grass and the odd flower keep every
    # screenful varied, so scrolling is always visible.
    for y in range(ROWS):
        for x in range(COLS):
            n = noise(x // 2, y // 2, 1) * 0.6 + noise(x, y, 2) * 0.4
            if n > 0.66:
                g[y][x] = TALL
            elif noise(x, y, 3) > 0.93:
                g[y][x] = FLOWERS

    # The sea all round with a ragged beach.
    for y in range(ROWS):
        for x in range(COLS):
            d = min(x, y, COLS - 1 - x, ROWS - 1 - y)
            # Wobble in runs of three tiles so the coast reads as bays, not noise.
            wob = 1 if noise(x // 3, y // 3, 4) > 0.6 else 0
            if d < 1 + wob:
                g[y][x] = WATER
            elif d < 2 + wob:
                g[y][x] = SAND

    # River from the northern shore winding down to the southern one.
    river = {}
    for y in range(ROWS):
        cx = int(round(27 + 2.2 * math.sin(y / 4.5)))
        river[y] = cx
        put(cx, y, WATER)
        put(cx + 1, y, WATER)
        if noise(cx, y, 5) > 0.6:
            put(cx - 1, y, SAND)
        if noise(cx + 2, y, 6) > 0.6:
            put(cx + 2, y, SAND)

    # Roads: east-west across the bridge, north-south through the village.
    road_y, road_x = 14, 12
    for x in range(2, COLS - 2):
        put(x, road_y, PATH)
    for y in range(2, ROWS - 2):
        put(road_x, y, PATH)
    for x in (river[road_y] - 1, river[road_y], river[road_y] + 1, river[road_y] + 2):
        put(x, road_y, BRIDGE)
    # A jetty where the road meets the southern sea.
    put(road_x, ROWS - 2, BRIDGE)
    put(road_x, ROWS - 1, BRIDGE)

    # Village square with a fountain at the crossroads.
    fill(road_x - 3, road_y - 2, 7, 5, COBBLE)
    fill(road_x - 1, road_y - 1, 3, 3, COBBLE)
    put(road_x, road_y, WATER)

    def house(x, y, w, door_at):
        fill(x, y, w, 2, ROOF)
        for i in range(w):
            put(x + i, y + 2, DOOR if i == door_at else (WINDOW if i % 2 == 0 else BRICK))
        # Little path from the door down to the nearest road.
        yy = y + 3
        while 0 <= yy < ROWS and g[yy][x + door_at] not in (PATH, COBBLE, BRIDGE):
            put(x + door_at, yy, PATH)
            yy += 1

    house(3, 3, 4, 1)
    house(8, 2, 3, 1)
    house(15, 3, 5, 2)
    house(5, 9, 3, 1)
    house(18, 9, 4, 1)
    house(21, 4, 3, 1)

    # Farm fields south-west, hedged with bushes.
    fill(2, 17, 9, 1, BUSH)
    fill(3, 18, 4, 3, WHEAT)
    fill(8, 18, 3, 3, SOIL)
    fill(3, 22, 8, 2, WHEAT)
    fill(3, 24, 8, 1, SOIL)
    for x in range(3, 11, 3):
        put(x, 21, FLOWERS)
    put(7, 19, PATH)
    put(7, 20, PATH)
    put(7, 21, PATH)
    fill(11, 18, 1, 8, BUSH)
    put(11, 21, GRASS)

    # A pond in the southern meadow.
    pond = ["..____....",
            "._~~~~__..",
            "_~~~~~~~_.",
            "_~~~~~~~~_",
            "._~~~~~~_.",
            "..__~~~_..",
            "....___..."]
    for j, row in enumerate(pond):
        for i, ch in enumerate(row):
            if ch != ".":
                put(15 + i, 19 + j, WATER if ch == "~" else SAND)
    for x, y in ((16, 19), (23, 25), (15, 24), (24, 20)):
        put(x, y, TREE)
    fill(14, 17, 3, 1, FLOWERS)
    fill(21, 17, 2, 1, FLOWERS)

    # Woods east of the river.
    for y in range(2, 13):
        for x in range(river[y] + 3, COLS - 2):
            n = noise(x, y, 7)
            if g[y][x] in (GRASS, TALL, FLOWERS):
                if n > 0.55:
                    g[y][x] = TREE
                elif n > 0.45:
                    g[y][x] = BUSH

    # Old ruins on the south-east bank: a courtyard with broken walls.
    fill(31, 18, 6, 6, COBBLE)
    fill(31, 18, 6, 1, BRICK)
    fill(31, 18, 1, 5, BRICK)
    fill(36, 19, 1, 3, BRICK)
    put(33, 18, COBBLE)
    put(36, 20, COBBLE)
    fill(33, 20, 2, 1, ROOF)
    put(33, 21, WINDOW)
    put(34, 21, DOOR)
    fill(31, 24, 6, 1, FLOWERS)
    put(35, 16, TREE)
    put(37, 17, BUSH)

    # Stray trees and bushes in the open so the meadows are not bare.
    for y in range(2, ROWS - 2):
        for x in range(2, COLS - 2):
            if g[y][x] in (GRASS, TALL) and noise(x, y, 8) > 0.94:
                g[y][x] = TREE if noise(x, y, 9) > 0.4 else BUSH
    return g


def check(g):
    # Every screen-sized window must hold several kinds of tile.
    worst = 99
    for y in range(ROWS - 6):
        for x in range(COLS - 8):
            kinds = {g[yy][xx] for yy in range(y, y + 7) for xx in range(x, x + 9)}
            worst = min(worst, len(kinds))
    assert worst >= 4, "a 9x7 window has only %d tile kinds" % worst
    assert all(0 <= t <= 15 for row in g for t in row)


def main():
    g = build()
    check(g)
    lines = [
        "Vexlume test map",
        "1",
        "island village with river, fields and woods",
        "tiles 32x32, 40 columns, 30 rows",
        TILESET,
        "%d %d %d %d" % (TILE_W, TILE_H, COLS, ROWS),
    ]
    lines += [" ".join(str(t) for t in row) for row in g]
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
