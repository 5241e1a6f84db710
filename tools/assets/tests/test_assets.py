"""Checks of the asset generators and of the committed assets.

Run: python3 -m unittest discover -s tools/assets/tests
"""

import importlib.machinery
import importlib.util
import math
import os
import random
import struct
import sys
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.dirname(HERE)
ASSETS = os.path.join(os.path.dirname(os.path.dirname(TOOLS)), "assets")
sys.path.insert(0, TOOLS)
sys.path.insert(0, HERE)

import gifcodec  # noqa: E402
from raster import MAGENTA, read_bmp  # noqa: E402
import swfread  # noqa: E402


def load_script(name):
    loader = importlib.machinery.SourceFileLoader(name.replace("-", "_"), os.path.join(TOOLS, name))
    module_spec = importlib.util.spec_from_loader(loader.name, loader)
    module = importlib.util.module_from_spec(module_spec)
    loader.exec_module(module)
    return module


def asset(*parts):
    with open(os.path.join(ASSETS, *parts), "rb") as f:
        return f.read()


class LzwTest(unittest.TestCase):
    def test_known_code_stream(self):
        # Worked by hand: clear(4) 0 6 0 end(5); the last code is one bit wider because the
        # decoder's table reaches 8 entries just before it.
        self.assertEqual(gifcodec.lzw_encode([0, 0, 0, 0], 2), bytes((0x84, 0x51)))

    def test_round_trip_at_every_code_size(self):
        rng = random.Random(7)
        for size in range(2, 9):
            for length in (0, 1, 2, 3, 257, 5000):
                pixels = [rng.randrange(1 << size) for _ in range(length)]
                coded = gifcodec.lzw_encode(pixels, size)
                self.assertEqual(gifcodec.lzw_decode(coded, size, length), bytes(pixels),
                                 f"code size {size}, {length} pixels")

    def test_full_table_is_cleared_and_decoding_continues(self):
        rng = random.Random(3)
        pixels = [rng.randrange(256) for _ in range(40000)]
        coded = gifcodec.lzw_encode(pixels, 8)
        self.assertEqual(gifcodec.lzw_decode(coded, 8, len(pixels)), bytes(pixels))

    def test_long_runs_grow_the_table_past_every_width(self):
        pixels = [0] * 100000 + [1, 2, 3] * 3000
        coded = gifcodec.lzw_encode(pixels, 2)
        self.assertEqual(gifcodec.lzw_decode(coded, 2, len(pixels)), bytes(pixels))

    def test_bad_input_is_refused(self):
        with self.assertRaises(gifcodec.GifError):
            gifcodec.lzw_encode([4], 2)
        with self.assertRaises(gifcodec.GifError):
            gifcodec.lzw_encode([0], 9)
        coded = gifcodec.lzw_encode([1, 2, 3, 1, 2, 3], 2)
        with self.assertRaises(gifcodec.GifError):
            gifcodec.lzw_decode(coded[:-1], 2, 6)
        with self.assertRaises(gifcodec.GifError):
            gifcodec.lzw_decode(coded, 2, 7)
        # Clear, then code 7 while the table holds only 6 entries.
        with self.assertRaises(gifcodec.GifError):
            gifcodec.lzw_decode(bytes((0x3C,)), 2, 1)


class GifFileTest(unittest.TestCase):
    def small(self, **overrides):
        args = dict(width=3, height=2, palette=[(0, 0, 0), (255, 0, 0), (0, 255, 0), (1, 2, 3)],
                    frames=[[0, 1, 2, 3, 2, 1], [3, 3, 3, 0, 0, 0]], background=1, transparent=3,
                    delay_cs=7, disposal=2, min_code_size=2, loop_count=5, comment="hi")
        args.update(overrides)
        return gifcodec.write_gif(**args)

    def test_written_file_reads_back(self):
        info = gifcodec.read_gif(self.small())
        self.assertEqual((info["version"], info["width"], info["height"]), ("89a", 3, 2))
        self.assertEqual(info["global_table"][3], (1, 2, 3))
        self.assertEqual((info["background"], info["loop_count"]), (1, 5))
        self.assertEqual([f["pixels"] for f in info["frames"]],
                         [bytes((0, 1, 2, 3, 2, 1)), bytes((3, 3, 3, 0, 0, 0))])
        self.assertEqual([(f["delay"], f["disposal"], f["transparent"]) for f in info["frames"]],
                         [(7, 2, 3), (7, 2, 3)])
        self.assertEqual(info["comments"], [{"after_frame": 2, "text": b"hi"}])

    def test_long_comment_spans_sub_blocks(self):
        text = "x" * 600
        info = gifcodec.read_gif(self.small(comment=text))
        self.assertEqual(info["comments"][0]["text"], text.encode())

    def test_colour_count_must_be_a_power_of_two(self):
        for count in (1, 3, 6, 512):
            with self.assertRaises(gifcodec.GifError):
                self.small(palette=[(0, 0, 0)] * count)

    def test_frame_must_cover_the_screen(self):
        with self.assertRaises(gifcodec.GifError):
            self.small(frames=[[0, 1, 2]])

    def test_damaged_files_are_refused(self):
        data = self.small()
        for damaged in (b"GIF90a" + data[6:], data[:-1], data[:40], data[:13] + b"\x99"):
            with self.assertRaises(gifcodec.GifError):
                gifcodec.read_gif(damaged)


class RestGifTest(unittest.TestCase):
    def test_committed_picture_has_the_layout_the_rest_window_expects(self):
        info = gifcodec.read_gif(asset("gif", "rest.gif"))
        self.assertEqual(info["version"], "89a")
        self.assertEqual((info["width"], info["height"]), (115, 123))
        self.assertEqual(len(info["global_table"]), 128)
        self.assertEqual(info["background"], 2)
        self.assertEqual(info["global_table"][2], (0xEE, 0xEF, 0xEF))
        self.assertEqual(info["global_table"][80], (0xC0, 0xC0, 0xC0))
        self.assertEqual(info["global_table"].count((0xC0, 0xC0, 0xC0)), 1)
        self.assertEqual(info["loop_count"], 0)
        self.assertEqual(len(info["frames"]), 2)
        for frame in info["frames"]:
            self.assertEqual((frame["left"], frame["top"], frame["width"], frame["height"]),
                             (0, 0, 115, 123))
            self.assertEqual((frame["disposal"], frame["delay"], frame["transparent"],
                              frame["min_code_size"]), (2, 50, 80, 7))
            self.assertFalse(frame["local_table"])
            # A picture, not an empty frame: both see-through and drawn pixels.
            self.assertGreater(frame["pixels"].count(80), 1000)
            self.assertGreater(len(frame["pixels"]) - frame["pixels"].count(80), 5000)
        self.assertNotEqual(info["frames"][0]["pixels"], info["frames"][1]["pixels"])
        self.assertEqual([c["after_frame"] for c in info["comments"]], [2])


class Mp3CheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.check = load_script("check-mp3")

    # Frame sizes from the standard's tables: MPEG-1 at 44.1 kHz, 112 kbit/s (index 8) and
    # 128 kbit/s (9); MPEG-2 at 22.05 kHz, 40 kbit/s (index 5) and 48 kbit/s (6).
    SIZES = {(0xFB, 8): 365, (0xFB, 9): 417, (0xF3, 5): 130, (0xF3, 6): 156}

    def frame(self, bitrate_index=8, mode=0, padding=0, payload=b"", version=0xFB):
        header = bytes((0xFF, version, (bitrate_index << 4) | (padding << 1), (mode << 6) | 0x04))
        size = self.SIZES[(version, bitrate_index)] + padding
        body = (payload + bytes(size))[:size - 4]
        return header + body

    def stream(self, n=10, **fields):
        return b"".join(self.frame(padding=i % 2, **fields) for i in range(n))

    def test_plain_frames_pass_and_give_the_duration(self):
        first, frames, seconds = self.check.check(self.stream(38))
        self.assertEqual((first["bitrate"], first["rate"], first["mode"]), (112, 44100, "stereo"))
        self.assertEqual(frames, 38)
        self.assertAlmostEqual(seconds, 38 * 1152 / 44100)
        first, frames, seconds = self.check.check(self.stream(38, version=0xF3, bitrate_index=5, mode=3))
        self.assertEqual((first["version"], first["bitrate"], first["rate"], first["mode"]),
                         ("MPEG-2", 40, 22050, "mono"))
        self.assertAlmostEqual(seconds, 38 * 576 / 22050)

    def test_faults_are_reported(self):
        good = self.stream()
        xing = self.frame(payload=bytes(32) + b"Info") + good
        mono = dict(version=0xF3, bitrate_index=5, mode=3)
        faults = {
            "ID3v2 tag": b"ID3\x03\x00\x00\x00\x00\x00\x00" + good,
            "Xing/Info": xing,
            "MPEG-2 mono Xing/Info": self.frame(payload=bytes(9) + b"Xing", **mono) + self.stream(**mono),
            "MPEG-2.5": bytes((0xFF, 0xE3, 0x50, 0xC4)) + bytes(200),
            "changes bitrate": good + self.frame(bitrate_index=9),
            "changes mode": good + self.frame(mode=1),
            "changes version": good + self.frame(**mono),
            "cut short": good[:-5],
            "ID3v1": good + b"TAG" + bytes(125),
            "no frame sync": good + b"\x00" * 10,
        }
        for what, data in faults.items():
            with self.assertRaises(self.check.Mp3Error, msg=what):
                self.check.check(data)

    def test_duration_limits_are_enforced(self):
        with self.assertRaises(self.check.Mp3Error):
            self.check.check(self.stream(10), 1.0, 2.0)

    def test_committed_audio(self):
        data = asset("audio", "eyezz.mp3")
        self.assertEqual(data[:2], b"\xFF\xF3")
        first, frames, _ = self.check.check(data, 294.5, 295.5)
        self.assertEqual((first["version"], first["bitrate"], first["rate"], first["mode"]),
                         ("MPEG-2", 40, 22050, "mono"))
        # Constant rate: the size follows from the frame count alone.
        self.assertAlmostEqual(len(data) * 8 / (frames * 576 / 22050), 40000, delta=50)


class SwfTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.make = load_script("make-swf")

    def test_bit_fields(self):
        w = self.make.BitWriter()
        w.ub(5, 14)
        w.sb(14, -1)
        w.ub(1, 1)
        self.assertEqual(w.bytes(), bytes((0x77, 0xFF, 0xF0)))
        with self.assertRaises(ValueError):
            self.make.BitWriter().sb(3, 4)
        with self.assertRaises(ValueError):
            self.make.BitWriter().ub(3, 8)

    def test_signed_bit_counts_hold_their_values(self):
        for v in (-8193, -8192, -1, 0, 1, 8191, 8192, 4200):
            n = self.make.signed_bits(v)
            self.assertTrue(-(1 << (n - 1)) <= v < (1 << (n - 1)), v)
            self.assertFalse(n > 2 and -(1 << (n - 2)) <= v < (1 << (n - 2)), v)

    def test_committed_movie_plays_through(self):
        movie = swfread.read_swf(asset("movie", "tarno.swf"))
        self.assertEqual(movie["version"], 7)
        self.assertEqual(movie["stage"], [0, 210 * 20, 0, 22 * 20])
        shapes, frames = swfread.play(movie)
        self.assertGreaterEqual(len(shapes), 3)
        self.assertGreater(len(frames), 24)
        # Something moves: consecutive frames differ in their display lists.
        self.assertNotEqual(frames[0], frames[1])
        self.assertEqual(movie["tags"][-1][0], 0)

    def test_reader_catches_broken_movies(self):
        data = self.make.build()
        body = bytearray(zlib.decompress(data[8:]))
        with self.assertRaises(swfread.SwfError):
            swfread.read_swf(data[:4] + struct.pack("<I", len(body) + 9) + data[8:])
        # Dropping the End tag leaves the tag list open.
        cut = bytes(body[:-2])
        with self.assertRaises(swfread.SwfError):
            swfread.read_swf(data[:4] + struct.pack("<I", 8 + len(cut)) + zlib.compress(cut))

    def test_shape_outlines_close(self):
        movie = swfread.read_swf(self.make.build())
        shapes, _ = swfread.play(movie)
        for shape in shapes.values():
            for part in shape["parts"]:
                end = part["edges"][-1][-2:]
                self.assertEqual(tuple(end), part["start"], f"shape {shape['id']}")


def jpeg_frame(data):
    """(marker, height, width, components) of the frame header; the walk fails on bad segments."""
    if data[:2] != b"\xFF\xD8":
        raise ValueError("no start-of-image marker")
    pos = 2
    while pos + 4 <= len(data):
        if data[pos] != 0xFF:
            raise ValueError(f"segment without marker at {pos}")
        marker = data[pos + 1]
        length = struct.unpack_from(">H", data, pos + 2)[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            _, height, width, components = struct.unpack_from(">BHHB", data, pos + 4)
            return marker, height, width, components
        pos += 2 + length
    raise ValueError("no frame header")


class PictureTest(unittest.TestCase):
    SIZES = {"popup.jpg": (315, 219), "about.jpg": (304, 224), "tutorial1.jpg": (200, 120),
             "tutorial2.jpg": (200, 120), "tutorial3.jpg": (200, 120), "tutorial4.jpg": (200, 120)}

    def test_pictures_are_baseline_colour_jpegs_of_their_frame_sizes(self):
        for name, (w, h) in self.SIZES.items():
            data = asset("pictures", name)
            self.assertEqual(jpeg_frame(data), (0xC0, h, w, 3), name)
            self.assertEqual(data[-2:], b"\xFF\xD9", name)

    def test_frame_walk_rejects_what_is_not_a_jpeg(self):
        data = asset("pictures", "popup.jpg")
        for bad in (b"GIF89a" + data, data[:2] + b"\x00" + data[3:], data[:20]):
            with self.assertRaises((ValueError, struct.error)):
                jpeg_frame(bad)


class GlyphTest(unittest.TestCase):
    def test_tab_images_are_thirty_distinct_glyphs_on_magenta(self):
        width, height, rows = read_bmp(asset("pictures", "tabimages.bmp"))
        self.assertEqual((width, height), (30 * 16, 16))
        self.assertEqual(rows[15][0], MAGENTA)
        cells = [[tuple(rows[y][16 * i + x] for x in range(16)) for y in range(16)]
                 for i in range(30)]
        for i, cell in enumerate(cells):
            drawn = sum(p != MAGENTA for row in cell for p in row)
            self.assertGreater(drawn, 20, f"image {i} is nearly empty")
        # Shown and hidden images of the three pages differ, so the active page stands out.
        for shown, hidden in ((2, 1), (26, 27), (28, 29)):
            self.assertNotEqual(cells[shown], cells[hidden])

    def test_help_glyph(self):
        width, height, rows = read_bmp(asset("pictures", "help.bmp"))
        self.assertEqual((width, height), (16, 16))
        self.assertEqual(rows[15][0], MAGENTA)
        self.assertNotEqual(rows[8][8], MAGENTA)

    def test_double_size_glyphs_are_the_same_drawings_with_twice_the_detail(self):
        for name, key in (("tabimages", MAGENTA), ("help", MAGENTA), ("menuglyphs", (255, 255, 255))):
            width, height, rows = read_bmp(asset("pictures", f"{name}.bmp"))
            width2, height2, rows2 = read_bmp(asset("pictures", f"{name}@2x.bmp"))
            self.assertEqual((width2, height2), (2 * width, 2 * height), name)
            self.assertEqual(rows2[height2 - 1][0], key, name)
            # Where the 1x picture is drawn, the 2x one is drawn over most of the matching block.
            agree = sum((rows[y][x] != key) == (sum(rows2[2 * y + j][2 * x + i] != key
                                                    for i in (0, 1) for j in (0, 1)) >= 2)
                        for y in range(height) for x in range(width))
            self.assertGreater(agree / (width * height), 0.9, name)

    def test_player_glyphs_are_crisp_on_magenta_and_tell_the_buttons_apart(self):
        names = ("PLAY", "PAUSE", "STOP", "NEXT", "PREV", "STEP", "BACK", "RECORD", "EJECT")
        for prefix in ("EN", "DI", "CO"):
            shapes = set()
            for name in names:
                width, height, rows = read_bmp(asset("pictures", "mp", f"{prefix}_{name}.bmp"))
                self.assertEqual((width, height), (12, 12), name)
                self.assertEqual(rows[11][0], MAGENTA, name)
                # One ink on the key colour: a blended edge would show pink around the glyph.
                colours = {p for row in rows for p in row}
                self.assertEqual(len(colours), 2, f"{prefix}_{name}")
                shapes.add(tuple(tuple(p != MAGENTA for p in row) for row in rows))
            self.assertEqual(len(shapes), len(names), prefix)



def read_icon(data):
    """The images of an .ico: {size: (bits per pixel, rows top-down of (r, g, b, a))}."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1)
    images = {}
    for i in range(count):
        w, h, _, _, _, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        assert w == h and offset + size <= len(data)
        blob = data[offset:offset + size]
        if blob.startswith(b"\x89PNG"):
            images[w] = (bpp, read_png(blob))
            continue
        assert struct.unpack_from("<IiiHH", blob, 0) == (40, w, 2 * h, 1, 32)
        stride = ((w + 31) // 32) * 4
        mask = blob[40 + w * h * 4:]
        assert len(mask) == stride * h
        rows = []
        for y in range(h):
            line = blob[40 + y * w * 4:40 + (y + 1) * w * 4]
            row = [(line[4 * x + 2], line[4 * x + 1], line[4 * x], line[4 * x + 3]) for x in range(w)]
            # The mask must hide exactly the clear pixels, for systems that draw with it.
            masked = [(mask[y * stride + x // 8] >> (7 - x % 8)) & 1 for x in range(w)]
            assert masked == [1 if p[3] == 0 else 0 for p in row], f"{w} px mask, row {y}"
            rows.append(row)
        images[w] = (bpp, rows[::-1])
    return images


def read_png(blob):
    pos, idat, header = 8, b"", None
    while pos < len(blob):
        length, kind = struct.unpack_from(">I4s", blob, pos)
        body = blob[pos + 8:pos + 8 + length]
        assert zlib.crc32(kind + body) == struct.unpack_from(">I", blob, pos + 8 + length)[0]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    w, h, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (8, 6, 0), "8-bit RGBA, not interlaced"
    raw = zlib.decompress(idat)
    assert all(raw[y * (4 * w + 1)] == 0 for y in range(h)), "only unfiltered rows are read here"
    rows = []
    for y in range(h):
        line = raw[y * (4 * w + 1) + 1:(y + 1) * (4 * w + 1)]
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(w)])
    return rows


def resample(rows, n):
    """Area-weighted box filter to n x n, premultiplied: (r*a, g*a, b*a, a) scaled to 0..255."""
    big = len(rows)
    f = big / n
    out = []
    for y in range(n):
        line = []
        for x in range(n):
            acc = [0.0] * 4
            for sy in range(int(y * f), min(big, math.ceil((y + 1) * f))):
                wy = min((y + 1) * f, sy + 1) - max(y * f, sy)
                for sx in range(int(x * f), min(big, math.ceil((x + 1) * f))):
                    w = wy * (min((x + 1) * f, sx + 1) - max(x * f, sx))
                    r, g, b, a = rows[sy][sx]
                    for i, c in enumerate((r * a / 255, g * a / 255, b * a / 255, a)):
                        acc[i] += c * w
            line.append(tuple(c / (f * f) for c in acc))
        out.append(line)
    return out


class IconTest(unittest.TestCase):
    def test_committed_icon_has_every_size_at_32_bits_each_drawn_for_its_size(self):
        images = read_icon(asset("icon", "brevin.ico"))
        self.assertEqual(sorted(images), [16, 20, 24, 32, 40, 48, 64, 256])
        for size, (bpp, rows) in images.items():
            self.assertEqual(bpp, 32, size)
            alpha = [p[3] for row in rows for p in row]
            # Round: corners see-through, centre solid, some soft edge in between.
            self.assertEqual(rows[0][0][3], 0, size)
            self.assertEqual(rows[size // 2][size // 2][3], 255, size)
            self.assertTrue(any(0 < a < 255 for a in alpha), size)
        # A picture merely scaled down from a larger one comes within a fraction of a level of
        # that one resampled; one drawn for its pixels differs by whole levels on average.
        for size, (_, rows) in images.items():
            own = resample(rows, size)
            for larger in (s for s in images if s > size):
                scaled = resample(images[larger][1], size)
                mean = sum(abs(a - b) for ra, rb in zip(own, scaled) for pa, pb in zip(ra, rb)
                           for a, b in zip(pa, pb)) / (4 * size * size)
                self.assertGreater(mean, 1.0, f"{size} px is the {larger} px image resampled")


if __name__ == "__main__":
    unittest.main()
