#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A player's road through the real program in real windows, on a private desktop (desktop.py)
# where a listener on the accessibility bus makes the toolkit hand key presses on as a screen
# reader's bridge does. Each control is found by role and accessible name and clicked at its
# centre with xdotool; the answers' colours are read from the screen inside each answer. The
# desktop's page opener is a stand-in xdg-open that notes its file. The steps:
#   1. A count out of range, with Return held in the count box: one message.
#   2. A quiz of 8 started by a double click, whose second click answers nothing.
#   3. Its questions answered by clicks and by the keys 1 to 4, and moved on by Next with an
#      answer clicked right after, by Return on the answer, by Space twice and by Enter held on
#      a focused Next, none of which answers the next question.
#   4. Result twice, the second by Enter held; the page's totals and rows.
#   5. Home with No, then Yes; Previous Results.
#   6. A count started with Return, where more Returns, one held past the key repeat, leave the
#      unanswered question 1 on screen.
#   7. A quiz played at machine pace, 50 ms between clicks: every answer has its row.
#   8. Exit.
#
# Usage: walkthrough.py ARTEFACTS PROGRAM, or ARTEFACTS --install BUILD_DIR: the installed program
# then runs from a prefix the player cannot write (as nobody when run as root), so its page must go
# to the player's data folder. Screenshots and the page are kept in ARTEFACTS.

import os
import pwd
import re
import shutil
import subprocess
import sys
import time

from desktop import Atspi, Desktop, centre, click, controls, find, keys, opened, player_home, run, sanitizer_options, wait

HERE = os.path.dirname(os.path.abspath(__file__))
WELCOME, QUIZ = "Tevrinic Quiz", "Tevrinic Quiz "  # the quiz screen's caption ends with a blank
COUNT = "Number of questions, 2 to 140"


def grab(control, *save):
    """The screen inside the control: RGB bytes, or a picture saved."""
    box = control.get_extents(Atspi.CoordType.SCREEN)
    crop = f"{box.width}x{box.height}+{box.x}+{box.y}"
    return run("import", "-window", "root", "-crop", crop, "+repage", *(save or ("-depth", "8", "rgb:-")))


def settled(part):
    """The screen inside part, once two grabs 0.2 s apart agree: nothing is being redrawn."""
    last, now = None, grab(part)
    while now != last:
        time.sleep(0.2)
        last, now = now, grab(part)
    return now


def colours(answers):
    """Each answer's text: green, red or neither, where more than two pixels lean clearly to it."""
    named = []
    for answer in answers:
        pixels = list(zip(*[iter(grab(answer))] * 3))
        leaning = [sum(p[c] > max(p[:c] + p[c + 1 :]) + 40 for p in pixels) > 2 for c in (0, 1)]
        named.append("green" if leaning[1] else "red" if leaning[0] else "")
    return named


def answer_box(title, text, keys_to_press):
    """Answers the message box once it takes the keys."""
    box = find("label", text) and find("alert", title)
    wait(lambda: box.get_state_set().contains(Atspi.StateType.ACTIVE), f"the {title} box to take the keys")
    keys(keys_to_press)
    wait(lambda: not controls("alert", title), f"the {title} box to close")


def type_count(count):
    click(find("text", COUNT))
    keys("ctrl+a", count)


def refuse_count():
    """Return held in the count box with a count out of range brings one message, which stays."""
    type_count("1")
    run("xdotool", "keydown", "Return")
    find("alert", "Error")
    closed = False
    for _ in range(10):  # the key repeats for a second
        time.sleep(0.1)
        closed = closed or not controls("alert", "Error")
    run("xdotool", "keyup", "Return")
    assert not closed, "a held Return closed the message"
    answer_box("Error", "Please Type Value Between 2 To 140", "Return")


def start_by_double_click():
    """A quiz of 8, started by a double click whose second click lands on answer 3's row."""
    type_count("8")
    x, y = click(find("push button", "Start Quiz"), times=2)
    group = find("panel", "Question 1 of 8: .*", gone=WELCOME).get_extents(Atspi.CoordType.SCREEN)
    # An answer's extents cover its mark and text; the whole row takes the click.
    rows = [abs(centre(answer)[1] - y) for answer in controls("radio button", ".*")]
    assert 0 <= x - group.x < group.width, "the second click missed the answers"
    assert rows.index(min(rows)) == 2, "the second click missed answer 3"
    return find("frame", QUIZ)


def answers_of(number, of=8):
    find("panel", f"Question {number} of {of}: .*")
    return controls("radio button", ".*")


def pick(answers, index, by_key):
    """Picks an answer; returns the colours it brings, which must be one right or one wrong."""
    keys(str(index + 1)) if by_key else click(answers[index])
    marks = wait(lambda: colours(answers)[index] and colours(answers), f"answer {index + 1} to take its colour")
    assert sorted(marks) in (["", "", "", "green"], ["", "", "green", "red"]), f"answer {index + 1}: {marks}"
    return marks


def next_and_click_at_once(number):
    """Next, and 50 ms later a click on the next question's second answer, far from Next: no
    echo, it counts. Returns whether it was right."""
    next_at, second_at = centre(find("push button", "Next")), centre(answers_of(number)[1])
    run("xdotool", "mousemove", *map(str, next_at), "click", "1", "sleep", "0.05")
    run("xdotool", "mousemove", *map(str, second_at), "click", "1", "mousemove", "0", "0")
    return wait(lambda: colours(answers_of(number + 1))[1], "the second answer to take its colour") == "green"


# How each of the 8 questions is answered (its answer (n - 1) % 4 + 1), and how the player then
# moves on; question 6 is answered by the click that comes right after Next.
SPACE_TWICE = ["key", "Tab", "Tab", "space", "sleep", "0.12", "key", "space"]
ROAD = {
    1: ("click", ["click Next"]),
    2: ("click", ["key", "Return"]),
    3: ("click", SPACE_TWICE),
    4: ("click", ["key", "Tab", "Tab", "keydown", "KP_Enter", "sleep", "1.5", "keyup", "KP_Enter"]),
    5: ("key", ["Next, and a click at once"]),
    6: (None, ["key", "Return"]),
    7: ("key", SPACE_TWICE),
    8: ("key", []),
}


def play(quiz):
    """Plays the road; returns how many answers were right."""
    right = 0
    for number, (answer_by, move_on) in ROAD.items():
        answers = answers_of(number)
        index = (number - 1) % 4
        if answer_by:
            settled(quiz)
            assert colours(answers) == [""] * 4, f"question {number} answered before a choice"
            right += pick(answers, index, by_key=answer_by == "key")[index] == "green"
        if move_on == ["click Next"]:
            click(find("push button", "Next"))
        elif move_on == ["Next, and a click at once"]:
            right += next_and_click_at_once(number)
        elif move_on:
            run("xdotool", *move_on)
    return right


def result_twice(home, page, right):
    """Result writes the page anew at every press; Enter held presses once."""
    click(find("push button", "Result"))
    opened(home, page, 1)
    os.remove(page)
    run("xdotool", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
    opened(home, page, 2)
    text = open(page, encoding="cp1252").read()
    rows = re.findall(r"<tr><td width=50%><font[^>]*>(<b>)?", text)
    totals = [int(n) for n in re.findall(r">:(\d+)", text)]
    assert totals == [right, 8 - right, 8], f"the page's totals are {totals}"
    assert (len(rows), rows.count("<b>")) == (8, 8 - right), f"the page's rows and bold rows are {rows}"


def home(yes):
    """No, the default, stays on the quiz; Yes goes back to the welcome screen."""
    click(find("push button", "Home"))
    answer_box("Confirm", "Do you really want to quit current session", "alt+y" if yes else "Return")
    if yes:
        return find("frame", WELCOME, gone=QUIZ)
    assert controls("frame", QUIZ), "No left the quiz"
    assert not controls("frame", WELCOME), "No brought the welcome screen"


def start_by_return():
    """More Returns, one held past the key repeat, keep question 1 as it is."""
    type_count("3")
    keys("Return")
    find("panel", "Question 1 of 3: .*", gone=WELCOME)
    quiz = find("frame", QUIZ)
    first = settled(quiz)
    run("xdotool", "key", "Return", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
    assert settled(quiz) == first, "Return moved on from the unanswered question 1"


def machine_pace(home, page):
    """A quiz of 3 played as fast as a machine clicks: an answer, then Next (last Result), each
    50 ms after the last click. Every answer counts: the page has a row for each."""
    type_count("3")
    click(find("push button", "Start Quiz"))
    answer, next_button = centre(answers_of(1, of=3)[0]), centre(find("push button", "Next"))
    clicks = []
    for at in [answer, next_button] * 3:
        clicks += ["mousemove", *map(str, at), "click", "1", "sleep", "0.05"]
    run("xdotool", *clicks)
    opened(home, page, 4)
    rows = re.findall(r"<tr><td width=50%>", open(page, encoding="cp1252").read())
    assert len(rows) == 3, f"the page has {len(rows)} rows for 3 answers"


def install(build, work):
    """The installed program, in a prefix the player cannot write; the player is nobody when
    run as root, who writes anywhere. Returns the program, its page and the player's command."""
    prefix = work + "/prefix"
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
    player = []
    if os.geteuid() == 0:
        nobody = pwd.getpwnam("nobody")
        os.chown(work, nobody.pw_uid, nobody.pw_gid)
        player = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups"]
    subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    return prefix + "/bin/TevrinQuiz", os.path.join(work, ".local/share/TevrinQuiz/Results.htm"), player


def main(artefacts, program, build=None):
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    work = player_home()
    if build:
        program, page, player = install(build, work)
    else:  # a copy, which writes its page beside itself
        program, page, player = shutil.copy(program, work), os.path.join(work, "Results.htm"), []
    sanitizer_options(work)
    log = open(os.path.join(artefacts, "program.log"), "w+")
    desktop = None
    try:
        desktop = Desktop(work, player)
        desktop.listen()
        program_run = desktop.start(player + [program, "-platform", "xcb"], cwd=work, stdout=log, stderr=log)
        welcome = find("frame", WELCOME)
        desktop_entry = open(HERE + "/../../packaging/tevrinquiz.desktop").read()
        wm_class = re.search(r"^StartupWMClass=(.*)$", desktop_entry, re.M)[1]
        wait(lambda: run("xdotool", "search", "--onlyvisible", "--class", f"^{wm_class}$"), "the StartupWMClass")
        settled(welcome)
        grab(welcome, os.path.join(artefacts, "welcome.png"))
        refuse_count()
        quiz = start_by_double_click()
        right = play(quiz)
        settled(quiz)
        grab(quiz, os.path.join(artefacts, "quiz.png"))
        result_twice(work, page, right)
        # Results.htm and logo.f for the docs' picture of the page.
        shutil.copytree(os.path.dirname(page), artefacts + "/results", ignore=shutil.ignore_patterns("[!Rl]*"))
        home(yes=False)
        home(yes=True)
        click(find("push button", "Previous Results"))  # opens the page again
        opened(work, page, 3)
        start_by_return()
        home(yes=True)
        machine_pace(work, page)
        home(yes=True)
        click(find("push button", "Exit"))  # ends the program with status 0
        wait(lambda: program_run.poll() is not None, "the end")
        assert program_run.returncode == 0, f"Exit's status is {program_run.returncode}"
    except Exception as failure:  # a failed check, or a file the program did not write
        run("import", "-window", "root", os.path.join(artefacts, "failure.png"))
        return open(log.name).read() + f"FAIL: {failure}"
    finally:
        if desktop:
            desktop.stop()
        subprocess.run(["sh", "-c", 'chmod -R u+w "$0" && rm -rf "$0"', work])


if __name__ == "__main__":
    if sys.argv[2] == "--install":
        sys.exit(main(sys.argv[1], None, sys.argv[3]))
    sys.exit(main(sys.argv[1], sys.argv[2]))
