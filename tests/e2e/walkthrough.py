#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A player's road through the real program, on an X display with a window manager, driven by
real mouse clicks and key presses and checked by what the screen shows:

the welcome screen as designed; the counts "abc" and "141" refused with the message whichever
way a quiz is started, the text kept; a quiz of 2 with its first question skipped; Result
writing the page and asking the desktop to open it; Home with No and with Yes; a quiz of 10
answered by mouse and by the keys 1 to 4; Previous Results; Exit.

The program runs from a copy in a temporary folder, where it writes its page. Screenshots and
the last page are kept in the artefacts folder for review.
"""

import argparse
import os
import shutil
import sys
import tempfile
import traceback

from desktop import Display, TestFailure, check, wait_until
from quiz_app import (CAPTION, COUNT_BACK, COUNT_TEXT, DARK_RED, GREEN, INFO_TEXT, NAVY, QUIZ_TITLE,
                      WELCOME_TITLE, PageOpener, Program, Quiz, Screen, Welcome, answer_colour, centre, left_edge)
from results_page import Page, check_page, load_bank


class Walkthrough:
    def __init__(self, args, display, work):
        self.args = args
        self.display = display
        self.bank = load_bank(args.bank)
        self.artefacts = args.artefacts
        self.folder = os.path.join(work, "app")
        os.mkdir(self.folder)
        self.program_path = os.path.join(self.folder, "TevrinQuiz")
        shutil.copy2(args.program, self.program_path)
        self.home_dir = os.path.join(work, "home")
        os.mkdir(self.home_dir)
        stand_in = os.path.join(work, "desktop")
        os.mkdir(stand_in)
        self.opener = PageOpener(stand_in)
        self.page_path = os.path.join(self.folder, "Results.htm")
        self.opened = 0

    def save(self, image, name):
        image.save_png(os.path.join(self.artefacts, name))

    # --- welcome screen ---

    def welcome(self):
        screen = Screen(self.display, self.display.wait_window(WELCOME_TITLE))
        check(not self.display.find_windows(QUIZ_TITLE), "the quiz screen is still on view")
        return screen

    def check_welcome_design(self, screen):
        check(screen.window.name() == WELCOME_TITLE, f"welcome title {screen.window.name()!r}")
        check(screen.size == Welcome.size, f"the welcome screen's client area is {screen.size}, "
              f"designed {Welcome.size}")
        wm_class = screen.window.prop("WM_CLASS")
        with open(self.args.desktop_entry) as f:
            wm_line = [line for line in f if line.startswith("StartupWMClass=")]
        check(wm_line and f'"{wm_line[0].split("=", 1)[1].strip()}"' in wm_class,
              f"the menu entry's StartupWMClass does not match the window's {wm_class}")
        check("Icon (" in screen.window.prop("_NET_WM_ICON"), "the welcome window has no icon")

        image = screen.settled()
        banner = image.crop(*Welcome.Picture1)
        r, g, b = banner.mean()
        check(g > r + 10 and g > b, f"the banner is not green: mean colour {r:.0f},{g:.0f},{b:.0f}")
        box = image.crop(*Welcome.Text1)
        check(box.count_near(COUNT_BACK, 8) > 200, "the count box is not dark green")
        check(box.count_near(COUNT_TEXT, 40) >= 5, "the count box shows no light green text")
        check(image.crop(*Welcome.Label4).count_near(COUNT_TEXT, 40) >= 5, "'Total Question :' is not shown")
        for name in ("Start", "About", "Exit"):
            button = image.crop(*getattr(Welcome, name))
            check(button.count_near(CAPTION, 40) >= 5, f"the {name} button shows no caption")
            r, g, b = button.mean()
            check(g > r and g > b, f"the {name} button's face is not green")
        check(image.crop(*Welcome.Label2).count_near(INFO_TEXT, 30) >= 20, "the contact text is not shown")
        return image

    def refused(self, screen, trigger, text_crop=None):
        """Runs trigger, expects the count check's message, answers it, and returns the count box
        as it looked while the message was up (the screen inactive, so without a text cursor)."""
        trigger()
        box = self.display.wait_window("Error")
        check(not self.display.find_windows(QUIZ_TITLE), "a quiz started on a refused count")
        shown = screen.settled(Welcome.Text1)
        if text_crop is not None:
            check(shown == text_crop, "the count box changed after the refusal")
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

    # --- quiz screen ---

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
        before = self.colours(screen)
        check(before == ["black"] * 4, f"the answers are not all black before answering: {before}")
        if by_key:
            self.display.key(str(index + 1))
        else:
            x, y, _, h = Quiz.Options[index]
            screen.click((x + 8, y + h // 2))  # on the selection mark
        wait_until(lambda: self.colours(screen)[index] != "black", f"answer {index + 1} to change colour")
        colours = self.colours(screen, screen.settled())
        if colours[index] == "green":
            check(colours.count("green") == 1 and colours.count("black") == 3,
                  f"a right answer, but the answers show {colours}")
            return index
        check(colours[index] == "red", f"the chosen answer is {colours[index]}")
        greens = [i for i, c in enumerate(colours) if c == "green"]
        check(len(greens) == 1 and colours.count("black") == 2, f"a wrong answer, but the answers show {colours}")
        return greens[0]

    def result(self, screen, total, answers):
        """Presses Result twice: the page is written and opened each time, the same page."""
        screen.click(centre(Quiz.Nextbtn))
        calls = self.opener.wait_calls(self.opened + 1)
        self.opened += 1
        opened = PageOpener.path_of(calls[-1])
        check(os.path.realpath(opened) == os.path.realpath(self.page_path),
              f"the desktop was asked to open {opened}, not the page beside the program")
        page = Page(self.page_path)
        check_page(page, self.bank, answers, total)
        with open(os.path.join(self.folder, "logo.f"), "rb") as f:
            check(f.read(4) == b"GIF8", "logo.f beside the page is not the GIF logo")

        # Again: the page is written anew (it was removed meanwhile) with the totals once.
        os.remove(self.page_path)
        screen.click(centre(Quiz.Nextbtn))
        calls = self.opener.wait_calls(self.opened + 1)
        self.opened += 1
        check(PageOpener.path_of(calls[-1]) == opened, "the second Result opened another page")
        check(os.path.exists(self.page_path), "the second Result did not write the page")
        check(Page(self.page_path).raw == page.raw, "the second Result wrote another page")
        return page

    def quiz_state(self, screen):
        """What a quiz shows the player: the top line, the question and the answers' colours."""
        image = screen.settled()
        return image.crop(*Quiz.top_line), image.crop(*Quiz.Question), self.colours(screen, image)

    def home(self, screen, confirm):
        before = self.quiz_state(screen)
        screen.click(centre(Quiz.home))
        box = self.display.wait_window("Confirm")
        box.activate()
        if confirm:
            self.display.key("alt+y")
        else:
            # No is the default.
            self.display.key("Return")
        self.display.wait_gone(box)
        if confirm:
            return self.welcome()
        check(screen.window.exists(), "the quiz screen closed on No")
        check(not self.display.find_windows(WELCOME_TITLE), "the welcome screen came back on No")
        wait_until(lambda: self.quiz_state(screen) == before, "the quiz to look as before Home")
        return screen

    def play(self, screen, total, choose, on_answer=lambda chosen, shown: None):
        """Answers every question of a quiz; choose(number) gives (index, by_key), or None to skip.
        Returns the (chosen, right) pairs of the answered questions and the look of the button
        once the last question is answered."""
        answers = []
        next_enabled = screen.settled(Quiz.Nextbtn)
        result_enabled = None
        for number in range(1, total + 1):
            question = screen.grab(Quiz.Question)
            waiting = screen.settled(Quiz.Nextbtn)
            if number == 1:
                check(waiting == next_enabled, "Next is not pressable on the first question")
            else:
                check(waiting != next_enabled, f"Next can be pressed before question {number} is answered")
            choice = choose(number)
            if choice is not None:
                index, by_key = choice
                shown = self.answer(screen, index, by_key)
                answers.append((index, shown))
                on_answer(index, shown)
                if number == 1:
                    # A later click on another answer changes nothing.
                    colours = self.colours(screen)
                    other = next(i for i in range(4) if i not in (index, shown))
                    x, y, _, h = Quiz.Options[other]
                    screen.click((x + 8, y + h // 2))
                    check(self.colours(screen, screen.settled()) == colours,
                          "a second click on the same question changed the colours")
                if number > 1:
                    screen.wait_for(Quiz.Nextbtn, lambda image: image != waiting, "the button to become pressable")
                button = screen.settled(Quiz.Nextbtn)
                if number < total:
                    check(button == next_enabled, f"the button does not read Next after question {number}")
                else:
                    check(button != next_enabled, f"the button still reads Next after the last question {number}")
                    result_enabled = button
            if number < total:
                check(choice is not None or number == 1, "only the first question can be skipped")
                screen.click(centre(Quiz.Nextbtn))
                screen.wait_for(Quiz.Question, lambda image: image != question, f"question {number + 1}")
        return answers, result_enabled

    def run(self):
        program = Program(self.display, self.program_path, self.folder, self.home_dir, self.opener)
        try:
            self._run(program)
        except Exception:
            sys.stderr.write("The program said:\n" + program.messages())
            self.save(self.display.screenshot(), "failure.png")
            raise
        finally:
            program.stop()

    def _run(self, program):
        self.display.park_pointer()
        screen = self.welcome()
        first_look = self.check_welcome_design(screen)
        self.save(first_look, "welcome.png")

        # Previous Results before any quiz: no page, so the desktop is asked nothing (checked
        # below: every later opening is counted).
        screen.click(left_edge(Welcome.About))

        # A count that is not a number, refused when Start is clicked; the text stays.
        self.type_count(screen, "abc")
        start = lambda: screen.click(left_edge(Welcome.Start))
        abc = self.refused(screen, start)
        check(abc != first_look.crop(*Welcome.Text1), "the count box does not show the typed text")
        # The caption on the button starts a quiz as well, and checks the count as well.
        self.refused(screen, lambda: screen.click(centre(Welcome.Label3)), abc)

        # A number over 140, refused when Tab leaves the box and when Return starts; the text stays.
        self.display.key("ctrl+a")
        self.display.type("141")
        over = self.refused(screen, lambda: self.display.key("Tab"))
        check(over != abc, "the count box shows the same for 141 as for abc")
        self.refused(screen, lambda: self.display.key("Return"), over)

        # 2: a quiz of two questions, the first skipped, the second answered with the key 3.
        self.type_count(screen, "2")
        screen.click(left_edge(Welcome.Start))
        quiz = self.quiz()
        check(quiz.size == Quiz.size, f"the quiz screen's client area is {quiz.size}, designed {Quiz.size}")
        look = quiz.settled()
        self.save(look, "quiz-first.png")
        for area, colour, name in ((Quiz.Label2, NAVY, "Question :"), (Quiz.Label4, GREEN, "Correct Ans :"),
                                   (Quiz.Label5, DARK_RED, "Incorrect Ans :")):
            check(look.crop(*area).count_near(colour, 30) >= 5, f"{name!r} is not shown in its colour")
        answers, result_button = self.play(quiz, 2, lambda number: None if number == 1 else (2, True))
        check(len(answers) == 1, "the skipped question was answered")
        self.result(quiz, 2, answers)

        # Home, No: the quiz stays as it was. Home, Yes: a fresh welcome screen.
        quiz = self.home(quiz, confirm=False)
        screen = self.home(quiz, confirm=True)
        screen.wait_for(None, lambda image: image == first_look, "the welcome screen to look as at start")

        # 10, started from the caption on the Start button: answers by mouse and by keys.
        self.type_count(screen, "10")
        screen.click(centre(Welcome.Label3))
        quiz = self.quiz()
        saved = []

        def keep_look(chosen, shown):
            # The documentation shows a wrong answer: red, with the right one in green.
            if not saved and chosen != shown:
                saved.append(quiz.settled())

        # Odd questions by a click, even ones by a key: each answer position both ways, keys 1 to 4.
        played, result_10 = self.play(quiz, 10, lambda number: (((number - 1) // 2) % 4, number % 2 == 0), keep_look)
        check(result_10 == result_button, "the button after the tenth question does not read as after the second")
        self.save(saved[0] if saved else quiz.settled(), "quiz.png")
        page = self.result(quiz, 10, played)

        # Home, Yes; Previous Results opens the page just written.
        screen = self.home(quiz, confirm=True)
        screen.click(centre(Welcome.About2))
        calls = self.opener.wait_calls(self.opened + 1)
        self.opened += 1
        check(os.path.realpath(PageOpener.path_of(calls[-1])) == os.path.realpath(self.page_path),
              "Previous Results opened another page")

        # Exit ends the program at once, without writing anything.
        written = os.path.getmtime(self.page_path)
        screen.click(left_edge(Welcome.Exit))
        status = program.wait_exit()
        check(status == 0, f"the program ended with status {status}")
        check(os.path.getmtime(self.page_path) == written, "Exit wrote the page")
        check(len(self.opener.calls()) == self.opened, f"pages opened: {self.opener.calls()}")

        results = os.path.join(self.artefacts, "results")
        os.makedirs(results, exist_ok=True)
        for name in ("Results.htm", "logo.f"):
            shutil.copy2(os.path.join(self.folder, name), results)
        print(f"Quiz of 10: {page.right} right, {page.wrong} wrong; pages opened: {self.opened}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--bank", required=True)
    parser.add_argument("--desktop-entry", required=True)
    parser.add_argument("--artefacts", required=True)
    args = parser.parse_args()

    # The artefacts of an earlier run are replaced, never mixed with these.
    shutil.rmtree(args.artefacts, ignore_errors=True)
    os.makedirs(args.artefacts)
    work = tempfile.mkdtemp(prefix="tevrin-e2e-")
    try:
        with Display() as display:
            Walkthrough(args, display, work).run()
    except TestFailure as failure:
        traceback.print_exc()
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("The walkthrough passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
