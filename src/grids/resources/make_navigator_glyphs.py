#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Draws the navigator bar's button glyphs as XPM images.

Each file holds two images of one size side by side: on the left the normal glyph, black
with grey edges; on the right the disabled glyph, the same shape in grey with a white
emboss one pixel down and right. The background is transparent. The prior and next glyphs
are 10 x 13 pixels, the others 14 x 13.

Run it from this folder; it rewrites the ten dbn*.xpm files. Standard library only.
"""
import math

SUB = 4  # subsamples per pixel side
HEIGHT = 13

BLACK, GREY, WHITE, NONE = "X", "g", "w", " "
COLOURS = {NONE: "None", BLACK: "#000000", GREY: "#808080", WHITE: "#FFFFFF"}


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


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def triangle(a, b, c):
    return lambda x, y: in_triangle((x, y), a, b, c)


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def coverage(width, inside):
    """Fraction of each pixel covered by the shape `inside(x, y)`."""
    grid = []
    for y in range(HEIGHT):
        row = []
        for x in range(width):
            hits = sum(inside(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB)
                       for sy in range(SUB) for sx in range(SUB))
            row.append(hits / (SUB * SUB))
        grid.append(row)
    return grid


def glyph_pair(width, inside):
    """The normal and the disabled image side by side, as rows of colour keys."""
    cover = coverage(width, inside)
    # Mostly covered pixels are the black body; partly covered ones its grey edge.
    normal = [[BLACK if c >= 0.6 else GREY if c >= 0.2 else NONE for c in row] for row in cover]
    ink = [[c >= 0.2 for c in row] for row in cover]
    disabled = []
    for y in range(HEIGHT):
        line = []
        for x in range(width):
            if ink[y][x]:
                line.append(GREY)
            elif x > 0 and y > 0 and ink[y - 1][x - 1]:
                line.append(WHITE)
            else:
                line.append(NONE)
        disabled.append(line)
    return [n + d for n, d in zip(normal, disabled)]


def write_xpm(name, rows):
    width = len(rows[0])
    lines = [f'"{width} {len(rows)} {len(COLOURS)} 1",']
    lines += [f'"{key} c {colour}",' for key, colour in COLOURS.items()]
    lines += [f'"{"".join(row)}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    with open(f"{name.lower()}.xpm", "w") as out:
        out.write("/* XPM */\n")
        out.write(f"static const char *const {name.upper()}[] = {{\n")
        out.write("\n".join(lines))
        out.write("\n};\n")


def refresh():
    """A ring three quarters round, open at the top right, with an arrowhead at its end."""
    cx, cy, inner, outer = 7.0, 6.5, 2.6, 5.0
    start, end = 330.0, 240.0  # degrees, clockwise on screen, through the bottom

    def ring(x, y):
        r = math.hypot(x - cx, y - cy)
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return inner <= r <= outer and (angle - start) % 360 <= (end - start) % 360

    def polar(angle, radius):
        a = math.radians(angle)
        return (cx + radius * math.cos(a), cy + radius * math.sin(a))

    head = triangle(polar(end, inner - 2.2), polar(end, outer + 2.2), polar(end + 55, 3.5))
    return union(ring, head)


GLYPHS = {
    # A vertical bar, then a triangle pointing left.
    "dbnfirst": (14, union(box(2, 1, 4, 12), triangle((4.5, 6.5), (11, 0.5), (11, 12.5)))),
    "dbnprior": (10, triangle((1.5, 6.5), (8, 0.5), (8, 12.5))),
    "dbnnext": (10, triangle((8.5, 6.5), (2, 0.5), (2, 12.5))),
    # A triangle pointing right, then a vertical bar.
    "dbnlast": (14, union(triangle((9.5, 6.5), (3, 0.5), (3, 12.5)), box(10, 1, 12, 12))),
    "dbninsert": (14, union(box(3, 6, 11, 8), box(6, 2, 8, 12))),
    "dbndelete": (14, box(3, 6, 11, 8)),
    "dbnedit": (14, triangle((7, 2.5), (1, 9), (13, 9))),
    "dbnpost": (14, lambda x, y: near_segment((x, y), (2.5, 6.5), (5.5, 9.5), 1.2) or
                near_segment((x, y), (5.5, 9.5), (11.5, 3.0), 1.2)),
    "dbncancel": (14, lambda x, y: near_segment((x, y), (3, 2.5), (11, 10.5), 1.1) or
                  near_segment((x, y), (11, 2.5), (3, 10.5), 1.1)),
    "dbnrefresh": (14, refresh()),
}


if __name__ == "__main__":
    for file_name, (glyph_width, shape) in GLYPHS.items():
        write_xpm(file_name, glyph_pair(glyph_width, shape))
