# SPDX-License-Identifier: GPL-3.0-or-later
# A private desktop for the end-to-end runs: an X display (Xvfb) with a window manager (openbox),
# and a D-Bus session whose accessibility bus the toolkit's bridge joins, and so does this process,
# as a screen reader would. The program's controls are found there by role and accessible name.

import os
import re
import shutil
import subprocess
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# None of the desktop's own settings or buses: the run has its own.
ENV = {
    name: value
    for name, value in os.environ.items()
    if not name.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_", "XAUTH", "DBUS_", "AT_SPI_"))
}


def player_home():
    """A new folder for the player's home, where the desktop's page opener is a stand-in
    xdg-open that notes each file it is asked to open."""
    home = tempfile.mkdtemp(prefix="tevrin-e2e-")
    with open(os.open(os.path.join(home, "xdg-open"), os.O_CREAT | os.O_WRONLY, 0o755), "w") as opener:
        opener.write('#!/bin/sh\necho "$1" >> "$HOME/opened.log"\n')
    return home


def sanitizer_options(work):
    """Under the sanitizers: Qt's X connection runs through libraries not ours, whose reports are
    suppressed; the suppression files are copied where the player can read them."""
    if "ASAN_OPTIONS" not in ENV:
        return
    ENV["ASAN_OPTIONS"] += ":suppressions=" + os.path.join(os.path.dirname(__file__), "asan.supp")
    for var in ("ASAN_OPTIONS", "LSAN_OPTIONS"):
        ENV[var] = re.sub(r"(?<=\bsuppressions=)[^:]+", lambda m: shutil.copy(m[0], work), ENV.get(var, ""))


def opened(home, page, count):
    """Waits until the stand-in xdg-open has been asked for the page count times, and nothing else."""
    log, wanted = os.path.join(home, "opened.log"), ["file://" + page] * count
    wait(lambda: os.path.exists(log) and open(log).read().split() == wanted, f"{page} to be opened {count} times")


def wait(predicate, what, timeout=30):
    """Waits until predicate gives something true, and returns it."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        assert time.monotonic() < deadline, "gave up waiting for " + what
        time.sleep(0.1)
    return value


def run(*args):
    """A command's output, run on the private desktop."""
    return subprocess.run(args, env=ENV, capture_output=True, timeout=30).stdout


class Desktop:
    """Starts the display, the window manager and the session bus; `player` prefixes the commands
    that run as the player (the bus and the program)."""

    def __init__(self, home, player=()):
        self.player = list(player)
        self.processes = []
        self.listeners = []
        xvfb = ["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-dpi", "96", "-nolisten", "tcp", "-ac"]
        display = self.start(xvfb, stdout=subprocess.PIPE, text=True).stdout.readline().strip()
        ENV.update(DISPLAY=":" + display, HOME=home, PATH=home + os.pathsep + ENV["PATH"])
        session = self.player + ["dbus-daemon", "--session", "--nofork", "--print-address=1"]
        bus = self.start(session, stdout=subprocess.PIPE, text=True)
        ENV["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        # Asked for it, the bus launcher starts the accessibility bus.
        ask = "dbus-send --session --dest=org.a11y.Bus --print-reply=literal /org/a11y/bus org.a11y.Bus.GetAddress"
        os.environ["AT_SPI_BUS_ADDRESS"] = wait(lambda: run(*self.player, *ask.split()).decode().strip(), "the bus")
        Atspi.get_desktop(0).set_cache_mask(Atspi.Cache.NONE)  # names and states as they are now
        self.start(["openbox", "--sm-disable"])
        wait(lambda: b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "the window manager")

    def start(self, command, **options):
        options.setdefault("stderr", subprocess.DEVNULL)
        self.processes.append(subprocess.Popen(command, env=ENV, **options))
        return self.processes[-1]

    def listen(self):
        """Says a screen reader is on, and listens for focus changes, as every screen reader does:
        the toolkit then joins the accessibility bus, hands key presses to it first and delivers
        copies of them."""
        status = ["org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:ScreenReaderEnabled"]
        run(*self.player, "dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus", *status,
            "variant:boolean:true")  # noqa: E128
        listener = Atspi.EventListener.new(lambda event: None)
        listener.register("object:state-changed:focused")
        self.listeners.append(listener)

    def stop(self):
        for process in reversed(self.processes):
            process.kill()
            process.wait()


def controls(role, name):
    """The program's showing controls of that role whose name matches."""

    def tree(node):
        yield node
        for i in range(node.get_child_count()):
            if child := node.get_child_at_index(i):
                yield from tree(child)

    try:
        return [
            node
            for node in tree(Atspi.get_desktop(0))
            if node.get_role_name() == role
            and re.fullmatch(name, node.get_name() or "")
            and node.get_state_set().contains(Atspi.StateType.SHOWING)
        ]
    except GLib.Error:  # a control that went away while being read
        return []


def find(role, name, gone=None):
    """The one such control, once the window titled `gone` has closed."""

    def one():
        if gone and controls("frame", gone):
            return None
        found = controls(role, name)
        return len(found) == 1 and found[0]

    return wait(one, f"one {role} {name!r}")


def centre(control):
    box = control.get_extents(Atspi.CoordType.SCREEN)
    return box.x + box.width // 2, box.y + box.height // 2


def click(control, times=1):
    """Clicks at the control's centre, then moves the pointer away (no hover in the pictures)."""
    x, y = centre(control)
    run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times), "--delay", "250", "1")
    run("xdotool", "mousemove", "0", "0")
    return x, y


def keys(*names):
    run("xdotool", "key", "--delay", "150", *names)
