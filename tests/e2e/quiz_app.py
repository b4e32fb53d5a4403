# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as a player meets it: its two screens, where their controls are, what their
colours say, and a stand-in for the desktop's page opener that notes every page it is given."""

import os
import shutil
import subprocess
import tempfile
import time
import urllib.parse
import urllib.request

from desktop import DEFAULT_TIMEOUT, TestFailure, check, wait_until

WELCOME_TITLE = "Tevrinic Quiz"
QUIZ_TITLE = "Tevrinic Quiz "  # the quiz screen's caption ends with a blank


def px(twips):
    """Twips to logical pixels, rounded to the nearest the way the screens do it."""
    return (twips + 7) // 15 if twips >= 0 else -((-twips + 7) // 15)


def rect(left, top, width, height):
    return (px(left), px(top), px(width), px(height))


def inside(outer, left, top, width, height):
    """A rectangle given relative to the container outer."""
    x, y, _, _ = outer
    return (x + px(left), y + px(top), px(width), px(height))


class Welcome:
    size = (px(7170), px(3990))
    Picture1 = rect(15, 15, 7170, 2805)
    Label4 = inside(Picture1, 5310, 2370, 1125, 195)
    Text1 = rect(6540, 2370, 555, 315)
    Start = rect(5550, 2880, 1590, 360)
    Label3 = inside(Start, 435, 30, 690, 195)
    About = rect(5550, 3225, 1590, 360)
    About2 = inside(About, 195, 30, 1185, 195)
    Exit = rect(5550, 3570, 1590, 360)
    Label5 = inside(Exit, 645, 45, 255, 195)
    Label2 = rect(45, 3450, 4890, 435)


class Quiz:
    size = (px(7245), px(3975))
    Label2 = rect(75, 105, 840, 195)
    Label4 = rect(2625, 105, 1080, 195)
    Label5 = rect(4875, 105, 1245, 195)
    Options = [rect(120, top, 7020, 405) for top in (1230, 1750, 2270, 2790)]
    Question = inside(rect(-45, 360, 7410, 795), 255, 165, 6810, 510)
    Nextbtn = rect(5760, 3510, 1350, 330)
    home = rect(4395, 3510, 1350, 330)
    # The line of labels and counters above the question.
    top_line = (0, 0, px(7245), px(330))


CAPTION = (255, 255, 192)
COUNT_TEXT = (192, 255, 192)
COUNT_BACK = (0, 64, 0)
INFO_TEXT = (64, 64, 64)
NAVY = (0, 0, 128)
GREEN = (0, 128, 0)
DARK_RED = (192, 0, 0)


def answer_colour(image):
    """black, green or red: the colour of the text in an answer's picture (the indicator cut off)."""
    green = red = black = 0
    p = image.pixels
    for i in range(0, len(p), 3):
        r, g, b = p[i], p[i + 1], p[i + 2]
        if g - r > 40 and g - b > 40:
            green += 1
        elif r - g > 80 and r - b > 80:
            red += 1
        elif r < 60 and g < 60 and b < 60:
            black += 1
    kinds = [name for name, n in (("green", green), ("red", red), ("black", black)) if n >= 3]
    return kinds[0] if len(kinds) == 1 else f"unclear (green {green}, red {red}, black {black})"


class PageOpener:
    """Stands first on PATH as xdg-open, which Qt asks to open a page, and notes its argument."""

    def __init__(self, folder):
        self.folder = folder
        self.log = os.path.join(folder, "opened.log")
        path = os.path.join(folder, "xdg-open")
        with open(path, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.log}"\n')
        os.chmod(path, 0o755)

    def calls(self):
        try:
            with open(self.log) as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def wait_calls(self, count):
        wait_until(lambda: len(self.calls()) >= count, f"page opening number {count}")
        calls = self.calls()
        check(len(calls) == count, f"the desktop was asked to open {len(calls)} pages, expected {count}: {calls}")
        return calls

    @staticmethod
    def path_of(argument):
        """The file named by an argument the program gave: a file URL or a plain path."""
        if argument.startswith("file:"):
            return urllib.request.url2pathname(urllib.parse.urlparse(argument).path)
        return argument


class Program:
    """One run of the program on a display, with its own HOME and the page opener stand-in."""

    def __init__(self, display, program, folder, home, opener, user=None):
        self.display = display
        env = dict(display.env)
        for name in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
                     "QT_ENABLE_HIGHDPI_SCALING", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                     "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"):
            env.pop(name, None)
        runtime = tempfile.mkdtemp(prefix="tevrin-runtime-")
        env.update(QT_QPA_PLATFORM="xcb", HOME=home, XDG_RUNTIME_DIR=runtime,
                   PATH=opener.folder + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"))
        if "ASAN_OPTIONS" in env:
            # Qt's X connection runs through libraries that are not ours (see asan.supp).
            suppressions = os.path.join(runtime, "asan.supp")
            shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "asan.supp"), suppressions)
            os.chmod(suppressions, 0o644)
            env["ASAN_OPTIONS"] += ":suppressions=" + suppressions
        command = [program]
        if user is not None:
            os.chown(runtime, user, user)
            # An unprivileged player: root may write anywhere, so only another user shows what
            # happens in a folder the player cannot write.
            command = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--", program]
        self.output = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(command, cwd=folder, env=env, stdout=self.output, stderr=subprocess.STDOUT,
                                     start_new_session=True)
        self.runtime = runtime

    def messages(self):
        self.output.seek(0)
        return self.output.read().decode(errors="replace")

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the program did not end")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)


def region(image, window_origin, area):
    """The part of a screenshot that shows area (pixels of the window's client area)."""
    x, y, w, h = area
    ox, oy = window_origin
    return image.crop(ox + x, oy + y, w, h)


def centre(area):
    x, y, w, h = area
    return x + w // 2, y + h // 2


def left_edge(area):
    """A point on a picture button beside its caption label."""
    x, y, _, h = area
    return x + 4, y + h // 2


class Screen:
    """One of the program's windows, seen through screenshots of its client area."""

    def __init__(self, display, window):
        self.display = display
        self.window = window
        x, y, w, h = window.geometry()
        self.origin = (x, y)
        self.size = (w, h)

    def grab(self, area=None):
        image = self.display.screenshot()
        return region(image, self.origin, area or (0, 0, *self.size))

    def settled(self, area=None):
        """The area once two screenshots in a row agree: nothing is being redrawn."""
        last = [self.grab(area)]

        def steady():
            time.sleep(0.15)
            now = self.grab(area)
            same = now == last[0]
            last[0] = now
            return now if same else None

        return wait_until(steady, "the screen to settle")

    def wait_for(self, area, predicate, what):
        return wait_until(lambda: (lambda image: image if predicate(image) else None)(self.grab(area)), what)

    def click(self, point):
        self.display.click(self.window, *point)
        self.display.park_pointer()
