#!/usr/bin/env python3
"""Converts an X window dump (xwd -root) of a TrueColor screen to a PNG.

Used by the scripted session to save its screenshots without an image
tool: only the standard library is needed.
"""
import struct
import sys
import zlib


def read_xwd(data):
    header = struct.unpack(">25I", data[:100])
    header_size = header[0]
    width, height = header[4], header[5]
    byte_order = header[7]
    bits_per_pixel = header[11]
    bytes_per_line = header[12]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    colour_entries = header[19]
    if bits_per_pixel != 32:
        raise SystemExit("only 32-bit pixels are supported, got %d" % bits_per_pixel)
    start = header_size + 12 * colour_entries
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
        pixels = struct.unpack(order + "%dI" % width, line)
        row = bytearray(3 * width)
        for x, p in enumerate(pixels):
            row[3 * x] = (p & red_mask) >> rs
            row[3 * x + 1] = (p & green_mask) >> gs
            row[3 * x + 2] = (p & blue_mask) >> bs
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: xwd2png.py DUMP.xwd OUT.png")
    with open(sys.argv[1], "rb") as dump:
        width, height, rows = read_xwd(dump.read())
    write_png(sys.argv[2], width, height, rows)


if __name__ == "__main__":
    main()
