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

ADD_BUTTON = (160, 8)
TOP_BAND = (20, 8)
FIRST_ROW_HEIGHT = 46
ROW_HEIGHT = 20
SLOGAN = "      青山常在   绿水长流 "
# Fourteen characters of two bytes each; the box holds 26 bytes.
FOURTEEN = "一二三四五六七八九十甲乙丙丁"


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


def stored_entries(values):
    """(text, colour) of every stored entry, in order."""
    result = []
    for line in values.get(harness.KEY_ENTRIES, "").split("\\"):
        if line:
            fields = line.split("&")
            result.append((fields[0], fields[4] if len(fields) > 4 else None))
    return result


def stored_texts(values):
    return [text for text, _ in stored_entries(values)]


def white_pixels(shot, row):
    """How many pixels of a row's text are bright grey to white. The frame
    under the text is near black, and letters in any other colour keep at
    least one channel low, so only a white note's letters count."""
    area = shot.crop(text_area(row))
    return sum(1 for pixel in area.getdata() if min(pixel) >= 180)


class Journeys(unittest.TestCase):
    def look(self, q, name):
        """The strip as the user sees it, with the pointer off it so no button
        shows its hover picture."""
        harness.move_pointer(5, 1000)
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

    def replace_text(self, q, row, text):
        q.focus()
        q.click(*edit_box(row))
        q.key("End", "shift+Home")
        q.type_text(text, delay_ms=150)

    def quit_with_escape(self, q):
        q.focus()
        q.click(*edit_box(1))
        q.key("Escape")
        self.assertEqual(q.wait_exit(), 0, "Esc ends the program cleanly")

    def test_first_run_notes_place_and_colours_come_back(self):
        with harness.Quillo(EXE) as q:
            self.assertEqual(q.read_config(), {}, "a fresh folder has no file")
            q.start()
            self.assertEqual(q.geometry(), (0, 0, 207, height_for(1)))
            first = self.look(q, "journey1-first-run.png")
            self.assertGreater(white_pixels(first, 1), 100, "the slogan is drawn in white")

            self.replace_text(q, 1, FOURTEEN)
            q.click(*ADD_BUTTON)
            harness.wait_until(lambda: q.geometry()[3] == height_for(2), what="a second row")
            q.settle()
            q.click(*ADD_BUTTON)
            harness.wait_until(lambda: q.geometry()[3] == height_for(3), what="a third row")
            q.settle()
            self.replace_text(q, 2, "买菜")
            self.replace_text(q, 3, "交电费ab")

            q.drag(*TOP_BAND, 300, 200)
            harness.wait_until(lambda: q.geometry() == (300, 200, 207, height_for(3)),
                               what="the strip at its new place")
            q.deactivate()
            notes = [FOURTEEN[:13], "买菜", "交电费ab"]
            self.wait_for_notes(q, notes, "the notes saved on switching away")
            values = q.read_config()
            self.assertEqual((values[harness.KEY_LEFT], values[harness.KEY_TOP]), ("300", "200"))
            colours = [colour for _, colour in stored_entries(values)]
            self.assertEqual(colours, [str(harness.WHITE)] * 3)
            before = self.look(q, "journey1-before-quit.png")
            for row in (1, 2, 3):
                self.assertGreater(white_pixels(before, row), 20, f"row {row} is drawn in white")

            self.quit_with_escape(q)
            values = q.read_config()
            self.assertEqual(stored_texts(values), notes)
            self.assertEqual((values[harness.KEY_LEFT], values[harness.KEY_TOP]), ("300", "200"))

            q.start()
            self.assertEqual(q.geometry(), (300, 200, 207, height_for(3)))
            after = self.look(q, "journey1-restarted.png")
            for row in (1, 2, 3):
                self.assertGreater(white_pixels(after, row), 20, f"row {row} is drawn in white again")
            # Same texts in the same colours draw the same pixels.
            for row in (2, 3):
                self.assertEqual(after.crop(text_area(row)).tobytes(), before.crop(text_area(row)).tobytes(),
                                 f"row {row} looks as it did before the restart")
            values = q.read_config()
            self.assertEqual(stored_entries(values), list(zip(notes, colours)))
            self.assertEqual((values[harness.KEY_LEFT], values[harness.KEY_TOP]), ("300", "200"))

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
