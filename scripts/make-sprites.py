#!/usr/bin/env python3
"""Draws the asteroids example's sprites into examples/sprites/ as PNG files.

Black (0, 0, 0) is the colour the collection leaves out. Run it again after
changing a shape; the PNGs are kept in the repository.
"""
import math
import os

from png_writer import write_png

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "examples", "sprites")


def blank(w, h):
    return [[(0, 0, 0) for _ in range(w)] for _ in range(h)]


def inside_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    d1, d2, d3 = side((px, py), a, b), side((px, py), b, c), side((px, py), c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def ship(angle):
    """A 32 x 32 ship whose nose points `angle` degrees clockwise from up."""
    img = blank(32, 32)
    a = math.radians(angle)

    def turn(x, y):
        return (16 + x * math.cos(a) - y * math.sin(a), 16 + x * math.sin(a) + y * math.cos(a))
    nose, left, right, notch = turn(0, -13), turn(-10, 11), turn(10, 11), turn(0, 6)
    flame = (turn(-4, 8), turn(4, 8), turn(0, 15))
    for y in range(32):
        for x in range(32):
            cx, cy = x + 0.5, y + 0.5
            if inside_triangle(cx, cy, *flame):
                img[y][x] = (255, 140, 20)
            if inside_triangle(cx, cy, nose, left, notch) or inside_triangle(cx, cy, nose, notch, right):
                img[y][x] = (200, 220, 255)
                if inside_triangle(cx, cy, turn(0, -7), turn(-3, 0), turn(3, 0)):
                    img[y][x] = (40, 90, 200)
    return img


def rock(seed):
    img = blank(32, 32)
    bumps = [13 + 2.5 * math.sin(seed * 1.7 + k * 2.1) for k in range(12)]
    for y in range(32):
        for x in range(32):
            dx, dy = x + 0.5 - 16, y + 0.5 - 16
            t = (math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 12
            k = int(t) % 12
            f = t - int(t)
            r = bumps[k] * (1 - f) + bumps[(k + 1) % 12] * f
            d = math.hypot(dx, dy)
            if d < r:
                shade = 150 - int(40 * (dx + dy) / 32)
                img[y][x] = (shade, shade - 15, shade - 30)
                for cx, cy, cr in ((-4, -3, 3), (5, 4, 2.5), (2, -7, 2)):
                    if math.hypot(dx - cx + seed, dy - cy) < cr:
                        img[y][x] = (shade - 50, shade - 60, shade - 70)
    return img


def gem():
    img = blank(16, 16)
    for y in range(16):
        for x in range(16):
            d = abs(x + 0.5 - 8) + abs(y + 0.5 - 8)
            if d < 7.5:
                img[y][x] = (255, 230, 60) if d < 4 else (230, 170, 20)
    return img


def strip(images, w, h):
    out = blank(w * len(images), h)
    for i, img in enumerate(images):
        for y in range(h):
            out[y][i * w:(i + 1) * w] = img[y]
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    ships = strip([ship(a) for a in range(0, 360, 45)], 32, 32)
    write_png(os.path.join(OUT, "ship.png"), 256, 32, ships)
    write_png(os.path.join(OUT, "rocks.png"), 64, 32, strip([rock(0), rock(3)], 32, 32))
    write_png(os.path.join(OUT, "gem.png"), 16, 16, gem())


if __name__ == "__main__":
    main()
