#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed program, started from a folder the player cannot write, in real windows.

The build is installed into a temporary prefix. A player cannot write there, so the results
page goes into the player's data folder (~/.local/share/TevrinQuiz) and is opened from there,
by Result and again by Previous Results; the installed tree is left as it was.

Tests run as root, and root writes anywhere whatever the permissions say. So as root the program
runs as the unprivileged user nobody (setpriv), with a HOME of its own; as any other user the
prefix is made read-only instead. Either way the test first proves that the player really
cannot write into the program's folder.
"""

import argparse
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import traceback

from desktop import Display, TestFailure, check, wait_until
from quiz_app import QUIZ_TITLE, WELCOME_TITLE, PageOpener, Program, Quiz, Screen, Welcome, centre, left_edge
from results_page import Page, check_page, load_bank


def tree(folder):
    """Every file under folder with its size and modification time."""
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            found[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return found


def readable_sanitizer_options(env, work):
    """The leak checker reads its suppressions at start; the player must be able to read them."""
    options = env.get("LSAN_OPTIONS", "")
    match = re.search(r"suppressions=([^:]+)", options)
    if not match or not os.path.exists(match.group(1)):
        return
    copy = os.path.join(work, "lsan.supp")
    shutil.copy(match.group(1), copy)
    os.chmod(copy, 0o644)
    env["LSAN_OPTIONS"] = options.replace(match.group(0), "suppressions=" + copy)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--bank", required=True)
    parser.add_argument("--artefacts", required=True)
    args = parser.parse_args()
    shutil.rmtree(args.artefacts, ignore_errors=True)
    os.makedirs(args.artefacts)
    bank = load_bank(args.bank)

    work = tempfile.mkdtemp(prefix="tevrin-installed-")
    os.chmod(work, 0o755)
    prefix = os.path.join(work, "prefix")
    subprocess.run(["cmake", "--install", args.build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
    bindir = os.path.join(prefix, "bin")
    program_path = os.path.join(bindir, "TevrinQuiz")
    home = os.path.join(work, "home")
    desktop = os.path.join(work, "desktop")
    os.mkdir(home)
    os.mkdir(desktop)

    user = None
    if os.geteuid() == 0:
        user = pwd.getpwnam("nobody").pw_uid
        for folder in (home, desktop):
            os.chown(folder, user, user)
        os.environ.pop("XAUTHORITY", None)
    else:
        subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    readable_sanitizer_options(os.environ, work)

    try:
        probe = os.path.join(bindir, "probe")
        command = ["sh", "-c", 'touch "$1"', "sh", probe]
        if user is not None:
            command = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--"] + command
        subprocess.run(command, stderr=subprocess.DEVNULL)
        check(not os.path.exists(probe), "the player can write into the installed program's folder")

        installed = tree(prefix)
        opener = PageOpener(desktop)
        user_page = os.path.join(home, ".local", "share", "TevrinQuiz", "Results.htm")
        with Display() as display:
            program = Program(display, program_path, bindir, home, opener, user=user)
            try:
                welcome = Screen(display, display.wait_window(WELCOME_TITLE))
                welcome.click(centre(Welcome.Text1))
                display.key("ctrl+a")
                display.type("2")
                display.key("Return")
                quiz = Screen(display, display.wait_window(QUIZ_TITLE))
                question = quiz.grab(Quiz.Question)
                quiz.click(centre(Quiz.Nextbtn))
                quiz.wait_for(Quiz.Question, lambda image: image != question, "the second question")
                waiting = quiz.settled(Quiz.Nextbtn)
                x, y, _, h = Quiz.Options[0]
                quiz.click((x + 8, y + h // 2))
                quiz.wait_for(Quiz.Nextbtn, lambda image: image != waiting, "Result to become pressable")
                quiz.click(centre(Quiz.Nextbtn))

                calls = opener.wait_calls(1)
                opened = PageOpener.path_of(calls[0])
                check(opened == user_page, f"the desktop was asked to open {opened}, not {user_page}")
                page = Page(user_page)
                check(page.taken == 2 and len(page.rows) == 1, "the page is not that of the quiz just taken")
                asked = page.rows[0]["question"]
                check(asked in bank, f"the page asks {asked!r}, which is not in the bank")
                # The first answer was chosen; the walkthrough checks the colours, here the page counts.
                check_page(page, bank, [(0, bank[asked][1])], 2)
                with open(os.path.join(os.path.dirname(user_page), "logo.f"), "rb") as f:
                    check(f.read(4) == b"GIF8", "no logo beside the page in the player's folder")
                check(not display.find_windows("Error"), "an error was shown")

                quiz.click(centre(Quiz.home))
                box = display.wait_window("Confirm")
                box.activate()
                display.key("alt+y")
                welcome = Screen(display, display.wait_window(WELCOME_TITLE))
                welcome.click(left_edge(Welcome.About))
                calls = opener.wait_calls(2)
                check(PageOpener.path_of(calls[1]) == user_page, "Previous Results opened another page")

                welcome.click(left_edge(Welcome.Exit))
                status = program.wait_exit()
                check(status == 0, f"the program ended with status {status}")
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
