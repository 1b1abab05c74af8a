"""Reminders of the built Quillo.exe under Wine: due rows blink, a balloon per
cycle, and switching one off in the settings window with real clicks."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None
SHOTS = None

PAST = "2011-01-01-12:00:00"
ROWS = 4
DUE_ROWS = {1: "red", 3: "red", 4: "yellow"}
# Inside the settings window (window pixels, title bar included).
ENABLE_BOX = (27, 53)
CLOSE_BOX = (367, 11)


def clock_button(row):
    return 180, 27 + 20 * (row - 1) + 9


def pixels(path, left, top, width, height):
    """The RGB triples of a screen rectangle of a screenshot."""
    raw = subprocess.run(["convert", path, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "rgb:-"],
                         capture_output=True, check=True).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def frame_look(path, strip_left, strip_top, row):
    """"red", "yellow" or "normal": the colour that dominates row's frame band,
    left of the clock and delete buttons (the notes are white here)."""
    band = pixels(path, strip_left, strip_top + 26 + 20 * (row - 1), 160, 20)
    red = sum(1 for r, g, b in band if r > 150 and g < 110 and b < 110)
    yellow = sum(1 for r, g, b in band if r > 150 and g > 150 and b < 110)
    if max(red, yellow) < 20:
        return "normal"
    return "red" if red > yellow else "yellow"


def balloon_shown(path):
    """Anything drawn in the screen's lower right corner, where the balloon points."""
    width, height = map(int, subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                                            check=True, text=True).stdout.split())
    corner = pixels(path, width - 320, height - 140, 320, 140)
    return sum(1 for p in corner if p != (0, 0, 0)) > 500


class ReminderFlow(unittest.TestCase):
    def test_due_rows_blink_together_and_one_switched_off_stops(self):
        entries = [harness.entry("一号", "真", PAST), harness.entry("二号", "假", PAST),
                   harness.entry("三号", "真", "2011-02-30-12:00:00"), harness.entry("四号", "真", PAST, "真")]
        with harness.Quillo(EXE) as q:
            q.write_config(left=400, top=300, entries=entries)
            q.start()
            left, top, _, height = q.geometry()
            self.assertEqual(height, 46 + 20 * (ROWS - 1))

            # Screenshots as fast as they come over three blink periods, read
            # afterwards; each is known to show the screen between its start and end.
            shots = []
            begin = time.monotonic()
            while time.monotonic() - begin < 12.5:
                path = os.path.join(SHOTS, f"blink-{len(shots):02d}.png")
                taken = time.monotonic() - begin
                q.screenshot(path)
                shots.append((taken, time.monotonic() - begin, path))
            samples = [(taken, done, {row: frame_look(path, left, top, row) for row in range(1, ROWS + 1)},
                        balloon_shown(path)) for taken, done, path in shots]

            for i, (at, _, looks, shown) in enumerate(samples):
                self.assertEqual(looks[2], "normal", f"row 2 is off, at {at:.1f}s")
                # A shot may catch the strip halfway through repainting at a phase change.
                if 0 < i < len(samples) - 1 and samples[i - 1][2][1] != samples[i + 1][2][1]:
                    continue
                coloured = {row for row in DUE_ROWS if looks[row] != "normal"}
                self.assertIn(coloured, (set(), set(DUE_ROWS)), f"due rows blink together, at {at:.1f}s: {looks}")
                for row in coloured:
                    self.assertEqual(looks[row], DUE_ROWS[row], f"row {row}'s colour at {at:.1f}s")
                self.assertEqual(shown, bool(coloured), f"the balloon pops up with each coloured phase, at {at:.1f}s")

            # Row 1's phase changes: each lies between the start of the shot
            # before it and the end of the shot after it; they are 2 s apart.
            changes = [(before[0], after[1]) for before, after in zip(samples, samples[1:])
                       if before[2][1] != after[2][1]]
            blinking = [(round(at, 1), looks[1]) for at, _, looks, _ in samples]
            self.assertGreaterEqual(len(changes), 4, f"blinking: {blinking}")
            for earlier, later in zip(changes, changes[1:]):
                shortest, longest = later[0] - earlier[1], later[1] - earlier[0]
                self.assertTrue(shortest - 0.25 <= 2.0 <= longest + 0.25,
                                f"a phase of {shortest:.1f}-{longest:.1f}s: {blinking}")

            # Switch row 3 off in its settings window, with real clicks.
            q.click(*clock_button(3))
            dialog = harness.wait_until(
                lambda: harness.xdotool("search", "--onlyvisible", "--name", "定时提醒设定", check=False).split(),
                10, "the settings window")[0]
            d_left, d_top, d_width, d_height = harness.window_geometry(dialog)
            self.assertEqual((d_width, d_height), (380, 250))
            harness.move_pointer(d_left + ENABLE_BOX[0], d_top + ENABLE_BOX[1])
            harness.xdotool("click", "1")

            def looks_now(name):
                shot = q.screenshot(os.path.join(SHOTS, f"off-{name}.png"))
                return {row: frame_look(shot, left, top, row) for row in range(1, ROWS + 1)}

            harness.wait_until(lambda: looks_now("first")[3] == "normal", 3, "row 3 back to normal")
            # Then row 3 stays normal through more than a whole blink period,
            # while row 1 (the window opens over row 4) goes on blinking.
            stopped = []
            begin = time.monotonic()
            while time.monotonic() - begin < 5:
                stopped.append(looks_now(len(stopped)))
            self.assertTrue(all(looks[3] == "normal" for looks in stopped), f"row 3 after switching off: {stopped}")
            self.assertTrue(any(looks[1] == "red" for looks in stopped), "row 1 keeps blinking")

            harness.move_pointer(d_left + CLOSE_BOX[0], d_top + CLOSE_BOX[1])
            harness.xdotool("click", "1")
            stored = harness.wait_until(
                lambda: [line.split("&")[1] for line in q.read_config().get(harness.KEY_ENTRIES, "").split("\\")
                         if line] == ["真", "假", "假", "真"], 10, "row 3 stored as off")
            self.assertTrue(stored)


if __name__ == "__main__":
    harness.run_tests(globals())
