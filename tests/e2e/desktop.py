# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X display with a window manager, real input through XTEST, and screenshots.

Everything waits by polling with a bound: a condition that never comes true ends the test with
what was awaited, never a hang."""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib

DEFAULT_TIMEOUT = 30.0


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def main(description, options, body, passed):
    """Runs body with the parsed options, an emptied artefacts folder among them; returns the
    exit status, 1 with the reason when a check failed."""
    parser = argparse.ArgumentParser(description=description)
    for option in options + ("--artefacts",):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.artefacts, ignore_errors=True)  # never mixed with an earlier run's
    os.makedirs(args.artefacts)
    try:
        body(args)
    except TestFailure as failure:
        traceback.print_exc()
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    print(passed)
    return 0


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT):
    """Polls predicate until it returns a true value, which is returned; fails after timeout."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        check(time.monotonic() < deadline, f"gave up waiting for {what}")
        time.sleep(0.1)
    return value


class Image:
    """An RGB picture: rows of width * 3 bytes."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def crop(self, x, y, w, h):
        x0, y0, x1, y1 = max(0, x), max(0, y), min(self.width, x + w), min(self.height, y + h)
        rows = [self.pixels[(row * self.width + x0) * 3 : (row * self.width + x1) * 3] for row in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def __eq__(self, other):
        return (self.width, self.height, self.pixels) == (other.width, other.height, other.pixels)

    def colours(self):
        p = self.pixels
        return zip(p[0::3], p[1::3], p[2::3])

    def count_near(self, colour, tolerance=24):
        """How many pixels lie within tolerance of colour in every channel."""
        return sum(1 for px in self.colours() if all(abs(a - b) <= tolerance for a, b in zip(px, colour)))

    def mean(self):
        n = self.width * self.height
        return tuple(sum(self.pixels[c::3]) / n for c in range(3))

    def save_png(self, path):
        stride = self.width * 3
        raw = b"".join(b"\x00" + self.pixels[row * stride : (row + 1) * stride] for row in range(self.height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)))
            f.write(chunk(b"IEND", b""))


class Window:
    def __init__(self, display, wid, title):
        self.display, self.wid, self.title = display, wid, title

    def geometry(self):
        """The client area's position on the screen and its size."""
        # xwininfo, since xdotool counts a reparenting window manager's frame offset twice.
        out = self.display.run(["xwininfo", "-id", self.wid])
        keys = ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")
        return tuple(int(re.search(r"^\s*" + key + r":\s*(-?\d+)", out, re.M).group(1)) for key in keys)

    def exists(self):
        return self.display.run(["xdotool", "getwindowname", self.wid], check=False) is not None

    def activate(self):
        self.display.run(["xdotool", "windowactivate", "--sync", self.wid])

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
        self._start(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-dpi", "96",
                     "-nolisten", "tcp", "-ac", "-noreset"], "xvfb.log", pass_fds=(write_fd,))
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as reader:
            number = reader.readline().strip()  # Xvfb writes it once ready, or closes the pipe
        if not number:
            self.close()
            raise TestFailure("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.decode())
        self.env.pop("WAYLAND_DISPLAY", None)
        self._start(["openbox", "--sm-disable"], "openbox.log", env=self.env)
        # The window manager is ready once it has claimed the screen.
        wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in (self.run(["xprop", "-root"], check=False) or ""),
                   "the window manager")

    def _start(self, command, log, **options):
        self.procs.append(subprocess.Popen(command, stdout=subprocess.DEVNULL, start_new_session=True,
                                           stderr=open(os.path.join(self.tmp, log), "w"), **options))

    def close(self):
        for proc in reversed(self.procs):
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
        """The command's output; on failure a TestFailure, or None when check is off."""
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=DEFAULT_TIMEOUT)
        if result.returncode != 0:
            if check:
                raise TestFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
            return None
        return result.stdout.strip()

    def find_windows(self, title):
        """The visible windows whose title is exactly title."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(title) + "$"], check=False)
        return [Window(self, wid, title) for wid in (out or "").split()]

    def wait_window(self, title):
        windows = wait_until(lambda: self.find_windows(title), f"a window titled {title!r}")
        check(len(windows) == 1, f"{len(windows)} windows titled {title!r}")
        return windows[0]

    def wait_gone(self, window):
        wait_until(lambda: all(w.wid != window.wid for w in self.find_windows(window.title)),
                   f"the window {window.title!r} to close")

    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, timeout=DEFAULT_TIMEOUT, check=True).stdout
        match = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+255\s", data)
        check(match, "the screenshot is not an 8-bit PPM picture")
        width, height = int(match.group(1)), int(match.group(2))
        return Image(width, height, data[match.end() : match.end() + width * height * 3])

    def move_pointer(self, x, y):
        """Moves the pointer to (x, y) of the screen and waits until it is there."""
        self.run(["xdotool", "mousemove", str(x), str(y)])
        wait_until(lambda: f"X={x}\nY={y}\n" in self.run(["xdotool", "getmouselocation", "--shell"]) + "\n",
                   f"the pointer to reach {x},{y}")

    def click(self, window, x, y):
        """A left click at (x, y) of the window's client area, then the pointer parked in a corner
        no window uses, so that no button shows hover."""
        left, top, _, _ = window.geometry()
        self.move_pointer(left + x, top + y)
        self.run(["xdotool", "click", "1"])
        self.move_pointer(0, 0)

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "40", *keys])

    def type(self, text):
        self.run(["xdotool", "type", "--delay", "40", text])
