#!/usr/bin/python3
"""Draws every picture and icon of Quillo and writes the resource list.

This script is the editable source of the artwork. It writes
  resources/pictures/*.png   one PNG per picture id (RGBA),
  resources/Pictures.rc      the RCDATA list that embeds them,
  resources/Quillo.ico       the tray and program icon (256, 48, 32, 16 px),
  resources/Logo16.ico       the balloon tip's 16 px logo.
The outputs are committed, so building the program needs none of this.

Run it with the system interpreter, which carries Debian's python3-pil:
    /usr/bin/python3 resources/art/draw_pictures.py

Shapes are drawn at four times the final size and reduced by area averaging,
which gives exact coverage at the edges without the halo a sharper filter
rings around thin lines. Text is drawn at the final size, where FreeType's
hinting keeps small Chinese glyphs crisp.
"""

import hashlib
import io
import math
import struct
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFont

ART_DIR = Path(__file__).resolve().parent
RESOURCES_DIR = ART_DIR.parent
PICTURES_DIR = RESOURCES_DIR / "pictures"

SCALE = 4
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN_BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

STRIP_WIDTH = 208
MAX_ROWS = 41
# The strip lets clicks through pixels of alpha 0; the band a user drags the
# strip by must stay pressable while looking empty.
BAND_ALPHA = 3
BAND_HEIGHT = 16
RED_LINE_TOP = 18

# Brand colours.
TEAL_LIGHT = (52, 190, 170)
TEAL_DARK = (16, 112, 106)
INK = (28, 44, 62)
RED_LINE = (214, 38, 38)
SMOKE = (24, 30, 40)  # the dark glass under white text on the strip


def font(path, size):
    return ImageFont.truetype(path, size)


# ---------------------------------------------------------------- drawing kit


class Sketch:
    """An RGBA picture drawn at SCALE times its size, in final-pixel units."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.big = Image.new("RGBA", (width * SCALE, height * SCALE), (0, 0, 0, 0))

    def mask(self):
        return Image.new("L", self.big.size, 0)

    @staticmethod
    def box(x0, y0, x1, y1):
        return [x0 * SCALE, y0 * SCALE, x1 * SCALE - 1, y1 * SCALE - 1]

    @staticmethod
    def points(pts):
        return [(x * SCALE, y * SCALE) for x, y in pts]

    def rounded_mask(self, x0, y0, x1, y1, radius):
        m = self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self.box(x0, y0, x1, y1), radius * SCALE, fill=255)
        return m

    def ellipse_mask(self, x0, y0, x1, y1):
        m = self.mask()
        ImageDraw.Draw(m).ellipse(self.box(x0, y0, x1, y1), fill=255)
        return m

    def polygon_mask(self, pts):
        m = self.mask()
        ImageDraw.Draw(m).polygon(self.points(pts), fill=255)
        return m

    def stroke_mask(self, pts, width):
        """A polyline with round caps and joints."""
        m = self.mask()
        d = ImageDraw.Draw(m)
        big = self.points(pts)
        w = width * SCALE
        d.line(big, fill=255, width=round(w), joint="curve")
        for x, y in (big[0], big[-1]):
            d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=255)
        return m

    def paint(self, mask, fill):
        """Blends a colour (RGB or RGBA) or a big-size RGBA image through mask."""
        if isinstance(fill, Image.Image):
            layer = fill.copy()
            alpha = ImageChops.multiply(layer.getchannel("A"), mask)
        else:
            rgba = tuple(fill) + ((255,) if len(fill) == 3 else ())
            layer = Image.new("RGBA", self.big.size, rgba[:3] + (0,))
            alpha = mask.point(lambda v, a=rgba[3]: v * a // 255)
        layer.putalpha(alpha)
        self.big.alpha_composite(layer)

    def vertical_gradient(self, top, bottom, y0=0, y1=None):
        """A big-size image fading from top to bottom between rows y0 and y1."""
        y1 = self.height if y1 is None else y1
        top = tuple(top) + ((255,) if len(top) == 3 else ())
        bottom = tuple(bottom) + ((255,) if len(bottom) == 3 else ())
        column = Image.new("RGBA", (1, self.big.size[1]))
        for y in range(self.big.size[1]):
            t = min(max((y / SCALE - y0) / max(y1 - y0, 1e-6), 0.0), 1.0)
            column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
        return column.resize(self.big.size, Image.NEAREST)

    def finish(self):
        return self.big.resize((self.width, self.height), Image.BOX)


def subtract(a, b):
    return ImageChops.subtract(a, b)


def cross_mask(sketch, cx, cy, reach, width):
    """An x of two strokes reaching reach px from the centre along each axis."""
    return ImageChops.lighter(
        sketch.stroke_mask([(cx - reach, cy - reach), (cx + reach, cy + reach)], width),
        sketch.stroke_mask([(cx + reach, cy - reach), (cx - reach, cy + reach)], width))


def draw_text(image, xy, text, typeface, fill, anchor="la"):
    """Text at final size, blended over what is there."""
    mask = Image.new("L", image.size, 0)
    ImageDraw.Draw(mask).text(xy, text, font=typeface, fill=255, anchor=anchor)
    composite_mask(image, mask, fill)


def composite_mask(image, mask, fill):
    rgba = tuple(fill) + ((255,) if len(fill) == 3 else ())
    layer = Image.new("RGBA", image.size, rgba[:3] + (0,))
    layer.putalpha(mask.point(lambda v, a=rgba[3]: v * a // 255))
    image.alpha_composite(layer)


def text_width(text, typeface):
    left, _, right, _ = ImageDraw.Draw(Image.new("L", (1, 1))).textbbox((0, 0), text, font=typeface)
    return right - left


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# ---------------------------------------------------------------- the logo


QUILL_TIP = (0.84, 0.12)
QUILL_BASE = (0.34, 0.68)  # where the vane ends and the bare shaft begins
QUILL_NIB = (0.23, 0.81)
VANE_WIDE, VANE_NARROW = 0.20, 0.11  # the vane is wider on its upper side


def vane_point(t, side):
    """A point of the vane's edge at t (0 tip, 1 base); side +1 upper, -1 lower, 0 spine."""
    ax, ay = QUILL_BASE[0] - QUILL_TIP[0], QUILL_BASE[1] - QUILL_TIP[1]
    length = math.hypot(ax, ay)
    nx, ny = -ay / length, ax / length  # points to the upper left
    swell = math.sin(math.pi * t) ** 0.75 * (1 - 0.35 * t)
    half = (VANE_WIDE if side > 0 else VANE_NARROW) * swell * side
    return (QUILL_TIP[0] + ax * t + nx * half, QUILL_TIP[1] + ay * t + ny * half)


def quill_mask(sketch, x, y, size):
    """The quill and the ink line it writes, in a size-px square at x, y."""
    def at(px, py):
        return (x + px * size, y + py * size)

    steps = 32
    outline = [vane_point(i / steps, +1) for i in range(steps + 1)]
    outline += [vane_point(i / steps, -1) for i in range(steps, -1, -1)]
    quill = ImageChops.lighter(
        sketch.polygon_mask([at(*p) for p in outline]),
        sketch.stroke_mask([at(*vane_point(0.9, 0)), at(*QUILL_NIB)], max(size * 0.05, 1.1)))
    if size >= 24:
        # The spine and two splits in the vane read only when there is room.
        quill = subtract(quill, sketch.stroke_mask([at(*vane_point(0.1, 0)), at(*vane_point(0.9, 0))],
                                                   size * 0.016))
        for t in (0.34, 0.56):
            edge, inward = vane_point(t, +1), vane_point(t - 0.12, +0.3)
            quill = subtract(quill, sketch.stroke_mask([at(*edge), at(*inward)], size * 0.022))
    # The ink line the quill has written, starting just past the nib.
    wave = [(0.30 + 0.5 * i / 12, 0.87 - 0.025 * math.sin(math.pi * 2 * i / 12)) for i in range(13)]
    ink = sketch.stroke_mask([at(*p) for p in wave], max(size * 0.05, 1.0))
    return ImageChops.lighter(quill, ink)


def draw_logo(sketch, x, y, size):
    """The mark: a teal rounded square carrying a white quill and its ink line."""
    radius = size * 0.22
    sketch.paint(sketch.rounded_mask(x, y, x + size, y + size, radius),
                 sketch.vertical_gradient(TEAL_LIGHT, TEAL_DARK, y, y + size))
    sketch.paint(quill_mask(sketch, x, y, size), (255, 255, 255))


def logo_picture(size):
    sketch = Sketch(size, size)
    margin = {16: 0, 32: 1, 48: 2}.get(size, size / 32)
    draw_logo(sketch, margin, margin, size - 2 * margin)
    return sketch.finish()


# ---------------------------------------------------------------- the strip


def strip_band():
    """Rows 0-19 of every strip background: the logo band and the red line."""
    band = Image.new("RGBA", (STRIP_WIDTH, 20), (0, 0, 0, 0))
    band.paste((0, 0, 0, BAND_ALPHA), (0, 0, STRIP_WIDTH, BAND_HEIGHT))
    name_font = font(LATIN_BOLD_FONT, 11)
    sketch = Sketch(STRIP_WIDTH, 20)
    # The same smoked glass as the row frames keeps the white name legible on
    # a bright desktop.
    plate_right = 22 + text_width("Quillo", name_font)
    sketch.paint(sketch.rounded_mask(0, 0, plate_right, BAND_HEIGHT, 4), SMOKE + (130,))
    draw_logo(sketch, 2, 1, 14)
    band.alpha_composite(sketch.finish())
    draw_text(band, (19, 8), "Quillo", name_font, (255, 255, 255), anchor="lm")
    band.paste(RED_LINE + (255,), (0, RED_LINE_TOP, STRIP_WIDTH, RED_LINE_TOP + 1))
    band.paste(mix(RED_LINE, (0, 0, 0), 0.18) + (255,), (0, RED_LINE_TOP + 1, STRIP_WIDTH, 20))
    return band


def strip_background(band, rows):
    image = Image.new("RGBA", (STRIP_WIDTH, 46 + 20 * (rows - 1)), (0, 0, 0, 0))
    image.paste(band, (0, 0))
    return image


def frame(border, inside_tint, border_width=1.0):
    """A row frame: a rounded border around a dark, see-through inside."""
    width, height = 207, 20
    sketch = Sketch(width, height)
    outer = sketch.rounded_mask(0, 0, width, height, 4)
    inner = sketch.rounded_mask(border_width, border_width, width - border_width,
                                height - border_width, 4 - border_width)
    # Dark enough under white text on a bright desktop, light enough to see through.
    sketch.paint(inner, sketch.vertical_gradient(inside_tint + (140,), inside_tint + (112,)))
    sheen = subtract(inner, sketch.rounded_mask(border_width, border_width + 1,
                                                width - border_width, height, 4 - border_width))
    sketch.paint(sheen, (255, 255, 255, 34))
    sketch.paint(subtract(outer, inner), border)
    return sketch.finish()


def add_button(pill_top, pill_colours, plus_colour, edge):
    sketch = Sketch(32, 15)
    top, bottom = pill_colours
    pill = sketch.rounded_mask(0, pill_top, 32, pill_top + 14, 7)
    sketch.paint(pill, edge)
    sketch.paint(sketch.rounded_mask(1, pill_top + 1, 31, pill_top + 13, 6),
                 sketch.vertical_gradient(top, bottom, pill_top, pill_top + 14))
    image = sketch.finish()
    cy = pill_top + 6
    image.paste(plus_colour, (12, cy, 20, cy + 2))
    image.paste(plus_colour, (15, cy - 3, 17, cy + 5))
    return image


def shield_outline(cx, top, width, height):
    half = width / 2
    pts = [(cx - half, top + 2.0), (cx - half * 0.55, top + 1.0), (cx, top),
           (cx + half * 0.55, top + 1.0), (cx + half, top + 2.0)]
    steps = 12
    for i in range(1, steps + 1):
        t = i / steps
        # Straight sides for the first half, then a curve down to the point.
        px = cx + half * (1 - t ** 3.2)
        py = top + 2.0 + (height - 2.0) * t
        pts.append((px, py))
    mirrored = [(2 * cx - px, py) for px, py in pts[5:][::-1]]
    return pts + mirrored[1:]


def help_button(colours, rim, drop):
    sketch = Sketch(20, 20)
    top = 3 + drop
    outline = shield_outline(10, top, 14, 15)
    sketch.paint(sketch.polygon_mask(outline), rim)
    inner = shield_outline(10, top + 1.1, 11.8, 12.9)
    sketch.paint(sketch.polygon_mask(inner), sketch.vertical_gradient(*colours, top, top + 15))
    image = sketch.finish()
    draw_text(image, (10, top + 7), "?", font(LATIN_BOLD_FONT, 12), (255, 255, 255), anchor="mm")
    return image


def close_button(disc, cross, drop):
    sketch = Sketch(20, 20)
    cx, cy = 9, 8 + drop
    sketch.paint(sketch.ellipse_mask(cx - 7, cy - 7, cx + 7, cy + 7), disc)
    sketch.paint(cross_mask(sketch, cx, cy, 3.5, 1.8), cross)
    return sketch.finish()


def clock_face(face, rim, hands):
    sketch = Sketch(17, 17)
    sketch.paint(sketch.ellipse_mask(1, 1, 16, 16), rim)
    sketch.paint(sketch.ellipse_mask(2.2, 2.2, 14.8, 14.8), face)
    image = sketch.finish()
    # Hands on whole pixels: the centre is pixel 8, 8.
    image.paste(hands, (8, 4, 9, 9))
    image.paste(hands, (8, 8, 12, 9))
    for x, y in ((8, 3), (8, 13), (3, 8), (13, 8)):
        image.alpha_composite(Image.new("RGBA", (1, 1), hands[:3] + (150,)), (x, y))
    return image


def delete_button(disc, disc_rim, cross):
    sketch = Sketch(16, 16)
    if disc:
        sketch.paint(sketch.ellipse_mask(1, 1, 15, 15), disc_rim)
        sketch.paint(sketch.ellipse_mask(2, 2, 14, 14), disc)
    sketch.paint(cross_mask(sketch, 8, 8, 2.8, 1.7), cross)
    return sketch.finish()


# ---------------------------------------------------------------- the help window

HELP_SIZE = (427, 284)
HEADER_HEIGHT = 46


def help_background():
    width, height = HELP_SIZE
    sketch = Sketch(width, height)
    body = sketch.rounded_mask(0, 0, width, height, 10)
    sketch.paint(body, (120, 150, 160))
    inner = sketch.rounded_mask(1, 1, width - 1, height - 1, 9)
    sketch.paint(inner, sketch.vertical_gradient((236, 246, 244), (252, 253, 252), HEADER_HEIGHT, height))
    header = ImageChops.multiply(inner, sketch.rounded_mask(0, 0, width, HEADER_HEIGHT, 0))
    sketch.paint(header, sketch.vertical_gradient(mix(TEAL_LIGHT, TEAL_DARK, 0.25), TEAL_DARK, 0, HEADER_HEIGHT))
    sketch.paint(sketch.rounded_mask(0, HEADER_HEIGHT, width, HEADER_HEIGHT + 1, 0), (10, 80, 76, 120))
    # A large, faint quill behind the text.
    watermark = quill_mask(sketch, 262, 56, 150)
    sketch.paint(ImageChops.multiply(watermark, inner), (TEAL_DARK[0], TEAL_DARK[1], TEAL_DARK[2], 22))
    # The logo sits on a white tile so it stands off the teal header.
    sketch.paint(sketch.rounded_mask(13, 9, 43, 39, 8), (255, 255, 255, 235))
    draw_logo(sketch, 15, 11, 26)
    # A rule between the two notes, and their bullets.
    sketch.paint(sketch.rounded_mask(40, 120, 260, 121, 0), TEAL_DARK + (40,))
    for y in (88, 148):
        sketch.paint(sketch.ellipse_mask(40, y - 3, 46, y + 3), TEAL_DARK)
    image = sketch.finish()

    title_font = font(CJK_FONT, 18)
    draw_text(image, (52, 24), "Quillo备忘条v2.0", title_font, (255, 255, 255), anchor="lm")
    draw_text(image, (53 + text_width("Quillo备忘条v2.0", title_font) + 10, 25),
              "随手记下，准时提醒", font(CJK_FONT, 12), (220, 244, 240), anchor="lm")
    body_font = font(CJK_FONT, 14)
    draw_text(image, (54, 88), "本软件完全免费，欢迎使用", body_font, INK, anchor="lm")
    draw_text(image, (54, 148), "如需定制版本，欢迎联系作者", body_font, INK, anchor="lm")
    small = font(CJK_FONT, 12)
    grey = (96, 110, 122)
    draw_text(image, (54, 106), "写下一行，到点提醒，记事从此轻松", small, grey, anchor="lm")
    draw_text(image, (54, 166), "点击右下角按钮，在线与作者交流", small, grey, anchor="lm")
    # Beside the palette button at 206,238: the caption starts right of it and
    # stops short of the online button at x 344.
    draw_text(image, (228, 245), "点击左侧调色板，", small, INK, anchor="lm")
    draw_text(image, (228, 260), "更改备忘条文字颜色", small, INK, anchor="lm")
    return image


def help_close(tile, cross, drop):
    sketch = Sketch(61, 35)
    cx, cy = 39, 19 + drop
    sketch.paint(sketch.rounded_mask(cx - 13, cy - 10, cx + 13, cy + 10, 5), tile)
    sketch.paint(cross_mask(sketch, cx, cy, 4.5, 1.6), cross)
    return sketch.finish()


def product_banner(top, bottom, edge, text_colour, drop):
    sketch = Sketch(322, 20)
    sketch.paint(sketch.rounded_mask(0, 0, 322, 20, 5), edge)
    sketch.paint(sketch.rounded_mask(1, 1, 321, 19, 4), sketch.vertical_gradient(top, bottom))
    sheen = subtract(sketch.rounded_mask(1, 1, 321, 19, 4), sketch.rounded_mask(1, 2, 321, 20, 4))
    sketch.paint(sheen, (255, 255, 255, 70))
    # Chevrons either side of the caption point the way to the page.
    for x in (118, 124, 198, 204):
        sketch.paint(sketch.stroke_mask([(x, 7 + drop), (x + 3, 10 + drop), (x, 13 + drop)], 1.3),
                     text_colour + (170,))
    image = sketch.finish()
    draw_text(image, (161, 10 + drop), "产品中心", font(CJK_FONT, 13), text_colour, anchor="mm")
    return image


def palette_icon(wood, rim, paints, drop):
    sketch = Sketch(16, 16)
    y = drop
    # The notch bitten out of the lower right edge is where the thumb goes.
    notch = sketch.ellipse_mask(9.6, 8.4 + y, 15.8, 14.6 + y)
    outer = subtract(sketch.ellipse_mask(0.5, 1.5 + y, 15.5, 14.5 + y), notch)
    inner = subtract(sketch.ellipse_mask(1.6, 2.6 + y, 14.4, 13.4 + y),
                     sketch.ellipse_mask(8.6, 7.4 + y, 16.8, 15.6 + y))
    sketch.paint(outer, rim)
    sketch.paint(inner, wood)
    for (px, py), colour in zip(((4.3, 9.4), (4.6, 5.6), (8.2, 4.2), (11.8, 5.4)), paints):
        sketch.paint(sketch.ellipse_mask(px - 1.55, py - 1.55 + y, px + 1.55, py + 1.55 + y), colour)
    return sketch.finish()


def speech_bubble(sketch, x, y, colour):
    """A plain rounded speech bubble, 16 x 14 px at x, y, its tail at the lower left."""
    sketch.paint(sketch.rounded_mask(x, y, x + 16, y + 11, 4), colour)
    sketch.paint(sketch.polygon_mask([(x + 3.5, y + 9), (x + 8, y + 9), (x + 3, y + 14)]),
                 colour)


def chat_button(top, bottom, edge, text_colour, icon, dots, drop):
    sketch = Sketch(78, 25)
    sketch.paint(sketch.rounded_mask(0, drop, 78, 24 + drop, 5), edge)
    sketch.paint(sketch.rounded_mask(1, 1 + drop, 77, 23 + drop, 4),
                 sketch.vertical_gradient(top, bottom, drop, 24 + drop))
    sheen = subtract(sketch.rounded_mask(1, 1 + drop, 77, 23 + drop, 4),
                     sketch.rounded_mask(1, 2 + drop, 77, 24 + drop, 4))
    sketch.paint(sheen, (255, 255, 255, 60))
    speech_bubble(sketch, 5, 5.5 + drop, icon)
    for dx in (4, 8, 12):
        sketch.paint(sketch.ellipse_mask(5 + dx - 1.1, 10 + drop, 5 + dx + 1.1, 12.2 + drop), dots)
    image = sketch.finish()
    draw_text(image, (24, 12 + drop), "在线咨询", font(CJK_FONT, 12), text_colour, anchor="lm")
    return image


def message_button(top, bottom, edge, text_colour, icon, drop):
    sketch = Sketch(78, 25)
    sketch.paint(sketch.rounded_mask(0, drop, 78, 24 + drop, 5), edge)
    sketch.paint(sketch.rounded_mask(1, 1 + drop, 77, 23 + drop, 4),
                 sketch.vertical_gradient(top, bottom, drop, 24 + drop))
    # An envelope: its body, then the flap as two strokes meeting in the middle.
    ex, ey = 5, 7 + drop
    sketch.paint(subtract(sketch.rounded_mask(ex, ey, ex + 15, ey + 11, 1.5),
                          sketch.rounded_mask(ex + 1.2, ey + 1.2, ex + 13.8, ey + 9.8, 0.8)), icon)
    sketch.paint(sketch.stroke_mask([(ex + 1.5, ey + 1.5), (ex + 7.5, ey + 6.2),
                                     (ex + 13.5, ey + 1.5)], 1.2), icon)
    image = sketch.finish()
    draw_text(image, (24, 12 + drop), "给我留言", font(CJK_FONT, 12), text_colour, anchor="lm")
    return image


# ---------------------------------------------------------------- the list


def pictures():
    """Every picture as (name, resource id, image), in id order."""
    band = strip_band()
    grey_pill = ((172, 178, 186), (128, 135, 145))
    result = [(f"StripBackground{rows:02d}", 1000 + rows, strip_background(band, rows))
              for rows in range(1, MAX_ROWS + 1)]
    result += [
        ("FrameNormal", 1101, frame((168, 174, 182, 235), SMOKE)),
        ("FrameRed", 1102, frame((232, 52, 48, 255), (70, 12, 12), 1.6)),
        ("FrameYellow", 1103, frame((250, 204, 30, 255), (64, 48, 0), 1.6)),
        ("AddNormal", 1201, add_button(0, grey_pill, (255, 255, 255, 255), (96, 102, 112, 220))),
        ("AddHover", 1202, add_button(0, ((255, 226, 240), (250, 196, 224)), (214, 28, 140, 255),
                                      (214, 28, 140, 230))),
        ("AddPressed", 1203, add_button(1, ((150, 156, 166), (176, 182, 190)), (28, 100, 230, 255),
                                        (84, 90, 100, 230))),
        ("HelpNormal", 1211, help_button(((86, 146, 214), (44, 96, 170)), (230, 238, 248, 235), 0)),
        ("HelpHover", 1212, help_button(((110, 176, 250), (52, 124, 214)), (255, 255, 255, 255), 0)),
        ("HelpPressed", 1213, help_button(((40, 86, 150), (30, 64, 118)), (190, 204, 224, 235), 1)),
        ("CloseNormal", 1221, close_button(SMOKE + (130,), (255, 255, 255), 0)),
        ("CloseHover", 1222, close_button((226, 52, 48, 245), (255, 255, 255), 0)),
        ("ClosePressed", 1223, close_button((160, 28, 26, 250), (255, 226, 226), 1)),
        ("ClockWhite", 1231, clock_face((255, 255, 255), (96, 104, 114), (40, 44, 50, 255))),
        ("ClockBlack", 1232, clock_face((34, 37, 42), (200, 204, 210), (255, 255, 255, 255))),
        ("ClockGreen", 1233, clock_face((46, 178, 86), (20, 110, 50), (255, 255, 255, 255))),
        ("ClockYellow", 1234, clock_face((255, 212, 56), (176, 128, 0), (72, 52, 0, 255))),
        ("DeleteNormal", 1241, delete_button(None, None, (206, 211, 218))),
        ("DeleteHover", 1242, delete_button((246, 247, 249), (196, 200, 206), (226, 40, 36))),
        ("DeletePressed", 1243, delete_button((156, 162, 170), (120, 126, 134), (200, 24, 20))),
        ("BalloonLogo", 1251, logo_picture(16)),
        ("HelpBackground", 1301, help_background()),
        ("HelpCloseNormal", 1311, help_close((255, 255, 255, 30), (255, 255, 255, 170), 0)),
        ("HelpCloseHover", 1312, help_close((226, 52, 48, 240), (255, 255, 255), 0)),
        ("HelpClosePressed", 1313, help_close((160, 28, 26, 250), (255, 220, 220), 1)),
        ("ProductNormal", 1321, product_banner((62, 186, 168), (22, 124, 116), (14, 96, 90),
                                               (255, 255, 255), 0)),
        ("ProductHover", 1322, product_banner((96, 214, 196), (34, 152, 140), (20, 120, 110),
                                              (255, 255, 255), 0)),
        ("ProductPressed", 1323, product_banner((18, 104, 98), (30, 128, 120), (10, 76, 72),
                                                (220, 240, 236), 1)),
        ("PaletteNormal", 1331, palette_icon((242, 226, 196), (150, 112, 70),
                                             ((226, 52, 48), (250, 196, 30), (46, 170, 86), (44, 120, 220)), 0)),
        ("PaletteHover", 1332, palette_icon((255, 246, 228), (200, 140, 60),
                                            ((255, 70, 64), (255, 214, 40), (60, 200, 100), (60, 140, 255)), 0)),
        ("PalettePressed", 1333, palette_icon((214, 194, 160), (110, 80, 46),
                                              ((180, 36, 32), (206, 160, 20), (34, 134, 66), (32, 92, 180)), 1)),
        ("ChatNormal", 1341, chat_button((72, 160, 236), (36, 116, 206), (26, 92, 170), (255, 255, 255),
                                         (255, 255, 255), (36, 116, 206), 0)),
        ("ChatHover", 1342, chat_button((104, 184, 250), (52, 140, 232), (34, 110, 196), (255, 255, 255),
                                        (255, 255, 255), (52, 140, 232), 0)),
        ("ChatPressed", 1343, chat_button((30, 96, 176), (40, 114, 196), (20, 72, 140), (226, 238, 252),
                                          (226, 238, 252), (30, 96, 176), 1)),
        ("MessageNormal", 1351, message_button((246, 247, 249), (222, 225, 230), (170, 176, 184),
                                               (76, 84, 94), (120, 128, 138), 0)),
        ("MessageHover", 1352, message_button((255, 255, 255), (232, 235, 239), (140, 148, 158),
                                              (40, 46, 54), (84, 92, 104), 0)),
        ("MessagePressed", 1353, message_button((204, 208, 214), (222, 225, 230), (140, 146, 154),
                                                (56, 62, 70), (100, 108, 118), 1)),
    ]
    return result


# ---------------------------------------------------------------- output


def write_icon(path, images):
    """An ICO of 32-bit images: PNG for 256 px (as Windows expects), BMP below."""
    entries = []
    for image in images:
        size = image.width
        if size >= 256:
            buffer = io.BytesIO()
            image.save(buffer, "PNG", optimize=True)
            data = buffer.getvalue()
        else:
            data = bmp_icon_image(image)
        entries.append((size, data))
    header = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(header) + 16 * len(entries)
    directory, blobs = b"", b""
    for size, data in entries:
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs += data
    path.write_bytes(header + directory + blobs)


def bmp_icon_image(image):
    size = image.width
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up rows
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = image.getpixel((x, y))
            pixels += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return info + bytes(pixels) + bytes(mask)


def main():
    PICTURES_DIR.mkdir(exist_ok=True)
    entries = []
    digest = hashlib.sha256()
    for name, picture_id, image in pictures():
        path = PICTURES_DIR / f"{name}.png"
        image.save(path, "PNG", optimize=True)
        digest.update(path.read_bytes())
        entries.append(f'{picture_id} RCDATA "pictures/{name}.png"')
    # windres reports no dependency on the files it embeds, so the build
    # notices new pictures only by this file's changing: the digest sees to it.
    lines = ["// Written by art/draw_pictures.py; every picture as an RCDATA PNG.",
             f"// Pictures digest: {digest.hexdigest()[:32]}", ""] + entries
    (RESOURCES_DIR / "Pictures.rc").write_text("\n".join(lines) + "\n", encoding="ascii")
    write_icon(RESOURCES_DIR / "Quillo.ico", [logo_picture(s) for s in (256, 48, 32, 16)])
    write_icon(RESOURCES_DIR / "Logo16.ico", [logo_picture(16)])


if __name__ == "__main__":
    main()
