#!/usr/bin/env python3
"""Turns an uncompressed 24/32-bit BMP (top-down or bottom-up) into a PNG file, with nothing
but the standard library:   bmp2png.py IN.bmp OUT.png"""
import struct
import sys
import zlib


def main(in_path, out_path):
    data = open(in_path, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if compression != 0 or bits not in (24, 32):
        sys.exit("only uncompressed 24 and 32 bits per pixel bitmaps are handled")
    step = bits // 8
    stride = (width * step + 3) // 4 * 4
    rows = range(abs(height)) if height < 0 else range(height - 1, -1, -1)
    raw = bytearray()
    for y in rows:
        raw.append(0)
        row = data[offset + y * stride:offset + y * stride + width * step]
        for x in range(width):
            b, g, r = row[x * step:x * step + 3]
            raw += bytes((r, g, b))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + \
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(out_path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
