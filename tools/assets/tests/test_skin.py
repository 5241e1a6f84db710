"""Checks of the skin sources, the packed skin and the BMP writer behind them.

The description is read with the same line rules as the program's reader, then every image it
names is checked against what the skin engine will do with it: frame counts that divide the
image, margins that fit a frame, caption buttons that fit the caption.
"""

import os
import struct
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.dirname(HERE)
ROOT = os.path.dirname(os.path.dirname(TOOLS))
SRC = os.path.join(ROOT, "assets", "skin", "src")
sys.path.insert(0, TOOLS)

from raster import MAGENTA, Canvas, read_bmp  # noqa: E402

# Frame counts the engine fixes whatever the description says.
FIXED_FRAMES = {"buttons": 5, "progress": 2, "groupboxedge": 2, "toolbars": 5, "tabs": 5,
                "tab.pane": 1, "statusbaredges": 3, "groupbox": 1, "combobutton": 4,
                "sunkedge": 4, "extraimages": 5, "headerbar": 5, "menuitem": 5,
                "menubackground": 1, "scrollbar": 23, "horzscroll": 4, "vertscroll": 4,
                "updown.horz": 8, "updown.vert": 8, "trackbar.thumbhorz": 5,
                "trackbar.thumbvert": 5, "trackbar.thumbleft": 5, "trackbar.thumbright": 5,
                "trackbar.thumbup": 5, "trackbar.thumbdown": 5}


def read_description(text):
    """{lower-cased section: {lower-cased key: value}}, first section and first key winning."""
    sections = {}
    current = None
    for raw in text.replace("\r\n", "\n").replace("\r", "\n").split("\n"):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1].lower()
            current = None if name in sections else sections.setdefault(name, {})
            continue
        if current is not None and "=" in line:
            key, value = line.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip())
    return sections


def ini_name():
    names = [n for n in os.listdir(SRC) if ".ini" in n.lower()]
    if len(names) != 1:
        raise AssertionError(f"expected one description in {SRC}, found {names}")
    return names[0]


def visible(code, maximised, can_max, can_min):
    """Caption-button visibility codes for a window with a system menu."""
    rules = {0: True, 1: maximised, 2: not maximised, 6: can_max, 7: not can_max, 8: can_min,
             9: not can_min}
    if code not in rules:
        raise AssertionError(f"visibility code {code} is not used by this skin")
    return rules[code]


class SkinSourcesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(SRC, ini_name()), "rb") as f:
            cls.ini = read_description(f.read().decode("utf-8"))
        cls.images = {}
        for name in os.listdir(SRC):
            if name.endswith(".bmp"):
                with open(os.path.join(SRC, name), "rb") as f:
                    cls.images[name] = read_bmp(f.read())

    def image(self, section, key):
        value = self.ini[section][key.lower()]
        self.assertTrue(value.endswith(".bmp"), f"[{section}] {key}={value}")
        self.assertIn(value, self.images, f"[{section}] {key}={value}")
        return self.images[value]

    def number(self, section, key, default=0):
        return int(self.ini.get(section, {}).get(key.lower(), default))

    def test_every_named_image_exists_and_every_image_is_named(self):
        named = set()
        for section, keys in self.ini.items():
            for key, value in keys.items():
                if value.lower().endswith(".bmp"):
                    self.assertTrue(value.endswith(".bmp"), f"extension case in [{section}] {key}")
                    self.assertIn(value, self.images, f"[{section}] {key}")
                    named.add(value)
        details = {n for n in self.images if n.endswith("@2x.bmp")}
        self.assertEqual(set(self.images) - named - details, set(), "images nobody uses")
        self.assertEqual({n.replace("@2x", "") for n in details}, named, "images without a 2x one")

    def test_each_2x_picture_is_twice_its_picture_with_the_same_cut_away_corners(self):
        for name, (width, height, rows) in self.images.items():
            if "@2x" in name:
                continue
            w2, h2, rows2 = self.images[name.replace(".bmp", "@2x.bmp")]
            self.assertEqual((w2, h2), (2 * width, 2 * height), name)
            # The engine cuts a frame's region from magenta: the corners stay cut at 2x.
            if rows[0][0] == MAGENTA:
                self.assertEqual(rows2[0][0], MAGENTA, name)

    def test_fixed_frame_counts_divide_their_images(self):
        image_keys = {"buttons": "Bitmap", "progress": "Bitmap"}
        for section, frames in FIXED_FRAMES.items():
            width, height, _ = self.image(section, image_keys.get(section, "Image"))
            self.assertEqual(width % frames, 0, f"[{section}] {width} wide, {frames} frames")
            frame_w = width // frames
            left, right = self.number(section, "LeftWidth"), self.number(section, "RightWidth")
            top, bottom = self.number(section, "TopHeight"), self.number(section, "BottomHeight")
            self.assertLess(left + right, frame_w, f"[{section}] horizontal margins")
            self.assertLess(top + bottom, height, f"[{section}] vertical margins")

    def test_tab_pane_margins_stay_within_four(self):
        for key in ("LeftWidth", "TopHeight", "RightWidth", "BottomHeight"):
            self.assertLessEqual(self.number("tab.pane", key), 4, key)

    def test_scroll_thumbs_and_glyph_strips(self):
        for section in ("horzscrollthumb", "vertscrollthumb"):
            width, _, _ = self.image(section, "Image")
            self.assertEqual(width % self.number(section, "FrameCount", 3), 0, section)
        for key, frames_key in (("CheckButton", "CheckButtonFrame"),
                                ("RadioButton", "RadioButtonFrame")):
            width, height, _ = self.image("buttons", key)
            frames = self.number("buttons", frames_key)
            self.assertGreaterEqual(frames, 6, "unchecked, checked, disabled, mixed need 6")
            self.assertEqual(width % frames, 0, key)
            # Without the explicit count the engine would divide by 13 (or 16): keep both agreeing.
            self.assertEqual(width // (13 if height < 16 else 16), frames, key)
        for section in ("updown.horz", "updown.vert"):
            width, _, _ = self.image(section, "GlyphImage")
            self.assertEqual(width % 8, 0, section)

    def border(self, piece):
        image = self.image("personality", piece)
        frames = self.number("personality", piece + "Frame", 1)
        return image, frames

    def test_border_pieces_fit_together(self):
        (top_w, top_h, _), top_frames = self.border("Top")
        (left_w, left_h, _), left_frames = self.border("Left")
        (right_w, right_h, _), right_frames = self.border("Right")
        (bottom_w, bottom_h, _), bottom_frames = self.border("Bottom")
        self.assertEqual(top_h % top_frames, 0)
        self.assertEqual(bottom_h % bottom_frames, 0)
        self.assertEqual(left_w % left_frames, 0)
        self.assertEqual(right_w % right_frames, 0)
        caption = top_h // top_frames
        # The side pieces carry the caption's ends: their fixed top part is the caption height,
        # their fixed bottom part the bottom border.
        for side in ("Left", "Right"):
            self.assertEqual(self.number("personality", side + "TopHeight"), caption, side)
            self.assertEqual(self.number("personality", side + "BotHeight"),
                             bottom_h // bottom_frames, side)
        self.assertEqual(left_h, right_h)
        self.assertLess(self.number("personality", "TopTopHeight")
                        + self.number("personality", "TopBotHeight"), top_w)
        # Magenta (cut away by the window region) only where the piece is marked transparent.
        for piece in ("Top", "Left", "Right", "Bottom"):
            rows = self.border(piece)[0][2]
            has_magenta = any(p == MAGENTA for row in rows for p in row)
            self.assertEqual(has_magenta, self.number("personality", piece + "Trans", 1) == 1,
                             piece)

    def test_skin_colour_sample_is_the_face_colour(self):
        (width, height, rows), frames = self.border("Top")
        sample = rows[(height // frames) // 3][width // 3]
        face = tuple(int(v) for v in self.ini["colours"]["buttonface"].split())
        self.assertEqual(sample, face)

    def test_caption_buttons_fit_the_caption_and_do_not_overlap(self):
        (_, top_h, _), top_frames = self.border("Top")
        caption = top_h // top_frames
        right_width = self.border("Right")[0][0] // self.border("Right")[1]
        placed = []
        for section, keys in self.ini.items():
            if not section.startswith("button.") or "buttonimage" not in keys:
                continue
            width, height, _ = self.image(section, "ButtonImage")
            frames = self.number(section, "frame")
            self.assertEqual(frames, 4, f"[{section}] normal, pressed, hot and inactive")
            self.assertEqual(width % frames, 0, section)
            y = self.number(section, "Ycoord")
            self.assertLessEqual(y + height, caption, section)
            if self.number(section, "Align") == 1:
                x = self.number(section, "Xcoord")
                self.assertGreaterEqual(x - width // frames, right_width, section)
                codes = (self.number(section, "Visibility"), self.number(section, "Visibility1"))
                placed.append((x, section, codes, self.number(section, "Action")))
        # Buttons sharing a place must never show together, in any window situation.
        for maximised in (False, True):
            for can_max in (False, True):
                for can_min in (False, True):
                    shown = {}
                    for x, section, codes, action in placed:
                        if action == 1 and not can_max or action == 2 and not can_min:
                            continue
                        if all(visible(c, maximised, can_max, can_min) for c in codes):
                            shown.setdefault(x, []).append(section)
                    for x, sections in shown.items():
                        self.assertEqual(len(sections), 1, f"{sections} at {x}, maximised "
                                         f"{maximised}, can maximise {can_max}")


    def test_packed_skin_matches_its_sources(self):
        with open(os.path.join(ROOT, "assets", "skin", "velskin.skn"), "rb") as f:
            packed = f.read()
        def payload_size(names):
            sizes = [os.path.getsize(os.path.join(SRC, n)) for n in names]
            return 16 + sum(len(n.replace("@2x", "").encode()) + 2 for n in names) + \
                4 * len(names) + sum(sizes)

        names = os.listdir(SRC)
        details = [n for n in names if n.endswith("@2x.bmp")]
        base = [n for n in names if n not in details]
        self.assertEqual(struct.unpack_from("<I", packed)[0], payload_size(base),
                         "velskin.skn is out of date with assets/skin/src")
        # The 2x pictures follow as a second skin file, its length and "SKX2" last.
        length, mark = struct.unpack_from("<I4s", packed, len(packed) - 8)
        self.assertEqual(mark, b"SKX2")
        self.assertEqual(struct.unpack_from("<I", packed, len(packed) - 8 - length)[0],
                         payload_size(details + [ini_name()]), "the 2x pictures in velskin.skn are out of date")


class BmpTest(unittest.TestCase):
    def test_rows_are_padded_and_read_back(self):
        for width in (1, 2, 3, 4, 5, 13):
            c = Canvas(width, 3, (1, 2, 3))
            c.set(width - 1, 0, (200, 100, 50))
            c.set(0, 2, (9, 8, 7))
            data = c.bmp()
            self.assertEqual(len(data), 54 + ((width * 3 + 3) & ~3) * 3)
            w, h, rows = read_bmp(data)
            self.assertEqual((w, h), (width, 3))
            self.assertEqual(rows, c.rows)

    def test_damaged_bitmaps_are_refused(self):
        data = Canvas(4, 4).bmp()
        eight_bit = data[:28] + struct.pack("<H", 8) + data[30:]
        compressed = data[:30] + struct.pack("<I", 1) + data[34:]
        for bad in (data[:-1], b"BX" + data[2:], eight_bit, compressed, data[:40]):
            with self.assertRaises(ValueError):
                read_bmp(bad)


if __name__ == "__main__":
    unittest.main()
