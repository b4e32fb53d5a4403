#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A blind player's road through the real program with a real screen reader: Orca on a private
# desktop (desktop.py), its speech read from its debug log. Two quizzes of three, played like a
# player who listens to each question: every kind of pick (Space on the focused answer, an arrow
# then Space, the focused answer's own number, another answer's number, a click) and every way of
# moving on (Start Quiz, Return in the count box, Enter on the answered answer, Next by Enter, by
# Space and by a click). Then Result, Home and Previous Results. Each page must hold what was said.
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
import threading
import time

from desktop import Desktop, click, find, keys, opened, player_home, sanitizer_options

VERDICT = (
    r"notification Your answer: (?P<word>right|wrong)\. (?:The right answer: (?P<right>.+)\. )?"
    r"Correct answers: (?P<correct>\d+)\. Incorrect answers: (?P<incorrect>\d+)\."
)


class Orca:
    """Orca, and what it says, heard in order. Orca writes what it says to its debug log; to a
    terminal it writes each line as it goes, where a file would get them in blocks."""

    def __init__(self, desktop, home, log_path):
        terminal, orca_end = pty.openpty()
        desktop.start(["orca", "-u", home + "/orca", "--debug-file", "/dev/stdout"], stdout=orca_end)
        os.close(orca_end)
        self.said = queue.Queue()
        self.transcript = []
        threading.Thread(target=self._listen, args=(terminal, log_path), daemon=True).start()

    def _listen(self, terminal, log_path):
        with open(log_path, "wb") as log:
            pending = b""
            while chunk := self._read(terminal):
                log.write(chunk)
                *lines, pending = (pending + chunk).split(b"\n")
                for line in lines:
                    if said := re.search(r"SPEECH OUTPUT: '(.*)' ?\{", line.decode(errors="replace")):
                        self.said.put(said[1])

    @staticmethod
    def _read(terminal):
        try:
            return os.read(terminal, 65536)
        except OSError:  # Orca has ended
            return b""

    def hear(self, pattern, what):
        """Waits until Orca says something matching pattern, passing over what it says before,
        and over the keys it echoes (with a blank after them)."""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            try:
                said = self.said.get(timeout=max(0, deadline - time.monotonic()))
            except queue.Empty:
                break
            self.transcript.append(said)
            if not said.endswith(" ") and (match := re.fullmatch(pattern, said)):
                return match
        raise AssertionError(f"Orca never said {what}; its last words: {self.transcript[-10:]}")


def plain(text):
    """A text as both a page and a reader may end it: without its closing full stops."""
    return html.unescape(text).rstrip(".")


class Player:
    """Presses keys and hears the questions and the verdicts; notes each pick's page row."""

    def __init__(self, orca):
        self.orca = orca
        self.new_quiz()

    def new_quiz(self):
        self.counts = [0, 0]  # right, wrong
        self.rows = []  # (question, right answer, own answer), as heard

    def press(self, *names, then=None):
        keys(*names)
        if then:
            self.orca.hear(then + r"\.?", then)

    def hear_question(self, number):
        """Its number and text, then the answer that has the focus, with its place."""
        self.question = self.orca.hear(rf"Question {number} of 3: (.+)", f"question {number}")[1]
        self.hear_answer()
        # Orca writes at once what a voice takes seconds to say: the player listens that long at
        # least, and so presses no key within a double click of the one before.
        time.sleep(0.5)

    def hear_answer(self):
        self.focused = self.orca.hear(r"(.+?)\.?", "the answer with the focus")[1]
        self.orca.hear(r"(not )?selected radio button", "the answer's state")
        self.orca.hear(r"[1-4] of 4\.?", "the answer's place")

    def hear_verdict(self, picked=None):
        """Right or wrong, the right answer when wrong, and both counts, at the pick."""
        verdict = self.orca.hear(VERDICT, "a verdict")
        self.counts[verdict["word"] == "wrong"] += 1
        heard = [int(verdict["correct"]), int(verdict["incorrect"])]
        assert heard == self.counts, f"heard the counts {heard}, after {self.counts}"
        own = picked or self.focused
        self.rows.append(tuple(map(plain, (self.question, verdict["right"] or own, own))))


def first_quiz(player):
    """Start Quiz by Space; Space on the focused answer; Enter on it; an arrow and Space; Next by
    Enter; the focused answer's own number; Enter on it, which presses Result."""
    player.press("Tab", "Tab", "Tab", "Tab", then="Number of questions, 2 to 140 text")
    player.press("ctrl+a", "3", "Tab", "Tab", then="Start Quiz push button")
    player.press("space")
    player.hear_question(1)
    player.press("space")
    player.hear_verdict()
    player.press("Return")
    player.hear_question(2)
    player.press("Down")
    player.hear_answer()
    player.press("space")
    player.hear_verdict()
    player.press("Tab", "Tab", then="Next push button")
    player.press("Return")
    player.hear_question(3)
    player.press("1")
    player.hear_verdict()
    player.press("Return")


def second_quiz(player):
    """Return in the count box; another answer's number; Next by Space; a click on an answer; Next
    by a click; Space; Result by Enter."""
    player.press("Tab", "Tab", "Tab", "Tab", then="Number of questions, 2 to 140 text")
    player.press("ctrl+a", "3", "Return")
    player.hear_question(1)
    player.press("3")
    player.hear_answer()
    player.hear_verdict()
    player.press("Tab", "Tab", then="Next push button")
    player.press("space")
    player.hear_question(2)
    fourth = find("panel", "Question 2 of 3: .*").get_child_at_index(3)
    click(fourth)
    player.hear_verdict(picked=fourth.get_name())
    click(find("push button", "Next"))
    player.hear_question(3)
    player.press("space")
    player.hear_verdict()
    player.press("Tab", "Tab", then="Result push button")
    player.press("Return")


def go_home(player):
    """Tab to Home, past whatever lies before it; Home, and Yes."""
    keys("Tab")
    while player.orca.hear(r"(Home|Result|Tevrinic Quiz logo).*", "Tab's stops")[1] != "Home":
        keys("Tab")
    player.press("space", then=".*Do you really want to quit current session")
    player.press("alt+y", then="Tevrinic Quiz frame")


def page_rows(page):
    """(question, right answer, own answer) of each row of a results page."""
    text = open(page, encoding="cp1252").read()
    cells = re.findall(r"<td width=\d+%(?: nowrap)?><font[^>]*>(?:<b>)?(.*?)(?:</b>)?</font>", text)
    return [tuple(map(plain, cells[i : i + 3])) for i in range(0, len(cells), 3)]


def check_page(home, page, times, player):
    opened(home, page, times)
    assert page_rows(page) == player.rows, f"the page holds {page_rows(page)}; Orca said {player.rows}"


def main(artefacts, program):
    if subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True).returncode == 0:
        print("screen_reader: skipped, since Orca runs once per user and yours is running")
        return 77
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    home = player_home()
    sanitizer_options(home)
    program, page = shutil.copy(program, home), os.path.join(home, "Results.htm")
    desktop = player = None
    try:
        desktop = Desktop(home)
        orca = Orca(desktop, home, os.path.join(artefacts, "orca-debug.log"))
        player = Player(orca)
        orca.hear(r"Screen reader on\.", "that it is on")
        desktop.start([program, "-platform", "xcb"], cwd=home, stdout=open(artefacts + "/program.log", "w"))
        orca.hear(r"Tevrinic Quiz banner image\.", "the welcome screen")
        first_quiz(player)
        check_page(home, page, 1, player)
        go_home(player)
        player.new_quiz()
        second_quiz(player)
        check_page(home, page, 2, player)
        go_home(player)
        player.press("Tab", "Tab", then="Previous Results push button")
        player.press("space")
        opened(home, page, 3)  # by Previous Results
        return 0
    except Exception as failure:
        return f"FAIL: {failure}"
    finally:
        if player:
            with open(os.path.join(artefacts, "transcript.txt"), "w") as transcript:
                transcript.write("\n".join(player.orca.transcript) + "\n")
        if desktop:
            desktop.stop()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
