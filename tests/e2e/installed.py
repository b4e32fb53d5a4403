#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed program, started from a folder the player cannot write, in real windows: the
results page goes into the player's data folder (~/.local/share/TevrinQuiz) and is opened from
there, by Result and again by Previous Results; the installed tree is left as it was.

Root writes anywhere whatever the permissions say, so as root the program runs as the user nobody
(setpriv); as any other user the prefix is made read-only instead. Either way the test first
proves that the player really cannot write into the program's folder."""

import argparse
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import traceback

from desktop import Display, TestFailure, check
from quiz_app import QUIZ_TITLE, WELCOME_TITLE, PageOpener, Program, Quiz, Screen, Welcome, centre, left_edge
from results_page import Page, check_page, load_bank


def tree(folder):
    """Every file under folder with its size and modification time."""
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            info = os.lstat(os.path.join(root, name))
            found[os.path.relpath(os.path.join(root, name), folder)] = (info.st_size, info.st_mtime_ns)
    return found


def play(display, opener, bank, user_page):
    welcome = Screen(display, display.wait_window(WELCOME_TITLE))
    welcome.click(centre(Welcome.Text1))
    display.key("ctrl+a")
    display.type("2")
    display.key("Return")
    quiz = Screen(display, display.wait_window(QUIZ_TITLE))
    question = quiz.grab(Quiz.Question)
    quiz.click(centre(Quiz.Nextbtn))
    quiz.wait_change(Quiz.Question, question, "the second question")
    waiting = quiz.settled(Quiz.Nextbtn)
    quiz.click(left_edge(Quiz.Options[0]))
    quiz.wait_change(Quiz.Nextbtn, waiting, "Result to become pressable")
    quiz.click(centre(Quiz.Nextbtn))

    opened = opener.wait_calls(1)[0]
    check(opened == user_page, f"the desktop was asked to open {opened}, not {user_page}")
    page = Page(user_page)
    check(page.rows and page.rows[0]["question"] in bank, "the page does not show a question of the bank")
    # The first answer was chosen; the walkthrough checks the colours, here the page counts.
    check_page(page, bank, [(0, bank[page.rows[0]["question"]][1])], 2)
    with open(os.path.join(os.path.dirname(user_page), "logo.f"), "rb") as f:
        check(f.read(4) == b"GIF8", "no logo beside the page in the player's folder")
    check(not display.find_windows("Error"), "an error was shown")

    quiz.click(centre(Quiz.home))
    display.wait_window("Confirm").activate()
    display.key("alt+y")
    welcome = Screen(display, display.wait_window(WELCOME_TITLE))
    welcome.click(left_edge(Welcome.About))
    check(opener.wait_calls(2)[1] == user_page, "Previous Results opened another page")
    welcome.click(left_edge(Welcome.Exit))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--build", "--bank", "--artefacts"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.artefacts, ignore_errors=True)
    os.makedirs(args.artefacts)
    bank = load_bank(args.bank)

    work = tempfile.mkdtemp(prefix="tevrin-installed-")
    os.chmod(work, 0o755)
    prefix, home, desktop = (os.path.join(work, name) for name in ("prefix", "home", "desktop"))
    subprocess.run(["cmake", "--install", args.build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
    bindir = os.path.join(prefix, "bin")
    os.mkdir(home)
    os.mkdir(desktop)
    user, as_user = None, []
    if os.geteuid() == 0:
        user = pwd.getpwnam("nobody").pw_uid
        as_user = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--"]
        for folder in (home, desktop):
            os.chown(folder, user, user)
        os.environ.pop("XAUTHORITY", None)
    else:
        subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    # The leak checker reads its suppressions at start: the player must be able to read them.
    match = re.search(r"suppressions=([^:]+)", os.environ.get("LSAN_OPTIONS", ""))
    if match and os.path.exists(match.group(1)):
        os.chmod(shutil.copy(match.group(1), work), 0o644)
        os.environ["LSAN_OPTIONS"] = os.environ["LSAN_OPTIONS"].replace(
            match.group(0), "suppressions=" + os.path.join(work, os.path.basename(match.group(1))))

    try:
        probe = os.path.join(bindir, "probe")
        subprocess.run(as_user + ["sh", "-c", 'touch "$1"', "sh", probe], stderr=subprocess.DEVNULL)
        check(not os.path.exists(probe), "the player can write into the installed program's folder")
        installed = tree(prefix)
        opener = PageOpener(desktop)
        with Display() as display:
            program = Program(display, os.path.join(bindir, "TevrinQuiz"), bindir, home, opener, user=user)
            try:
                play(display, opener, bank, os.path.join(home, ".local", "share", "TevrinQuiz", "Results.htm"))
                check(program.wait_exit() == 0, "the program ended with an error status")
            except Exception:
                sys.stderr.write("The program said:\n" + program.messages())
                display.screenshot().save_png(os.path.join(args.artefacts, "failure.png"))
                raise
            finally:
                program.stop()
        check(tree(prefix) == installed, "the installed tree changed")
    except TestFailure as failure:
        traceback.print_exc()
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        subprocess.run(["chmod", "-R", "u+w", work])
        shutil.rmtree(work, ignore_errors=True)
    print("The installed program kept its page in the player's folder.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
