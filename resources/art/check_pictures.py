#!/usr/bin/python3
"""Checks the committed pictures against what the program relies on.

    /usr/bin/python3 resources/art/check_pictures.py [RESOURCES_DIR]

Prints one line per fault and exits 1 when there is any. It checks sizes and
RGBA mode, the ids of Pictures.rc against Pictures.h, and the alpha that
decides where clicks land: a layered window lets a click through every pixel
of alpha 0, so the drag band and the insides of the row frames must never be
fully transparent, while the gaps around them must be.
"""

import re
import struct
import sys
from pathlib import Path

from PIL import Image

STRIP_WIDTH = 208
MAX_ROWS = 41

SIZES = {
    "Frame": (207, 20), "Add": (32, 15), "Help": (20, 20), "Close": (20, 20), "Clock": (17, 17),
    "Delete": (16, 16), "BalloonLogo": (16, 16), "HelpBackground": (427, 284), "HelpClose": (61, 35),
    "Product": (322, 20), "Palette": (16, 16), "Chat": (78, 25), "Message": (78, 25),
}

# Buttons whose states must look different from one another.
STATE_GROUPS = [
    ["AddNormal", "AddHover", "AddPressed"], ["HelpNormal", "HelpHover", "HelpPressed"],
    ["CloseNormal", "CloseHover", "ClosePressed"],
    ["ClockWhite", "ClockBlack", "ClockGreen", "ClockYellow"],
    ["DeleteNormal", "DeleteHover", "DeletePressed"], ["FrameNormal", "FrameRed", "FrameYellow"],
    ["HelpCloseNormal", "HelpCloseHover", "HelpClosePressed"],
    ["ProductNormal", "ProductHover", "ProductPressed"],
    ["PaletteNormal", "PaletteHover", "PalettePressed"], ["ChatNormal", "ChatHover", "ChatPressed"],
    ["MessageNormal", "MessageHover", "MessagePressed"],
]

PALETTE_BUTTON = (206, 238, 222, 254)  # left, top, right, bottom in the help window
CAPTION_AREA = (226, 236, 344, 270)


class Faults(list):
    def add(self, where, what):
        self.append(f"{where}: {what}")


def header_ids(resources):
    text = (resources / "Pictures.h").read_text(encoding="utf-8")
    body = text[text.index("enum class Picture"):]
    body = body[:body.index("};")]
    return {name: int(value) for name, value in re.findall(r"(\w+)\s*=\s*(\d+)", body)}


def rc_entries(resources):
    text = (resources / "Pictures.rc").read_text(encoding="utf-8")
    return {int(i): path for i, path in re.findall(r'^(\d+)\s+RCDATA\s+"([^"]+)"', text, re.M)}


def background_name(rows):
    return f"StripBackground{rows:02d}"


def expected_ids(header):
    """Every picture the program may ask for, by id, with its file name."""
    expected = {1000 + rows: background_name(rows) for rows in range(1, MAX_ROWS + 1)}
    for name, picture_id in header.items():
        if name != "StripBackground1":
            expected[picture_id] = name
    return expected


def check_ids(resources, faults):
    header = header_ids(resources)
    if header.get("StripBackground1") != 1001:
        faults.add("Pictures.h", "StripBackground1 must be 1001, the backgrounds follow it")
    entries = rc_entries(resources)
    for picture_id, name in sorted(expected_ids(header).items()):
        path = entries.pop(picture_id, None)
        if path != f"pictures/{name}.png":
            faults.add("Pictures.rc", f"id {picture_id} should embed pictures/{name}.png, not {path}")
        elif not (resources / path).is_file():
            faults.add(path, "missing")
    for picture_id, path in entries.items():
        faults.add("Pictures.rc", f"id {picture_id} ({path}) is no picture of Pictures.h")
    return expected_ids(header)


def expected_size(name):
    match = re.fullmatch(r"StripBackground(\d\d)", name)
    if match:
        return (STRIP_WIDTH, 46 + 20 * (int(match.group(1)) - 1))
    for prefix in sorted(SIZES, key=len, reverse=True):
        if name.startswith(prefix):
            return SIZES[prefix]
    raise KeyError(name)


def alpha_rows(image, top, bottom):
    alpha = image.getchannel("A")
    return [[alpha.getpixel((x, y)) for x in range(image.width)] for y in range(top, bottom)]


def check_background(name, image, band, faults):
    for y, row in enumerate(alpha_rows(image, 0, 16)):
        if min(row) < 1:
            faults.add(name, f"row {y} of the drag band has a pixel of alpha 0 at x {row.index(0)}")
        # Right of the logo the band must look empty: only the buttons sit there.
        if any(a != 3 for a in row[100:]):
            faults.add(name, f"row {y} of the band is not alpha 3 right of the logo")
    for y, row in enumerate(alpha_rows(image, 16, 18), start=16):
        if max(row) != 0:
            faults.add(name, f"row {y} should be fully transparent")
    for y in (18, 19):
        for x in range(image.width):
            r, g, b, a = image.getpixel((x, y))
            if a != 255 or r < 150 or g > 90 or b > 90:
                faults.add(name, f"pixel {x},{y} of the red line is {r, g, b, a}")
                break
    if image.height > 20 and image.crop((0, 20, image.width, image.height)).getchannel("A").getextrema()[1]:
        faults.add(name, "something below row 19 is not fully transparent")
    if band is not None and image.crop((0, 0, STRIP_WIDTH, 20)).tobytes() != band:
        faults.add(name, "its top 20 rows differ from the one-row background")


def check_frame(name, image, faults):
    w, h = image.size
    for corner in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        if image.getpixel(corner)[3] != 0:
            faults.add(name, f"corner pixel {corner} is not transparent")
    # The edit box and the slogan sit inside the border (at most 2 px wide).
    for y in range(3, h - 3):
        for x in range(3, w - 3):
            r, g, b, a = image.getpixel((x, y))
            if not 8 <= a <= 200:
                faults.add(name, f"inside pixel {x},{y} has alpha {a}: it must be clickable and see-through")
                return
            if 0.3 * r + 0.59 * g + 0.11 * b > 110:
                faults.add(name, f"inside pixel {x},{y} is too light under white text: {r, g, b}")
                return


def check_help_background(image, faults):
    name = "HelpBackground"
    w, h = image.size
    for y in range(h):
        for x in range(w):
            near_corner = min(x, w - 1 - x) < 10 and min(y, h - 1 - y) < 10
            if not near_corner and image.getpixel((x, y))[3] < 200:
                faults.add(name, f"pixel {x},{y} is too transparent to read or drag")
                return
    button = image.crop(PALETTE_BUTTON).convert("RGB")
    spread = [hi - lo for lo, hi in button.getextrema()]
    if max(spread) > 16:
        faults.add(name, "something is drawn where the palette button sits")
    caption = image.crop(CAPTION_AREA).convert("L")
    if caption.getextrema()[0] > 120:
        faults.add(name, "no dark caption beside the palette button")


def check_icon(path, sizes, faults):
    data = path.read_bytes()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    if reserved != 0 or kind != 1:
        faults.add(path.name, "not an icon file")
        return
    found = []
    for i in range(count):
        width, _, _, _, _, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size = width or 256
        blob = data[offset:offset + length]
        if blob.startswith(b"\x89PNG\r\n\x1a\n"):
            png_w, png_h, depth, colour = struct.unpack(">IIBB", blob[16:26])
            ok = (png_w, png_h) == (size, size) and depth == 8 and colour == 6
        else:
            _, bmp_w, bmp_h, _, bits = struct.unpack_from("<IiiHH", blob)
            ok = (bmp_w, bmp_h) == (size, 2 * size) and bits == 32 and bpp == 32
        if not ok:
            faults.add(path.name, f"the {size} px image is not a 32-bit image of that size")
        found.append(size)
    if sorted(found) != sorted(sizes):
        faults.add(path.name, f"has sizes {found}, wants {sizes}")


def check(resources):
    faults = Faults()
    names = check_ids(resources, faults)
    images = {}
    for name in names.values():
        path = resources / "pictures" / f"{name}.png"
        if not path.is_file():
            continue
        image = Image.open(path)
        if image.mode != "RGBA":
            faults.add(name, f"mode {image.mode}, wants RGBA")
            continue
        if image.size != expected_size(name):
            faults.add(name, f"size {image.size}, wants {expected_size(name)}")
            continue
        images[name] = image

    first = images.get(background_name(1))
    band = first.crop((0, 0, STRIP_WIDTH, 20)).tobytes() if first else None
    for rows in range(1, MAX_ROWS + 1):
        name = background_name(rows)
        if name in images:
            check_background(name, images[name], band, faults)
    for name in ("FrameNormal", "FrameRed", "FrameYellow"):
        if name in images:
            check_frame(name, images[name], faults)
    if "HelpBackground" in images:
        check_help_background(images["HelpBackground"], faults)
    for group in STATE_GROUPS:
        present = [images[n].tobytes() for n in group if n in images]
        if len(set(present)) != len(present):
            faults.add(", ".join(group), "two states look the same")
    check_icon(resources / "Quillo.ico", [256, 48, 32, 16], faults)
    check_icon(resources / "Logo16.ico", [16], faults)
    return faults


def main():
    resources = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent
    faults = check(resources)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s)" if faults else "pictures ok")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
