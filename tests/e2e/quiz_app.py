# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as a player meets it: its two screens, where their controls are, what their
colours say, and a stand-in for the desktop's page opener that notes every page it is given."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

from desktop import check, wait_until

WELCOME_TITLE = "Tevrinic Quiz"
QUIZ_TITLE = "Tevrinic Quiz "  # the quiz screen's caption ends with a blank


def rect(left, top, width, height, within=(0, 0)):
    """A control's place in pixels from the design's twips (relative to a container at within)."""
    px = lambda twips: (twips + 7) // 15 if twips >= 0 else -((-twips + 7) // 15)
    return (within[0] + px(left), within[1] + px(top), px(width), px(height))


class Welcome:
    size = rect(0, 0, 7170, 3990)[2:]
    Picture1 = rect(15, 15, 7170, 2805)
    Label4 = rect(5310, 2370, 1125, 195, Picture1)
    Text1 = rect(6540, 2370, 555, 315)
    Start = rect(5550, 2880, 1590, 360)
    Label3 = rect(435, 30, 690, 195, Start)
    About = rect(5550, 3225, 1590, 360)
    About2 = rect(195, 30, 1185, 195, About)
    Exit = rect(5550, 3570, 1590, 360)
    Label2 = rect(45, 3450, 4890, 435)


class Quiz:
    size = rect(0, 0, 7245, 3975)[2:]
    Options = [rect(120, top, 7020, 405) for top in (1230, 1750, 2270, 2790)]
    Question = rect(255, 165, 6810, 510, rect(-45, 360, 7410, 795))
    Nextbtn = rect(5760, 3510, 1350, 330)
    home = rect(4395, 3510, 1350, 330)
    top_line = rect(0, 0, 7245, 330)  # the labels and counters above the question


CAPTION, COUNT_TEXT, COUNT_BACK, INFO_TEXT = (255, 255, 192), (192, 255, 192), (0, 64, 0), (64, 64, 64)


def answer_colour(image):
    """black, green or red: the colour of the text in an answer's picture (the indicator cut off)."""
    counts = {"green": 0, "red": 0, "black": 0}
    for r, g, b in image.colours():
        if g - r > 40 and g - b > 40:
            counts["green"] += 1
        elif r - g > 80 and r - b > 80:
            counts["red"] += 1
        elif r < 60 and g < 60 and b < 60:
            counts["black"] += 1
    kinds = [name for name, n in counts.items() if n >= 3]
    return kinds[0] if len(kinds) == 1 else f"unclear {counts}"


def centre(area):
    x, y, w, h = area
    return x + w // 2, y + h // 2


def left_edge(area):
    """A point on a picture button beside its caption label, or on an answer's selection mark."""
    x, y, _, h = area
    return x + 6, y + h // 2


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
        """The files the desktop was asked to open, from file URLs or plain paths."""
        if not os.path.exists(self.log):
            return []
        with open(self.log) as f:
            return [urllib.request.url2pathname(urllib.parse.urlparse(line.strip()).path) for line in f]

    def wait_calls(self, count):
        wait_until(lambda: len(self.calls()) >= count, f"page opening number {count}")
        calls = self.calls()
        check(len(calls) == count, f"the desktop was asked to open {len(calls)} pages, expected {count}: {calls}")
        return calls


class Program:
    """One run of the program on a display, with its own HOME and the page opener stand-in;
    as an unprivileged user when user is given."""

    def __init__(self, display, program, folder, home, opener, user=None):
        self.display = display
        env = {k: v for k, v in display.env.items() if not k.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_"))}
        self.runtime = tempfile.mkdtemp(prefix="tevrin-runtime-")
        env.update(QT_QPA_PLATFORM="xcb", HOME=home, XDG_RUNTIME_DIR=self.runtime,
                   PATH=opener.folder + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"))
        if "ASAN_OPTIONS" in env:
            # Qt's X connection runs through libraries that are not ours (see asan.supp).
            suppressions = shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "asan.supp"),
                                       self.runtime)
            os.chmod(suppressions, 0o644)
            env["ASAN_OPTIONS"] += ":suppressions=" + suppressions
        command = [program]
        if user is not None:
            os.chown(self.runtime, user, user)
            command = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--", program]
        self.output = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(command, cwd=folder, env=env, stdout=self.output, stderr=subprocess.STDOUT,
                                     start_new_session=True)

    def wait_exit(self):
        wait_until(lambda: self.proc.poll() is not None, "the program to end")
        return self.proc.returncode

    def watch(self, artefacts, body):
        """Runs body, then ends the program; on a failure shows what it said and keeps a screenshot."""
        try:
            body()
        except Exception:
            self.output.seek(0)
            sys.stderr.write("The program said:\n" + self.output.read().decode(errors="replace"))
            self.display.screenshot().save_png(os.path.join(artefacts, "failure.png"))
            raise
        finally:
            self.stop()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)


class Screen:
    """One of the program's windows, seen through screenshots of its client area."""

    def __init__(self, display, window):
        self.display, self.window = display, window
        x, y, w, h = window.geometry()
        self.origin, self.size = (x, y), (w, h)

    def grab(self, area=None):
        x, y, w, h = area or (0, 0, *self.size)
        return self.display.screenshot().crop(self.origin[0] + x, self.origin[1] + y, w, h)

    def settled(self, area=None):
        """The area once two screenshots in a row agree: nothing is being redrawn."""
        last = [self.grab(area)]

        def steady():
            time.sleep(0.15)
            now, before = self.grab(area), last[0]
            last[0] = now
            return now if now == before else None

        return wait_until(steady, "the screen to settle")

    def wait_change(self, area, before, what):
        return wait_until(lambda: (lambda image: image if image != before else None)(self.grab(area)), what)

    def click(self, point):
        self.display.click(self.window, *point)
