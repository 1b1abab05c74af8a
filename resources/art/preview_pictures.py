#!/usr/bin/python3
"""Puts the rendered pictures where a designer can judge them.

    /usr/bin/python3 resources/art/preview_pictures.py OUTPUT_DIR

writes into OUTPUT_DIR
  contact_small.png  every button and icon at 6x (nearest neighbour) over a dark
                     and a light checkerboard, so stray alpha and fringes show;
  contact_wide.png   the frames, banners and first backgrounds likewise at 3x;
  strip_mock.png     the strip as composed by the program, with three rows in
                     several states, at 1x and 3x, over black (what a Wine
                     screenshot shows), a pale and a busy desktop;
  help_mock.png      the help window with its buttons in each state, likewise.
It reads only resources/pictures/, so it shows what the program embeds.
"""

import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

PICTURES_DIR = Path(__file__).resolve().parent.parent / "pictures"
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def load(name):
    return Image.open(PICTURES_DIR / f"{name}.png").convert("RGBA")


def checkerboard(size, light):
    a, b = ((236, 236, 236), (200, 200, 200)) if light else ((40, 40, 44), (62, 62, 68))
    image = Image.new("RGB", size, a)
    draw = ImageDraw.Draw(image)
    for y in range(0, size[1], 8):
        for x in range(0, size[0], 8):
            if (x // 8 + y // 8) % 2:
                draw.rectangle([x, y, x + 7, y + 7], fill=b)
    return image.convert("RGBA")


def desktops(size):
    """Black (Wine's root window), a pale wallpaper and a busy one."""
    w, h = size
    pale = Image.new("RGBA", size)
    busy = Image.new("RGBA", size)
    for y in range(h):
        for x in range(w):
            pale.putpixel((x, y), (226 + x * 20 // w, 232, 240 - y * 20 // h, 255))
            busy.putpixel((x, y), ((x * 3 + y) % 256, (x + y * 2) % 200 + 30, 160 - (y * 140 // h), 255))
    return [Image.new("RGBA", size, (0, 0, 0, 255)), pale, busy]


def contact_sheet(names, zoom, sheet_width, out_path):
    label_font = ImageFont.truetype(CJK_FONT, 12)
    tiles = []
    for name in names:
        image = load(name)
        big = image.resize((image.width * zoom, image.height * zoom), Image.NEAREST)
        pair = Image.new("RGBA", (big.width * 2 + 12, big.height + 18), (255, 255, 255, 255))
        for i, light in enumerate((False, True)):
            board = checkerboard(big.size, light)
            board.alpha_composite(big)
            pair.paste(board, (i * (big.width + 12), 18))
        ImageDraw.Draw(pair).text((0, 2), f"{name} {image.width}x{image.height}", font=label_font,
                                  fill=(0, 0, 0))
        tiles.append(pair)
    # Shelf packing: wide tiles get their own row.
    rows, row, row_width = [], [], 0
    for tile in sorted(tiles, key=lambda t: -t.height):
        if row and row_width + tile.width > sheet_width:
            rows.append(row)
            row, row_width = [], 0
        row.append(tile)
        row_width += tile.width + 16
    rows.append(row)
    height = sum(max(t.height for t in r) + 16 for r in rows)
    sheet = Image.new("RGBA", (sheet_width, height), (255, 255, 255, 255))
    y = 0
    for r in rows:
        x = 0
        for tile in r:
            sheet.paste(tile, (x, y))
            x += tile.width + 16
        y += max(t.height for t in r) + 16
    sheet.save(out_path)


def strip(states):
    """The strip with three rows; states picks each control's picture."""
    width, height = 207, 86
    frame = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    frame.alpha_composite(load("StripBackground03").crop((0, 0, width, height)))
    text_font = ImageFont.truetype(CJK_FONT, 12)
    texts = ["      青山常在   绿水长流 ", "请在此输入", "买菜 18:30"]
    for r in range(3):
        top = 26 + 20 * r
        frame.alpha_composite(load(states["frames"][r]).crop((0, 0, width, 20)), (0, top))
        ImageDraw.Draw(frame).text((8, top + 10), texts[r], font=text_font, fill=(255, 255, 255, 255),
                                   anchor="lm")
        frame.alpha_composite(load(states["clocks"][r]), (171, top + 1))
        if r:
            frame.alpha_composite(load(states["delete"][r]), (189, top + 1))
    place(frame, load(states["add"]), 144, 1)
    place(frame, load(states["help"]), 173, -2)
    place(frame, load(states["close"]), 189, 0)
    return frame


def place(target, picture, x, y):
    """Composites picture at x, y, clipping it to target as a window would."""
    crop = picture.crop((max(-x, 0), max(-y, 0), min(picture.width, target.width - x),
                         min(picture.height, target.height - y)))
    target.alpha_composite(crop, (max(x, 0), max(y, 0)))


def mock(frames, out_path, zoom):
    w, h = frames[0].size
    pad = 12
    cells = []
    for backdrop in desktops((w + 2 * pad, h + 2 * pad)):
        column = []
        for f in frames:
            cell = backdrop.copy()
            cell.alpha_composite(f, (pad, pad))
            column.append(cell)
        cells.append(column)
    cw, ch = w + 2 * pad, h + 2 * pad
    sheet = Image.new("RGBA", (cw * len(cells), ch * len(frames)), (255, 255, 255, 255))
    for i, column in enumerate(cells):
        for j, cell in enumerate(column):
            sheet.paste(cell, (i * cw, j * ch))
    if zoom > 1:
        sheet = sheet.resize((sheet.width * zoom, sheet.height * zoom), Image.NEAREST)
    sheet.save(out_path)


def strip_mocks(out_dir):
    calm = {"frames": ["FrameNormal"] * 3, "clocks": ["ClockWhite"] * 3,
            "delete": ["DeleteNormal"] * 3, "add": "AddNormal", "help": "HelpNormal", "close": "CloseNormal"}
    busy = {"frames": ["FrameNormal", "FrameRed", "FrameYellow"],
            "clocks": ["ClockBlack", "ClockYellow", "ClockGreen"],
            "delete": ["DeleteNormal", "DeleteHover", "DeletePressed"],
            "add": "AddHover", "help": "HelpHover", "close": "CloseHover"}
    pressed = dict(busy, add="AddPressed", help="HelpPressed", close="ClosePressed",
                   clocks=["ClockWhite", "ClockWhite", "ClockYellow"])
    frames = [strip(calm), strip(busy), strip(pressed)]
    mock(frames, out_dir / "strip_mock.png", 1)
    mock(frames, out_dir / "strip_mock_3x.png", 3)


def help_window(state):
    window = load("HelpBackground")
    place(window, load(f"HelpClose{state}"), 367, -5)
    place(window, load(f"Product{state}"), 52, 204)
    place(window, load(f"Palette{state}"), 206, 238)
    place(window, load(f"Chat{state}" if state != "Pressed" else "MessageNormal"), 344, 240)
    return window


def help_mocks(out_dir):
    frames = [help_window("Normal"), help_window("Hover"), help_window("Pressed")]
    mock(frames, out_dir / "help_mock.png", 1)
    mock([frames[0]], out_dir / "help_mock_2x.png", 2)


def main():
    out_dir = Path(sys.argv[1])
    out_dir.mkdir(parents=True, exist_ok=True)
    names = sorted(p.stem for p in PICTURES_DIR.glob("*.png") if p.stem != "HelpBackground")
    small = [n for n in names if Image.open(PICTURES_DIR / f"{n}.png").width <= 78]
    wide = [n for n in names if n not in small
            and (not n.startswith("StripBackground") or n[-2:] in ("01", "02"))]
    contact_sheet(small, 6, 1500, out_dir / "contact_small.png")
    contact_sheet(wide, 3, 1400, out_dir / "contact_wide.png")
    strip_mocks(out_dir)
    help_mocks(out_dir)


if __name__ == "__main__":
    main()
