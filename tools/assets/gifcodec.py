"""A small GIF89a writer and reader for the rest window's animation.

The writer produces exactly the layout the rest window's picture needs (one global table, a
looping application block, full-screen frames with their graphic control blocks, a comment at
the end); the reader parses any such file back, block by block, so the writer's output is checked
by decoding it rather than by trusting it.
"""

import struct

MAX_CODES = 4096


class GifError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# LZW


class _CodeWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.nbits = 0

    def put(self, code, width):
        # GIF packs codes least-significant bit first.
        self.acc |= code << self.nbits
        self.nbits += width
        while self.nbits >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.nbits -= 8

    def finish(self):
        if self.nbits:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def _width_for(next_code, min_code_size):
    # The decoder adds its table entries one code later than the encoder, so the width it
    # reads with is fixed by the encoder's next code minus one.
    width = min_code_size + 1
    while width < 12 and next_code - 1 >= (1 << width):
        width += 1
    return width


def lzw_encode(indices, min_code_size):
    if not 2 <= min_code_size <= 8:
        raise GifError(f"minimum code size {min_code_size} outside 2..8")
    limit = 1 << min_code_size
    if any(i >= limit for i in indices):
        raise GifError(f"pixel index beyond {limit - 1} for minimum code size {min_code_size}")
    clear, end = limit, limit + 1
    w = _CodeWriter()
    table = {}
    next_code = end + 1
    w.put(clear, min_code_size + 1)
    if not indices:
        w.put(end, min_code_size + 1)
        return w.finish()
    prefix = indices[0]
    for pixel in indices[1:]:
        key = (prefix, pixel)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        w.put(prefix, _width_for(next_code, min_code_size))
        table[key] = next_code
        next_code += 1
        if next_code == MAX_CODES:
            w.put(clear, 12)
            table.clear()
            next_code = end + 1
        prefix = pixel
    w.put(prefix, _width_for(next_code, min_code_size))
    next_code += 1
    w.put(end, _width_for(next_code, min_code_size))
    return w.finish()


def lzw_decode(data, min_code_size, pixel_count):
    if not 2 <= min_code_size <= 8:
        raise GifError(f"minimum code size {min_code_size} outside 2..8")
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out = bytearray()
    pos_bit = 0
    total_bits = len(data) * 8

    def reset():
        return [bytes((i,)) for i in range(clear)] + [b"", b""], min_code_size + 1

    table, width = reset()
    previous = None
    while True:
        if pos_bit + width > total_bits:
            raise GifError("image data ends without an end code")
        code = (int.from_bytes(data[pos_bit >> 3:(pos_bit >> 3) + 3], "little")
                >> (pos_bit & 7)) & ((1 << width) - 1)
        pos_bit += width
        if code == clear:
            table, width = reset()
            previous = None
            continue
        if code == end:
            break
        if previous is None:
            if code >= clear:
                raise GifError(f"code {code} before any table entry")
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < MAX_CODES:
                table.append(previous + entry[:1])
        elif code == len(table) and len(table) < MAX_CODES:
            entry = previous + previous[:1]
            table.append(entry)
        else:
            raise GifError(f"code {code} beyond the table of {len(table)}")
        out += entry
        previous = entry
        if len(table) == (1 << width) and width < 12:
            width += 1
    if len(out) != pixel_count:
        raise GifError(f"decoded {len(out)} pixels, expected {pixel_count}")
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# Blocks


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def read_sub_blocks(data, pos):
    out = bytearray()
    while True:
        if pos >= len(data):
            raise GifError("data sub-blocks run past the end of the file")
        n = data[pos]
        pos += 1
        if n == 0:
            return bytes(out), pos
        if pos + n > len(data):
            raise GifError("data sub-block runs past the end of the file")
        out += data[pos:pos + n]
        pos += n


def table_bits(count):
    bits = count.bit_length() - 1
    if count < 2 or count > 256 or (1 << bits) != count:
        raise GifError("colour count must be a power of two from 2 to 256")
    return bits


def write_gif(width, height, palette, frames, background, transparent, delay_cs, disposal,
              min_code_size, loop_count, comment):
    """frames: lists of palette indices, each width*height, row by row."""
    bits = table_bits(len(palette))
    out = bytearray(b"GIF89a")
    # Colour resolution is recorded as the table's own depth.
    packed = 0x80 | ((bits - 1) << 4) | (bits - 1)
    out += struct.pack("<HHBBB", width, height, packed, background, 0)
    for r, g, b in palette:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0" + bytes((3, 1)) + struct.pack("<H", loop_count) + b"\x00"
    for pixels in frames:
        if len(pixels) != width * height:
            raise GifError("frame does not cover the logical screen")
        gce_flags = (disposal << 2) | (1 if transparent is not None else 0)
        out += b"\x21\xF9\x04" + struct.pack("<BHB", gce_flags, delay_cs, transparent or 0) + b"\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        out.append(min_code_size)
        out += sub_blocks(lzw_encode(pixels, min_code_size))
    out += b"\x21\xFE" + sub_blocks(comment.encode("ascii"))
    out += b"\x3B"
    return bytes(out)


def read_gif(data):
    """Parses a GIF into a plain description; every frame's pixels are decoded."""
    if len(data) < 13 or data[:3] != b"GIF" or data[3:6] not in (b"87a", b"89a"):
        raise GifError("not a GIF87a/GIF89a file")
    width, height, packed, background, aspect = struct.unpack_from("<HHBBB", data, 6)
    info = {"version": data[3:6].decode(), "width": width, "height": height,
            "color_resolution": ((packed >> 4) & 7) + 1, "background": background,
            "aspect": aspect, "global_table": [], "loop_count": None, "frames": [],
            "comments": [], "trailer": False}
    pos = 13
    if packed & 0x80:
        count = 2 << (packed & 7)
        if pos + 3 * count > len(data):
            raise GifError("global colour table runs past the end of the file")
        info["global_table"] = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(count)]
        pos += 3 * count
    pending = {}
    while pos < len(data):
        introducer = data[pos]
        pos += 1
        if introducer == 0x3B:
            info["trailer"] = True
            break
        if introducer == 0x21:
            label = data[pos]
            pos += 1
            if label == 0xF9:
                if data[pos] != 4:
                    raise GifError("graphic control block of the wrong size")
                flags, delay, index = struct.unpack_from("<BHB", data, pos + 1)
                pos += 5
                _, pos = read_sub_blocks(data, pos)
                pending = {"disposal": (flags >> 2) & 7, "delay": delay,
                           "transparent": index if flags & 1 else None}
            elif label == 0xFF:
                n = data[pos]
                ident = data[pos + 1:pos + 1 + n]
                body, pos = read_sub_blocks(data, pos + 1 + n)
                if ident == b"NETSCAPE2.0" and len(body) >= 3 and body[0] == 1:
                    info["loop_count"] = struct.unpack_from("<H", body, 1)[0]
            elif label == 0xFE:
                body, pos = read_sub_blocks(data, pos)
                info["comments"].append({"after_frame": len(info["frames"]), "text": body})
            else:
                _, pos = read_sub_blocks(data, pos + 1 + data[pos])
        elif introducer == 0x2C:
            left, top, w, h, flags = struct.unpack_from("<HHHHB", data, pos)
            pos += 9
            table = info["global_table"]
            if flags & 0x80:
                count = 2 << (flags & 7)
                table = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(count)]
                pos += 3 * count
            min_code_size = data[pos]
            coded, pos = read_sub_blocks(data, pos + 1)
            pixels = lzw_decode(coded, min_code_size, w * h)
            if table and max(pixels) >= len(table):
                raise GifError("pixel index beyond the colour table")
            frame = {"left": left, "top": top, "width": w, "height": h,
                     "interlaced": bool(flags & 0x40), "local_table": bool(flags & 0x80),
                     "min_code_size": min_code_size, "pixels": pixels, "table": table}
            frame.update(pending or {"disposal": 0, "delay": 0, "transparent": None})
            pending = {}
            info["frames"].append(frame)
        else:
            raise GifError(f"unknown block introducer {introducer:#x} at byte {pos - 1}")
    if not info["trailer"]:
        raise GifError("file ends without a trailer")
    return info
