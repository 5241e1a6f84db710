"""A tiny RGB canvas with crisp user-interface shapes and a 24-bit BMP writer.

Skin images are drawn pixel-exact: their outer edges must be hard (magenta marks what is cut away,
and a blend with magenta would leave pink seams), so shapes are decided per pixel centre, and only
glyphs drawn on a known background are smoothed.
"""

import math
import struct

MAGENTA = (0xFF, 0x00, 0xFF)


def lerp(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def hex_color(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    def __init__(self, width, height, color=MAGENTA):
        if width <= 0 or height <= 0:
            raise ValueError(f"canvas size {width} x {height}")
        self.width = width
        self.height = height
        self.rows = [[color] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = color

    def fill(self, x0, y0, x1, y1, color):
        """Fills the half-open rectangle [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.rows[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = color

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.fill(x0, y, x1, y + 1, lerp(top, bottom, (y - y0) / span))

    def paste(self, other, x, y):
        for sy in range(other.height):
            for sx in range(other.width):
                self.set(x + sx, y + sy, other.rows[sy][sx])

    def crop(self, x0, y0, x1, y1):
        out = Canvas(x1 - x0, y1 - y0)
        for y in range(y0, y1):
            out.rows[y - y0] = list(self.rows[y][x0:x1])
        return out

    def box(self, x, y, w, h, radius, border, top, bottom=None, outside=None, inner=None):
        """A rounded box with a one-pixel border and a vertical gradient inside.

        Pixels outside the rounded corners get `outside` (left untouched when None); `inner`
        draws a one-pixel light line just inside the border's top and left.
        """
        bottom = bottom or top
        for py in range(y, y + h):
            for px in range(x, x + w):
                d = corner_distance(px - x + 0.5, py - y + 0.5, w, h, radius)
                if d > 0.5:
                    if outside is not None:
                        self.set(px, py, outside)
                    continue
                # A pixel whose centre lies within one pixel of the outline is the border.
                if d > -1.0:
                    self.set(px, py, border)
                    continue
                color = lerp(top, bottom, (py - y - 1) / max(1, h - 3))
                if inner is not None and d > -2.0 and (py - y <= 1 or px - x <= 1):
                    color = inner
                self.set(px, py, color)

    def smooth(self, inside, color, x0=0, y0=0, x1=None, y1=None, n=4):
        """Blends `color` over the pixels by the share of each pixel where inside(x, y) holds."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        for py in range(max(0, y0), min(self.height, y1)):
            for px in range(max(0, x0), min(self.width, x1)):
                hits = sum(inside(px + (i + 0.5) / n, py + (j + 0.5) / n)
                           for i in range(n) for j in range(n))
                if hits:
                    self.rows[py][px] = lerp(self.rows[py][px], color, hits / (n * n))

    def line(self, points, width, color, x0=0, y0=0, x1=None, y1=None):
        """A smoothed polyline of the given width."""
        half = width / 2
        segments = list(zip(points, points[1:]))
        self.smooth(lambda px, py: any(segment_distance(px, py, a, b) <= half for a, b in segments),
                    color, x0, y0, x1, y1)

    def triangle(self, a, b, c, color):
        def inside(px, py):
            d1 = cross(px, py, a, b)
            d2 = cross(px, py, b, c)
            d3 = cross(px, py, c, a)
            return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))
        xs, ys = [p[0] for p in (a, b, c)], [p[1] for p in (a, b, c)]
        self.smooth(inside, color, int(min(xs)) - 1, int(min(ys)) - 1,
                    int(max(xs)) + 2, int(max(ys)) + 2)

    def disc(self, cx, cy, r, color):
        self.smooth(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, color,
                    int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2)

    def bmp(self):
        """The canvas as a Windows BMP file, 24 bits per pixel, rows bottom-up."""
        stride = (self.width * 3 + 3) & ~3
        pixels = bytearray()
        for row in reversed(self.rows):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            pixels += line
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(pixels),
                           2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
        return header + info + bytes(pixels)


def corner_distance(px, py, w, h, r):
    """Signed distance from the edge of a w x h rounded rectangle (negative inside)."""
    qx = abs(px - w / 2) - (w / 2 - r)
    qy = abs(py - h / 2) - (h / 2 - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def cross(px, py, a, b):
    return (px - b[0]) * (a[1] - b[1]) - (a[0] - b[0]) * (py - b[1])


def read_bmp(data):
    """(width, height, rows of (r, g, b) top-down) of a 24-bit BI_RGB BMP; ValueError otherwise."""
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    header, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != len(data):
        raise ValueError(f"file header says {size} bytes, file has {len(data)}")
    if header < 40 or planes != 1 or bpp != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError("not a 24-bit uncompressed BMP")
    stride = (width * 3 + 3) & ~3
    rows_count = abs(height)
    if offset + stride * rows_count > len(data):
        raise ValueError("pixel data runs past the end of the file")
    rows = []
    for i in range(rows_count):
        start = offset + stride * i
        rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                     for x in range(width)])
    if height > 0:
        rows.reverse()
    return width, rows_count, rows
