# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X display with a window manager, real input through XTEST, and screenshots.

Everything waits by polling with a bound: a condition that never comes true ends the test with
the last thing seen, never a hang.
"""

import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib

DEFAULT_TIMEOUT = 30.0
POLL = 0.1


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT):
    """Polls predicate until it returns a true value, which is returned; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure(f"gave up waiting for {what}")
        time.sleep(POLL)


class Image:
    """An RGB picture: rows of width * 3 bytes."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])

    def crop(self, x, y, w, h):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        rows = []
        for row in range(y0, y1):
            start = (row * self.width + x0) * 3
            rows.append(self.pixels[start : start + (x1 - x0) * 3])
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def __eq__(self, other):
        return (self.width, self.height, self.pixels) == (other.width, other.height, other.pixels)

    def count_near(self, colour, tolerance=24):
        """How many pixels lie within tolerance of colour in every channel."""
        r, g, b = colour
        count = 0
        p = self.pixels
        for i in range(0, len(p), 3):
            if abs(p[i] - r) <= tolerance and abs(p[i + 1] - g) <= tolerance and abs(p[i + 2] - b) <= tolerance:
                count += 1
        return count

    def mean(self):
        n = self.width * self.height
        p = self.pixels
        return tuple(sum(p[c::3]) / n for c in range(3))

    def save_png(self, path):
        raw = b"".join(
            b"\x00" + self.pixels[row * self.width * 3 : (row + 1) * self.width * 3] for row in range(self.height)
        )

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)))
            f.write(chunk(b"IEND", b""))


def parse_ppm(data):
    match = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not match:
        raise TestFailure("the screenshot is not a PPM picture")
    width, height, maxval = (int(g) for g in match.groups())
    if maxval != 255:
        raise TestFailure(f"the screenshot has {maxval} levels per channel, not 255")
    pixels = data[match.end() : match.end() + width * height * 3]
    return Image(width, height, pixels)


class Window:
    def __init__(self, display, wid, title):
        self.display = display
        self.wid = wid
        self.title = title  # the title it was found by

    def name(self):
        return self.display.xdotool("getwindowname", self.wid)

    def geometry(self):
        """The client area's position on the screen and its size."""
        # xwininfo, since xdotool counts a reparenting window manager's frame offset twice.
        out = self.display.run(["xwininfo", "-id", self.wid])
        values = {}
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            match = re.search(r"^\s*" + key + r":\s*(-?\d+)", out, re.M)
            check(match, f"xwininfo tells no {key} of window {self.wid}")
            values[key] = int(match.group(1))
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"], values["Height"])

    def exists(self):
        return self.display.xdotool_ok("getwindowname", self.wid)

    def activate(self):
        self.display.xdotool("windowactivate", "--sync", self.wid)

    def prop(self, name):
        return self.display.run(["xprop", "-id", self.wid, name])


class Display:
    """Xvfb on a free display number, with openbox managing the windows."""

    def __init__(self, width=800, height=600):
        self.tmp = tempfile.mkdtemp(prefix="tevrin-x-")
        self.procs = []
        read_fd, write_fd = os.pipe()
        # -displayfd picks a free display number, so parallel tests never collide; -ac lets the
        # program in even when it runs as another user.
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-dpi", "96",
             "-nolisten", "tcp", "-ac", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.tmp, "xvfb.log"), "w"),
            start_new_session=True,
        )
        self.procs.append(xvfb)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + DEFAULT_TIMEOUT
        with os.fdopen(read_fd, "rb") as reader:
            while not number.endswith(b"\n"):
                chunk = reader.read(1)
                if not chunk:
                    break
                number += chunk
                if time.monotonic() > deadline:
                    break
        if not number.strip():
            self.close()
            raise TestFailure("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        openbox = subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.tmp, "openbox.log"), "w"), start_new_session=True,
        )
        self.procs.append(openbox)
        # The window manager is ready once it has claimed the screen.
        wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(["xprop", "-root"], check=False),
                   "the window manager")

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def run(self, args, check=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=DEFAULT_TIMEOUT)
        if check and result.returncode != 0:
            raise TestFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout.strip()

    def xdotool(self, *args):
        return self.run(["xdotool", *args])

    def xdotool_ok(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              timeout=DEFAULT_TIMEOUT).returncode == 0

    def find_windows(self, title):
        """The visible windows whose title is exactly title."""
        result = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(title) + "$"],
            env=self.env, capture_output=True, text=True, timeout=DEFAULT_TIMEOUT,
        )
        return [Window(self, wid, title) for wid in result.stdout.split()]

    def wait_window(self, title, timeout=DEFAULT_TIMEOUT):
        windows = wait_until(lambda: self.find_windows(title), f"a window titled {title!r}", timeout)
        check(len(windows) == 1, f"{len(windows)} windows titled {title!r}")
        return windows[0]

    def wait_gone(self, window, timeout=DEFAULT_TIMEOUT):
        wait_until(lambda: all(w.wid != window.wid for w in self.find_windows(window.title)),
                   f"the window {window.title!r} to close", timeout)

    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, timeout=DEFAULT_TIMEOUT, check=True).stdout
        return parse_ppm(data)

    def move_pointer(self, x, y):
        """Moves the pointer to (x, y) of the screen and waits until it is there."""
        self.xdotool("mousemove", str(x), str(y))

        def arrived():
            out = self.xdotool("getmouselocation", "--shell")
            values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
            return int(values["X"]) == x and int(values["Y"]) == y

        wait_until(arrived, f"the pointer to reach {x},{y}")

    def park_pointer(self):
        """Moves the pointer to a corner no window uses, so that no button shows hover."""
        self.move_pointer(0, 0)

    def click(self, window, x, y):
        """A left click at (x, y) of the window's client area, in screen pixels."""
        left, top, _, _ = window.geometry()
        self.move_pointer(left + x, top + y)
        self.xdotool("click", "1")

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "40", text)
