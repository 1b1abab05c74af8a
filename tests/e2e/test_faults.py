"""Faults the built Quillo.exe must survive under Wine with no note lost: a
kill in the middle of a save, a folder or file it may not write (read-only,
held open by another program, a folder that takes no new files), and a
damaged "配置.dpk" at start.

QUILLO_FAULT_KILLS sets how many saves are interrupted (default 200).
QUILLO_FAULT_SEED replays one run's kill moments.
"""

import os
import random
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

EXE = None

ADD_BUTTON = (160, 8)
DRAG_HANDLE = (20, 8)
FIELD_COUNT = 5


def edit_box(row):
    return 60, 27 + 20 * (row - 1) + 9


def strip_height(rows):
    return 46 + 20 * (rows - 1)


def gbk_split(data, separator):
    """The strip's own split: a byte of 0x80 or more starts a two-byte
    character unless it is the last byte, so a trail byte is never a separator."""
    parts, start, pos = [], 0, 0
    while pos < len(data):
        if data[pos] == separator:
            parts.append(data[start:pos])
            start = pos + 1
        pos += 2 if data[pos] >= 0x80 and pos + 1 < len(data) else 1
    return parts, data[start:]


def stored_lines(gbk_value):
    """The lines a stored "条目内容" value yields, as the strip reads it."""
    lines, rest = gbk_split(gbk_value, ord("\\"))
    return lines + [rest] if rest else lines


def entry_count(gbk_value):
    return max(1, len(stored_lines(gbk_value)))


def fields_of(gbk_line):
    fields, rest = gbk_split(gbk_line, ord("&"))
    return fields + [rest]


def raw_entries_value(path):
    """The raw bytes of "条目内容" in the file, None when the key is missing."""
    with open(path, "rb") as f:
        data = f.read()
    key = harness.KEY_ENTRIES.encode("gbk") + b"="
    for line in data.replace(b"\r\n", b"\n").split(b"\n"):
        if line.startswith(key):
            return line[len(key):]
    return None


class Elsewhere:
    """One other X client to switch to, again and again."""

    def __init__(self, env):
        self.title = f"quillo-faults-elsewhere-{os.getpid()}"
        self.process = subprocess.Popen(["xmessage", "-title", self.title, "-geometry", "+1000+900", "elsewhere"],
                                        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = harness.wait_until(
            lambda: harness.xdotool("search", "--onlyvisible", "--name", self.title, check=False).split(),
            10, "the other window")[0]

    def focus(self):
        harness.xdotool("windowfocus", self.window, check=False)

    def close(self):
        self.process.kill()
        self.process.wait()


def kill(q):
    """SIGKILL to the very process this run launched (Wine runs the exe in it)."""
    os.kill(q.process.pid, signal.SIGKILL)
    q.process.wait()
    harness.wait_until(lambda: q.window not in harness.visible_windows("quillo.exe"), 10, "the strip to vanish")


class KillDuringSaves(unittest.TestCase):
    def test_a_kill_at_any_moment_of_a_save_leaves_the_old_or_the_new_file_whole(self):
        kills = int(os.environ.get("QUILLO_FAULT_KILLS", "200"))
        seed = int(os.environ.get("QUILLO_FAULT_SEED", random.randrange(1 << 30)))
        print(f"{kills} kills, QUILLO_FAULT_SEED={seed}", flush=True)
        rng = random.Random(seed)
        self.outcomes = {"old list": 0, "new list": 0, "old place": 0, "a place on the way": 0}
        with harness.Quillo(EXE) as q:
            other = Elsewhere(q.env)
            try:
                q.write_config(left=300, top=200, entries=[harness.entry(t) for t in ("买菜", "开会", "交电费")])
                q.start()
                for round_number in range(kills):
                    if round_number % 2:
                        self.drag_then_kill(q, rng)
                    else:
                        self.type_switch_away_then_kill(q, other, rng, round_number)
                    q.start()
            finally:
                other.close()
        print("kills that left " + ", ".join(f"{what}: {n}" for what, n in self.outcomes.items()), flush=True)

    def file_state(self, q):
        values = q.read_config()
        lines = values.get(harness.KEY_ENTRIES, "").split("\\")
        self.assertEqual(lines[-1], "", "the list ends with its closing separator")
        for line in lines[:-1]:
            self.assertEqual(len(line.split("&")), FIELD_COUNT, line)
        return lines[:-1], int(values[harness.KEY_LEFT]), int(values[harness.KEY_TOP])

    def type_switch_away_then_kill(self, q, other, rng, round_number):
        before, left, top = self.file_state(q)
        row = rng.randrange(len(before)) + 1
        text = f"第{round_number}次"
        after = list(before)
        after[row - 1] = text + after[row - 1][after[row - 1].index("&"):]
        q.settle()
        q.focus()
        q.click(*edit_box(row))
        q.key("End", "shift+Home")
        q.type_text(text)
        other.focus()
        time.sleep(rng.uniform(0, 0.05))
        kill(q)
        lines, left_now, top_now = self.file_state(q)
        self.assertIn(lines, (before, after))
        self.outcomes["new list" if lines == after else "old list"] += 1
        self.assertEqual((left_now, top_now), (left, top))

    def drag_then_kill(self, q, rng):
        before, left, top = self.file_state(q)
        q.settle()
        dx = 90 if left < 600 else -90
        dy = 60 if top < 500 else -60
        steps = 10
        # Step `steps + 1` kills after the button is released, during the last saves.
        kill_step = rng.randint(1, steps + 1)
        start_x, start_y = left + DRAG_HANDLE[0], top + DRAG_HANDLE[1]
        harness.xdotool("mousemove", start_x, start_y)
        harness.xdotool("mousedown", "1")
        for step in range(1, steps + 1):
            harness.move_pointer(start_x + dx * step // steps, start_y + dy * step // steps)
            if step == kill_step:
                time.sleep(rng.uniform(0, 0.05))
                kill(q)
                break
        harness.xdotool("mouseup", "1")
        if kill_step > steps:
            time.sleep(rng.uniform(0, 0.2))
            kill(q)
        lines, left_now, top_now = self.file_state(q)
        self.assertEqual(lines, before)
        # Every place the strip passed through on the way is a place it had.
        self.assertTrue(min(left, left + dx) <= left_now <= max(left, left + dx), left_now)
        self.assertTrue(min(top, top + dy) <= top_now <= max(top, top + dy), top_now)
        self.outcomes["old place" if (left_now, top_now) == (left, top) else "a place on the way"] += 1


def chattr(flag, path):
    subprocess.run(["chattr", flag, path], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def immutable_folders_work():
    """Whether this user may mark a folder immutable here (it needs the
    capability and a file system that keeps the flag)."""
    probe = tempfile.mkdtemp(prefix="quillo-immutable-")
    try:
        chattr("+i", probe)
    except (OSError, subprocess.CalledProcessError):
        os.rmdir(probe)
        return False
    try:
        open(os.path.join(probe, "x"), "wb").close()
        works = False
    except OSError:
        works = True
    chattr("-i", probe)
    shutil.rmtree(probe, ignore_errors=True)
    return works


class UnwritableFile(unittest.TestCase):
    def test_notes_stay_in_memory_until_the_file_can_be_written(self):
        def read_only_file(q):
            subprocess.run(["wine", "cmd", "/c", "attrib", "+r", harness.CONFIG_NAME], cwd=q.folder, env=q.env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           check=True)
            self.assertFalse(os.stat(q.config_path).st_mode & stat.S_IWUSR, "attrib +r took effect")

        def writable_file(q):
            subprocess.run(["wine", "cmd", "/c", "attrib", "-r", harness.CONFIG_NAME], cwd=q.folder, env=q.env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           check=True)

        holder = {}

        def held_file(q):
            # Another program holds the file open and shares nothing.
            process = subprocess.Popen(["wine", os.environ["QUILLO_FILE_HOLDER"], harness.CONFIG_NAME], cwd=q.folder,
                                       env=q.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL)
            holder[q] = process
            self.assertEqual(process.stdout.readline().strip(), b"holding", "the other program holds the file")

        def released_file(q):
            process = holder.pop(q, None)
            if process:
                process.stdin.close()
                process.wait(timeout=20)
                process.stdout.close()

        cases = [("read-only attribute", read_only_file, writable_file)]
        if os.environ.get("QUILLO_FILE_HOLDER"):
            cases.append(("file held open by another program", held_file, released_file))
        # The superuser writes into any folder whatever its mode says, but not
        # into one marked immutable; elsewhere the mode is enough.
        if os.geteuid() != 0:
            cases.append(("read-only folder", lambda q: os.chmod(q.folder, 0o555), lambda q: os.chmod(q.folder, 0o755)))
        elif immutable_folders_work():
            cases.append(("read-only folder", lambda q: chattr("+i", q.folder), lambda q: chattr("-i", q.folder)))
        else:
            print("no read-only folder case: this file system or user cannot make a folder immutable")
        for name, lock, unlock in cases:
            with self.subTest(name), harness.Quillo(EXE) as q:
                other = Elsewhere(q.env)
                try:
                    q.write_config(left=300, top=200, entries=[harness.entry("旧的")])
                    q.start()
                    with open(q.config_path, "rb") as f:
                        original = f.read()
                    lock(q)
                    q.settle()
                    q.focus()
                    q.click(*edit_box(1))
                    q.key("End", "shift+Home")
                    q.type_text("新的")
                    other.focus()
                    # The strip answers the click after the switch away, so the
                    # save that came with the switch has been tried by then.
                    q.focus()
                    q.click(*ADD_BUTTON)
                    q.wait_until(lambda: q.geometry()[3] == strip_height(2), what="a second row")
                    with open(q.config_path, "rb") as f:
                        self.assertEqual(f.read(), original)
                    unlock(q)
                    q.focus()
                    other.focus()
                    q.wait_until(lambda: [line.split("&")[0] for line in
                                          q.read_config().get(harness.KEY_ENTRIES, "").split("\\")[:-1]]
                                 == ["新的", "请在此输入"], what="both rows saved once writable")
                    self.assertIsNone(q.process.poll())
                finally:
                    unlock(q)
                    other.close()


def gbk(text):
    return text.encode("gbk")


def config_bytes(entries_value, newline=b"\r\n", left=b"300", top=b"200"):
    lines = [b"[" + gbk(harness.SECTION) + b"]"]
    if left is not None:
        lines.append(gbk(harness.KEY_LEFT) + b"=" + left)
    if top is not None:
        lines.append(gbk(harness.KEY_TOP) + b"=" + top)
    if entries_value is not None:
        lines.append(gbk(harness.KEY_ENTRIES) + b"=" + entries_value)
    return newline.join(lines) + newline


def lines_with_field_counts():
    lines = []
    for count in range(10):
        fields = [gbk(f"第{count}行")] + [b"x"] * (count - 1) if count else []
        lines.append(b"&".join(fields))
    return b"\\".join(lines) + b"\\"


def damaged_corpus():
    rng = random.Random(936)
    good = b"".join(gbk(harness.entry(t)) for t in ("一", "二"))
    return [
        ("random bytes", bytes(rng.randrange(1, 256) for _ in range(4096)), 1),
        ("random bytes after the section", config_bytes(good) + bytes(rng.randrange(1, 256) for _ in range(2048)), 2),
        ("GBK lead byte cut at the end", config_bytes(None) + gbk(harness.KEY_ENTRIES) + b"=" + good + b"\xc7", 3),
        ("1 MB value", config_bytes(gbk("长") * (1 << 19) + b"&" + gbk("假") + b"\\" + good), 3),
        ("no entries key", config_bytes(None), 1),
        ("no keys at all", b"[" + gbk(harness.SECTION) + b"]\r\n", 1),
        ("empty file", b"", 1),
        ("LF line ends", config_bytes(good, newline=b"\n"), 2),
        ("CRLF line ends", config_bytes(good), 2),
        ("bare CR line ends", config_bytes(good, newline=b"\r"), None),
        ("lines with 0 to 9 fields", config_bytes(lines_with_field_counts()), 10),
        ("separators only", config_bytes(b"\\\\\\&&&\\"), 4),
        ("not a number for the place", config_bytes(good, left=b"abc", top=b"-99999999999"), 2),
    ]


class DamagedConfig(unittest.TestCase):
    def test_the_strip_starts_on_any_file_and_a_save_writes_it_clean(self):
        for name, data, rows in damaged_corpus():
            with self.subTest(name), harness.Quillo(EXE) as q:
                other = Elsewhere(q.env)
                try:
                    with open(q.config_path, "wb") as f:
                        f.write(data)
                    q.start()
                    shown_rows = (q.geometry()[3] - 46) // 20 + 1
                    if rows is not None:
                        self.assertEqual(shown_rows, rows)
                    # One more row makes the save that follows tell from the file as it was.
                    q.settle()
                    q.click(*ADD_BUTTON)
                    q.wait_until(lambda: q.geometry()[3] == strip_height(shown_rows + 1), what="the added row")
                    q.focus()
                    other.focus()
                    value = q.wait_until(lambda: self.saved_value(q, shown_rows + 1), what="a clean save")
                    for line in stored_lines(value):
                        fields = fields_of(line)
                        self.assertEqual(len(fields), FIELD_COUNT, line[:80])
                        self.assertRegex(fields[-1].decode("ascii"), r"^-?[0-9]+$")
                    self.assertIsNone(q.process.poll())
                finally:
                    other.close()

    @staticmethod
    def saved_value(q, rows):
        """The stored list once the strip has written one line per row."""
        try:
            value = raw_entries_value(q.config_path)
        except FileNotFoundError:
            return None
        if value is None or not value.endswith(b"\\") or entry_count(value) != rows:
            return None
        return value


if __name__ == "__main__":
    harness.run_tests(globals())
