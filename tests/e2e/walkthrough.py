#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A player's road through the real program, on an X display with a window manager, driven by
real mouse clicks and key presses and checked by what the screen shows: the welcome screen as
designed; the counts "abc" and "141" refused with the message, the text kept; a quiz of 2 with its
first question skipped; Result writing the page and asking the desktop to open it; Home with No
and with Yes; a quiz of 10 answered by mouse and by the keys 1 to 4; Previous Results; Exit.

The program runs from a copy in a temporary folder, where it writes its page. Screenshots and
the last page are kept in the artefacts folder for review."""

import os
import shutil
import sys
import tempfile

from desktop import Display, check, main, wait_until
from quiz_app import (CAPTION, COUNT_BACK, COUNT_TEXT, INFO_TEXT, QUIZ_TITLE, WELCOME_TITLE, PageOpener, Program, Quiz,
                      Screen, Welcome, answer_colour, centre, left_edge)
from results_page import Page, check_page, load_bank


class Walkthrough:
    """The player's steps and what each must show; the page is expected at page_path."""

    def __init__(self, display, bank, artefacts, opener, page_path):
        self.display, self.bank, self.artefacts, self.opener = display, bank, artefacts, opener
        self.page_path, self.folder = page_path, os.path.dirname(page_path)
        self.opened = 0

    def save(self, image, name):
        image.save_png(os.path.join(self.artefacts, name))

    def welcome(self):
        screen = Screen(self.display, self.display.wait_window(WELCOME_TITLE))
        check(not self.display.find_windows(QUIZ_TITLE), "the quiz screen is still on view")
        return screen

    def check_welcome_design(self, screen, desktop_entry):
        check(screen.size == Welcome.size, f"the welcome screen's client area is {screen.size}, not {Welcome.size}")
        wm_class = screen.window.prop("WM_CLASS")
        with open(desktop_entry) as f:
            wm_line = [line.split("=", 1)[1].strip() for line in f if line.startswith("StartupWMClass=")]
        check(wm_line and f'"{wm_line[0]}"' in wm_class, f"the menu entry's StartupWMClass does not match {wm_class}")
        check("Icon (" in screen.window.prop("_NET_WM_ICON"), "the welcome window has no icon")

        image = screen.settled()
        r, g, b = image.crop(*Welcome.Picture1).mean()
        check(g > r + 10 and g > b, f"the banner is not green: mean colour {r:.0f},{g:.0f},{b:.0f}")
        shown = [(Welcome.Text1, COUNT_BACK, 8, 200, "the count box's dark green"),
                 (Welcome.Text1, COUNT_TEXT, 40, 5, "the count box's light green text"),
                 (Welcome.Label4, COUNT_TEXT, 40, 5, "'Total Question :'"),
                 (Welcome.Label2, INFO_TEXT, 30, 20, "the contact text")]
        buttons = ("Start", "About", "Exit")
        shown += [(getattr(Welcome, name), CAPTION, 40, 5, f"the {name} caption") for name in buttons]
        for area, colour, tolerance, least, what in shown:
            check(image.crop(*area).count_near(colour, tolerance) >= least, f"{what} is not shown")
        for name in buttons:
            r, g, b = image.crop(*getattr(Welcome, name)).mean()
            check(g > r and g > b, f"the {name} button's face is not green")
        return image

    def refused(self, screen, trigger, text_crop=None):
        """Runs trigger, expects the count check's message, answers it, and returns the count box
        as it looked while the message was up (the screen inactive, so without a text cursor)."""
        trigger()
        box = self.display.wait_window("Error")
        check(not self.display.find_windows(QUIZ_TITLE), "a quiz started on a refused count")
        shown = screen.settled(Welcome.Text1)
        check(text_crop is None or shown == text_crop, "the count box changed after the refusal")
        self.save(self.display.screenshot().crop(*box.geometry()), "error.png")
        box.activate()
        self.display.key("Return")
        self.display.wait_gone(box)
        screen.window.activate()
        return shown

    def type_count(self, screen, text):
        screen.window.activate()
        screen.click(centre(Welcome.Text1))
        self.display.key("ctrl+a")
        self.display.type(text)

    def quiz(self):
        screen = Screen(self.display, self.display.wait_window(QUIZ_TITLE))
        wait_until(lambda: not self.display.find_windows(WELCOME_TITLE), "the welcome screen to close")
        return screen

    def colours(self, screen, image=None):
        image = image or screen.grab()
        # The text only: the selection mark at the left is drawn in its own colours.
        return [answer_colour(image.crop(x + 19, y, w - 19, h)) for x, y, w, h in Quiz.Options]

    def answer(self, screen, index, by_key):
        """Chooses an answer and returns the index the screen then shows as right."""
        check(self.colours(screen) == ["black"] * 4, "the answers are not all black before answering")
        if by_key:
            self.display.key(str(index + 1))
        else:
            screen.click(left_edge(Quiz.Options[index]))
        wait_until(lambda: self.colours(screen)[index] != "black", f"answer {index + 1} to change colour")
        colours = self.colours(screen, screen.settled())
        greens = [i for i, c in enumerate(colours) if c == "green"]
        expected = ["green" if i in greens else "red" if i == index else "black" for i in range(4)]
        check(len(greens) == 1 and colours == expected, f"answer {index + 1} chosen, the answers show {colours}")
        return greens[0]

    def result(self, screen, total, answers):
        """Presses Result twice: the page is written and opened each time, the same page."""
        pages = []
        for press in range(2):
            if pages:
                os.remove(self.page_path)  # so that the second press must write it anew
            screen.click(centre(Quiz.Nextbtn))
            self.opened += 1
            opened = self.opener.wait_calls(self.opened)[-1]
            check(os.path.realpath(opened) == os.path.realpath(self.page_path),
                  f"the desktop was asked to open {opened}, not the page beside the program")
            pages.append(Page(self.page_path))
        check(pages[0].raw == pages[1].raw, "the second Result wrote another page")
        check_page(pages[0], self.bank, answers, total)
        with open(os.path.join(self.folder, "logo.f"), "rb") as f:
            check(f.read(4) == b"GIF8", "logo.f beside the page is not the GIF logo")
        return pages[0]

    def home(self, screen, confirm):
        def quiz_state():
            image = screen.settled()
            return image.crop(*Quiz.top_line), image.crop(*Quiz.Question), self.colours(screen, image)

        before = quiz_state()
        screen.click(centre(Quiz.home))
        box = self.display.wait_window("Confirm")
        box.activate()
        self.display.key("alt+y" if confirm else "Return")  # No is the default
        self.display.wait_gone(box)
        if confirm:
            return self.welcome()
        check(screen.window.exists() and not self.display.find_windows(WELCOME_TITLE), "No left the quiz")
        wait_until(lambda: quiz_state() == before, "the quiz to look as before Home")
        return screen

    def play(self, screen, total, choose):
        """Answers every question; choose(number) gives (index, by_key), or None to skip. Returns
        the (chosen, shown right) pairs and the look of the button after the last answer."""
        answers, result_look = [], None
        next_look = screen.settled(Quiz.Nextbtn)
        for number in range(1, total + 1):
            question = screen.grab(Quiz.Question)
            waiting = screen.settled(Quiz.Nextbtn)
            check((waiting == next_look) == (number == 1), f"Next pressable before question {number} is answered")
            choice = choose(number)
            check(choice is not None or number == 1, "only the first question can be skipped")
            if choice is not None:
                index, by_key = choice
                shown = self.answer(screen, index, by_key)
                answers.append((index, shown))
                if number == 1:
                    colours = self.colours(screen)
                    screen.click(left_edge(Quiz.Options[next(i for i in range(4) if i not in (index, shown))]))
                    check(self.colours(screen, screen.settled()) == colours, "a second click changed the colours")
                else:
                    screen.wait_change(Quiz.Nextbtn, waiting, "the button to become pressable")
                button = screen.settled(Quiz.Nextbtn)
                check((button == next_look) == (number < total), f"the button's caption after question {number}")
                result_look = button
            if number < total:
                screen.click(centre(Quiz.Nextbtn))
                screen.wait_change(Quiz.Question, question, f"question {number + 1}")
        return answers, result_look

    def previous_results(self, screen, point=left_edge(Welcome.About)):
        screen.click(point)
        self.opened += 1
        opened = self.opener.wait_calls(self.opened)[-1]
        check(os.path.realpath(opened) == os.path.realpath(self.page_path), f"Previous Results opened {opened}")

    def run(self, program, desktop_entry):
        self.display.move_pointer(0, 0)
        screen = self.welcome()
        first_look = self.check_welcome_design(screen, desktop_entry)
        self.save(first_look, "welcome.png")
        # Not a number, refused by Start and by its caption; then over 140, by Tab and Return.
        self.type_count(screen, "abc")
        abc = self.refused(screen, lambda: screen.click(left_edge(Welcome.Start)))
        check(abc != first_look.crop(*Welcome.Text1), "the count box does not show the typed text")
        self.refused(screen, lambda: screen.click(centre(Welcome.Label3)), abc)
        self.display.key("ctrl+a")
        self.display.type("141")
        over = self.refused(screen, lambda: self.display.key("Tab"))
        check(over != abc, "the count box shows the same for 141 as for abc")
        self.refused(screen, lambda: self.display.key("Return"), over)

        # 2: the first question skipped, the second answered with the key 3.
        self.type_count(screen, "2")
        screen.click(left_edge(Welcome.Start))
        quiz = self.quiz()
        check(quiz.size == Quiz.size, f"the quiz screen's client area is {quiz.size}, not {Quiz.size}")
        self.save(quiz.settled(), "quiz-first.png")
        answers, result_look = self.play(quiz, 2, lambda number: None if number == 1 else (2, True))
        self.result(quiz, 2, answers)

        quiz = self.home(quiz, confirm=False)
        screen = self.home(quiz, confirm=True)
        wait_until(lambda: screen.grab() == first_look, "the welcome screen to look as at start")

        # 10, from the Start caption: odd questions by a click, even ones by a key, each position both ways.
        self.type_count(screen, "10")
        screen.click(centre(Welcome.Label3))
        quiz = self.quiz()
        played, result_10 = self.play(quiz, 10, lambda number: (((number - 1) // 2) % 4, number % 2 == 0))
        check(result_10 == result_look, "the button after the tenth question does not read as after the second")
        self.save(quiz.settled(), "quiz.png")  # the last answer in its colours
        page = self.result(quiz, 10, played)

        screen = self.home(quiz, confirm=True)
        self.previous_results(screen, centre(Welcome.About2))

        # Exit ends the program at once, without writing anything.
        written = os.path.getmtime(self.page_path)
        screen.click(left_edge(Welcome.Exit))
        check(program.wait_exit() == 0, "the program ended with an error status")
        check(os.path.getmtime(self.page_path) == written, "Exit wrote the page")
        check(len(self.opener.calls()) == self.opened, f"pages opened: {self.opener.calls()}")
        results = os.path.join(self.artefacts, "results")
        os.makedirs(results)
        for name in ("Results.htm", "logo.f"):
            shutil.copy2(os.path.join(self.folder, name), results)
        print(f"Quiz of 10: {page.right} right, {page.wrong} wrong; pages opened: {self.opened}")


def walk(args):
    work = tempfile.mkdtemp(prefix="tevrin-e2e-")
    try:
        folder, home, desktop = (os.path.join(work, name) for name in ("app", "home", "desktop"))
        for path in (folder, home, desktop):
            os.mkdir(path)
        # A copy, so that the page is written beside it in a folder of the test's own.
        program_path = shutil.copy2(args.program, folder)
        with Display() as display:
            walk = Walkthrough(display, load_bank(args.bank), args.artefacts, PageOpener(desktop),
                               os.path.join(folder, "Results.htm"))
            program = Program(display, program_path, folder, home, walk.opener)
            program.watch(args.artefacts, lambda: walk.run(program, args.desktop_entry))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(__doc__, ("--program", "--bank", "--desktop-entry"), walk, "The walkthrough passed."))
