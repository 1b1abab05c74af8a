"""Drives the built Quillo.exe under Wine on an X display the way a user does.

Each run gets a fresh folder (with Chinese in its path) holding a copy of the
exe and, when asked, a prepared "配置.dpk". Input goes through xdotool, the
file is read back as GBK, and screenshots come from `import -window root`.
DISPLAY and WINEPREFIX come from the environment (scripts/test.sh sets them
and boots the prefix); a run that touches the registry asks for its own copy
of the prefix.

    with harness.Quillo(exe) as q:
        q.write_config(left=100, top=80, entries=[harness.entry("买菜")])
        q.start()
        q.click(160, 8)                      # the add button, strip pixels
        q.wait_until(lambda: q.geometry()[3] == 66)
        q.deactivate()
        q.wait_until(lambda: "买菜" in q.read_config().get("条目内容", ""))
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import tempfile
import time

CONFIG_NAME = "配置.dpk"
SECTION = "各项配置"
KEY_LEFT = "启动X坐标"
KEY_TOP = "启动Y坐标"
KEY_ENTRIES = "条目内容"
KEY_COLOR = "文本颜色"
WHITE = 16777215


def entry(text, reminder_on="假", reminder_time="2011-01-01-12:00:00", yellow="假", color=WHITE):
    """One stored entry, in the form "条目内容" holds it (closed by a backslash)."""
    return f"{text}&{reminder_on}&{reminder_time}&{yellow}&{color}\\"


def wait_until(predicate, timeout=10.0, what="condition"):
    """Polls `predicate` until it returns something true; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(0.05)


def xdotool(*args, check=True):
    done = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and done.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {done.stderr.strip()}")
    return done.stdout


def visible_windows(wm_class):
    """X ids of the visible windows whose WM_CLASS matches (Wine uses the exe's name)."""
    out = xdotool("search", "--onlyvisible", "--class", wm_class, check=False)
    return [int(line) for line in out.split()]


class _SpareKeys:
    """A few keys with no symbols of their own, lent in turn to the non-ASCII
    characters being typed. xdotool would map a spare key for the moment of one
    key press and take it back at once, so a busy program reading the event
    late loses the character; Wine also runs out of key codes when every
    character keeps a key. Here a key keeps its character while the next few
    are typed."""

    def __init__(self, count=4):
        self.x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        display = self.x11.XOpenDisplay(None)
        if not display:
            raise RuntimeError("cannot open the X display")
        self.display = ctypes.c_void_p(display)
        low, high = ctypes.c_int(), ctypes.c_int()
        self.x11.XDisplayKeycodes(self.display, ctypes.byref(low), ctypes.byref(high))
        total = high.value - low.value + 1
        per = ctypes.c_int()
        table = self.x11.XGetKeyboardMapping(self.display, ctypes.c_ubyte(low.value), total, ctypes.byref(per))
        self.free = [low.value + index for index in range(total)
                     if not any(table[index * per.value + n] for n in range(per.value))][:count]
        self.x11.XFree(table)
        self.turn = 0

    def lend(self, ch):
        """Maps `ch` on the next spare key; returns its keysym name for `xdotool key`."""
        keysym = 0x1000000 + ord(ch)
        syms = (ctypes.c_ulong * 2)(keysym, keysym)
        self.x11.XChangeKeyboardMapping(self.display, self.free[self.turn % len(self.free)], 2, syms, 1)
        self.x11.XSync(self.display, 0)
        self.turn += 1
        return f"U{ord(ch):04X}"

    def give_back(self):
        """Leaves the spare keys without symbols again. Every key that keeps a
        symbol takes one of the few virtual key codes Wine hands out to keys it
        does not know, so keys left mapped by earlier runs on the same display
        would use them up and later characters would come through as nothing."""
        none = (ctypes.c_ulong * 2)(0, 0)
        for keycode in self.free:
            self.x11.XChangeKeyboardMapping(self.display, keycode, 2, none, 1)
        self.x11.XSync(self.display, 0)
        self.turn = 0


_spare_keys = None


def type_keys(text, delay_ms):
    """Types `text` key by key; characters outside ASCII go through the spare keys."""
    global _spare_keys
    try:
        for ch in text:
            if 0x20 <= ord(ch) <= 0x7E:
                xdotool("type", "--delay", delay_ms, ch)
                continue
            if _spare_keys is None:
                _spare_keys = _SpareKeys()
            xdotool("key", _spare_keys.lend(ch))
            time.sleep(delay_ms / 1000)
    finally:
        if _spare_keys is not None:
            # The last characters are read a moment after their key press.
            time.sleep(0.5)
            _spare_keys.give_back()


def pointer_position():
    values = dict(line.split("=", 1) for line in xdotool("getmouselocation", "--shell").split())
    return int(values["X"]), int(values["Y"])


def move_pointer(x, y):
    """Moves the pointer and waits until it is there. xdotool's own --sync
    waits some 15 s when the pointer already stands at the target."""
    if pointer_position() == (x, y):
        return
    xdotool("mousemove", x, y)
    wait_until(lambda: pointer_position() == (x, y), 5, f"the pointer at {x},{y}")


def window_geometry(window):
    """(left, top, width, height) of an X window."""
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        name, _, value = line.partition("=")
        values[name] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


class Quillo:
    """One copy of Quillo.exe in its own folder, started and driven under Wine."""

    wait_until = staticmethod(wait_until)

    def __init__(self, exe, own_prefix=False, folder_name="便笺"):
        self.exe = exe
        self.root = tempfile.mkdtemp(prefix="quillo-e2e-")
        self.folder = os.path.join(self.root, folder_name)
        os.makedirs(self.folder)
        shutil.copy2(exe, os.path.join(self.folder, "Quillo.exe"))
        self.env = dict(os.environ, LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8", WINEDEBUG="-all")
        self.own_prefix = own_prefix
        if own_prefix:
            prefix = os.path.join(self.root, "wineprefix")
            shutil.copytree(os.environ["WINEPREFIX"], prefix, symlinks=True)
            self.env["WINEPREFIX"] = prefix
        self.process = None
        self.window = None
        self._others = []

    # ---- the file ----

    @property
    def config_path(self):
        return os.path.join(self.folder, CONFIG_NAME)

    def write_config(self, left=None, top=None, entries=None, color=None, raw=None):
        """Writes "配置.dpk" as GBK; `entries` is a list of `entry(...)` texts."""
        if raw is None:
            lines = [f"[{SECTION}]"]
            if left is not None:
                lines.append(f"{KEY_LEFT}={left}")
            if top is not None:
                lines.append(f"{KEY_TOP}={top}")
            if entries is not None:
                lines.append(f"{KEY_ENTRIES}={''.join(entries)}")
            if color is not None:
                lines.append(f"{KEY_COLOR}={color}")
            raw = "\r\n".join(lines) + "\r\n"
        with open(self.config_path, "wb") as f:
            f.write(raw.encode("gbk"))

    def read_config(self):
        """The keys of section "各项配置" as a dict; {} when there is no file."""
        try:
            with open(self.config_path, "rb") as f:
                text = f.read().decode("gbk")
        except FileNotFoundError:
            return {}
        values, in_section = {}, False
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                in_section = line[1:-1] == SECTION
            elif in_section and "=" in line:
                key, _, value = line.partition("=")
                values[key.strip()] = value.strip()
        return values

    # ---- the process and its window ----

    def launch(self):
        """Starts one more process of this folder's exe; returns the Popen."""
        process = subprocess.Popen(["wine", os.path.join(self.folder, "Quillo.exe")], cwd=self.folder,
                                   env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        return process

    def start(self, timeout=20.0):
        """Starts the exe and waits for its strip window; returns the X window id."""
        before = set(visible_windows("quillo.exe"))
        self.process = self.launch()
        self.window = wait_until(lambda: self._new_strip(before), timeout, "the strip window")
        return self.window

    def _new_strip(self, before):
        for window in visible_windows("quillo.exe"):
            if window not in before and window_geometry(window)[2] == 207:
                return window
        return None

    def geometry(self):
        return window_geometry(self.window)

    def grab(self):
        """The strip's pixels on the screen, as PNG bytes."""
        left, top, width, height = self.geometry()
        return subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "png:-"],
                              env=self.env, capture_output=True, check=True).stdout

    def settle(self, timeout=10.0):
        """Waits until the strip looks the same in two grabs in a row: a layered
        strip takes clicks only where it has been drawn."""
        previous = [self.grab()]

        def unchanged():
            time.sleep(0.1)
            current = self.grab()
            same = current == previous[0]
            previous[0] = current
            return same

        wait_until(unchanged, timeout, "the strip to settle")

    def wait_exit(self, timeout=10.0):
        """Waits for the process to end and returns its exit code."""
        return self.process.wait(timeout=timeout)

    # ---- input ----

    def focus(self):
        """Gives the strip the X focus, which activates it in Wine."""
        xdotool("windowfocus", "--sync", self.window, check=False)
        xdotool("windowraise", self.window, check=False)

    def click(self, x, y):
        """A left click at strip pixels (x, y)."""
        left, top, _, _ = self.geometry()
        move_pointer(left + x, top + y)
        xdotool("click", "1")

    def drag(self, x, y, dx, dy, steps=10):
        """Presses at strip pixels (x, y), moves by (dx, dy) in steps, releases."""
        left, top, _, _ = self.geometry()
        move_pointer(left + x, top + y)
        xdotool("mousedown", "1")
        for step in range(1, steps + 1):
            move_pointer(left + x + dx * step // steps, top + y + dy * step // steps)
        xdotool("mouseup", "1")

    def type_text(self, text, delay_ms=60):
        # The first key sent to a fresh window can be lost; a Shift tap takes its place.
        xdotool("key", "shift")
        type_keys(text, delay_ms)

    def key(self, *names):
        xdotool("key", "--delay", 60, *names)

    def deactivate(self):
        """Switches away as a user would: another X client takes the focus."""
        title = f"quillo-elsewhere-{len(self._others)}-{os.getpid()}"
        other = subprocess.Popen(["xmessage", "-title", title, "-geometry", "+900+700", "elsewhere"], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._others.append(other)
        windows = wait_until(lambda: xdotool("search", "--onlyvisible", "--name", title, check=False).split(),
                             10, "the other window")
        for window in windows:
            xdotool("windowfocus", window, check=False)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path

    # ---- the end ----

    def close(self):
        for other in self._others:
            other.kill()
            other.wait()
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.own_prefix:
            subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def run_tests(module_globals):
    """The command line every e2e script takes: --exe (the built Quillo.exe)
    and --shots (where screenshots go); the rest goes to unittest. Sets the
    script's EXE and SHOTS."""
    import argparse
    import sys
    import unittest

    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--shots", default=".")
    args, rest = parser.parse_known_args()
    module_globals["EXE"] = os.path.abspath(args.exe)
    module_globals["SHOTS"] = args.shots
    os.makedirs(args.shots, exist_ok=True)
    unittest.main(module=module_globals["__name__"], argv=[sys.argv[0], *rest], verbosity=2)
