#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A blind player's road through the real program with a real screen reader: Orca, on Xvfb with
# its own D-Bus session and accessibility bus, its speech read from its debug log. Two quizzes of
# three questions, played like a player who waits to hear each question: every kind of pick (Space
# on the focused answer, an arrow then Space, the focused answer's own number, another answer's
# number, a click) and every way of moving on (Start Quiz, Return in the count box, Enter on the
# answered answer, Next by Enter, by Space and by a click). Then Result, Home and Previous Results.
# What Orca says is checked at each step, and each page against what was said.
#
# Usage: screen_reader.py ARTEFACTS PROGRAM. Orca's log and the transcript are kept in ARTEFACTS.

import html
import os
import pty
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# None of the desktop's own settings or buses.
ENV = {
    name: value
    for name, value in os.environ.items()
    if not name.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_", "XAUTH", "DBUS_", "AT_SPI_"))
}
VERDICT = (
    r"notification Your answer: (?P<word>right|wrong)\. (?:The right answer: (?P<right>.+?)\. )?"
    r"Correct answers: (?P<correct>\d+)\. Incorrect answers: (?P<incorrect>\d+)\."
)


class Orca:
    """A running Orca, and its speech heard in order. Orca writes what it says to its debug log; to
    a terminal it writes each line as it goes, where a file would get them in blocks."""

    def __init__(self, prefs, log_path):
        terminal, orca_end = pty.openpty()
        command = ["orca", "-u", prefs, "--debug-file", "/dev/stdout"]
        self.process = subprocess.Popen(command, env=ENV, stdout=orca_end, stderr=subprocess.DEVNULL)
        os.close(orca_end)
        self.said = queue.Queue()
        self.transcript = []
        threading.Thread(target=self._listen, args=(terminal, log_path), daemon=True).start()

    def _listen(self, terminal, log_path):
        with open(log_path, "wb") as log:
            pending = b""
            while True:
                try:
                    chunk = os.read(terminal, 65536)
                except OSError:  # Orca has ended
                    return
                if not chunk:
                    return
                log.write(chunk)
                *lines, pending = (pending + chunk).split(b"\n")
                for line in lines:
                    if said := re.search(r"SPEECH OUTPUT: '(.*)' ?\{", line.decode(errors="replace")):
                        self.said.put(said[1])

    def hear(self, pattern, what, timeout=30):
        """Waits until Orca says something matching pattern, passing over what it says before."""
        deadline = time.monotonic() + timeout
        while (left := deadline - time.monotonic()) > 0:
            try:
                said = self.said.get(timeout=left)
            except queue.Empty:
                break
            self.transcript.append(said)
            if said.endswith(" "):  # a key's echo
                continue
            if match := re.fullmatch(pattern, said):
                return match
        raise AssertionError(f"Orca never said {what}; its last words: {self.transcript[-10:]}")


class Player:
    """Keys and clicks, and what the player hears of each question and pick."""

    def __init__(self, orca):
        self.orca = orca
        self.correct = self.incorrect = 0
        self.rows = []  # (question, right answer, own answer) for each pick, as heard

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "200", *names], env=ENV, check=True)

    def click(self, control):
        box = control.get_extents(Atspi.CoordType.SCREEN)
        at = [str(box.x + box.width // 2), str(box.y + box.height // 2)]
        subprocess.run(["xdotool", "mousemove", *at, "click", "1", "mousemove", "0", "0"], env=ENV, check=True)

    def hear_question(self, number):
        """Its number and text, then the answer that has the focus with its place among the four."""
        self.question = self.orca.hear(rf"Question {number} of 3: (.+)\.?", f"question {number}")[1].rstrip(".")
        self.focused = self.orca.hear(r"(.+?)\.?", f"the focused answer of question {number}")[1]
        self.orca.hear(r"not selected radio button", "that the answer is not selected")
        self.orca.hear(r"[1-4] of 4\.?", "the answer's place")
        # Orca writes at once what a voice would take seconds to say: the player listens that long
        # at least, and so presses no key within a double click of the one before.
        time.sleep(0.5)

    def hear_answer(self):
        """The answer the focus moves to, as an arrow or a number key moves it."""
        self.focused = self.orca.hear(r"(.+?)\.?", "the answer that took the focus")[1]
        self.orca.hear(r"(not )?selected radio button", "the answer's state")
        self.orca.hear(r"[1-4] of 4\.?", "the answer's place")

    def hear_verdict(self, picked=None):
        """Right or wrong, the right answer when wrong, and both counts, all at the pick."""
        verdict = self.orca.hear(VERDICT, "a verdict")
        if verdict["word"] == "right":
            self.correct += 1
        else:
            self.incorrect += 1
        heard = (int(verdict["correct"]), int(verdict["incorrect"]))
        assert heard == (self.correct, self.incorrect), f"counts {heard}, expected {self.correct, self.incorrect}"
        own = picked or self.focused
        self.rows.append(tuple(map(plain, (self.question, verdict["right"] or own, own))))


def find(role, name):
    """The one showing control of the program with that role and name, over AT-SPI."""

    def tree(node):
        yield node
        for i in range(node.get_child_count()):
            if child := node.get_child_at_index(i):
                yield from tree(child)

    for _ in range(100):
        found = [
            node
            for node in tree(Atspi.get_desktop(0))
            if node.get_role_name() == role
            and re.fullmatch(name, node.get_name() or "")
            and node.get_state_set().contains(Atspi.StateType.SHOWING)
        ]
        if len(found) == 1:
            return found[0]
        time.sleep(0.1)
    raise AssertionError(f"no single {role} named {name!r}")


def count_box(player, count):
    player.keys("Tab", "Tab", "Tab", "Tab")
    player.orca.hear(r"Number of questions, 2 to 140 text\.?", "the count box")
    player.keys("ctrl+a", count)


def first_quiz(player):
    """Start Quiz by Space; Space on the focused answer; Enter on it; an arrow and Space; Next by
    Enter; the focused answer's own number; Result by Space."""
    count_box(player, "3")
    player.keys("Tab", "Tab")
    player.orca.hear(r"Start Quiz push button\.?", "Start Quiz")
    player.keys("space")
    player.hear_question(1)
    player.keys("space")
    player.hear_verdict()
    player.keys("Return")
    player.hear_question(2)
    player.keys("Down")
    player.hear_answer()
    player.keys("space")
    player.hear_verdict()
    player.keys("Tab", "Tab")
    player.orca.hear(r"Next push button\.?", "Next")
    player.keys("Return")
    player.hear_question(3)
    player.keys("1")
    player.hear_verdict()
    player.keys("Tab", "Tab")
    player.orca.hear(r"Result push button\.?", "Result")
    player.keys("space")


def second_quiz(player):
    """Return in the count box; another answer's number; Next by Space; a click on an answer; Next
    by a click; Space; Result by Enter."""
    count_box(player, "3")
    player.keys("Return")
    player.hear_question(1)
    player.keys("3")
    player.hear_answer()
    player.hear_verdict()
    player.keys("Tab", "Tab")
    player.orca.hear(r"Next push button\.?", "Next")
    player.keys("space")
    player.hear_question(2)
    fourth = find("panel", "Question 2 of 3: .*").get_child_at_index(3)
    player.click(fourth)
    player.hear_verdict(picked=fourth.get_name())
    player.click(find("push button", "Next"))
    player.hear_question(3)
    player.keys("space")
    player.hear_verdict()
    player.keys("Tab", "Tab")
    player.orca.hear(r"Result push button\.?", "Result")
    player.keys("Return")


def go_home(player):
    player.keys("Tab")
    player.orca.hear(r"Home push button\.?", "Home")
    player.keys("space")
    player.orca.hear(r"(Confirm )?.*Do you really want to quit current session.*", "the confirmation")
    player.keys("alt+y")
    player.orca.hear(r"Tevrinic Quiz frame\.?", "the welcome screen")


def plain(text):
    """A text as both a page and a reader may end it: without its closing full stops."""
    return html.unescape(text).rstrip(".")


def page_rows(page):
    """(question, right answer, own answer) of each row of a results page."""
    text = open(page, encoding="cp1252").read()
    cells = re.findall(r"<td width=\d+%(?: nowrap)?><font[^>]*>(?:<b>)?(.*?)(?:</b>)?</font>", text)
    return [tuple(map(plain, cells[i : i + 3])) for i in range(0, len(cells), 3)]


def wait_for(predicate, what, timeout=20):
    deadline = time.monotonic() + timeout
    while not predicate():
        assert time.monotonic() < deadline, f"gave up waiting for {what}"
        time.sleep(0.1)


def main(artefacts, program):
    if subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True).returncode == 0:
        print("screen_reader: skipped, since Orca runs once per user and yours is running")
        return 77
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    work = tempfile.mkdtemp(prefix="tevrin-orca-")  # the player's home and the program's folder
    program, page = shutil.copy(program, work), os.path.join(work, "Results.htm")
    opened = os.path.join(work, "opened.log")
    with open(os.open(os.path.join(work, "xdg-open"), os.O_CREAT | os.O_WRONLY, 0o755), "w") as stub:
        stub.write('#!/bin/sh\necho "$1" >> "$HOME/opened.log"\n')
    procs = []
    player = None
    try:
        procs.append(
            subprocess.Popen(
                ["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp", "-ac"],
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
                text=True,
            )
        )
        display = ":" + procs[0].stdout.readline().strip()
        ENV.update(DISPLAY=display, HOME=work, PATH=work + os.pathsep + ENV["PATH"], XDG_RUNTIME_DIR=work)
        procs.append(
            subprocess.Popen(
                ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                env=ENV,
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
                text=True,
            )
        )
        ENV["DBUS_SESSION_BUS_ADDRESS"] = procs[-1].stdout.readline().strip()
        ask = "dbus-send --session --dest=org.a11y.Bus --print-reply=literal /org/a11y/bus org.a11y.Bus.GetAddress"
        bus = subprocess.run(ask.split(), env=ENV, capture_output=True, text=True, timeout=30).stdout.strip()
        os.environ["AT_SPI_BUS_ADDRESS"] = bus
        Atspi.get_desktop(0).set_cache_mask(Atspi.Cache.NONE)
        procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=ENV, stderr=subprocess.DEVNULL))
        prefs = os.path.join(work, "orca")
        os.makedirs(prefs)
        orca = Orca(prefs, os.path.join(artefacts, "orca-debug.log"))
        procs.append(orca.process)
        player = Player(orca)
        orca.hear(r"Screen reader on\.?", "that it is on")
        program_log = open(os.path.join(artefacts, "program.log"), "w")
        procs.append(subprocess.Popen([program, "-platform", "xcb"], cwd=work, env=ENV, stdout=program_log,
                                      stderr=program_log))
        orca.hear(r"Tevrinic Quiz banner image\.?", "the welcome screen")

        first_quiz(player)
        wait_for(lambda: os.path.exists(opened) and open(opened).read().split() == ["file://" + page], "the page")
        assert page_rows(page) == player.rows, f"page {page_rows(page)}, heard {player.rows}"
        go_home(player)

        player.rows, player.correct, player.incorrect = [], 0, 0
        second_quiz(player)
        wait_for(lambda: len(open(opened).read().split()) == 2, "the second page")
        assert page_rows(page) == player.rows, f"page {page_rows(page)}, heard {player.rows}"
        go_home(player)
        player.keys("Tab", "Tab")
        orca.hear(r"Previous Results push button\.?", "Previous Results")
        player.keys("space")
        wait_for(lambda: len(open(opened).read().split()) == 3, "Previous Results to open the page")
        print(f"screen_reader: {len(orca.transcript)} utterances heard; transcript in {artefacts}")
        return 0
    except Exception as failure:
        return f"FAIL: {failure}"
    finally:
        if player:
            with open(os.path.join(artefacts, "transcript.txt"), "w") as transcript:
                transcript.write("\n".join(player.orca.transcript) + "\n")
        for proc in reversed(procs):
            proc.kill()
            proc.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
