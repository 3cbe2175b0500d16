#!/usr/bin/env python3
"""Draws the program's images and writes them as BMP and ICO files for ringlog.rc.

    python3 tools/resgen/resgen.py OUTPUT_DIR

writes calltypes.bmp (122 x 28, 24 bits per pixel), logo.bmp (91 x 79, 8 bits per pixel with
its own palette) and ringlog.ico (one 32 x 32 image with alpha). Shapes are described by signed
distance functions and anti-aliased by their distance to the pixel centre, so the images are the
same on every run. Only the standard library is used.
"""

import math
import struct
import sys
from pathlib import Path

# The list paints its icon column in this colour; the buttons of the call-type icons use it too.
BUTTON_BLUE = (74, 121, 173)
PURE_WHITE = (255, 255, 255)


# ---------------------------------------------------------------- shapes (signed distances)

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - r
    return sdf


def capsule(ax, ay, bx, by, r):
    def sdf(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return sdf


def polygon(points):
    """Signed distance to a simple polygon (negative inside)."""
    def sdf(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            d = min(d, math.hypot(x - ax - vx * t, y - ay - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / (by - ay):
                inside = not inside
        return -d if inside else d
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def smooth_union(a, b, k):
    def sdf(x, y):
        da, db = a(x, y), b(x, y)
        h = max(0.0, min(1.0, 0.5 + 0.5 * (db - da) / k))
        return db * (1 - h) + da * h - k * h * (1 - h)
    return sdf


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(shape, amount):
    return lambda x, y: shape(x, y) - amount


def transformed(shape, cx, cy, angle_deg, scale=1.0):
    """The shape drawn around (0, 0), turned by angle_deg and moved to (cx, cy)."""
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)

    def sdf(x, y):
        dx, dy = (x - cx) / scale, (y - cy) / scale
        return shape(dx * ca + dy * sa, -dx * sa + dy * ca) * scale
    return sdf


def handset():
    """A telephone handset around (0, 0), about 18 units tall: a curved grip bulging to the left
    with the earpiece at the top and the mouthpiece at the bottom, both turned inwards."""
    centre_x, radius, half_width = 7.0, 8.5, 1.9
    points = []
    for i in range(13):
        a = math.radians(128 + (232 - 128) * i / 12)
        points.append((centre_x + radius * math.cos(a), -radius * math.sin(a)))
    grip = union(*[capsule(ax, ay, bx, by, half_width) for (ax, ay), (bx, by) in zip(points, points[1:])])

    def pad(at):
        towards_centre = math.degrees(math.atan2(-at[1], centre_x - at[0]))
        return transformed(round_rect(-2.0, -3.3, 4.2, 3.3, 2.4), at[0], at[1], towards_centre)
    return smooth_union(smooth_union(grip, pad(points[0]), 0.8), pad(points[-1]), 0.8)


def arrow(ax, ay, bx, by, shaft, head_len, head_half):
    """An arrow from (ax, ay) to its tip (bx, by)."""
    length = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / length, (by - ay) / length
    nx, ny = -uy, ux
    base_x, base_y = bx - ux * head_len, by - uy * head_len
    head = polygon([(bx, by), (base_x + nx * head_half, base_y + ny * head_half),
                    (base_x - nx * head_half, base_y - ny * head_half)])
    stem = capsule(ax, ay, base_x + ux * 0.5, base_y + uy * 0.5, shaft)
    return union(head, stem)


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight-alpha RGBA pixels as floats 0..1, with shape painting by coverage."""

    def __init__(self, width, height, colour=(0, 0, 0), alpha=1.0):
        self.width, self.height = width, height
        r, g, b = (c / 255 for c in colour)
        self.px = [[r, g, b, alpha] for _ in range(width * height)]

    def paint(self, shape, colour, x0=0, y0=0, x1=None, y1=None, opacity=1.0):
        """colour: an RGB tuple or a function (x, y) -> RGB tuple."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                d = shape(x + 0.5, y + 0.5)
                cover = max(0.0, min(1.0, 0.5 - d)) * opacity
                if cover <= 0.0:
                    continue
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                self.blend(x, y, [v / 255 for v in c], cover)

    def blend(self, x, y, rgb, a):
        p = self.px[y * self.width + x]
        out_a = a + p[3] * (1 - a)
        if out_a <= 0.0:
            return
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * p[3] * (1 - a)) / out_a
        p[3] = out_a

    def set(self, x, y, rgb):
        self.px[y * self.width + x] = [v / 255 for v in rgb] + [1.0]

    def rgb(self, x, y):
        p = self.px[y * self.width + x]
        return tuple(max(0, min(255, int(round(v * 255)))) for v in p[:3])

    def rgba(self, x, y):
        p = self.px[y * self.width + x]
        return self.rgb(x, y) + (max(0, min(255, int(round(p[3] * 255)))),)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vertical(top, bottom, y0, y1):
    def colour(_x, y):
        return mix(top, bottom, max(0.0, min(1.0, (y - y0) / (y1 - y0))))
    return colour


# ---------------------------------------------------------------- the call-type strip

STRIP_W, STRIP_H, IMAGE_W = 122, 28, 40
ORANGE_TOP, ORANGE_BOTTOM = (255, 176, 64), (240, 118, 20)
ORANGE_EDGE = (150, 66, 8)


def draw_button(c, ox):
    """The rounded blue button of one image, with a soft bevel; its ground is BUTTON_BLUE."""
    body = round_rect(ox + 4, 1, ox + 36, 27, 7)
    c.paint(grow(body, 0.6), (44, 78, 122), ox, 0, ox + IMAGE_W)
    c.paint(body, vertical((112, 156, 205), BUTTON_BLUE, 1, 14), ox, 0, ox + IMAGE_W)
    lower = subtract(body, round_rect(ox, -10, ox + IMAGE_W, 14, 1))
    c.paint(lower, vertical(BUTTON_BLUE, (64, 108, 158), 14, 27), ox, 0, ox + IMAGE_W)
    # A thin highlight along the top edge of the button.
    rim = subtract(round_rect(ox + 5, 2, ox + 35, 26, 6), round_rect(ox + 5, 3, ox + 35, 27, 6))
    c.paint(rim, (150, 188, 228), ox, 0, ox + IMAGE_W, opacity=0.7)


def draw_handset(c, ox, cx, cy, angle):
    shape = transformed(handset(), ox + cx, cy, angle, 0.8)
    c.paint(grow(shape, 0.9), ORANGE_EDGE, ox, 0, ox + IMAGE_W, opacity=0.85)
    c.paint(shape, vertical(ORANGE_TOP, ORANGE_BOTTOM, cy - 7, cy + 7), ox, 0, ox + IMAGE_W)


def draw_exclamation(c, ox):
    """A red badge over the button's corner with a white exclamation mark of exactly 32
    pure-white pixels: a bar 3 wide and 8 high ending in a point 1 wide and 2 high, and a dot
    3 x 2."""
    badge = circle(ox + 29.5, 14.0, 8.5)
    c.paint(grow(badge, 0.9), (110, 20, 16), ox, 0, ox + IMAGE_W, opacity=0.8)
    c.paint(badge, vertical((240, 84, 64), (190, 30, 22), 5, 23), ox, 0, ox + IMAGE_W)
    # The mark is set pixel by pixel so that its white is exactly the mask colour.
    centre = ox + 29
    for y in range(7, 15):
        for x in (centre - 1, centre, centre + 1):
            c.set(x, y, PURE_WHITE)
    for y in (15, 16):
        c.set(centre, y, PURE_WHITE)
    for y in (19, 20):
        for x in (centre - 1, centre, centre + 1):
            c.set(x, y, PURE_WHITE)


def draw_arrow(c, ox, tail, tip, fill_top, fill_bottom, edge):
    shape = arrow(ox + tail[0], tail[1], ox + tip[0], tip[1], 1.35, 5.2, 3.9)
    c.paint(grow(shape, 0.9), edge, ox, 0, ox + IMAGE_W, opacity=0.85)
    c.paint(shape, vertical(fill_top, fill_bottom, min(tail[1], tip[1]), max(tail[1], tip[1])),
            ox, 0, ox + IMAGE_W)


def call_types():
    c = Canvas(STRIP_W, STRIP_H, BUTTON_BLUE)
    for image in range(3):
        ox = image * IMAGE_W
        draw_button(c, ox)
        draw_handset(c, ox, 13.0, 15.0, -40)
    draw_exclamation(c, 0)
    # Outgoing: green, pointing up and to the right, away from the handset.
    draw_arrow(c, 40, (23.5, 19.5), (32.5, 7.0), (120, 230, 90), (40, 170, 40), (20, 80, 20))
    # Incoming: orange, pointing down and to the left, towards the handset.
    draw_arrow(c, 80, (33.0, 6.0), (24.0, 17.5), ORANGE_TOP, ORANGE_BOTTOM, ORANGE_EDGE)
    return c


# ---------------------------------------------------------------- the logo

LOGO_W, LOGO_H = 91, 79


def logo():
    c = Canvas(LOGO_W, LOGO_H, (255, 255, 255))
    # A rounded tile with a handset and rings spreading from it, the name below.
    tile = round_rect(20.5, 4.5, 70.5, 54.5, 11)
    c.paint(grow(tile, 1.2), (180, 196, 218), opacity=0.7)
    c.paint(tile, vertical((110, 158, 212), (44, 84, 138), 4, 55))
    gloss = subtract(round_rect(22, 6, 69, 53, 10), circle(45.5, 70, 38))
    c.paint(gloss, (255, 255, 255), opacity=0.18)
    shape = transformed(handset(), 39.5, 33.0, -40, 1.6)
    c.paint(grow(shape, 1.3), ORANGE_EDGE, opacity=0.85)
    c.paint(shape, vertical(ORANGE_TOP, ORANGE_BOTTOM, 17, 50))
    draw_rings(c, 44.5, 26.0, (7.0, 12.0, 17.0), 1.4)
    draw_word(c, 72.0)
    return c


def draw_rings(c, cx, cy, radii, half_width):
    """Arcs of rings opening to the upper right, the sound spreading from the earpiece."""
    far = [(cx + 60 * math.cos(math.radians(a)), cy - 60 * math.sin(math.radians(a))) for a in (-5, 45, 95)]
    wedge = polygon([(cx, cy)] + far)
    for i, r in enumerate(radii):
        ring = subtract(circle(cx, cy, r + half_width), circle(cx, cy, r - half_width))
        arc = lambda x, y, ring=ring: max(ring(x, y), wedge(x, y))
        c.paint(arc, (252, 252, 252), opacity=0.95 - 0.18 * i)


# Strokes of the capital letters of the name on a 4 x 6 grid, as polylines and arcs.
def letter_strokes(ch):
    if ch == "R":
        return [[(0, 6), (0, 0), (2.6, 0)], [(0, 3), (2.6, 3)], [(2.4, 3), (4, 6)], ("arc", 2.6, 1.5, 1.5, -90, 90)]
    if ch == "I":
        return [[(0, 0), (0, 6)]]
    if ch == "N":
        return [[(0, 6), (0, 0), (4, 6), (4, 0)]]
    if ch == "G":
        return [("arc", 2.2, 3, 3, 40, 320), [(4.4, 3.4), (4.4, 5.2)], [(2.6, 3.4), (4.4, 3.4)]]
    if ch == "L":
        return [[(0, 0), (0, 6), (3.6, 6)]]
    if ch == "O":
        return [("arc", 2.4, 3, 3, 0, 360)]
    raise ValueError(ch)


LETTER_WIDTH = {"R": 4.4, "I": 0.0, "N": 4.0, "G": 4.6, "L": 3.6, "O": 4.8}


def stroke_shape(strokes, ox, oy, scale, radius):
    parts = []
    for s in strokes:
        if isinstance(s, tuple) and s[0] == "arc":
            _, cx, cy, r, a0, a1 = s
            n = 16
            pts = []
            for i in range(n + 1):
                a = math.radians(a0 + (a1 - a0) * i / n)
                pts.append((cx + r * math.cos(a), cy - r * math.sin(a) * 1.0))
        else:
            pts = s
        pts = [(ox + x * scale, oy + y * scale) for x, y in pts]
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            parts.append(capsule(ax, ay, bx, by, radius))
    return union(*parts)


def draw_word(c, baseline):
    word = "RINGLOG"
    scale, gap, radius = 1.45, 2.6, 0.75
    width = sum(LETTER_WIDTH[ch] * scale for ch in word) + gap * (len(word) - 1)
    x = (LOGO_W - width) / 2
    top = baseline - 6 * scale
    parts = []
    for ch in word:
        parts.append(stroke_shape(letter_strokes(ch), x, top, scale, radius))
        x += LETTER_WIDTH[ch] * scale + gap
    c.paint(union(*parts), (46, 86, 140), 0, int(top) - 2, LOGO_W, int(baseline) + 3)


# ---------------------------------------------------------------- the icon

def icon():
    c = Canvas(32, 32, (0, 0, 0), alpha=0.0)
    tile = round_rect(1, 1, 31, 31, 7)
    c.paint(tile, vertical((104, 152, 206), (46, 86, 140), 1, 31))
    gloss = subtract(round_rect(2, 2, 30, 30, 6), circle(16, 40, 24))
    c.paint(gloss, (255, 255, 255), opacity=0.16)
    shape = transformed(handset(), 13.0, 18.0, -40, 0.95)
    c.paint(grow(shape, 0.9), ORANGE_EDGE, opacity=0.85)
    c.paint(shape, vertical(ORANGE_TOP, ORANGE_BOTTOM, 8, 28))
    draw_rings(c, 16.0, 14.0, (5.0, 9.5), 1.1)
    return c


# ---------------------------------------------------------------- file writers

def dib_rows(width, height, bits, pixel_bytes):
    """Bottom-up rows padded to 4 bytes; pixel_bytes(x, y) gives one pixel's bytes."""
    stride = (width * bits + 31) // 32 * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            row += pixel_bytes(x, y)
        row += b"\0" * (stride - len(row))
        out += row
    return out


def info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours, 0)


def bmp_file(dib, palette_bytes=0):
    """A BMP file: the 14-byte file header, then the DIB; pixels follow header and palette."""
    return struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, 14 + 40 + palette_bytes) + dib


def write_bmp24(c, path):
    rows = dib_rows(c.width, c.height, 24, lambda x, y: bytes(reversed(c.rgb(x, y))))
    dib = info_header(c.width, c.height, 24, len(rows), 0) + rows
    path.write_bytes(bmp_file(dib))


def median_cut(colours, count):
    """A palette of at most `count` colours for the given (colour, weight) pairs."""
    boxes = [list(colours)]
    while len(boxes) < count:
        best, best_range, axis = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for a in range(3):
                vals = [col[a] for col, _ in box]
                rng = (max(vals) - min(vals)) * math.sqrt(sum(w for _, w in box))
                if rng > best_range:
                    best, best_range, axis = i, rng, a
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda cw: cw[0][axis])
        total, half, acc = sum(w for _, w in box), 0, 0
        for half, (_, w) in enumerate(box):
            acc += w
            if acc * 2 >= total:
                break
        half = max(1, min(len(box) - 1, half + 1))
        boxes += [box[:half], box[half:]]
    palette = []
    for box in boxes:
        total = sum(w for _, w in box)
        palette.append(tuple(int(round(sum(col[a] * w for col, w in box) / total)) for a in range(3)))
    return palette


def write_bmp8(c, path):
    counts = {}
    for y in range(c.height):
        for x in range(c.width):
            counts[c.rgb(x, y)] = counts.get(c.rgb(x, y), 0) + 1
    palette = list(counts) if len(counts) <= 256 else median_cut(counts.items(), 256)
    # Pure white stays exact: the logo's ground is the dialog's white.
    if PURE_WHITE in counts and PURE_WHITE not in palette:
        palette[-1] = PURE_WHITE
    nearest = {}
    for col in counts:
        nearest[col] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][a] - col[a]) ** 2 for a in range(3)))
    rows = dib_rows(c.width, c.height, 8, lambda x, y: bytes([nearest[c.rgb(x, y)]]))
    pal = b"".join(bytes([b, g, r, 0]) for r, g, b in palette)
    dib = info_header(c.width, c.height, 8, len(rows), len(palette)) + pal + rows
    path.write_bytes(bmp_file(dib, len(pal)))


def write_ico(c, path):
    colour = dib_rows(c.width, c.height, 32, lambda x, y: bytes([*reversed(c.rgb(x, y)), c.rgba(x, y)[3]]))
    mask = bytearray()
    stride = (c.width + 31) // 32 * 4
    for y in range(c.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.width):
            if c.rgba(x, y)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    dib = info_header(c.width, c.height * 2, 32, len(colour) + len(mask), 0) + colour + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", c.width, c.height, 0, 0, 1, 32, len(dib), 6 + 16)
    path.write_bytes(header + entry + dib)


def main(argv):
    if len(argv) != 2:
        print("usage: resgen.py OUTPUT_DIR", file=sys.stderr)
        return 2
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    strip = call_types()
    whites = sum(1 for y in range(STRIP_H) for x in range(STRIP_W) if strip.rgb(x, y) == PURE_WHITE)
    if whites != 32:
        print(f"resgen: the strip has {whites} pure-white pixels, not 32", file=sys.stderr)
        return 1
    write_bmp24(strip, out / "calltypes.bmp")
    write_bmp8(logo(), out / "logo.bmp")
    write_ico(icon(), out / "ringlog.ico")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
