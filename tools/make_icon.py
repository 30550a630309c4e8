#!/usr/bin/env python3
"""Draws the program's icon, a pale crescent moon with a small star, at the six
sizes the icon group holds, and writes them as 32-bit images into one .ico."""
import struct
import sys

SIZES = (16, 32, 48, 64, 96, 128)
SAMPLES = 4  # per axis, for smooth edges


def coverage(size, x, y):
    """Fraction of the pixel (x, y) inside the crescent or the star."""
    inside = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            u = (x + (sx + 0.5) / SAMPLES) / size  # 0..1 across the icon
            v = (y + (sy + 0.5) / SAMPLES) / size
            moon = (u - 0.45) ** 2 + (v - 0.52) ** 2 < 0.40 ** 2
            bite = (u - 0.65) ** 2 + (v - 0.40) ** 2 < 0.33 ** 2
            star = abs(u - 0.80) + abs(v - 0.78) < 0.09 and \
                abs(u - 0.80) * abs(v - 0.78) < 0.0006
            if (moon and not bite) or star:
                inside += 1
    return inside / (SAMPLES * SAMPLES)


def image(size):
    """A BITMAPINFOHEADER, bottom-up BGRA pixels and an all-clear AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            a = round(255 * coverage(size, x, y))
            # warm moonlight, premultiplied nowhere: the alpha carries the edge
            row += bytes((0x9C, 0xE6, 0xFF, a))
        rows.append(bytes(row))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)
    return header + b"".join(rows) + mask


def main(path):
    images = [image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, data in zip(SIZES, images):
        edge = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/somnaro.ico")
