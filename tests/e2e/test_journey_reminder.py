"""A user's way through one reminder, with real clicks only: switch row 2's
reminder on in its settings window, step the time one minute ahead with the
spinner, pick yellow, wait for the blinking and the balloon, switch it off
again, and find the choice kept after a restart."""

import datetime
import io
import os
import sys
import time
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_look import closest  # noqa: E402

EXE = None
SHOTS = None

TITLE = "定时提醒设定"
ROW = 2
CLOCK_PLACE = (171, 47)     # row 2's clock button, strip pixels (rows are 20 px apart)
FRAME_PLACE = (0, 46)       # row 2's frame; its left end carries neither text nor button
FRAME_END = (0, 0, 5, 20)
# Window pixels of the settings window, title bar and border included.
ENABLE_BOX = (27, 53)
MINUTE_FIELD = (118, 85)    # "mm" of "yyyy-MM-dd-hh:mm:ss"; a click anywhere in a field selects all of it
SPIN_UP = (156, 81)
YELLOW_RADIO = (222, 150)
CLOSE_BOX = (367, 11)
TIME_FORMAT = "%Y-%m-%d-%H:%M:%S"
# Where the balloon's stem points: the screen's lower right corner, inset.
BALLOON_POINT_INSET = (20, 28)


def stored_entry(q, row):
    fields = [e.split("&") for e in q.read_config().get(harness.KEY_ENTRIES, "").split("\\") if e]
    return fields[row - 1] if len(fields) >= row else None


class ReminderJourney(unittest.TestCase):
    def grab(self, q, name=None):
        shot = Image.open(io.BytesIO(q.grab())).convert("RGB")
        if name:
            shot.save(os.path.join(SHOTS, name))
        return shot

    def clock_look(self, q, name=None):
        return closest(self.grab(q, name), CLOCK_PLACE, ["ClockWhite", "ClockYellow", "ClockBlack"])[0]

    def frame_look(self, shot):
        return closest(shot, FRAME_PLACE, ["FrameNormal", "FrameRed", "FrameYellow"], FRAME_END)[0]

    def open_settings(self, q):
        q.click(CLOCK_PLACE[0] + 8, CLOCK_PLACE[1] + 8)
        dialog = harness.wait_until(
            lambda: harness.xdotool("search", "--onlyvisible", "--name", TITLE, check=False).split(),
            10, "the settings window")[0]
        harness.wait_until(lambda: harness.window_geometry(dialog)[2:] == (380, 250), 5, "the settings window's size")
        return dialog

    def click_in(self, window, place):
        left, top, _, _ = harness.window_geometry(window)
        harness.move_pointer(left + place[0], top + place[1])
        harness.xdotool("click", "1")

    def close_settings(self, dialog):
        self.click_in(dialog, CLOSE_BOX)
        harness.wait_until(lambda: str(dialog) not in
                           harness.xdotool("search", "--onlyvisible", "--name", TITLE, check=False).split(),
                           10, "the settings window to close")

    def balloons(self, q):
        """Visible windows of the program, other than the strip, near the point
        the balloon's stem aims at."""
        width, height = map(int, harness.xdotool("getdisplaygeometry").split())
        point_x, point_y = width - BALLOON_POINT_INSET[0], height - BALLOON_POINT_INSET[1]
        found = []
        for window in harness.visible_windows("quillo.exe"):
            if window == q.window:
                continue
            try:
                left, top, w, h = harness.window_geometry(window)
            except RuntimeError:
                continue  # gone between the search and the look
            gap_x = max(left - point_x, 0, point_x - (left + w))
            gap_y = max(top - point_y, 0, point_y - (top + h))
            if gap_x <= 40 and gap_y <= 40 and w > 50 and h > 20:
                found.append(window)
        return found

    def balloon_drawn(self, q):
        """The balloon's window holds a drawn bubble (white), not an empty frame."""
        path = q.screenshot(os.path.join(SHOTS, "journey-balloon.png"))
        screen = Image.open(path).convert("RGB")
        for window in self.balloons(q):
            left, top, width, height = harness.window_geometry(window)
            box = screen.crop((left, top, left + width, top + height))
            white = sum(1 for p in box.getdata() if min(p) > 230)
            if white > width * height // 4:
                return True
        return False

    def test_set_wait_blink_switch_off_restart(self):
        # The box's time replaces the stored one only when the window closes;
        # a stored time still ahead keeps row 2 from falling due while it is open.
        entries = [harness.entry("第一条"), harness.entry("第二条", reminder_time="2030-01-01-12:00:00"),
                   harness.entry("第三条")]
        with harness.Quillo(EXE) as q:
            q.write_config(left=400, top=300, entries=entries)
            q.start()
            self.assertEqual(q.geometry()[2:], (207, 86))
            harness.move_pointer(5, 900)
            q.settle()
            self.assertEqual(self.clock_look(q, "journey-start.png"), "ClockWhite")

            # Stepping the minute wraps 59 to 00 within the hour, which would
            # give a time already past: open the window in another minute.
            harness.wait_until(lambda: datetime.datetime.now().minute != 59, 65, "a minute other than :59")
            opened_after = datetime.datetime.now().replace(microsecond=0)
            dialog = self.open_settings(q)
            opened_before = datetime.datetime.now().replace(microsecond=0)

            self.click_in(dialog, ENABLE_BOX)
            harness.wait_until(lambda: self.clock_look(q) == "ClockYellow", 3, "row 2's clock to turn yellow")

            self.click_in(dialog, MINUTE_FIELD)
            self.click_in(dialog, SPIN_UP)
            self.click_in(dialog, YELLOW_RADIO)
            q.screenshot(os.path.join(SHOTS, "journey-settings.png"))
            self.close_settings(dialog)
            stored = harness.wait_until(lambda: stored_entry(q, ROW), 10, "row 2 in the file")
            self.assertEqual(stored[0], "第二条")
            self.assertEqual(stored[1], "真", stored)
            self.assertEqual(stored[3], "真", f"yellow chosen: {stored}")
            due = datetime.datetime.strptime(stored[2], TIME_FORMAT)
            # The window showed the time it opened at; one step moves only the minute.
            shown = due - datetime.timedelta(minutes=1)
            self.assertTrue(opened_after - datetime.timedelta(seconds=1) <= shown
                            <= opened_before + datetime.timedelta(seconds=1),
                            f"stored {stored[2]}, window opened between {opened_after} and {opened_before}")
            for row in (1, 3):
                self.assertEqual(stored_entry(q, row)[1], "假", f"row {row} untouched")

            # Wait for the due time: row 2 turns yellow, never before it is due,
            # and the balloon shows.
            seen_yellow = None
            seen_balloon = False
            deadline = time.monotonic() + 90
            while time.monotonic() < deadline and not (seen_yellow and seen_balloon):
                shot = self.grab(q)
                look = self.frame_look(shot)
                now = datetime.datetime.now()
                if look != "FrameNormal":
                    self.assertEqual(look, "FrameYellow", f"row 2's blink colour at {now}")
                    self.assertGreaterEqual(now, due, "blinking before the time is due")
                    if seen_yellow is None:
                        seen_yellow = now
                        shot.save(os.path.join(SHOTS, "journey-yellow.png"))
                if seen_yellow and self.balloons(q):
                    seen_balloon = self.balloon_drawn(q)
                time.sleep(0.1)
            self.assertIsNotNone(seen_yellow, f"row 2 never blinked yellow (due {due})")
            self.assertLessEqual(seen_yellow - due, datetime.timedelta(seconds=8), "blinking starts soon after due")
            self.assertTrue(seen_balloon, "the balloon never showed")

            # Switch it off: the blinking stops at once.
            dialog = self.open_settings(q)
            self.click_in(dialog, ENABLE_BOX)
            harness.wait_until(lambda: self.clock_look(q) == "ClockWhite", 3, "row 2's clock back to white")
            harness.wait_until(lambda: self.frame_look(self.grab(q)) == "FrameNormal", 1.5, "row 2's frame normal")
            looks = []
            begin = time.monotonic()
            while time.monotonic() - begin < 5.5:
                looks.append(self.frame_look(self.grab(q)))
            self.assertEqual(set(looks), {"FrameNormal"}, f"row 2 after switching off: {looks}")
            harness.wait_until(lambda: not self.balloons(q), 3, "the balloon to go")
            self.close_settings(dialog)

            stored_off = harness.wait_until(lambda: (e := stored_entry(q, ROW)) and e[1] == "假" and e,
                                            10, "row 2 stored as off")
            self.assertEqual(stored_off[2], stored[2], "the time is kept")
            self.assertEqual(stored_off[3], "真", "the yellow choice is kept")

            # Restart the way a user quits: Esc on the strip.
            q.focus()
            q.key("Escape")
            self.assertEqual(q.wait_exit(), 0)
            q.start()
            harness.move_pointer(5, 900)
            q.settle()
            self.assertEqual(self.clock_look(q, "journey-restarted.png"), "ClockWhite")
            self.assertEqual(self.frame_look(self.grab(q)), "FrameNormal")
            after = stored_entry(q, ROW)
            self.assertEqual(after[1:4], ["假", stored[2], "真"], after)


if __name__ == "__main__":
    harness.run_tests(globals())
