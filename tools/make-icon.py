#!/usr/bin/env python3
"""Draws the programs' icon (a sun rising over a lake) and writes launcher/resources/Tarnwick.ico.

Standard library only, and deterministic: the same script always writes the same bytes, so the
committed icon can be checked against it.
    tools/make-icon.py [OUTPUT.ico]
"""

import math
import os
import struct
import sys
import zlib

HORIZON = 0.60
SKY_TOP = (0x1F, 0x2A, 0x63)
SKY_LOW = (0xF2, 0x8C, 0x63)
WATER_TOP = (0x1D, 0x4E, 0x89)
WATER_LOW = (0x0D, 0x1C, 0x3C)
SUN_TOP = (0xFF, 0xE4, 0x6E)
SUN_LOW = (0xFF, 0x9B, 0x3A)
GLINT = (0xFF, 0xC8, 0x5A)
BORDER = (0x0A, 0x12, 0x2E)
INSET = 0.02
RIM = 0.035

# (size, bits per pixel, stored as PNG): the order here is the order of the group's entries.
IMAGES = [(32, 8, False), (48, 24, False), (16, 24, False), (256, 32, True), (48, 32, False)]


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def rounded_square(x, y, inset, radius):
    # Signed distance, negative inside.
    qx = abs(x - 0.5) - (0.5 - inset - radius)
    qy = abs(y - 0.5) - (0.5 - inset - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def capsule(x, y, cx, cy, half_width, half_height):
    dx = max(abs(x - cx) - half_width, 0.0)
    return math.hypot(dx, y - cy) - half_height


def over(dst, colour, alpha):
    # Straight-alpha colour over premultiplied (r, g, b, a).
    r, g, b, a = dst
    return (colour[0] * alpha + r * (1 - alpha), colour[1] * alpha + g * (1 - alpha),
            colour[2] * alpha + b * (1 - alpha), alpha + a * (1 - alpha))


def glint_bars(size):
    """(centre y, half width, half height) of each glint, on whole pixel rows."""
    thickness = max(1, round(0.06 * size))
    gap = max(1, round(0.045 * size))
    rim_top = size * (1.0 - INSET - RIM)
    bars = []
    top = round(HORIZON * size) + gap
    for half_width in (0.20, 0.12, 0.05):
        if top + thickness > rim_top:
            break
        bars.append(((top + thickness / 2) / size, half_width, thickness / 2 / size))
        top += thickness + gap
    return bars


def shade(x, y, size, pixel):
    """Premultiplied RGBA (0..255 colour, 0..1 alpha) of the point (x, y); `pixel` is the
    width of one sample, which sets the width of the anti-aliased edges."""
    def coverage(distance):
        return clamp01(0.5 - distance / pixel)

    # Horizon and glints sit on whole pixel rows, so the small images stay crisp.
    horizon = round(HORIZON * size) / size
    body = rounded_square(x, y, INSET, 0.19)
    inside = coverage(body)
    if inside <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)

    sky = mix(SKY_TOP, SKY_LOW, clamp01(y / horizon) ** 1.4)
    water = mix(WATER_TOP, WATER_LOW, clamp01((y - horizon) / (1.0 - horizon)))
    wet = coverage(horizon - y)
    result = over((0.0, 0.0, 0.0, 0.0), mix(sky, water, wet), 1.0)

    sun = max(math.hypot(x - 0.5, y - horizon) - 0.25, y - horizon)
    result = over(result, mix(SUN_TOP, SUN_LOW, clamp01((y - 0.35) / 0.25)), coverage(sun))

    # The sun's reflection: glints that narrow towards the viewer, as many as fit.
    glints = min((capsule(x, y, 0.5, cy, half_width, half_height)
                  for cy, half_width, half_height in glint_bars(size)), default=1.0)
    result = over(result, GLINT, 0.9 * coverage(glints))

    # A dark rim keeps the icon apart from light backgrounds.
    result = over(result, BORDER, 0.85 * coverage(max(body, -(body + RIM))))

    r, g, b, _ = result
    return (r * inside, g * inside, b * inside, inside)


def render(size):
    """Rows top to bottom of straight-alpha (r, g, b, a) bytes."""
    # Distance-based edges suffice for the large image; the small ones gain from supersampling.
    samples = 1 if size > 64 else 3
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(samples):
                for si in range(samples):
                    x = (i + (si + 0.5) / samples) / size
                    y = (j + (sj + 0.5) / samples) / size
                    px = shade(x, y, size, 1.0 / (size * samples))
                    for k in range(4):
                        acc[k] += px[k]
            n = samples * samples
            a = acc[3] / n
            if a <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            r, g, b = (min(255, int(round(c / n / a))) for c in acc[:3])
            row.append((r, g, b, int(round(a * 255))))
        rows.append(row)
    return rows


def opaque(pixel):
    return pixel[3] >= 128


def median_cut(colours, count):
    """A palette of at most `count` colours for a {colour: occurrences} table."""
    boxes = [sorted(colours.items())]
    while len(boxes) < count:
        best, best_range, best_channel = None, 0, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = index, spread, channel
        if best is None:
            break
        box = sorted(boxes[best], key=lambda item: (item[0][best_channel], item[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for cut in range(1, len(box)):
            running += box[cut - 1][1]
            if running * 2 >= total:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[k] * n for c, n in box) / total)) for k in range(3)))
    return sorted(set(palette))


def and_mask(rows):
    data = bytearray()
    stride = ((len(rows[0]) + 31) // 32) * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for i, pixel in enumerate(row):
            if not opaque(pixel):
                line[i // 8] |= 0x80 >> (i % 8)
        data += line
    return bytes(data)


def bitmap_image(rows, bits):
    size = len(rows)
    palette = b""
    colour = bytearray()
    stride = ((size * bits + 31) // 32) * 4
    if bits == 8:
        counts = {}
        for row in rows:
            for pixel in row:
                if opaque(pixel):
                    counts[pixel[:3]] = counts.get(pixel[:3], 0) + 1
        # Index 0 stays black: the transparent pixels' colour, which the mask shows through.
        entries = [(0, 0, 0)] + median_cut(counts, 255)
        entries += [(0, 0, 0)] * (256 - len(entries))
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)

        def nearest(rgb):
            return min(range(1, len(entries)),
                       key=lambda k: (sum((p - q) ** 2 for p, q in zip(entries[k], rgb)), k))
        cache = {}
    for row in reversed(rows):
        line = bytearray()
        for pixel in row:
            r, g, b, a = pixel
            if bits == 8:
                if opaque(pixel):
                    if pixel[:3] not in cache:
                        cache[pixel[:3]] = nearest(pixel[:3])
                    line.append(cache[pixel[:3]])
                else:
                    line.append(0)
            elif bits == 24:
                line += bytes((b, g, r)) if opaque(pixel) else b"\0\0\0"
            else:
                line += bytes((b, g, r, a))
        line += bytes(stride - len(line))
        colour += line
    mask = and_mask(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + palette + bytes(colour) + mask


def png_image(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    size = len(rows)
    raw = bytearray()
    previous = bytes(size * 4)
    for row in rows:
        line = bytes(v for pixel in row for v in pixel)
        raw += bytes((best_filter(line, previous)))
        previous = line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # RGBA, not interlaced
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def best_filter(line, previous):
    """The filtered line (type byte first) with the smallest sum of magnitudes."""
    candidates = []
    for kind in range(5):
        out = bytearray([kind])
        for i, value in enumerate(line):
            left = line[i - 4] if i >= 4 else 0
            up = previous[i]
            corner = previous[i - 4] if i >= 4 else 0
            if kind == 0:
                predictor = 0
            elif kind == 1:
                predictor = left
            elif kind == 2:
                predictor = up
            elif kind == 3:
                predictor = (left + up) // 2
            else:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
            out.append((value - predictor) & 0xFF)
        cost = sum(v if v < 128 else 256 - v for v in out[1:])
        candidates.append((cost, kind, bytes(out)))
    return min(candidates)[2]


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, bits, data in images:
        side = 0 if size == 256 else size
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return directory + b"".join(blobs)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        root, "launcher", "resources", "Tarnwick.ico")
    renders = {}
    images = []
    for size, bits, as_png in IMAGES:
        if size not in renders:
            renders[size] = render(size)
        rows = renders[size]
        images.append((size, bits, png_image(rows) if as_png else bitmap_image(rows, bits)))
    with open(output, "wb") as stream:
        stream.write(icon_file(images))


if __name__ == "__main__":
    main()
