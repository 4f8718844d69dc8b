#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Draws the pictures of the flat buttons and the application icon.

pictures.inc, compiled into the program (src/app/pictures.cpp), so that showing them at
start-up needs no image file, decoder or image plugin:
- the execute and cancel pictures: 46 x 32 pixels, opaque, on the background colour
  (224, 223, 227), which the buttons take as transparent (the colour of the bottom-left
  pixel);
- the application icon: 64 x 64 pixels with an alpha channel.
app_icon.png: the same icon, and the same drawing at the other sizes of the desktop's icon
theme under packaging/icons/hicolor/ (installed with the program).

Run it from this folder; it rewrites those files. Standard library only.
"""
import math
import os
import struct
import zlib

BACKGROUND = (224, 223, 227)
SUB = 4  # subsamples per pixel side


def in_triangle(p, a, b, c):
    def side(p1, p2, p3):
        return (p1[0] - p3[0]) * (p2[1] - p3[1]) - (p2[0] - p3[0]) * (p1[1] - p3[1])
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def near_segment(p, a, b, half_width):
    ax, ay = a
    bx, by = b
    px, py = p
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return (px - cx) ** 2 + (py - cy) ** 2 <= half_width ** 2


def coverage(width, height, inside):
    """Fraction of each pixel covered by the shape `inside(x, y)`."""
    grid = []
    for y in range(height):
        row = []
        for x in range(width):
            hits = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    if inside(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB):
                        hits += 1
            row.append(hits / (SUB * SUB))
        grid.append(row)
    return grid


def solid(grid):
    return [[c >= 0.5 for c in row] for row in grid]


def edge(mask, x, y):
    """A pixel of the shape with a 4-neighbour outside it."""
    h, w = len(mask), len(mask[0])
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        nx, ny = x + dx, y + dy
        if not (0 <= nx < w and 0 <= ny < h) or not mask[ny][nx]:
            return True
    return False


def paint(pixels, mask, fill, outline=None, shading=None):
    for y, row in enumerate(mask):
        for x, on in enumerate(row):
            if not on:
                continue
            if outline and edge(mask, x, y):
                pixels[y][x] = outline
            elif shading:
                pixels[y][x] = shading(x, y)
            else:
                pixels[y][x] = fill


def write_pixels(out, name, pixels):
    """One picture as C++ constants: its size and its pixels as 0xAARRGGBB, row by row from
    the top (the layout of QImage::Format_ARGB32)."""
    height, width = len(pixels), len(pixels[0])
    words = []
    for row in pixels:
        for pixel in row:
            r, g, b = pixel[:3]
            a = pixel[3] if len(pixel) == 4 else 255
            words.append("0x%02x%02x%02x%02xu" % (a, r, g, b))
    out.write("constexpr int k%sWidth = %d;\nconstexpr int k%sHeight = %d;\n" %
              (name, width, name, height))
    out.write("const std::uint32_t k%sPixels[%d] = {\n" % (name, width * height))
    for start in range(0, len(words), 6):
        out.write("    " + ", ".join(words[start:start + 6]) + ",\n")
    out.write("};\n\n")


def write_pictures(path, pictures):
    with open(path, "w") as out:
        out.write("// Written by make_images.py; do not edit. Included by pictures.cpp.\n\n")
        for name, pixels in pictures:
            write_pixels(out, name, pixels)


def write_png(path, rgba):
    height, width = len(rgba), len(rgba[0])
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def arrow_ring(cx, cy, inner, outer, start, end, head_at_end, head_length):
    """An arc of a ring from angle `start` to `end` (degrees, clockwise on screen) with an
    arrowhead at its end pointing on round the circle."""
    mid = (inner + outer) / 2

    def polar(angle, radius):
        a = math.radians(angle)
        return (cx + radius * math.cos(a), cy + radius * math.sin(a))

    base_in = polar(end, inner - 3.5)
    base_out = polar(end, outer + 3.5)
    tip = polar(end + head_length, mid)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        angle = math.degrees(math.atan2(dy, dx)) % 360
        span = (end - start) % 360
        if inner <= r <= outer and (angle - start) % 360 <= span:
            return True
        return head_at_end and in_triangle((x, y), base_in, base_out, tip)

    return inside


def execute_picture():
    w, h = 46, 32
    pixels = [[BACKGROUND] * w for _ in range(h)]
    cx, cy = 23.0, 16.0
    arrows = [arrow_ring(cx, cy, 7.5, 12.0, 200, 318, True, 40),
              arrow_ring(cx, cy, 7.5, 12.0, 20, 138, True, 40)]

    def shade(x, y):
        # Lighter towards the top left, as if lit from there.
        t = ((x - cx) + (y - cy)) / 30.0
        g = int(190 - 60 * t)
        return (30, max(110, min(220, g)), 40)

    for inside in arrows:
        paint(pixels, solid(coverage(w, h, inside)), None, outline=(0, 80, 0), shading=shade)
    return pixels


def cancel_picture():
    w, h = 46, 32
    pixels = [[BACKGROUND] * w for _ in range(h)]

    def cross(ox, oy):
        a, b = (15 + ox, 7 + oy), (31 + ox, 23 + oy)
        c, d = (31 + ox, 7 + oy), (15 + ox, 23 + oy)
        return lambda x, y: near_segment((x, y), a, b, 3.4) or near_segment((x, y), c, d, 3.4)

    paint(pixels, solid(coverage(w, h, cross(2.5, 2.5))), (72, 72, 80))

    def shade(x, y):
        t = (x + y - 38) / 30.0
        return (max(150, min(245, int(225 - 70 * t))), 20, 20)

    paint(pixels, solid(coverage(w, h, cross(0, 0))), None, outline=(120, 0, 0), shading=shade)
    return pixels


def icon_picture(size=64):
    """The drawing is made on a 64-pixel square and scaled to `size`."""
    rgba = [[(0, 0, 0, 0)] * size for _ in range(size)]
    scale = size / 64.0

    def scaled(width, height, inside):
        """coverage() of a shape given in the drawing's coordinates."""
        return coverage(width, height, lambda x, y: inside(x / scale, y / scale))

    def put(grid, colour):
        for y in range(size):
            for x in range(size):
                c = grid[y][x]
                if c <= 0:
                    continue
                r, g, b, a = rgba[y][x]
                na = c + a / 255 * (1 - c)
                mix = [int((colour[i] * c + (r, g, b)[i] * a / 255 * (1 - c)) / na) for i in range(3)]
                rgba[y][x] = (*mix, int(round(na * 255)))

    def rounded_rect(x0, y0, x1, y1, radius):
        def inside(x, y):
            qx = max(x0 + radius - x, 0, x - (x1 - radius))
            qy = max(y0 + radius - y, 0, y - (y1 - radius))
            return x0 <= x <= x1 and y0 <= y <= y1 and qx * qx + qy * qy <= radius * radius
        return inside

    # A ledger sheet with a shadow, ruled lines, and the green circular arrows over it.
    put(scaled(size, size, rounded_rect(9, 6, 51, 60, 4)), (40, 40, 60))
    put(scaled(size, size, rounded_rect(6, 3, 48, 57, 4)), (70, 90, 140))
    put(scaled(size, size, rounded_rect(8, 5, 46, 55, 3)), (250, 250, 246))
    for line in range(6):
        y = 13 + line * 7
        put(scaled(size, size, lambda x, yy, y=y: 13 <= x <= 41 and y <= yy <= y + 1.6),
            (150, 170, 210))
    cx, cy = 42.0, 42.0
    for start, end in ((200, 320), (20, 140)):
        inside = arrow_ring(cx, cy, 10.0, 16.5, start, end, True, 38)
        put(scaled(size, size, lambda x, y, f=inside: f(x, y) or
                    any(f(x + dx, y + dy) for dx, dy in ((1.2, 0), (-1.2, 0), (0, 1.2), (0, -1.2)))),
            (0, 70, 0))
        put(scaled(size, size, inside), (40, 175, 50))
    return rgba


if __name__ == "__main__":
    icon = icon_picture()
    write_pictures("pictures.inc", [("Execute", execute_picture()),
                                    ("Cancel", cancel_picture()), ("Icon", icon)])
    write_png("app_icon.png", icon)
    # The 64-pixel icon of the theme is app_icon.png itself (packaging/CMakeLists.txt).
    theme = os.path.join("..", "..", "..", "packaging", "icons", "hicolor")
    for size in (16, 24, 32, 48, 128, 256):
        folder = os.path.join(theme, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "contabiliza-pos.png"), icon_picture(size))
