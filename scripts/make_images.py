#!/usr/bin/env python3
"""Draws the program's images into src/Resources (icon, logo, title-bar buttons, shadow,
and the desktop icon in the sizes of the hicolor theme).

Standard library only and deterministic: the same script gives the same pixels on every
machine. Shapes are described by signed distance functions and antialiased by
supersampling. Run from anywhere:  python3 scripts/make_images.py [output-dir]
"""

import math
import os
import struct
import sys
import zlib

SAMPLES = 4  # supersampling grid per pixel axis

TITLE_BLUE = (40, 119, 192)
LIGHT_BLUE = (92, 168, 232)
DEEP_BLUE = (22, 84, 150)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight-alpha RGBA canvas with floats in 0..1."""

    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        p = self.px[y * self.w + x]
        r, g, b = (c / 255.0 for c in rgb)
        out_a = alpha + p[3] * (1.0 - alpha)
        if out_a <= 0.0:
            return
        keep = p[3] * (1.0 - alpha)
        p[0] = (r * alpha + p[0] * keep) / out_a
        p[1] = (g * alpha + p[1] * keep) / out_a
        p[2] = (b * alpha + p[2] * keep) / out_a
        p[3] = out_a

    def fill(self, sdf, color, opacity=1.0, bounds=None):
        """Paints where sdf(x, y) <= 0; color is an (r, g, b) or a function of (x, y)."""
        x0, y0, x1, y1 = bounds if bounds else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        n = SAMPLES
        offsets = [(i + 0.5) / n for i in range(n)]
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if sdf(x + ox, y + oy) <= 0.0:
                            hits += 1
                if hits:
                    rgb = color(x + 0.5, y + 0.5) if callable(color) else color
                    self.blend(x, y, rgb, opacity * hits / (n * n))

    def set_pixel(self, x, y, rgb, alpha):
        self.px[y * self.w + x] = [c / 255.0 for c in rgb] + [alpha]

    def rgba_bytes(self):
        out = bytearray()
        for p in self.px:
            out += bytes(int(round(max(0.0, min(1.0, c)) * 255)) for c in p)
        return bytes(out)


# ---------------------------------------------------------------- shapes (distance functions)

def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - radius
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, width):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy or 1e-9

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / length2))
        return math.hypot(x - ax - t * vx, y - ay - t * vy) - width / 2.0
    return sdf


def polyline(points, width):
    parts = [segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def ring(cx, cy, rx, ry, width):
    # Approximate distance to an ellipse outline, good enough for thin strokes.
    def sdf(x, y):
        dx, dy = (x - cx) / rx, (y - cy) / ry
        d = math.hypot(dx, dy)
        return abs(d - 1.0) * min(rx, ry) - width / 2.0
    return sdf


def vertical_gradient(top, bottom, y0, y1):
    def color(_x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return color


# ---------------------------------------------------------------- file formats

def png_bytes(canvas):
    raw = canvas.rgba_bytes()
    stride = canvas.w * 4
    rows = b"".join(b"\x00" + raw[y * stride:(y + 1) * stride] for y in range(canvas.h))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def ico_bytes(canvases):
    """Icon file of 32-bit BGRA bitmaps (each with its all-clear AND mask)."""
    images = []
    for c in canvases:
        raw = c.rgba_bytes()
        xor = bytearray()
        for y in reversed(range(c.h)):  # bitmaps are stored bottom-up
            for x in range(c.w):
                r, g, b, a = raw[(y * c.w + x) * 4:(y * c.w + x) * 4 + 4]
                xor += bytes((b, g, r, a))
        mask_stride = ((c.w + 31) // 32) * 4
        mask = bytes(mask_stride * c.h)
        info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        images.append(info + bytes(xor) + mask)

    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


# ---------------------------------------------------------------- pictures

def app_icon(size):
    """Rounded blue tile with a two-wire bus and three nodes on it."""
    s = float(size)
    c = Canvas(size, size)
    rim = max(1.0, s / 20.0)
    tile = rounded_rect(0.5, 0.5, s - 0.5, s - 0.5, s * 0.2)
    # A light rim keeps the tile visible on the blue title bar.
    c.fill(tile, WHITE)
    inner = rounded_rect(0.5 + rim, 0.5 + rim, s - 0.5 - rim, s - 0.5 - rim, s * 0.2 - rim)
    c.fill(inner, vertical_gradient(LIGHT_BLUE, DEEP_BLUE, 0, s))
    line = max(1.0, s * 0.07)
    bus = union(segment(s * 0.14, s * 0.62, s * 0.86, s * 0.62, line),
                segment(s * 0.14, s * 0.78, s * 0.86, s * 0.78, line))
    c.fill(bus, WHITE)
    for fx in (0.27, 0.5, 0.73):
        c.fill(segment(s * fx, s * 0.36, s * fx, s * 0.62, line * 0.9), WHITE)
        c.fill(circle(s * fx, s * 0.30, s * 0.085), WHITE)
    return c


def delete_icon(size):
    """Red disc with a white cross."""
    s = float(size)
    c = Canvas(size, size)
    c.fill(circle(s / 2, s / 2, s * 0.46), vertical_gradient((236, 84, 84), (196, 32, 32), 0, s))
    arm = s * 0.2
    line = max(1.2, s * 0.11)
    c.fill(union(segment(s / 2 - arm, s / 2 - arm, s / 2 + arm, s / 2 + arm, line),
                 segment(s / 2 - arm, s / 2 + arm, s / 2 + arm, s / 2 - arm, line)), WHITE)
    return c


# Stroke letters on a unit grid: x from 0 to the advance, y from 0 (top) to 1 (bottom).
LETTERS = {
    "H": (0.62, [[(0, 0), (0, 1)], [(0.62, 0), (0.62, 1)], [(0, 0.5), (0.62, 0.5)]]),
    "A": (0.66, [[(0, 1), (0.33, 0), (0.66, 1)], [(0.13, 0.62), (0.53, 0.62)]]),
    "R": (0.6, [[(0, 1), (0, 0), (0.42, 0), (0.58, 0.13), (0.58, 0.37), (0.42, 0.5), (0, 0.5)],
                [(0.3, 0.5), (0.6, 1)]]),
    "L": (0.52, [[(0, 0), (0, 1), (0.52, 1)]]),
    "W": (0.86, [[(0, 0), (0.2, 1), (0.43, 0.3), (0.66, 1), (0.86, 0)]]),
    "E": (0.52, [[(0.52, 0), (0, 0), (0, 1), (0.52, 1)], [(0, 0.5), (0.44, 0.5)]]),
    "N": (0.62, [[(0, 1), (0, 0), (0.62, 1), (0.62, 0)]]),
}


def text_shape(text, x, top, height, stroke, gap):
    shapes = []
    for ch in text:
        if ch == "O":
            rx = height * 0.36
            shapes.append(ring(x + rx, top + height / 2.0, rx, height / 2.0, stroke))
            x += 2 * rx + gap
            continue
        advance, strokes = LETTERS[ch]
        for line in strokes:
            shapes.append(polyline([(x + px * height, top + py * height) for px, py in line],
                                   stroke))
        x += advance * height + gap
    return union(*shapes), x - gap


def company_logo():
    w, h = 186, 30
    c = Canvas(w, h)
    # Emblem: a tile with a bus line, echoing the icon.
    c.fill(rounded_rect(2, 3, 26, 27, 5), vertical_gradient(LIGHT_BLUE, TITLE_BLUE, 3, 27),
           bounds=(0, 0, 30, 30))
    c.fill(union(segment(7, 11, 7, 19, 2.4), segment(21, 11, 21, 19, 2.4),
                 segment(7, 15, 21, 15, 2.4)), WHITE, bounds=(0, 0, 30, 30))
    shape, end = text_shape("HARLOWEN", 34.0, 7.0, 16.0, 2.6, 4.0)
    c.fill(shape, TITLE_BLUE, bounds=(30, 0, min(w, end + 4), h))
    return c


BUTTON_W, BUTTON_H = 28, 24


def title_button(glyph, state):
    c = Canvas(BUTTON_W, BUTTON_H)
    full = rounded_rect(0, 0, BUTTON_W, BUTTON_H, 0.01)
    if state == "hover":
        if glyph == "close":
            c.fill(full, (232, 17, 35))
        else:
            c.fill(full, WHITE, opacity=0.22)
    elif state == "pressed":
        if glyph == "close":
            c.fill(full, (176, 12, 26))
        else:
            c.fill(full, BLACK, opacity=0.22)

    cx, cy = BUTTON_W / 2.0, BUTTON_H / 2.0
    stroke = 1.4
    if glyph == "min":
        shape = segment(cx - 5, cy + 3, cx + 5, cy + 3, stroke)
    elif glyph == "close":
        shape = union(segment(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, stroke),
                      segment(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5, stroke))
    else:  # menu: three bars
        shape = union(*(segment(cx - 5, cy + dy, cx + 5, cy + dy, stroke) for dy in (-4, 0, 4)))
    c.fill(shape, WHITE)
    return c


# Alpha of the two-pixel shadow, outer pixel first.
SHADOW_OUTER, SHADOW_INNER = 0.10, 0.24


def shadow_piece(name):
    c = Canvas(2, 2)
    for y in range(2):
        for x in range(2):
            # Distance from the window body: 0 for the inner pixel row or column.
            outer_x = {"left": x == 0, "right": x == 1}
            outer_y = {"top": y == 0, "bottom": y == 1}
            parts = name.split("_")
            horiz = next((outer_x[p] for p in parts if p in outer_x), None)
            vert = next((outer_y[p] for p in parts if p in outer_y), None)
            flags = [f for f in (horiz, vert) if f is not None]
            if len(flags) == 1:
                alpha = SHADOW_OUTER if flags[0] else SHADOW_INNER
            else:  # corner: fades with the number of outer axes
                alpha = {0: SHADOW_INNER * 0.8, 1: SHADOW_OUTER * 0.8, 2: SHADOW_OUTER * 0.4}[
                    sum(1 for f in flags if f)]
            c.set_pixel(x, y, BLACK, alpha)
    return c


# ---------------------------------------------------------------- main

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "Resources")
    out = os.path.normpath(out)

    write(os.path.join(out, "app.ico"), ico_bytes([app_icon(32), app_icon(16), app_icon(48)]))
    for size in (48, 128, 256):
        write(os.path.join(out, "hicolor", "%dx%d" % (size, size), "apps", "brantel.png"),
              png_bytes(app_icon(size)))
    write(os.path.join(out, "del.ico"), ico_bytes([delete_icon(16), delete_icon(32)]))
    write(os.path.join(out, "company_logo.png"), png_bytes(company_logo()))
    for glyph in ("menu", "min", "close"):
        for state, suffix in (("normal", ""), ("hover", "_hover"), ("pressed", "_pressed")):
            write(os.path.join(out, "sysButton", glyph + suffix + ".png"),
                  png_bytes(title_button(glyph, state)))
    for name in ("left", "right", "top", "bottom", "left_top", "right_top", "left_bottom",
                 "right_bottom"):
        write(os.path.join(out, "shadow", "shadow_" + name + ".png"),
              png_bytes(shadow_piece(name)))


if __name__ == "__main__":
    main()
