"""The built Quillo.exe's look on the screen: the pictures a user sees before
and after adding a row, and the add button's hover picture."""

import io
import os
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None
SHOTS = None
PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "pictures")

ADD_PLACE = (144, 1)  # the add button's place in the strip


def picture_over_black(name):
    """A picture as the screen shows it: nothing composites behind a layered
    window on Xvfb, so each pixel is its colour scaled by its alpha."""
    rgba = Image.open(os.path.join(PICTURES, name + ".png")).convert("RGBA")
    black = Image.new("RGBA", rgba.size, (0, 0, 0, 255))
    return Image.alpha_composite(black, rgba).convert("RGB")


def distance(shot, place, picture):
    """Mean per-channel difference between the picture and the screen under it."""
    left, top = place
    width, height = picture.size
    total = 0
    for y in range(height):
        for x in range(width):
            a = shot.getpixel((left + x, top + y))
            b = picture.getpixel((x, y))
            total += sum(abs(a[i] - b[i]) for i in range(3))
    return total / (width * height * 3)


def closest(shot, place, names, box=None):
    pictures = {name: picture_over_black(name) for name in names}
    if box:
        pictures = {name: p.crop(box) for name, p in pictures.items()}
        place = (place[0] + box[0], place[1] + box[1])
    scores = {name: distance(shot, place, p) for name, p in pictures.items()}
    return min(scores, key=scores.get), scores


class Look(unittest.TestCase):
    def grab(self, q, name):
        shot = Image.open(io.BytesIO(q.grab())).convert("RGB")
        shot.save(os.path.join(SHOTS, name))
        return shot

    def test_adding_a_row_and_hovering_the_add_button(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=300, top=200, entries=[harness.entry("看看")])
            q.start()
            q.settle()
            # Away from every button, so none of them is in its hover state.
            harness.move_pointer(5, 900)
            q.settle()
            before = self.grab(q, "look-before.png")
            self.assertEqual(before.size, (207, 46))
            background = picture_over_black("StripBackground01")
            self.assertEqual(before.getpixel((100, 19)), background.getpixel((100, 19)), "the red line")
            self.assertEqual(closest(before, ADD_PLACE, ["AddNormal", "AddHover", "AddPressed"])[0], "AddNormal")
            # The frame's left end, where no text or clock covers it.
            self.assertEqual(closest(before, (0, 26), ["FrameNormal", "FrameRed", "FrameYellow"], (0, 0, 5, 20))[0],
                             "FrameNormal")

            q.click(ADD_PLACE[0] + 16, ADD_PLACE[1] + 7)
            harness.wait_until(lambda: q.geometry()[3] == 66, what="a second row")
            # The pointer still rests on the add button: its hover picture shows.
            q.settle()
            hovered = self.grab(q, "look-added-hover.png")
            self.assertEqual(hovered.size, (207, 66))
            name, scores = closest(hovered, ADD_PLACE, ["AddNormal", "AddHover", "AddPressed"])
            self.assertEqual(name, "AddHover", scores)
            self.assertEqual(closest(hovered, (0, 46), ["FrameNormal", "FrameRed", "FrameYellow"], (0, 0, 5, 20))[0],
                             "FrameNormal")
            self.assertEqual(closest(hovered, (171, 47), ["ClockWhite", "ClockYellow", "ClockBlack"])[0], "ClockWhite")
            self.assertEqual(closest(hovered, (189, 47), ["DeleteNormal", "DeleteHover", "DeletePressed"])[0],
                             "DeleteNormal")
            # Below the first row the background is clear: only row 2's frame is drawn there.
            self.assertEqual(hovered.getpixel((100, 19)), background.getpixel((100, 19)))

            harness.move_pointer(5, 900)
            q.settle()
            after = self.grab(q, "look-added.png")
            self.assertEqual(closest(after, ADD_PLACE, ["AddNormal", "AddHover", "AddPressed"])[0], "AddNormal")


if __name__ == "__main__":
    harness.run_tests(globals())
