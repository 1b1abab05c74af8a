"""Whole user journeys with the built Quillo.exe under Wine: each test is one
flow from a fresh folder to a restart, driven only by clicks and keys and
judged by what a user sees (the screen and the "配置.dpk" beside the exe)."""

import io
import os
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None
SHOTS = None

FIRST_ROW_HEIGHT = 46
ROW_HEIGHT = 20


def delete_button(row):
    return 197, 27 + ROW_HEIGHT * (row - 1) + 8


def edit_box(row):
    return 60, 27 + ROW_HEIGHT * (row - 1) + 9


def text_area(row):
    """The part of a row's edit box that the text covers, in strip pixels."""
    top = 27 + ROW_HEIGHT * (row - 1)
    return 6, top, 176, top + 18


def height_for(rows):
    return FIRST_ROW_HEIGHT + ROW_HEIGHT * (rows - 1)


def stored_texts(values):
    """The note texts of a stored "条目内容" value, in order."""
    return [line.split("&")[0] for line in values.get(harness.KEY_ENTRIES, "").split("\\") if line]


class Journeys(unittest.TestCase):
    def look(self, q, name):
        """The strip as the user sees it, with the pointer off it so no button
        shows its hover picture."""
        harness.xdotool("mousemove", "--sync", 5, 1000)
        q.settle()
        shot = Image.open(io.BytesIO(q.grab())).convert("RGB")
        shot.save(os.path.join(SHOTS, name))
        return shot

    def wait_for_notes(self, q, notes, what):
        try:
            harness.wait_until(lambda: stored_texts(q.read_config()) == notes, what=what)
        except AssertionError:
            q.screenshot(os.path.join(SHOTS, "journey-unsaved.png"))
            self.assertEqual(stored_texts(q.read_config()), notes, what)

    def quit_with_escape(self, q):
        q.focus()
        q.click(*edit_box(1))
        q.key("Escape")
        self.assertEqual(q.wait_exit(), 0, "Esc ends the program cleanly")

    def test_deleting_the_middle_row_keeps_the_others_in_order(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=400, top=300,
                           entries=[harness.entry("第一行"), harness.entry("第二行中间"), harness.entry("third 三")])
            q.start()
            self.assertEqual(q.geometry(), (400, 300, 207, height_for(3)))
            before = self.look(q, "journey3-three-rows.png")

            q.click(*delete_button(2))
            harness.wait_until(lambda: q.geometry()[3] == height_for(2), what="row 2 deleted")
            q.deactivate()
            self.wait_for_notes(q, ["第一行", "third 三"], "the deletion saved on switching away")
            self.quit_with_escape(q)
            self.assertEqual(stored_texts(q.read_config()), ["第一行", "third 三"])

            q.start()
            self.assertEqual(q.geometry(), (400, 300, 207, height_for(2)))
            after = self.look(q, "journey3-restarted.png")
            self.assertEqual(after.crop(text_area(1)).tobytes(), before.crop(text_area(1)).tobytes(),
                             "row 1 still shows the first note")
            self.assertEqual(after.crop(text_area(2)).tobytes(), before.crop(text_area(3)).tobytes(),
                             "row 2 now shows what row 3 showed")
            self.assertEqual(stored_texts(q.read_config()), ["第一行", "third 三"])


if __name__ == "__main__":
    harness.run_tests(globals())
