"""The help button of the built Quillo.exe under Wine, driven with real clicks
and keys: the start-with-Windows question, then the help window with the
contact's status, which a local server reports online, and the default text
colour picked in the system's colour dialog.

The status fetch goes through WinHTTP's default proxy, which Wine takes from
`http_proxy`: pointed at a server on 127.0.0.1, the request never leaves the
machine and its host is never looked up.
"""

import http.server
import os
import re
import subprocess
import sys
import threading
import unittest
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None
SHOTS = None
PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "pictures")

# The strip stands where the help window, centred on the 1280 x 1024 screen,
# covers the left end of its lower rows but not its help button.
STRIP_PLACE = (780, 330)
HELP_BUTTON = (183, 8)
ROW_ONE_EDIT = (60, 36)
HELP_SIZE = (427, 284)
HELP_PLACE = ((1280 - HELP_SIZE[0]) // 2, (1024 - HELP_SIZE[1]) // 2)
# Help window pixels.
CONTACT_BUTTON = (344, 240, 78, 25)
PALETTE_BUTTON = (214, 246)
CLOSE_BUTTON = (397, 12)
# Screen pixels where the help window lies over the strip's third row.
OVERLAP = (STRIP_PLACE[0] + 2, STRIP_PLACE[1] + 70, 60, 12)

QUESTION_TITLE = "信息："
RUN_KEYS = [r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run",
            r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"]
# The status answer that means online: its 14th and 15th bytes.
ONLINE_ANSWER = b"GIF89a" + bytes(7) + b"\xb9\xe2" + bytes(5)
WHITE = (255, 255, 255)
ORANGE = (255, 64, 0)
# "文本颜色" holds a colour as red + green * 256 + blue * 65536.
ORANGE_STORED = "16639"
STATUS_REQUEST = re.compile(r"GET http://[^/\s]+/pa\?p=2:\d+:41 HTTP/1\.[01]$")


class StatusServer:
    """Answers every request on 127.0.0.1 with the online answer and keeps
    the request lines; as a proxy it gets the absolute form of the address."""

    def __init__(self):
        self.requests = []
        requests = self.requests

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                requests.append(self.requestline)
                self.send_response(200)
                self.send_header("Content-Type", "image/gif")
                self.send_header("Content-Length", str(len(ONLINE_ANSWER)))
                self.end_headers()
                self.wfile.write(ONLINE_ANSWER)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    @property
    def address(self):
        return f"http://127.0.0.1:{self.server.server_address[1]}"

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def pixels(path, left=None, top=None, width=None, height=None, channels="rgb"):
    """The pixels of a picture, or of a rectangle of it, as tuples."""
    crop = [] if left is None else ["-crop", f"{width}x{height}+{left}+{top}", "+repage"]
    raw = subprocess.run(["convert", path, *crop, "-depth", "8", f"{channels}:-"], capture_output=True,
                         check=True).stdout
    step = len(channels)
    return [tuple(raw[i:i + step]) for i in range(0, len(raw), step)]


def distance_to_picture(region, name):
    """Mean colour distance between screen pixels and a picture of the same
    size, over the picture's opaque pixels (the others blend with what lies under)."""
    opaque = [(seen, (r, g, b)) for seen, (r, g, b, a)
              in zip(region, pixels(os.path.join(PICTURES, f"{name}.png"), channels="rgba")) if a == 255]
    return sum(sum(abs(s - p) for s, p in zip(seen, own)) for seen, own in opaque) / len(opaque)


def contact_look(path):
    """"chat" or "message": which picture the contact button shows."""
    left, top, width, height = CONTACT_BUTTON
    region = pixels(path, HELP_PLACE[0] + left, HELP_PLACE[1] + top, width, height)
    return "chat" if distance_to_picture(region, "ChatNormal") < distance_to_picture(region, "MessageNormal") \
        else "message"


def drawn_in(pixel, background, colour):
    """True when an antialiased text pixel is `colour` laid over `background`
    at some strength: it lies near the line between the two, well off the background."""
    ink = [c - b for c, b in zip(colour, background)]
    seen = [p - b for p, b in zip(pixel, background)]
    strength = sum(i * s for i, s in zip(ink, seen)) / sum(i * i for i in ink)
    off_line = sum((s - strength * i) ** 2 for s, i in zip(seen, ink)) ** 0.5
    return strength > 0.3 and off_line < 30


def row_text(path, strip_place, row):
    """The pixels of a row's text, left of its clock button."""
    return pixels(path, strip_place[0] + 8, strip_place[1] + 27 + 20 * (row - 1) + 3, 150, 14)


def rows_in_colour(path, strip_place, rows, colour, other):
    """True when every row's text is drawn in `colour` and none in `other`."""
    for text in (row_text(path, strip_place, row) for row in range(1, rows + 1)):
        background = Counter(text).most_common(1)[0][0]
        if sum(drawn_in(p, background, colour) for p in text) < 20 or any(drawn_in(p, background, other) for p in text):
            return False
    return True


def stored_colours(values):
    """The text colour field of each stored entry."""
    return [line.split("&")[4] for line in values.get(harness.KEY_ENTRIES, "").split("\\") if line]


def visible(name=None, size=None):
    """The quillo.exe windows on show, by X title or by size."""
    found = []
    for window in harness.visible_windows("quillo.exe"):
        if size and tuple(harness.window_geometry(window)[2:]) != size:
            continue
        if name and harness.xdotool("getwindowname", window, check=False).strip() != name:
            continue
        found.append(window)
    return found


def run_value(q, key):
    """The `notestrip` value under a Run key, read with `wine reg`; None when there is none."""
    done = subprocess.run(["wine", "reg", "query", key, "/v", "notestrip"], env=q.env, capture_output=True,
                          stdin=subprocess.DEVNULL)
    for line in done.stdout.decode("gbk", errors="replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[0] == "notestrip":
            return parts[2]
    return None


def windows_path(q, path):
    """The path as the program sees it."""
    done = subprocess.run(["winepath", "-w", path], env=q.env, capture_output=True, stdin=subprocess.DEVNULL,
                          check=True)
    return done.stdout.decode().strip()


class HelpFlow(unittest.TestCase):
    def test_question_once_then_help_window_with_the_contact_online(self):
        server = StatusServer()
        self.addCleanup(server.close)
        with harness.Quillo(EXE, own_prefix=True) as q:
            q.env.update(http_proxy=server.address, no_proxy="")
            q.write_config(left=STRIP_PLACE[0], top=STRIP_PLACE[1],
                           entries=[harness.entry("第一条"), harness.entry("第二条"), harness.entry("第三条")])
            q.start()
            q.settle()
            q.click(*HELP_BUTTON)

            question = harness.wait_until(lambda: visible(name=QUESTION_TITLE), what="the start-with-Windows question")
            q.screenshot(os.path.join(SHOTS, "help-question.png"))
            self.assertEqual(visible(size=HELP_SIZE), [], "the help window waits for the answer")
            harness.xdotool("windowfocus", "--sync", question[0], check=False)
            # The first key sent to a fresh window can be lost; a Shift tap takes its place.
            q.key("shift", "y")

            help_window = harness.wait_until(lambda: visible(size=HELP_SIZE), what="the help window")
            self.assertEqual(len(help_window), 1)
            self.assertEqual(harness.window_geometry(help_window[0])[:2], HELP_PLACE)
            shot = os.path.join(SHOTS, "help-window.png")
            harness.wait_until(lambda: contact_look(q.screenshot(shot)) == "chat", what="the chat button")
            self.assertEqual(len(server.requests), 1, server.requests)
            self.assertRegex(server.requests[0], STATUS_REQUEST)

            exe_path = windows_path(q, os.path.join(q.folder, "Quillo.exe"))
            values = [value for value in (run_value(q, key) for key in RUN_KEYS) if value is not None]
            self.assertEqual(len(values), 1, values)
            self.assertIn(values[0], (exe_path, f'"{exe_path}"'))

            # The strip, activated, comes over the help window; the help button brings it back on top.
            help_on_top = pixels(shot, *OVERLAP)
            shot = os.path.join(SHOTS, "help-overlap.png")
            q.click(*ROW_ONE_EDIT)
            harness.wait_until(lambda: pixels(q.screenshot(shot), *OVERLAP) != help_on_top,
                               what="the strip over the help window")
            q.click(*HELP_BUTTON)
            harness.wait_until(lambda: pixels(q.screenshot(shot), *OVERLAP) == help_on_top,
                               what="the help window in front again")
            self.assertEqual(visible(name=QUESTION_TITLE), [], "asked only once")
            self.assertEqual(visible(size=HELP_SIZE), help_window)

            harness.xdotool("windowfocus", "--sync", help_window[0], check=False)
            q.key("Escape")
            harness.wait_until(lambda: not visible(size=HELP_SIZE), what="the help window closed")
            self.assertIsNone(q.process.poll(), "the strip stays")

    def test_a_colour_picked_in_the_dialog_takes_every_row_and_stays(self):
        server = StatusServer()
        self.addCleanup(server.close)
        place, rows = (100, 80), 3
        with harness.Quillo(EXE, own_prefix=True) as q:
            q.env.update(http_proxy=server.address, no_proxy="")
            q.write_config(left=place[0], top=place[1],
                           entries=[harness.entry("红色一"), harness.entry("橙色二"), harness.entry("三号")])
            q.start()
            q.settle()
            shot = os.path.join(SHOTS, "colour-before.png")
            self.assertTrue(rows_in_colour(q.screenshot(shot), place, rows, WHITE, ORANGE))
            q.click(*HELP_BUTTON)
            question = harness.wait_until(lambda: visible(name=QUESTION_TITLE), what="the start-with-Windows question")
            harness.xdotool("windowfocus", "--sync", question[0], check=False)
            q.key("shift", "n")
            help_window = harness.wait_until(lambda: visible(size=HELP_SIZE), what="the help window")

            known = set(harness.visible_windows("quillo.exe"))
            harness.move_pointer(HELP_PLACE[0] + PALETTE_BUTTON[0], HELP_PLACE[1] + PALETTE_BUTTON[1])
            harness.xdotool("click", "1")
            dialog = harness.wait_until(lambda: [w for w in harness.visible_windows("quillo.exe") if w not in known],
                                        what="the colour dialog")
            harness.xdotool("windowfocus", "--sync", dialog[0], check=False)
            q.key("shift")
            # Alt with a field's letter selects that field's number, which typing replaces.
            for field, value in zip("rgb", ORANGE):
                q.key(f"alt+{field}")
                harness.type_keys(str(value), 60)
            q.screenshot(os.path.join(SHOTS, "colour-dialog.png"))
            q.key("Return")
            harness.wait_until(lambda: not any(w in harness.visible_windows("quillo.exe") for w in dialog),
                               what="the colour dialog closed")

            shot = os.path.join(SHOTS, "colour-after.png")
            harness.wait_until(lambda: rows_in_colour(q.screenshot(shot), place, rows, ORANGE, WHITE),
                               what="every row in the new colour")
            self.assertEqual(q.read_config().get(harness.KEY_COLOR), ORANGE_STORED)

            q.click(*ROW_ONE_EDIT)
            q.deactivate()
            harness.wait_until(lambda: stored_colours(q.read_config()) == [ORANGE_STORED] * rows,
                               what="every entry saved in the new colour")

            harness.move_pointer(HELP_PLACE[0] + CLOSE_BUTTON[0], HELP_PLACE[1] + CLOSE_BUTTON[1])
            harness.xdotool("click", "1")
            harness.wait_until(lambda: not any(w in harness.visible_windows("quillo.exe") for w in help_window),
                               what="the help window closed")
            q.focus()
            q.click(*ROW_ONE_EDIT)
            q.key("Escape")
            self.assertEqual(q.wait_exit(), 0)

            q.start()
            q.settle()
            shot = os.path.join(SHOTS, "colour-restarted.png")
            self.assertTrue(rows_in_colour(q.screenshot(shot), place, rows, ORANGE, WHITE))
            values = q.read_config()
            self.assertEqual(values.get(harness.KEY_COLOR), ORANGE_STORED)
            self.assertEqual(stored_colours(values), [ORANGE_STORED] * rows)


if __name__ == "__main__":
    harness.run_tests(globals())
