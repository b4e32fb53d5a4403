#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed program, started from a folder the player cannot write, in real windows: the
results page goes into the player's data folder (~/.local/share/TevrinQuiz) and is opened from
there, by Result and again by Previous Results; the installed tree is left as it was.

Root writes anywhere whatever the permissions say, so as root the program runs as the user nobody
(setpriv); as any other user the prefix is made read-only instead. Either way the test first
proves that the player really cannot write into the program's folder."""

import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile

from desktop import Display, check, main
from quiz_app import PageOpener, Program, Welcome, left_edge
from results_page import load_bank
from walkthrough import Walkthrough


def tree(folder):
    """Every file under folder with its size and modification time."""
    paths = [os.path.join(root, name) for root, _, files in os.walk(folder) for name in files]
    return {path: (info.st_size, info.st_mtime_ns) for path in paths for info in [os.lstat(path)]}


def play(walk, program):
    """A quiz of 2 started by Return, the first question skipped; Result, Home, Previous Results, Exit."""
    walk.display.move_pointer(0, 0)
    screen = walk.welcome()
    walk.type_count(screen, "2")
    walk.display.key("Return")
    quiz = walk.quiz()
    answers, _ = walk.play(quiz, 2, lambda number: None if number == 1 else (0, False))
    walk.result(quiz, 2, answers)
    check(not walk.display.find_windows("Error"), "an error was shown")
    screen = walk.home(quiz, confirm=True)
    walk.previous_results(screen)
    screen.click(left_edge(Welcome.Exit))
    check(program.wait_exit() == 0, "the program ended with an error status")


def installed(args):
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
        copy = shutil.copy(match.group(1), work)
        os.chmod(copy, 0o644)
        os.environ["LSAN_OPTIONS"] = os.environ["LSAN_OPTIONS"].replace(match.group(0), "suppressions=" + copy)

    try:
        probe = os.path.join(bindir, "probe")
        subprocess.run(as_user + ["sh", "-c", 'touch "$1"', "sh", probe], stderr=subprocess.DEVNULL)
        check(not os.path.exists(probe), "the player can write into the installed program's folder")
        installed = tree(prefix)
        with Display() as display:
            walk = Walkthrough(display, bank, args.artefacts, PageOpener(desktop),
                               os.path.join(home, ".local", "share", "TevrinQuiz", "Results.htm"))
            program = Program(display, os.path.join(bindir, "TevrinQuiz"), bindir, home, walk.opener, user=user)
            program.watch(args.artefacts, lambda: play(walk, program))
        check(tree(prefix) == installed, "the installed tree changed")
    finally:
        subprocess.run(["chmod", "-R", "u+w", work])
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    passed = "The installed program kept its page in the player's folder."
    sys.exit(main(__doc__, ("--build", "--bank"), installed, passed))
