#!/usr/bin/env python3
"""Draws the toolbar button icons of the band and writes them as .ico files.

The pictures are a page with three list lines and a quill laid across it.
Icon 801 is the button at rest, 802 the hot (hovered) button: the same
picture in livelier colours; icon 216, the About box's, is the picture at
rest with its 32x32 image first. Each .ico holds a 16x16 and a 32x32 image
with an alpha channel. The output is kept in the tree, so the build never runs
this script; run it again after changing the art:

    python3 resources/art/make_icons.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4  # supersampling per axis, for smooth edges


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def band(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        crossings = 0
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    crossings += 1
        return crossings % 2 == 1
    return inside


def segment(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return math.hypot(x - px, y - py) <= width / 2
    return inside


def feather(cx, cy, length, width, angle):
    """A leaf-shaped vane around the axis from (cx, cy) pointing at angle."""
    ux, uy = math.cos(angle), math.sin(angle)
    nx, ny = -uy, ux
    points = []
    steps = 24
    for i in range(steps + 1):
        t = i / steps
        half = width / 2 * math.sin(math.pi * t) ** 0.8 * (1.0 - 0.35 * t)
        points.append((cx + ux * length * t + nx * half, cy + uy * length * t + ny * half))
    for i in range(steps, -1, -1):
        t = i / steps
        half = width / 2 * math.sin(math.pi * t) ** 0.8 * (1.0 - 0.35 * t) * 0.55
        points.append((cx + ux * length * t - nx * half, cy + uy * length * t - ny * half))
    return polygon(points)


def picture(hot):
    """Layers, back to front, in a 1.0 x 1.0 square: (shape, (r, g, b, a))."""
    page = (250, 250, 244, 255) if hot else (238, 238, 230, 255)
    edge = (70, 110, 170, 255) if hot else (96, 112, 140, 255)
    ink = (60, 120, 200, 255) if hot else (110, 130, 160, 255)
    vane = (236, 150, 40, 255) if hot else (150, 128, 96, 255)
    shaft = (120, 60, 20, 255) if hot else (80, 64, 48, 255)
    angle = math.radians(-55)
    return [
        (rounded_rect(0.10, 0.04, 0.78, 0.96, 0.08), edge),
        (rounded_rect(0.16, 0.10, 0.72, 0.90, 0.05), page),
        (band(0.24, 0.26, 0.62, 0.33), ink),
        (band(0.24, 0.44, 0.62, 0.51), ink),
        (band(0.24, 0.62, 0.50, 0.69), ink),
        (feather(0.42, 0.92, 0.78, 0.30, angle), vane),
        (segment(0.36, 1.00, 0.86, 0.28, 0.055), shaft),
    ]


def render(size, hot):
    layers = picture(hot)
    pixels = []
    for row in range(size):
        for col in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (col + (sx + 0.5) / SAMPLES) / size
                    y = (row + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for inside, rgba in layers:
                        if inside(x, y):
                            colour = rgba
                    if colour:
                        a = colour[3] / 255.0
                        acc[0] += colour[0] * a
                        acc[1] += colour[1] * a
                        acc[2] += colour[2] * a
                        acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [int(round(acc[i] / acc[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            pixels.append((rgb[0], rgb[1], rgb[2], int(round(alpha * 255))))
    return pixels


def dib(size, pixels):
    """A 32-bit icon image: header, bottom-up BGRA rows, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for row in range(size - 1, -1, -1):
        for col in range(size):
            r, g, b, a = pixels[row * size + col]
            rows.append(struct.pack("<BBBB", b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for col in range(size):
            if pixels[row * size + col][3] == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + b"".join(rows) + bytes(mask)


def write_ico(path, images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    with open(path, "wb") as out:
        out.write(directory + entries + data)


def main():
    # The About box's icon (216) shows at its real size, which is that of
    # the first image: 32 x 32 there, 16 x 16 first for the toolbar button.
    for name, hot, sizes in (("button.ico", False, (16, 32)), ("button_hot.ico", True, (16, 32)),
                             ("about_216.ico", False, (32, 16))):
        images = [(size, dib(size, render(size, hot))) for size in sizes]
        write_ico(os.path.join(HERE, name), images)
        print("wrote", os.path.join(HERE, name))


if __name__ == "__main__":
    main()
