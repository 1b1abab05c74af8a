"""The built Quillo.exe under Wine, driven with real clicks and keys."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None
SHOTS = None

# Strip pixels of the controls a user clicks.
ADD_BUTTON = (160, 8)
CLOSE_BUTTON = (202, 10)


def delete_button(row):
    return 197, 27 + 20 * (row - 1) + 8


def edit_box(row):
    return 60, 27 + 20 * (row - 1) + 9


def stored_texts(values):
    """The note texts of a stored "条目内容" value."""
    return [line.split("&")[0] for line in values.get(harness.KEY_ENTRIES, "").split("\\") if line]


class StripFlow(unittest.TestCase):
    def test_add_delete_type_switch_away_and_esc(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=200, top=150, entries=[harness.entry("第一条"), harness.entry("two")])
            q.start()
            self.assertEqual(q.geometry(), (200, 150, 207, 66))

            q.click(*ADD_BUTTON)
            harness.wait_until(lambda: q.geometry()[3] == 86, what="a third row")
            q.settle()
            q.click(*delete_button(2))
            harness.wait_until(lambda: q.geometry()[3] == 66, what="row 2 deleted")
            q.settle()

            # Row 2 is now the added row; replace its text.
            q.click(*edit_box(2))
            q.key("End", "shift+Home")
            q.type_text("e2e测试&x")
            q.screenshot(os.path.join(SHOTS, "strip-typed.png"))
            q.deactivate()
            saved = harness.wait_until(lambda: stored_texts(q.read_config()) == ["第一条", "e2e测试＆x"],
                                       what="the typed note saved on switching away")
            self.assertTrue(saved)

            q.focus()
            q.click(*edit_box(1))
            q.key("Escape")
            self.assertEqual(q.wait_exit(), 0)
            values = q.read_config()
            self.assertEqual(stored_texts(values), ["第一条", "e2e测试＆x"])
            self.assertEqual((values[harness.KEY_LEFT], values[harness.KEY_TOP]), ("200", "150"))

    def test_a_quick_double_click_adds_two_rows_but_deletes_one(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=200, top=150, entries=[harness.entry("一"), harness.entry("二"), harness.entry("三")])
            q.start()
            q.settle()
            left, top, _, _ = q.geometry()
            harness.move_pointer(left + ADD_BUTTON[0], top + ADD_BUTTON[1])
            harness.xdotool("click", "--repeat", 2, "--delay", 120, 1)
            harness.wait_until(lambda: q.geometry()[3] == 46 + 20 * 4, what="two rows from two quick clicks")
            q.settle()

            harness.move_pointer(left + delete_button(2)[0], top + delete_button(2)[1])
            harness.xdotool("click", "--repeat", 2, "--delay", 120, 1)
            harness.wait_until(lambda: q.geometry()[3] < 46 + 20 * 4, what="row 2 deleted")
            q.settle()
            self.assertEqual(q.geometry()[3], 46 + 20 * 3, "a double click on delete takes one note only")

            # A click after the double-click time is a click of its own.
            time.sleep(1.0)
            harness.xdotool("click", 1)
            harness.wait_until(lambda: q.geometry()[3] == 46 + 20 * 2, what="the next row deleted")
            q.deactivate()
            harness.wait_until(lambda: stored_texts(q.read_config()) == ["一", "请在此输入", "请在此输入"],
                               what="the three rows saved")

    def test_close_button_saves_and_a_restart_brings_the_notes_back(self):
        with harness.Quillo(EXE) as q:
            q.start()
            self.assertEqual(q.geometry(), (0, 0, 207, 46))
            q.click(*ADD_BUTTON)
            harness.wait_until(lambda: q.geometry()[3] == 66, what="a second row")
            q.settle()
            q.click(*edit_box(2))
            q.key("End", "shift+Home")
            # 14 characters of two bytes each: the box stops at 26 bytes.
            q.type_text("一二三四五六七八九十甲乙丙丁")
            q.click(*CLOSE_BUTTON)
            self.assertEqual(q.wait_exit(), 0)
            self.assertEqual(stored_texts(q.read_config())[1], "一二三四五六七八九十甲乙丙")

            q.start()
            self.assertEqual(q.geometry(), (0, 0, 207, 66))

    def test_dragging_the_surface_moves_the_strip_and_saves_the_place(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=200, top=150, entries=[harness.entry("拖动")])
            q.start()
            q.drag(20, 8, 100, 50)
            harness.wait_until(lambda: q.geometry()[:2] == (300, 200), what="the strip at its new place")
            values = harness.wait_until(
                lambda: (v := q.read_config()) and (v[harness.KEY_LEFT], v[harness.KEY_TOP]) == ("300", "200") and v,
                what="the new place saved")
            self.assertEqual(stored_texts(values), ["拖动"])

    def test_a_strip_stored_off_screen_comes_back(self):
        with harness.Quillo(EXE) as q:
            q.write_config(left=5000, top=5000, entries=[harness.entry("找到了")])
            q.start()
            left, top, width, height = q.geometry()
            self.assertTrue(0 <= left and left + width <= 1280 and 0 <= top and top + height <= 1024,
                            (left, top))
            values = q.read_config()
            self.assertEqual((values[harness.KEY_LEFT], values[harness.KEY_TOP]), (str(left), str(top)))
            q.screenshot(os.path.join(SHOTS, "strip-rescued.png"))

    def test_one_strip_per_folder(self):
        with harness.Quillo(EXE) as first, harness.Quillo(EXE) as elsewhere:
            first.start()
            second = first.launch()
            self.assertEqual(second.wait(timeout=20), 0, "a second start from the same folder ends")
            self.assertIsNone(first.process.poll(), "the first strip keeps running")
            self.assertEqual([w for w in harness.visible_windows("quillo.exe")
                              if harness.window_geometry(w)[2] == 207], [first.window])

            elsewhere.start()
            self.assertIsNone(first.process.poll())
            self.assertNotEqual(elsewhere.window, first.window)


if __name__ == "__main__":
    harness.run_tests(globals())
