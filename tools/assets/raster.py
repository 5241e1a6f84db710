"""A tiny RGB canvas with crisp user-interface shapes and a 24-bit BMP writer.

Skin images are drawn pixel-exact: their outer edges must be hard (magenta marks what is cut away,
and a blend with magenta would leave pink seams), so shapes are decided per pixel centre, and only
glyphs drawn on a known background are smoothed.
"""

import math
import struct

MAGENTA = (0xFF, 0x00, 0xFF)
# Device pixels per logical pixel of the canvases made from now on.
SCALE = 1


def lerp(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def hex_color(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    """A picture drawn in logical pixels and stored at `scale` device pixels per logical one.

    Every shape is decided per device pixel from its centre in logical coordinates, so a picture
    drawn at scale 2 is the same drawing with twice the detail, not an enlargement. `width`,
    `height` and every coordinate given are logical; `rows` holds the device pixels. The scale is
    the module's `SCALE` unless one is given.
    """

    def __init__(self, width, height, color=MAGENTA, scale=None):
        if width <= 0 or height <= 0:
            raise ValueError(f"canvas size {width} x {height}")
        self.width = width
        self.height = height
        self.scale = SCALE if scale is None else scale
        self.rows = [[color] * (width * self.scale) for _ in range(height * self.scale)]

    def device(self, x0, y0, x1, y1):
        """The device pixels (x, y, logical centre x, logical centre y) of a logical rectangle."""
        s = self.scale
        for dy in range(max(0, y0 * s), min(self.height * s, y1 * s)):
            for dx in range(max(0, x0 * s), min(self.width * s, x1 * s)):
                yield dx, dy, (dx + 0.5) / s, (dy + 0.5) / s

    def get(self, x, y):
        return self.rows[y * self.scale][x * self.scale]

    def set(self, x, y, color):
        self.fill(x, y, x + 1, y + 1, color)

    def fill(self, x0, y0, x1, y1, color):
        """Fills the half-open rectangle [x0, x1) x [y0, y1)."""
        s = self.scale
        for y in range(max(0, y0 * s), min(self.height * s, y1 * s)):
            row = self.rows[y]
            for x in range(max(0, x0 * s), min(self.width * s, x1 * s)):
                row[x] = color

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        s = self.scale
        for y in range(y0 * s, y1 * s):
            color = lerp(top, bottom, ((y + 0.5) / s - 0.5 - y0) / span)
            row = self.rows[y] if 0 <= y < self.height * s else None
            if row is not None:
                for x in range(max(0, x0 * s), min(self.width * s, x1 * s)):
                    row[x] = color

    def paste(self, other, x, y):
        s = self.scale
        for sy, line in enumerate(other.rows):
            ty = y * s + sy
            if 0 <= ty < self.height * s:
                for sx, color in enumerate(line):
                    tx = x * s + sx
                    if 0 <= tx < self.width * s:
                        self.rows[ty][tx] = color

    def crop(self, x0, y0, x1, y1):
        s = self.scale
        out = Canvas(x1 - x0, y1 - y0, scale=s)
        for y in range(y0 * s, y1 * s):
            out.rows[y - y0 * s] = list(self.rows[y][x0 * s:x1 * s])
        return out

    def box(self, x, y, w, h, radius, border, top, bottom=None, outside=None, inner=None):
        """A rounded box with a one-pixel border and a vertical gradient inside.

        Pixels outside the rounded corners get `outside` (left untouched when None); `inner`
        draws a one-pixel light line just inside the border's top and left.
        """
        bottom = bottom or top
        for dx, dy, lx, ly in self.device(x, y, x + w, y + h):
            d = corner_distance(lx - x, ly - y, w, h, radius)
            if d > 0.5:
                if outside is not None:
                    self.rows[dy][dx] = outside
                continue
            # A pixel whose centre lies within one pixel of the outline is the border.
            if d > -1.0:
                self.rows[dy][dx] = border
                continue
            color = lerp(top, bottom, (ly - 0.5 - y - 1) / max(1, h - 3))
            if inner is not None and d > -2.0 and (ly - y < 2 or lx - x < 2):
                color = inner
            self.rows[dy][dx] = color

    def smooth(self, inside, color, x0=0, y0=0, x1=None, y1=None, n=4):
        """Blends `color` over the pixels by the share of each pixel where inside(x, y) holds."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        s = self.scale
        for dx, dy, _, _ in self.device(x0, y0, x1, y1):
            hits = sum(inside((dx + (i + 0.5) / n) / s, (dy + (j + 0.5) / n) / s)
                       for i in range(n) for j in range(n))
            if hits:
                self.rows[dy][dx] = lerp(self.rows[dy][dx], color, hits / (n * n))

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
        width = self.width * self.scale
        stride = (width * 3 + 3) & ~3
        pixels = bytearray()
        for row in reversed(self.rows):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            pixels += line
        info = struct.pack("<IiiHHIIiiII", 40, width, len(self.rows), 1, 24, 0, len(pixels),
                           2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
        return header + info + bytes(pixels)


def palette_of(rows, keep, limit=256):
    """At most `limit` colours standing for every pixel of rows, and {colour: index}.

    `keep` (the see-through colour) is kept exact at index 0; when there are more colours than
    fit, the rest are cut into boxes at the median of their widest channel, and each box is
    shown by the mean of its pixels.
    """
    counts = {}
    for row in rows:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    counts.pop(keep, None)
    boxes = [list(counts)]
    spread = lambda box, ch: max(c[ch] for c in box) - min(c[ch] for c in box)  # noqa: E731
    while len(boxes) < limit - 1:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(spread(b, ch) for ch in range(3)))
        channel = max(range(3), key=lambda ch: spread(box, ch))
        box.sort(key=lambda c: c[channel])
        boxes.remove(box)
        boxes += [box[:len(box) // 2], box[len(box) // 2:]]
    palette, index = [keep], {keep: 0}
    for box in (b for b in boxes if b):
        total = sum(counts[c] for c in box)
        palette.append(tuple(round(sum(c[ch] * counts[c] for c in box) / total) for ch in range(3)))
        for c in box:
            index[c] = len(palette) - 1
    return palette, index


def bmp8(canvas, keep):
    """The canvas as an 8-bit BMP with a palette of at most 256 colours (see palette_of): a third
    of the 24-bit file, for pictures that are embedded in the program."""
    palette, index = palette_of(canvas.rows, keep)
    width = len(canvas.rows[0])
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas.rows):
        pixels += bytes(index[p] for p in row) + bytes(stride - width)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, len(canvas.rows), 1, 8, 0, len(pixels), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + bytes(pixels)


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
    """(width, height, rows of (r, g, b) top-down) of a 24-bit or 8-bit BI_RGB BMP; ValueError
    otherwise."""
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    header, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != len(data):
        raise ValueError(f"file header says {size} bytes, file has {len(data)}")
    if header < 40 or planes != 1 or bpp not in (8, 24) or compression != 0 or width <= 0 or height == 0:
        raise ValueError("not a 24-bit or 8-bit uncompressed BMP")
    depth = bpp // 8
    stride = (width * depth + 3) & ~3
    rows_count = abs(height)
    if offset + stride * rows_count > len(data):
        raise ValueError("pixel data runs past the end of the file")
    palette = []
    if bpp == 8:
        used = struct.unpack_from("<I", data, 46)[0] or 256
        table = 14 + header
        if used > 256 or table + 4 * used > offset:
            raise ValueError("the palette does not fit before the pixels")
        palette = [(data[table + 4 * i + 2], data[table + 4 * i + 1], data[table + 4 * i]) for i in range(used)]
    rows = []
    for i in range(rows_count):
        start = offset + stride * i
        if bpp == 8:
            if max(data[start:start + width]) >= len(palette):
                raise ValueError("a pixel names a colour past the palette")
            rows.append([palette[data[start + x]] for x in range(width)])
        else:
            rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                         for x in range(width)])
    if height > 0:
        rows.reverse()
    return width, rows_count, rows
