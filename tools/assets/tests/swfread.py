"""A small SWF reader, written separately from the generator so the two check each other.

It understands exactly the tags the About movie uses and raises SwfError on anything that does
not add up (lengths, bit fields, references to undefined characters, display-list misuse).
"""

import struct
import zlib


class SwfError(Exception):
    pass


class Bits:
    def __init__(self, data, pos=0):
        self.data = data
        self.bit = pos * 8

    def ub(self, n):
        v = 0
        for _ in range(n):
            byte = self.bit >> 3
            if byte >= len(self.data):
                raise SwfError("bit field runs past the end of its tag")
            v = (v << 1) | ((self.data[byte] >> (7 - (self.bit & 7))) & 1)
            self.bit += 1
        return v

    def sb(self, n):
        v = self.ub(n)
        return v - (1 << n) if n and v >> (n - 1) else v

    def align(self):
        self.bit = (self.bit + 7) & ~7
        return self.bit >> 3


def read_rect(data, pos):
    b = Bits(data, pos)
    n = b.ub(5)
    r = [b.sb(n) for _ in range(4)]
    return r, b.align()


def read_matrix(data, pos):
    b = Bits(data, pos)
    a = d = 1.0
    rb = rc = 0.0
    if b.ub(1):
        n = b.ub(5)
        a, d = b.sb(n) / 65536, b.sb(n) / 65536
    if b.ub(1):
        n = b.ub(5)
        rb, rc = b.sb(n) / 65536, b.sb(n) / 65536
    n = b.ub(5)
    tx, ty = (b.sb(n), b.sb(n)) if n else (0, 0)
    return (a, rb, rc, d, tx, ty), b.align()


def read_color(data, pos, alpha):
    n = 4 if alpha else 3
    if pos + n > len(data):
        raise SwfError("colour runs past the end of its tag")
    return tuple(data[pos:pos + n]), pos + n


def read_shape3(body):
    shape_id = struct.unpack_from("<H", body)[0]
    bounds, pos = read_rect(body, 2)
    fills, pos = read_fill_styles(body, pos)
    lines, pos = read_line_styles(body, pos)
    b = Bits(body, pos)
    fill_bits, line_bits = b.ub(4), b.ub(4)
    parts = []
    x = y = 0
    current = None
    f0 = f1 = ln = 0
    while True:
        if b.ub(1) == 0:
            flags = b.ub(5)
            if flags == 0:
                break
            if flags & 0x10:
                raise SwfError("new styles inside a shape are not used by this movie")
            if flags & 0x01:
                n = b.ub(5)
                x, y = b.sb(n), b.sb(n)
            if flags & 0x02:
                f0 = b.ub(fill_bits)
            if flags & 0x04:
                f1 = b.ub(fill_bits)
            if flags & 0x08:
                ln = b.ub(line_bits)
            for style, count in ((f0, len(fills)), (f1, len(fills)), (ln, len(lines))):
                if style > count:
                    raise SwfError(f"style index {style} beyond {count} styles")
            current = {"fill0": f0, "fill1": f1, "line": ln, "start": (x, y), "edges": []}
            parts.append(current)
        else:
            if current is None:
                raise SwfError("edge before any style change")
            if b.ub(1):
                n = b.ub(4) + 2
                if b.ub(1):
                    dx, dy = b.sb(n), b.sb(n)
                elif b.ub(1):
                    dx, dy = 0, b.sb(n)
                else:
                    dx, dy = b.sb(n), 0
                x, y = x + dx, y + dy
                current["edges"].append(("L", x, y))
            else:
                n = b.ub(4) + 2
                cx, cy = x + b.sb(n), y + b.sb(n)
                x, y = cx + b.sb(n), cy + b.sb(n)
                current["edges"].append(("Q", cx, cy, x, y))
    if b.align() != len(body):
        raise SwfError(f"shape {shape_id} ends {len(body) - b.align()} bytes before its tag")
    return {"id": shape_id, "bounds": bounds, "fills": fills, "lines": lines, "parts": parts}


def read_fill_styles(body, pos):
    count = body[pos]
    pos += 1
    fills = []
    for _ in range(count):
        kind = body[pos]
        pos += 1
        if kind == 0x00:
            color, pos = read_color(body, pos, True)
            fills.append(("solid", color))
        elif kind in (0x10, 0x12):
            m, pos = read_matrix(body, pos)
            n = body[pos] & 0x0F
            pos += 1
            stops = []
            for _ in range(n):
                ratio = body[pos]
                color, pos = read_color(body, pos + 1, True)
                stops.append((ratio, color))
            if [r for r, _ in stops] != sorted(r for r, _ in stops):
                raise SwfError("gradient ratios out of order")
            fills.append(("gradient", m, stops))
        else:
            raise SwfError(f"fill style type {kind:#x} is not used by this movie")
    return fills, pos


def read_line_styles(body, pos):
    count = body[pos]
    pos += 1
    lines = []
    for _ in range(count):
        width = struct.unpack_from("<H", body, pos)[0]
        color, pos = read_color(body, pos + 2, True)
        lines.append((width, color))
    return lines, pos


def read_swf(data):
    if data[:3] != b"CWS":
        raise SwfError("not a compressed SWF")
    version = data[3]
    length = struct.unpack_from("<I", data, 4)[0]
    body = zlib.decompress(data[8:])
    if 8 + len(body) != length:
        raise SwfError(f"header says {length} bytes, body gives {8 + len(body)}")
    stage, pos = read_rect(body, 0)
    rate = body[pos + 1] + body[pos] / 256
    frame_count = struct.unpack_from("<H", body, pos + 2)[0]
    pos += 4
    tags = []
    while True:
        if pos + 2 > len(body):
            raise SwfError("tags run past the end without an End tag")
        code_len = struct.unpack_from("<H", body, pos)[0]
        pos += 2
        code, n = code_len >> 6, code_len & 0x3F
        if n == 0x3F:
            n = struct.unpack_from("<I", body, pos)[0]
            pos += 4
        if pos + n > len(body):
            raise SwfError(f"tag {code} runs past the end")
        tags.append((code, body[pos:pos + n]))
        pos += n
        if code == 0:
            break
    if pos != len(body):
        raise SwfError("bytes after the End tag")
    return {"version": version, "stage": stage, "rate": rate, "frame_count": frame_count,
            "tags": tags}


def play(movie):
    """Runs the display list; returns the characters and one display list per frame."""
    shapes = {}
    frames = []
    display = {}
    for code, body in movie["tags"]:
        if code == 32:
            shape = read_shape3(body)
            if shape["id"] in shapes:
                raise SwfError(f"character {shape['id']} defined twice")
            shapes[shape["id"]] = shape
        elif code == 26:
            flags = body[0]
            depth = struct.unpack_from("<H", body, 1)[0]
            pos = 3
            move, has_char = flags & 1, flags & 2
            if flags & 0xF8 & ~0x04:
                raise SwfError(f"PlaceObject2 flags {flags:#x} not used by this movie")
            if has_char:
                char = struct.unpack_from("<H", body, pos)[0]
                pos += 2
                if char not in shapes:
                    raise SwfError(f"character {char} placed before it is defined")
            if move and depth not in display:
                raise SwfError(f"move at empty depth {depth}")
            if not move and depth in display:
                raise SwfError(f"new object at occupied depth {depth}")
            if not move and not has_char:
                raise SwfError("PlaceObject2 without character or move")
            entry = dict(display.get(depth, {}))
            if has_char:
                entry["char"] = char
            if flags & 4:
                entry["matrix"], pos = read_matrix(body, pos)
            if pos != len(body):
                raise SwfError("PlaceObject2 has trailing bytes")
            display[depth] = entry
        elif code == 28:
            depth = struct.unpack_from("<H", body)[0]
            if display.pop(depth, None) is None:
                raise SwfError(f"remove at empty depth {depth}")
        elif code == 1:
            frames.append({d: dict(e) for d, e in display.items()})
        elif code in (0, 9):
            pass
        else:
            raise SwfError(f"tag {code} is not used by this movie")
    if len(frames) != movie["frame_count"]:
        raise SwfError(f"{len(frames)} frames shown, header says {movie['frame_count']}")
    return shapes, frames


def frame_mvg(movie, shapes, frame, scale=4):
    """One frame as ImageMagick vector drawing commands, to look at the movie without a player."""
    xmin, xmax, ymin, ymax = movie["stage"]
    k = scale / 20
    bg = next(body for code, body in movie["tags"] if code == 9)
    out = [f"viewbox 0 0 {(xmax - xmin) * k:.0f} {(ymax - ymin) * k:.0f}",
           f"fill #{bg.hex()}", f"rectangle 0 0 {(xmax - xmin) * k:.0f} {(ymax - ymin) * k:.0f}"]
    for depth in sorted(frame):
        entry = frame[depth]
        shape = shapes[entry["char"]]
        a, b, c, d, tx, ty = entry.get("matrix", (1, 0, 0, 1, 0, 0))
        out.append("push graphic-context")
        out.append(f"affine {a * k} {b * k} {c * k} {d * k} {(tx - xmin) * k} {(ty - ymin) * k}")
        for part in shape["parts"]:
            path = [f'M {part["start"][0]} {part["start"][1]}']
            for e in part["edges"]:
                path.append(("L {} {}" if e[0] == "L" else "Q {} {} {} {}").format(*e[1:]))
            fill = "none"
            if part["fill1"]:
                style = shape["fills"][part["fill1"] - 1]
                r, g, bl, al = style[1] if style[0] == "solid" else style[2][-1][1]
                fill = f"rgba({r},{g},{bl},{al / 255:.2f})"
            out.append(f"fill {fill}")
            if part["line"]:
                width, (r, g, bl, al) = shape["lines"][part["line"] - 1]
                out.append(f"stroke rgba({r},{g},{bl},{al / 255:.2f}) stroke-width {width}")
            else:
                out.append("stroke none")
            out.append(f"path '{' '.join(path)}'")
        out.append("pop graphic-context")
    return "\n".join(out)
