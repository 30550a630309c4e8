#!/usr/bin/env python3
"""Turns a 24/32-bit true- or direct-colour XWD screen dump (from `xwd -root`) on standard
input into a PNG file, with nothing but the standard library."""
import struct
import sys
import zlib


def main(out_path):
    data = sys.stdin.buffer.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    masks = fields[14:17]
    # Pixels are packed at their own size; rows may be padded beyond that.
    step = bits_per_pixel // 8
    if step not in (3, 4):
        sys.exit("only 24 and 32 bits per pixel dumps are handled")
    pixels = data[header_size + 12 * ncolors:]
    order = "<" if byte_order == 0 else ">"
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        row = pixels[y * bytes_per_line:y * bytes_per_line + step * width]
        for x in range(width):
            cell = row[x * step:x * step + step]
            p = int.from_bytes(cell, "little" if order == "<" else "big")
            raw += bytes(((p & m) >> s) & 0xFF for m, s in zip(masks, shifts))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + \
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(out_path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1])
