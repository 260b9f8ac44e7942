#!/usr/bin/python3
"""Draws the game's pictures (title, emblem, player sheet, tile set) into share/.

Everything is drawn from code so the art can be rebuilt bit for bit and
tweaked in one place; only the standard library is used so any machine with
python3 can regenerate it.
"""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHARE = os.path.join(ROOT, "share")

BLACK = (0, 0, 0)          # colour key of the title, sprite sheet and tiles
MAGENTA = (255, 0, 255)    # colour key of the emblem


# ---------------------------------------------------------------- basics

class Canvas:
    def __init__(self, w, h, bg, key=None):
        # key: a colour that must never be drawn, because the game treats it
        # as see-through and a stray pixel of it would punch a hole.
        self.w, self.h, self.bg, self.key = w, h, bg, key
        self.px = [bg] * (w * h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, c):
        assert c != self.key, "colour key drawn at %d,%d" % (x, y)
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def rect(self, x0, y0, w, h, c):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.set(x, y, c)

    def blit(self, src, dx, dy, flip=False, opaque=False):
        for y in range(src.h):
            for x in range(src.w):
                c = src.get(src.w - 1 - x if flip else x, y)
                if opaque or c != src.bg:
                    self.set(dx + x, dy + y, c)


def write_png(path, cv):
    # Plain 8-bit RGB, filter 0 on every row: small enough for our sizes and
    # free of timestamps or other chunks that would make rebuilds differ.
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for c in cv.px[y * cv.w:(y + 1) * cv.w]:
            raw += bytes(c)

    def chunk(tag, data):
        body = tag + data
        return (struct.pack(">I", len(data)) + body
                + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", cv.w, cv.h, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def noise(x, y, seed=0):
    # Integer hash in [0,1): stable across Python versions, unlike random.
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    n ^= n >> 16
    return (n & 0xFFFF) / 65536.0


def clamp(v, lo=1, hi=255):
    return max(lo, min(hi, int(round(v))))


def shade(c, f):
    return tuple(clamp(v * f) for v in c)


def add(c, d):
    return tuple(clamp(v + d) for v in c)


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


def in_poly(px, py, pts):
    # Even-odd rule; polygons here are small so the brute force is fine.
    inside = False
    n = len(pts)
    for i in range(n):
        x1, y1 = pts[i]
        x2, y2 = pts[(i + 1) % n]
        if (y1 > py) != (y2 > py):
            if px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
    return inside


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(qx * qx + qy * qy)


def outline(cv, colour, diagonal=True):
    """Rings every drawn shape with a 1-pixel border so it reads on any ground."""
    add_pts = []
    for y in range(cv.h):
        for x in range(cv.w):
            if cv.get(x, y) != cv.bg:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)) + (
                    ((1, 1), (-1, 1), (1, -1), (-1, -1)) if diagonal else ()):
                nx, ny = x + dx, y + dy
                if 0 <= nx < cv.w and 0 <= ny < cv.h and cv.get(nx, ny) != cv.bg:
                    add_pts.append((x, y))
                    break
    for x, y in add_pts:
        cv.set(x, y, colour)


# ---------------------------------------------------------------- title

# Chunky two-pixel-stroke capitals for the logo word.
BIG = {
    "V": ["XX..XX", "XX..XX", "XX..XX", "XX..XX", "XX..XX", ".XXXX.", ".XXXX.", "..XX.."],
    "E": ["XXXXXX", "XXXXXX", "XX....", "XXXXX.", "XXXXX.", "XX....", "XXXXXX", "XXXXXX"],
    "X": ["XX..XX", "XX..XX", ".XXXX.", "..XX..", "..XX..", ".XXXX.", "XX..XX", "XX..XX"],
    "L": ["XX....", "XX....", "XX....", "XX....", "XX....", "XX....", "XXXXXX", "XXXXXX"],
    "U": ["XX..XX", "XX..XX", "XX..XX", "XX..XX", "XX..XX", "XX..XX", "XXXXXX", ".XXXX."],
    "M": ["XX...XX", "XXX.XXX", "XXXXXXX", "XX.X.XX", "XX...XX", "XX...XX", "XX...XX", "XX...XX"],
}

# Small 5x7 capitals for the subtitle, side by side in one strip: letter i
# is columns 6i to 6i + 4 of each row.
SMALL_LETTERS = 'ADEILNORTWY '
SMALL_STRIP = [
    ".XXX. XXXX. XXXXX XXXXX X.... X...X .XXX. XXXX. XXXXX X...X X...X .....",
    "X...X X...X X.... ..X.. X.... XX..X X...X X...X ..X.. X...X X...X .....",
    "X...X X...X X.... ..X.. X.... X.X.X X...X X...X ..X.. X...X .X.X. .....",
    "XXXXX X...X XXXX. ..X.. X.... X..XX X...X XXXX. ..X.. X.X.X ..X.. .....",
    "X...X X...X X.... ..X.. X.... X...X X...X X.X.. ..X.. X.X.X ..X.. .....",
    "X...X X...X X.... ..X.. X.... X...X X...X X..X. ..X.. XX.XX ..X.. .....",
    "X...X XXXX. XXXXX XXXXX XXXXX X...X .XXX. X...X ..X.. X...X ..X.. .....",
]
SMALL = {c: [row[6 * i:6 * i + 5] for row in SMALL_STRIP] for i, c in enumerate(SMALL_LETTERS)}


def text_mask(text, font, scale, gap):
    """Returns (set of lit pixels, width, height) for text at the given scale."""
    lit = set()
    x = 0
    rows = len(next(iter(font.values())))
    for ch in text:
        g = font[ch]
        for gy, row in enumerate(g):
            for gx, cell in enumerate(row):
                if cell == "X":
                    for sy in range(scale):
                        for sx in range(scale):
                            lit.add((x + gx * scale + sx, gy * scale + sy))
        x += (len(g[0]) + gap) * scale
    return lit, x - gap * scale, rows * scale


def dilate(mask, r):
    out = set(mask)
    offs = [(dx, dy) for dy in range(-r, r + 1) for dx in range(-r, r + 1)
            if dx * dx + dy * dy <= r * r + r]
    for (x, y) in mask:
        for dx, dy in offs:
            out.add((x + dx, y + dy))
    return out


# The game draws its frames-per-second counter in white over the picture's
# top-left corner (about 140 x 36 pixels at its font size); everything sits
# below that band, which stays black, so see-through, and the counter reads.
COUNTER_BAND = 36


def make_title():
    W, H = 560, 140 + COUNTER_BAND
    cv = Canvas(W, H, BLACK, key=BLACK)
    dark = (16, 16, 24)
    shadow_c = (58, 26, 84)

    word, ww, wh = text_mask("VEXLUME", BIG, 11, 1)
    ox, oy = (W - ww) // 2 - 2, COUNTER_BAND + 10
    word = {(x + ox, y + oy) for x, y in word}

    # Drop shadow first, then a dark rim, so the letters pop off any backdrop.
    rim = dilate(word, 3)
    for x, y in dilate({(x + 6, y + 6) for x, y in word}, 3):
        if 0 <= x < W and 0 <= y < H:
            cv.set(x, y, shadow_c)
    for x, y in rim:
        cv.set(x, y, dark)

    top, mid, bot = (255, 244, 140), (255, 160, 48), (232, 64, 120)
    for x, y in word:
        t = (y - oy) / float(wh - 1)
        c = mix(top, mid, t * 2) if t < 0.5 else mix(mid, bot, (t - 0.5) * 2)
        # Bevel: lit upper/left edges and shaded lower/right edges give depth.
        if (x, y - 3) not in word or (x - 3, y) not in word:
            c = mix(c, (255, 255, 235), 0.55)
        elif (x, y + 3) not in word or (x + 3, y) not in word:
            c = shade(c, 0.62)
        # A faint diagonal glint band across the word.
        if 0 <= (x + (y - oy) * 0.6 - 150) % 170 < 9:
            c = mix(c, (255, 255, 255), 0.35)
        cv.set(x, y, c)

    sub, sw, sh = text_mask("A TINY WORLD TO WANDER", SMALL, 2, 1)
    sx, sy = (W - sw) // 2, COUNTER_BAND + 112
    sub = {(x + sx, y + sy) for x, y in sub}
    for x, y in dilate(sub, 2):
        cv.set(x, y, dark)
    for x, y in sub:
        t = (y - sy) / float(sh - 1)
        cv.set(x, y, mix((190, 236, 255), (96, 160, 255), t))

    # Twinkles either side of the subtitle and above the word.
    def sparkle(cx, cy, r, c):
        for d in range(-r, r + 1):
            cv.set(cx + d, cy, c if abs(d) < r else mix(c, dark, 0.5))
            cv.set(cx, cy + d, c if abs(d) < r else mix(c, dark, 0.5))
        cv.set(cx, cy, (255, 255, 255))

    sparkle(sx - 22, sy + 7, 5, (255, 236, 150))
    sparkle(sx + sw + 21, sy + 7, 5, (255, 236, 150))
    sparkle(sx - 44, sy + 4, 3, (150, 210, 255))
    sparkle(sx + sw + 43, sy + 10, 3, (150, 210, 255))
    sparkle(ox + ww - 4, oy - 4, 4, (255, 255, 200))
    sparkle(sx - 66, sy + 12, 2, (255, 200, 230))
    return cv


# ---------------------------------------------------------------- emblem

def make_emblem():
    S = 256
    cv = Canvas(S, S, MAGENTA, key=MAGENTA)
    c0 = 127.5
    night_in, night_out = (60, 44, 120), (18, 16, 52)
    gold, gold_dark = (246, 196, 72), (168, 110, 30)

    for y in range(S):
        for x in range(S):
            dx, dy = x - c0, y - c0
            r = math.sqrt(dx * dx + dy * dy)
            if r > 124:
                continue
            if r > 120:
                c = BLACK                      # hard black rim on purpose
            elif r > 111:
                # Gold ring lit from the upper left.
                lt = (-(dx + dy) / (r * 1.414) + 1) / 2
                c = mix(gold_dark, gold, lt)
                if 114 < r < 116:
                    c = mix(c, (255, 240, 170), 0.5)
            elif r > 108:
                c = BLACK
            else:
                c = mix(night_in, night_out, r / 108.0)
                if noise(x, y, 7) > 0.994:
                    c = (200, 210, 255)        # scattered stars in the night sky
            cv.set(x, y, c)

    # A crescent moon tucked behind the crystal.
    for y in range(S):
        for x in range(S):
            d1 = math.hypot(x - 96, y - 104)
            d2 = math.hypot(x - 114, y - 92)
            if d1 < 62 and d2 > 56:
                t = min(1.0, max(0.0, (d1 - 30) / 32))
                cv.set(x, y, mix((252, 246, 214), (206, 196, 150), t))
            elif d1 < 64 and d2 > 54:
                cv.set(x, y, BLACK)

    top, bot = (128, 34), (128, 224)
    ul, ur, ll, lr = (84, 92), (172, 92), (84, 166), (172, 166)
    il, ir = (106, 100), (150, 100)
    bl, br = (106, 158), (150, 158)
    mt, mb = (128, 104), (128, 154)
    facets = [
        ([top, il, ul], (190, 250, 255)),
        ([top, mt, il], (150, 236, 255)),
        ([top, ir, mt], (104, 200, 246)),
        ([top, ur, ir], (52, 128, 210)),
        ([ul, il, bl, ll], (120, 222, 250)),
        ([il, mt, mb, bl], (86, 190, 240)),
        ([mt, ir, br, mb], (56, 150, 226)),
        ([ir, ur, lr, br], (30, 88, 170)),
        ([ll, bl, bot], (70, 160, 220)),
        ([bl, mb, bot], (48, 128, 200)),
        ([mb, br, bot], (32, 96, 180)),
        ([br, lr, bot], (20, 60, 140)),
    ]
    outline_pts = [top, ur, lr, bot, ll, ul]
    crystal = set()
    for y in range(20, 240):
        for x in range(70, 190):
            for poly, col in facets:
                if in_poly(x + 0.5, y + 0.5, poly):
                    g = (y - 34) / 190.0
                    c = shade(col, 1.08 - 0.22 * g)
                    cv.set(x, y, c)
                    crystal.add((x, y))
                    break
    # Thin bright seams between facets, then a solid black outline.
    for poly, col in facets:
        n = len(poly)
        for i in range(n):
            (ax, ay), (bx, by) = poly[i], poly[(i + 1) % n]
            steps = int(max(abs(bx - ax), abs(by - ay))) + 1
            for s in range(steps + 1):
                x = int(round(ax + (bx - ax) * s / steps))
                y = int(round(ay + (by - ay) * s / steps))
                if (x, y) in crystal:
                    cv.set(x, y, mix(cv.get(x, y), (235, 255, 255), 0.45))
    for y in range(18, 242):
        for x in range(66, 194):
            if (x, y) in crystal:
                continue
            near = any((x + dx, y + dy) in crystal
                       for dx in (-2, -1, 0, 1, 2) for dy in (-2, -1, 0, 1, 2)
                       if abs(dx) + abs(dy) <= 3)
            if near:
                cv.set(x, y, BLACK)

    # Glints on the bright facets.
    for (gx, gy, r) in ((104, 70, 4), (118, 124, 3), (160, 52, 2), (62, 156, 2), (196, 120, 2)):
        for d in range(-r * 2, r * 2 + 1):
            cv.set(gx + d, gy, (255, 255, 255))
        for d in range(-r * 2, r * 2 + 1):
            cv.set(gx, gy + d, (255, 255, 255))
        cv.set(gx - 1, gy - 1, (220, 250, 255))
        cv.set(gx + 1, gy + 1, (220, 250, 255))
        cv.set(gx - 1, gy + 1, (220, 250, 255))
        cv.set(gx + 1, gy - 1, (220, 250, 255))
    return cv


# ---------------------------------------------------------------- player

SPR_OUT = (20, 20, 28)
SPR = {
    "cap": (236, 52, 64), "cap_d": (168, 30, 52), "pom": (255, 222, 52),
    "skin": (255, 200, 150), "skin_d": (226, 150, 112), "hair": (156, 86, 36),
    "tunic": (52, 132, 255), "tunic_d": (30, 84, 204), "belt": (255, 212, 40),
    "leg": (64, 204, 92), "leg_d": (34, 140, 62),
    "boot": (168, 94, 40), "boot_d": (112, 62, 30),
    "arm": (84, 164, 255), "arm_d": (34, 90, 206),
}


def limb(cv, x0, y0, angles, lengths, radius, colour, end=None):
    """Draws a jointed limb; angles are from straight down, positive = facing side."""
    pts = [(x0, y0)]
    a = 0.0
    for ang, ln in zip(angles, lengths):
        a += ang
        x, y = pts[-1]
        pts.append((x - math.sin(math.radians(a)) * ln, y + math.cos(math.radians(a)) * ln))
    for i in range(len(pts) - 1):
        (ax, ay), (bx, by) = pts[i], pts[i + 1]
        for y in range(int(min(ay, by) - 3), int(max(ay, by) + 4)):
            for x in range(int(min(ax, bx) - 3), int(max(ax, bx) + 4)):
                if seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by) <= radius:
                    cv.set(x, y, colour)
    if end:
        ex, ey = pts[-1]
        end(cv, int(round(ex - 0.5)), int(round(ey - 0.5)))
    return pts[-1]


def make_walker(frame):
    """One 32x32 frame of the little traveller walking left (nose at low x)."""
    cv = Canvas(32, 32, BLACK, key=BLACK)
    bob = -1 if frame in (1, 3) else 0
    # Per frame: (thigh, shin) angles for the near and far leg, and arm swing.
    legs = [
        ((32, -4), (-30, -6)),     # contact, near leg ahead
        ((2, 0), (16, -58)),       # passing, far leg swinging through
        ((-30, -6), (32, -4)),     # contact, far leg ahead
        ((16, -58), (2, 0)),       # passing, near leg swinging through
    ][frame]
    arm_near = [-34, 0, 34, 6][frame]
    hip_x, hip_y = 16, 21 + bob

    def boot(colour):
        def draw(c, x, y):
            c.rect(x - 3, y, 5, 2, colour)
            c.set(x - 4, y + 1, colour)
        return draw

    # Far limbs first so the near ones overlap them.
    limb(cv, hip_x + 1, hip_y, legs[1], (4.2, 4.2), 1.5, SPR["leg_d"], boot(SPR["boot_d"]))
    limb(cv, 16, 15 + bob, (-arm_near, 10), (3.5, 3.2), 1.2, SPR["arm_d"],
         lambda c, x, y: c.rect(x, y, 2, 2, SPR["skin_d"]))

    # Torso: tunic flaring slightly at the hem, belt across the waist.
    for y in range(13, 23):
        half = 4 if y < 20 else 5
        for x in range(16 - half, 16 + half + 1):
            cv.set(x, y + bob, SPR["tunic_d"] if x >= 16 + half - 1 else SPR["tunic"])
    cv.rect(11, 19 + bob, 11, 1, SPR["belt"])
    cv.set(13, 19 + bob, (255, 250, 180))

    # Head with the cap, a nose poking out on the facing side, hair at the back.
    hx, hy = 15.5, 8.5 + bob
    for y in range(2, 15):
        for x in range(8, 24):
            d = math.hypot(x + 0.5 - hx, (y + 0.5 - hy) * 1.05)
            if d <= 5.2:
                c = SPR["skin"]
                if x >= 18:
                    c = SPR["hair"]
                elif x >= 17 and y + 0.5 - hy > 1:
                    c = SPR["skin_d"]
                cv.set(x, y, c)
    cv.set(10, 9 + bob, SPR["skin"])
    cv.set(10, 10 + bob, SPR["skin_d"])
    cv.rect(12, 8 + bob, 1, 2, SPR_OUT)                  # eye
    cv.set(13, 11 + bob, (232, 110, 110))                # cheek
    for y in range(1, 8):
        for x in range(9, 23):
            d = math.hypot(x + 0.5 - 16.5, (y + 0.5 - 7.5) * 1.15)
            if d <= 6.2 and y + bob >= 0:
                cv.set(x, y + bob, SPR["cap_d"] if y == 6 or x >= 20 else SPR["cap"])
    cv.rect(9, 7 + bob, 4, 1, SPR["cap_d"])              # peak of the cap
    # Pompom bounces a little behind the motion.
    pdx = [0, 1, 0, -1][frame]
    cv.rect(21 + pdx, 1 + bob, 3, 3, SPR["pom"])

    limb(cv, hip_x - 1, hip_y, legs[0], (4.2, 4.2), 1.5, SPR["leg"], boot(SPR["boot"]))
    # The near arm gets its own outline so it stays readable over the tunic.
    arm = Canvas(32, 32, BLACK, key=BLACK)
    limb(arm, 15, 15 + bob, (arm_near, 10), (3.5, 3.2), 1.2, SPR["arm"],
         lambda c, x, y: c.rect(x, y, 2, 2, SPR["skin"]))
    outline(cv, SPR_OUT, diagonal=False)
    outline(arm, SPR_OUT, diagonal=False)
    cv.blit(arm, 0, 0)
    return cv


def make_player():
    sheet = Canvas(128, 64, BLACK, key=BLACK)
    for f in range(4):
        fr = make_walker(f)
        sheet.blit(fr, f * 32, 0)
        sheet.blit(fr, f * 32, 32, flip=True)
    return sheet


# ---------------------------------------------------------------- tiles

def tile_fill(base, var, seed, grain=1):
    t = Canvas(32, 32, base, key=BLACK)
    for x, y in every_pixel():
        n = noise(x // grain, y // grain, seed) - 0.5
        t.set(x, y, add(base, n * var))
    return t


def every_pixel():
    """x, y for each pixel of a tile, row by row from the top."""
    for y in range(32):
        for x in range(32):
            yield x, y


def scattered(count, seed, span=32):
    """i, x, y for count points spread over a tile by the noise."""
    for i in range(count):
        yield i, int(noise(i, 1, seed) * span), int(noise(i, 2, seed) * span)


def stone(t, left, top, w, h, c, light, dark, wrap=False):
    """A w x h block less a one-pixel gap all round: its top row lit by
    light, its bottom row shaded by dark; wrap carries it round the tile's
    sides."""
    for y in range(top + 1, top + h - 1):
        for x in range(left + 1, left + w - 1):
            cc = add(c, light) if y == top + 1 else shade(c, dark) if y == top + h - 2 else c
            t.set(x % 32 if wrap else x, y, cc)


def grass(seed=1, base=(76, 156, 62)):
    t = tile_fill(base, 26, seed)
    for i in range(22):
        x = int(noise(i, 3, seed) * 32)
        y = int(noise(i, 5, seed) * 30)
        c = add(base, 40) if i % 2 else shade(base, 0.7)
        t.set(x, y, c)
        t.set(x, (y + 1) % 32, c)
        t.set((x + 1) % 32, (y + 2) % 32 if i % 3 else y, shade(base, 0.8))
    return t


def tall_grass():
    base = (48, 118, 58)
    t = tile_fill(base, 18, 2)
    for i, x, y in scattered(26, 22):
        h = 3 + int(noise(i, 3, 22) * 4)
        lean = 1 if i % 2 else -1
        for k in range(h):
            c = mix((112, 196, 92), base, k / h)
            t.set((x + (lean if k > h // 2 else 0)) % 32, (y - k) % 32, c)
    return t


def flowers():
    t = grass(3, (84, 164, 66))
    cols = [(255, 255, 240), (255, 214, 46), (255, 120, 170), (180, 140, 255), (255, 150, 60)]
    spots = [(5, 5), (19, 3), (27, 12), (11, 14), (3, 23), (22, 22), (14, 28), (28, 27), (9, 6 + 20)]
    for i, (x, y) in enumerate(spots):
        c = cols[i % len(cols)]
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            t.set(x + dx, y + dy, c)
        t.set(x, y, (255, 236, 90) if c != (255, 214, 46) else (200, 90, 30))
        t.set(x + 1, y + 2, (46, 110, 40))
    return t


def tilled():
    base = (122, 80, 46)
    t = tile_fill(base, 20, 4)
    for x, y in every_pixel():
        ph = y % 8
        c = t.get(x, y)
        if ph in (0, 1):
            c = shade(c, 0.66)
        elif ph == 2:
            c = add(c, 24)
        if ph == 5 and (x * 7 + y) % 11 == 0:
            c = (86, 170, 70)                 # sprouting seedlings
        t.set(x, y, c)
    return t


def path():
    base = (186, 140, 88)
    t = tile_fill(base, 22, 5)
    for i, x, y in scattered(14, 55, 31):
        c = (140, 100, 62) if i % 2 else (222, 190, 140)
        t.rect(x, y, 2, 1 + i % 2, c)
    return t


def water(seed=6):
    base = (40, 112, 206)
    t = Canvas(32, 32, base)
    for x, y in every_pixel():
        w = math.sin((x + y * 0.5) * 2 * math.pi / 32) * math.sin(y * 2 * math.pi / 16)
        t.set(x, y, add(base, w * 14 + (noise(x, y, seed) - 0.5) * 8))
    for (x, y, ln) in ((4, 6, 6), (18, 12, 7), (8, 21, 5), (22, 27, 6)):
        for k in range(ln):
            yy = y + (0 if 1 <= k < ln - 1 else 1)
            t.set(x + k, yy, (150, 204, 255))
    return t


def sand():
    base = (238, 222, 158)
    t = tile_fill(base, 18, 7)
    for (x, y) in ((6, 8), (22, 5), (14, 20), (27, 24), (4, 27)):
        t.rect(x, y, 2, 2, (248, 236, 210))
        t.set(x + 1, y + 1, (210, 160, 130))
    return t


def cobble():
    t = Canvas(32, 32, (96, 92, 104))
    rows = [(0, 8, 0), (8, 8, 5), (16, 8, 2), (24, 8, 7)]
    for ri, (y0, h, off) in enumerate(rows):
        x = -off
        k = 0
        while x < 32:
            w = 7 + int(noise(k, ri, 8) * 5)
            tone = 0.85 + noise(k, ri, 9) * 0.3
            stone(t, x, y0, w, h, shade((158, 156, 170), tone), 26, 0.78, wrap=True)
            x += w
            k += 1
    return t


def bush():
    t = grass(10)
    blobs = [(16, 18, 11), (9, 15, 6), (23, 15, 6), (16, 11, 7)]
    for y in range(32):
        for x in range(32):
            inside = [b for b in blobs if math.hypot(x + 0.5 - b[0], y + 0.5 - b[1]) <= b[2]]
            if inside:
                b = inside[-1]
                lt = ((b[0] - x) + (b[1] - y)) / (2.0 * b[2])
                c = mix((30, 92, 38), (98, 186, 78), 0.5 + lt * 0.6)
                if noise(x, y, 11) > 0.85:
                    c = shade(c, 0.82)
                t.set(x, y, c)
            elif any(math.hypot(x + 0.5 - b[0], y + 0.5 - b[1]) <= b[2] + 1.2 for b in blobs):
                t.set(x, y, (22, 58, 28))
    for (x, y) in ((12, 19), (20, 22), (18, 13), (8, 14), (24, 17)):
        t.rect(x, y, 2, 2, (226, 40, 60))
        t.set(x, y, (255, 150, 160))
    return t


def tree():
    t = grass(12)
    for y in range(20, 30):
        for x in range(13, 19):
            t.set(x, y, (126, 78, 42) if x < 16 else (92, 56, 32))
    t.rect(12, 29, 8, 1, (60, 96, 48))
    for y in range(32):
        for x in range(32):
            d = math.hypot(x + 0.5 - 16, (y + 0.5 - 12) * 1.08)
            if d <= 12:
                lt = ((16 - x) + (12 - y)) / 24.0
                c = mix((26, 86, 40), (110, 190, 84), 0.45 + lt)
                if noise(x // 2, y // 2, 13) > 0.78:
                    c = shade(c, 0.8)
                t.set(x, y, c)
            elif d <= 13.2 and y < 25:
                t.set(x, y, (18, 50, 26))
    return t


def bricks():
    t = Canvas(32, 32, (206, 194, 170))
    for row in range(4):
        off = 0 if row % 2 == 0 else 8
        for k in range(-1, 3):
            x0 = k * 16 + off
            tone = 0.86 + noise(k + 4, row, 14) * 0.26
            stone(t, x0, row * 8, 16, 8, shade((176, 72, 52), tone), 22, 0.8)
    return t


def roof():
    t = Canvas(32, 32, (40, 50, 120))
    for row in range(4):
        off = 0 if row % 2 == 0 else 4
        for y in range(row * 8, row * 8 + 8):
            for x in range(32):
                k = (x + off) % 8
                dy = y - row * 8
                # Rounded shingle ends give the scalloped look.
                edge = dy >= 6 and (k in (0, 7) or (dy == 7 and k in (1, 6)))
                if k == 0 or edge:
                    c = (34, 42, 104)
                else:
                    c = mix((96, 122, 210), (58, 74, 160), dy / 7.0)
                t.set(x, y, c)
    return t


def door():
    t = bricks()
    for y in range(5, 32):
        for x in range(8, 24):
            d = math.hypot(x + 0.5 - 16, y + 0.5 - 13)
            if y >= 13 or d <= 8:
                plank = (x - 8) // 4
                c = shade((142, 88, 44), 0.9 + 0.08 * (plank % 2))
                if (x - 8) % 4 == 0:
                    c = (96, 58, 30)
                t.set(x, y, c)
            elif y >= 4 and d <= 9.5:
                t.set(x, y, (92, 64, 50))
    for x in range(7, 25):
        if t.get(x, 13) != (96, 58, 30):
            pass
    t.rect(8, 18, 16, 1, (96, 58, 30))
    t.rect(19, 20, 2, 2, (255, 214, 60))
    t.rect(6, 30, 20, 2, (150, 146, 140))      # door step
    return t


def window():
    t = bricks()
    t.rect(6, 6, 20, 20, (238, 232, 216))
    for y in range(8, 24):
        for x in range(8, 24):
            c = mix((150, 210, 255), (70, 130, 220), (y - 8) / 16.0)
            if x - y in (4, 5) or x - y in (-6,):
                c = (214, 240, 255)               # glare on the glass
            t.set(x, y, c)
    t.rect(15, 8, 2, 16, (238, 232, 216))
    t.rect(8, 15, 16, 2, (238, 232, 216))
    t.rect(5, 26, 22, 2, (120, 84, 52))         # sill
    t.rect(6, 24, 5, 2, (226, 60, 80))          # flower box blooms
    t.rect(21, 24, 5, 2, (255, 210, 60))
    return t


def bridge():
    t = Canvas(32, 32, (150, 98, 54))
    for x, y in every_pixel():
        k = x // 6
        c = shade((170, 112, 62), 0.88 + noise(k, 1, 15) * 0.2)
        if x % 6 == 0:
            c = (100, 64, 36)
        elif noise(x, y // 3, 16 + k) > 0.9:
            c = shade(c, 0.85)
        t.set(x, y, c)
    for y in (0, 1, 30, 31):
        for x in range(32):
            t.set(x, y, (108, 70, 40) if y in (1, 30) else (84, 52, 30))
    for x in (2, 14, 26):
        t.rect(x, 2, 2, 2, (200, 200, 196))
        t.rect(x, 28, 2, 2, (200, 200, 196))
    return t


def wheat():
    base = (216, 178, 70)
    t = tile_fill(base, 20, 17)
    for x, y in every_pixel():
        if x % 4 == 0:
            t.set(x, y, (164, 126, 44))
    for i in range(24):
        x = (i * 4 + 2) % 32
        y = int(noise(i, 1, 18) * 28)
        for k in range(4):
            t.set(x, (y + k) % 32, (250, 226, 120) if k < 3 else (180, 140, 50))
        t.set(x - 1, (y + 1) % 32, (240, 206, 96))
        t.set(x + 1, (y + 2) % 32, (240, 206, 96))
    return t


TILE_MAKERS = [
    grass,        # 0  grass
    tall_grass,   # 1  tall dark grass
    flowers,      # 2  flower meadow
    tilled,       # 3  tilled soil
    path,         # 4  dirt path
    water,        # 5  water
    sand,         # 6  sand / beach
    cobble,       # 7  cobblestone
    bush,         # 8  berry bush
    tree,         # 9  tree
    bricks,       # 10 brick wall
    roof,         # 11 slate roof
    door,         # 12 door in brick
    bridge,       # 13 wooden bridge
    wheat,        # 14 wheat field
    window,       # 15 window in brick
]


def make_tiles():
    sheet = Canvas(256, 64, BLACK, key=BLACK)
    for n, maker in enumerate(TILE_MAKERS):
        sheet.blit(maker(), (n % 8) * 32, (n // 8) * 32, opaque=True)
    return sheet


# ---------------------------------------------------------------- main

def main():
    os.makedirs(SHARE, exist_ok=True)
    title = make_title()
    emblem = make_emblem()
    player = make_player()
    tiles = make_tiles()
    # Every tile pixel is drawn, so black anywhere would be a hole in the map.
    assert BLACK not in tiles.px, "tile set contains the colour key"
    write_png(os.path.join(SHARE, "Vexlume.png"), title)
    write_png(os.path.join(SHARE, "Skarnel.png"), emblem)
    write_png(os.path.join(SHARE, "Pellwick.png"), player)
    write_png(os.path.join(SHARE, "Tiles.png"), tiles)


if __name__ == "__main__":
    main()
