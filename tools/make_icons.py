#!/usr/bin/python3
"""Makes the desktop icons from the player's sprite sheet.

The icon is Pellwick's first walking frame facing left (the 32 x 32 frame at
0,32 of share/Pellwick.png) with the sheet's black colour key made
transparent, scaled by whole pixels so the pixel art stays sharp. The results
go to desktop/icons/hicolor/<N>x<N>/apps/vexlume.png as RGBA PNGs, one per
size the desktop themes commonly ask for.

Only the standard library is used. The reader understands exactly the PNGs
that tools/make_pictures.py writes (8-bit RGB, no interlace, filter 0 on
every row) and refuses anything else rather than guessing.
"""

import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHEET = os.path.join(ROOT, "share", "Pellwick.png")
ICONS = os.path.join(ROOT, "desktop", "icons", "hicolor")

FRAME_X, FRAME_Y, FRAME_SIZE = 0, 32, 32
SIZES = (16, 32, 48, 64, 128, 256)
KEY = (0, 0, 0)  # the sheet's colour key: see-through in the game


def chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        tag = data[pos + 4:pos + 8]
        yield tag, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def read_rgb_png(path):
    """Returns (width, height, rows) with rows a list of lists of RGB tuples."""
    with open(path, "rb") as f:
        data = f.read()
    width = height = None
    idat = bytearray()
    for tag, body in chunks(data):
        if tag == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour, interlace) != (8, 2, 0):
                raise ValueError("%s: expected 8-bit RGB without interlace" % path)
        elif tag == b"IDAT":
            idat += body
        elif tag == b"IEND":
            break
    if width is None:
        raise ValueError("%s: no IHDR chunk" % path)
    raw = zlib.decompress(bytes(idat))
    stride = 1 + 3 * width
    if len(raw) != stride * height:
        raise ValueError("%s: image data has the wrong size" % path)
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("%s: row %d uses filter %d, only 0 is read" % (path, y, line[0]))
        rows.append([tuple(line[1 + 3 * x:4 + 3 * x]) for x in range(width)])
    return width, height, rows


def write_rgba_png(path, size, pixels):
    # Same shape as make_pictures.py's writer (no timestamps, so rebuilds are
    # byte-identical), with an alpha channel.
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for p in pixels[y * size:(y + 1) * size]:
            raw += bytes(p)

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
           + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def icon(frame, size):
    """Nearest-neighbour scale of the frame to size x size, key made clear."""
    out = []
    for y in range(size):
        sy = y * FRAME_SIZE // size
        for x in range(size):
            sx = x * FRAME_SIZE // size
            c = frame[sy][sx]
            out.append((0, 0, 0, 0) if c == KEY else c + (255,))
    return out


def main():
    width, height, rows = read_rgb_png(SHEET)
    if width < FRAME_X + FRAME_SIZE or height < FRAME_Y + FRAME_SIZE:
        sys.exit("%s: %dx%d is too small for the frame at %d,%d"
                 % (SHEET, width, height, FRAME_X, FRAME_Y))
    frame = [row[FRAME_X:FRAME_X + FRAME_SIZE]
             for row in rows[FRAME_Y:FRAME_Y + FRAME_SIZE]]
    for size in SIZES:
        path = os.path.join(ICONS, "%dx%d" % (size, size), "apps", "vexlume.png")
        write_rgba_png(path, size, icon(frame, size))
        print(os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
