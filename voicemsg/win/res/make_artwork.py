#!/usr/bin/env python3
"""Draws the voice-message dialog's button strips and icon.

Each strip is 104 x 22 pixels, 24-bit: four images of 26 x 22 side by side
(normal, hover and pressed, disabled, and a spare pressed-looking one). The
icon holds 32 x 32 and 16 x 16 images. Only the standard library is used;
shapes are antialiased by supersampling. Run from anywhere:
    python3 make_artwork.py [OUTPUT_DIR]
"""
import math
import os
import struct
import sys

W, H = 26, 22
FACE = (240, 240, 240)  # the dialog's face colour around the rounded corners
SS = 4                  # samples per pixel and axis


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def coverage(inside, x, y):
    """Share of pixel (x, y) for which inside(px, py) holds."""
    hits = 0
    for i in range(SS):
        for j in range(SS):
            if inside(x + (i + 0.5) / SS, y + (j + 0.5) / SS):
                hits += 1
    return hits / (SS * SS)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(px, py):
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r and x0 <= px <= x1 and y0 <= py <= y1
    return inside


def circle(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def triangle(points):
    (ax, ay), (bx, by), (cx, cy) = points

    def side(px, py, x0, y0, x1, y1):
        return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0)

    def inside(px, py):
        d1 = side(px, py, ax, ay, bx, by)
        d2 = side(px, py, bx, by, cx, cy)
        d3 = side(px, py, cx, cy, ax, ay)
        return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)
    return inside


def union(*shapes):
    return lambda px, py: any(s(px, py) for s in shapes)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, inside, colour_at, left=0, top=0, right=None, bottom=None, opacity=1.0):
        right = self.width if right is None else right
        bottom = self.height if bottom is None else bottom
        for y in range(top, bottom):
            for x in range(left, right):
                c = coverage(inside, x, y) * opacity
                if c > 0:
                    self.pixels[y][x] = mix(self.pixels[y][x], colour_at(x, y), c)


# Button looks: border, top and bottom of the body gradient, glyph colour change.
LOOKS = {
    "normal": dict(border=(140, 152, 168), top=(252, 253, 255), bottom=(214, 222, 232), glyph=1.0),
    "hover": dict(border=(60, 140, 215), top=(246, 251, 255), bottom=(190, 224, 250), glyph=1.15),
    "disabled": dict(border=(190, 190, 190), top=(244, 244, 244), bottom=(228, 228, 228), glyph=None),
    "pressed": dict(border=(70, 120, 175), top=(190, 214, 238), bottom=(228, 238, 250), glyph=0.9),
}


def glyph_colour(base, look):
    if look["glyph"] is None:  # greyed: a light grey of the glyph's brightness
        grey = round(0.3 * base[0] + 0.59 * base[1] + 0.11 * base[2])
        return (min(255, grey // 3 + 150),) * 3
    return tuple(min(255, round(c * look["glyph"])) for c in base)


def draw_button(canvas, ox, look, glyph, glyph_base):
    body = rounded_rect(ox + 0.5, 0.5, ox + W - 0.5, H - 0.5, 4.0)
    inner = rounded_rect(ox + 1.5, 1.5, ox + W - 1.5, H - 1.5, 3.0)
    canvas.fill(body, lambda x, y: look["border"], ox, 0, ox + W, H)
    canvas.fill(inner, lambda x, y: mix(look["top"], look["bottom"], (y - 1) / (H - 3)), ox, 0, ox + W, H)
    # A soft highlight over the upper half gives the surface some gloss.
    shine = rounded_rect(ox + 2.5, 2.0, ox + W - 2.5, H / 2, 2.5)
    if look["glyph"]:
        canvas.fill(shine, lambda x, y: (255, 255, 255), ox, 0, ox + W, H // 2 + 1, opacity=0.55)
    colour = glyph_colour(glyph_base, look)
    shape = glyph(ox + W / 2, H / 2)
    canvas.fill(shape, lambda x, y: mix(colour, (0, 0, 0), 0.18 * (y - 5) / 12), ox, 0, ox + W, H)


def record_glyph(cx, cy):
    return circle(cx, cy, 5.0)


def stop_glyph(cx, cy):
    return rounded_rect(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 1.0)


def play_glyph(cx, cy):
    return triangle([(cx - 3.5, cy - 6), (cx - 3.5, cy + 6), (cx + 6, cy)])


def pause_glyph(cx, cy):
    return union(rounded_rect(cx - 5, cy - 5.5, cx - 1.5, cy + 5.5, 0.8),
                 rounded_rect(cx + 1.5, cy - 5.5, cx + 5, cy + 5.5, 0.8))


def speaker_glyph(cx, cy):
    box = rounded_rect(cx - 6, cy - 2.5, cx - 2.5, cy + 2.5, 0.5)
    cone = triangle([(cx - 3, cy - 2.5), (cx + 2.5, cy - 6.5), (cx + 2.5, cy + 6.5)])
    cone2 = triangle([(cx - 3, cy - 2.5), (cx + 2.5, cy + 6.5), (cx - 3, cy + 2.5)])
    wave = lambda px, py: 4.2 <= math.hypot(px - (cx + 1), py - cy) <= 5.6 and px > cx + 3.6
    return union(box, cone, cone2, wave)


STRIPS = [
    ("record.bmp", record_glyph, (214, 40, 40)),
    ("stop.bmp", stop_glyph, (64, 72, 84)),
    ("play.bmp", play_glyph, (36, 150, 60)),
    ("pause.bmp", pause_glyph, (64, 72, 84)),
    ("speaker.bmp", speaker_glyph, (40, 96, 170)),
]


def strip(glyph, base):
    canvas = Canvas(W * 4, H, FACE)
    for i, name in enumerate(["normal", "hover", "disabled", "pressed"]):
        draw_button(canvas, i * W, LOOKS[name], glyph, base)
    return canvas


def bmp_bytes(canvas):
    row = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(canvas.height)):  # bottom-up
        line = bytearray()
        for r, g, b in canvas.pixels[y]:
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 54) + header + data


def icon_image(size):
    """A microphone on a blue tile, with alpha."""
    s = size / 32
    canvas = Canvas(size, size, (0, 0, 0))
    alpha = [[0.0] * size for _ in range(size)]
    tile = rounded_rect(1 * s, 1 * s, 31 * s, 31 * s, 6 * s)
    capsule = rounded_rect(12.5 * s, 5 * s, 19.5 * s, 19 * s, 3.5 * s)
    cradle = lambda px, py: (6.8 * s <= math.hypot(px - 16 * s, py - 14 * s) <= 8.8 * s) and py >= 14 * s
    stem = rounded_rect(15 * s, 22 * s, 17 * s, 26.5 * s, 0.3 * s)
    foot = rounded_rect(10.5 * s, 25.5 * s, 21.5 * s, 27.5 * s, 1 * s)
    top, bottom = (90, 170, 245), (25, 90, 190)
    for y in range(size):
        for x in range(size):
            alpha[y][x] = coverage(tile, x, y)
    canvas.fill(tile, lambda x, y: mix(top, bottom, y / size))
    canvas.fill(union(capsule, cradle, stem, foot), lambda x, y: (255, 255, 255))
    return canvas, alpha


def ico_bytes(sizes):
    images = []
    for size in sizes:
        canvas, alpha = icon_image(size)
        pixels = bytearray()
        for y in reversed(range(size)):
            for x in range(size):
                r, g, b = canvas.pixels[y][x]
                pixels += bytes((b, g, r, round(255 * alpha[y][x])))
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(size)):
            bits = bytearray(mask_row)
            for x in range(size):
                if alpha[y][x] < 0.5:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append(header + pixels + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, glyph, base in STRIPS:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bmp_bytes(strip(glyph, base)))
    with open(os.path.join(folder, "lumvox.ico"), "wb") as f:
        f.write(ico_bytes([32, 16]))


if __name__ == "__main__":
    main()
