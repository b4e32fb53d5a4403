#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A player's road through the real program in real windows (Xvfb with openbox). Each control is
# found as a screen reader finds it, by role and accessible name over AT-SPI (a private D-Bus
# session, whose accessibility bus the toolkit's bridge joins), and clicked at its centre with
# xdotool; the answers' colours are read from the screen inside each answer. The steps: a refused
# count; a quiz of 8 started by a double click, answered by clicks and by the keys 1 to 4, and moved
# on by Next, by Return on the answer, by Space twice and by Enter held on a focused Next, none of
# which answers the next question; Result twice, the second by Enter held; Home with No, then Yes;
# Previous Results; a count started with Return, where more Returns, held past the key repeat,
# leave the unanswered question 1 on screen; Exit. The desktop's page opener is a stand-in
# xdg-open that notes its file.
#
# Usage: walkthrough.py ARTEFACTS PROGRAM, or ARTEFACTS --install BUILD_DIR: the installed program
# then runs from a prefix the player cannot write (as nobody when run as root), so its page must go
# to the player's data folder. Screenshots and the page are kept in ARTEFACTS.

import os, pwd, re, shutil, subprocess, sys, tempfile, time  # fmt: skip

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The quiz screen's caption ends with a blank.
HERE, WELCOME, QUIZ = os.path.dirname(os.path.abspath(__file__)), "Tevrinic Quiz", "Tevrinic Quiz "
COUNT, SCREEN = "Number of questions, 2 to 140", Atspi.CoordType.SCREEN
# None of the desktop's own settings or buses: the accessibility bus, for one, is the run's own.
ENV = {k: v for k, v in os.environ.items()
       if not k.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_", "XAUTH", "DBUS_", "AT_SPI_"))}  # fmt: skip


def wait(predicate, what, tries=300):
    while not (value := predicate()) and (tries := tries - 1):
        time.sleep(0.1)
    assert value, "gave up waiting for " + what
    return value


def run(*args):
    return subprocess.run(args, env=ENV, capture_output=True, timeout=30).stdout


def controls(role, name):  # the program's showing controls of that role whose name matches
    # A control that goes away while being read is missing (None) or fails.
    tree = lambda n: n and [n] + [c for i in range(n.get_child_count()) for c in tree(n.get_child_at_index(i))] or []
    try:
        return [c for c in tree(Atspi.get_desktop(0)) if c.get_role_name() == role and re.fullmatch(name, c.get_name())
                and c.get_state_set().contains(Atspi.StateType.SHOWING)]  # fmt: skip
    except GLib.Error:
        return []


def find(role, name, gone=None):  # the one such control, once the screen titled gone has closed
    found = lambda: not (gone and controls("frame", gone)) and controls(role, name)
    return wait(lambda: len(now := found() or []) == 1 and now[0], f"one {role} {name!r}")


def click(control, *keys, times="1"):  # at its centre, then away (no hover in the pictures); then the keys
    point = (b := control.get_extents(SCREEN)).x + b.width // 2, b.y + b.height // 2
    run("xdotool", "mousemove", *map(str, point), "click", "--repeat", times, "--delay", "250", "1", "mousemove", "0",
        "0", *(["key", *keys] if keys else []))  # fmt: skip
    return point


def grab(control, *save):  # the screen inside the control: RGB bytes, or a picture saved
    crop = f"{(b := control.get_extents(SCREEN)).width}x{b.height}+{b.x}+{b.y}"
    return run("import", "-window", "root", "-crop", crop, "+repage", *(save or ("-depth", "8", "rgb:-")))


def settled(part):  # once two grabs 0.2 s apart agree: nothing is being redrawn
    frames = [grab(part)]
    return wait(lambda: time.sleep(0.2) or frames.append(grab(part)) or frames[-1] == frames[-2] and frames[-1], "calm")


def colours(answers):  # each answer's text: green, red or neither
    tint = lambda rgb, c: sum(p[c] > max(p[:c] + p[c + 1 :]) + 40 for p in zip(*[iter(rgb)] * 3)) > 2
    return ["green" if tint(rgb := grab(answer), 1) else "red" if tint(rgb, 0) else "" for answer in answers]


def opened(home, page, count):  # the stand-in xdg-open asked for the page count times, and nothing else
    calls = lambda: run("cat", os.path.join(home, "opened.log")).decode().split()
    wait(lambda: calls() == ["file://" + page] * count, f"the desktop to be asked {count} times for {page}")


def answer_box(title, text, keys):  # once the box has the keys
    box = find("label", text) and find("alert", title)
    wait(lambda: box.get_state_set().contains(Atspi.StateType.ACTIVE), f"the {title} box to take the keys")
    run("xdotool", "key", keys)
    wait(lambda: not controls("alert", title), f"the {title} box to close")


def refuse_count():  # a count out of range brings a message, and the welcome screen stays for the next step
    click(find("text", COUNT), "ctrl+a", "1")
    click(find("push button", "Start Quiz"))
    answer_box("Error", "Please Type Value Between 2 To 140", "Return")


def start_by_double_click():  # whose second click lands on the new quiz screen, on answer 3's row
    click(find("text", COUNT), "ctrl+a", "8")
    x, y = click(find("push button", "Start Quiz"), times="2")
    group = find("panel", "Question 1 of 8: .*", gone=WELCOME).get_extents(SCREEN)
    # An answer's extents cover its mark and text; the whole row takes the click.
    rows = [abs((b := answer.get_extents(SCREEN)).y + b.height // 2 - y) for answer in controls("radio button", ".*")]
    assert 0 <= x - group.x < group.width and rows.index(min(rows)) == 2, "the second click missed answer 3"
    return find("frame", QUIZ)


def play(quiz):  # answers 1 to 4 by click, then by key; on by Next, Return, Space twice, Enter held on Next
    moves = (["key", "Return"], ["key", "Tab", "Tab", "space", "sleep", "0.12", "key", "space"],
             ["key", "Tab", "Tab", "keydown", "KP_Enter", "sleep", "1.5", "keyup", "KP_Enter"])  # fmt: skip
    right = 0
    for number, index in enumerate((0, 1, 2, 3) * 2):
        answers = find("panel", f"Question {number + 1} of 8: .*") and controls("radio button", ".*")
        assert colours(settled(quiz) and answers) == [""] * 4, f"question {number + 1} answered before a choice"
        run("xdotool", "key", str(index + 1)) if number >= 4 else click(answers[index])
        marks = wait(lambda: colours(answers)[index] and colours(answers), f"answer {index + 1} to take its colour")
        assert sorted(marks) in (["", "", "", "green"], ["", "", "green", "red"]), f"answer {index + 1}: {marks}"
        right += marks[index] == "green"
        if number < 7:
            run("xdotool", *moves[number % 4 - 1]) if number % 4 else click(find("push button", "Next"))
    return right


def result_twice(work, page, right):  # Result writes the page anew at every press; Enter held presses once
    click(find("push button", "Result"))
    opened(work, page, 1)
    os.remove(page)
    run("xdotool", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
    opened(work, page, 2)
    rows = re.findall(r"<tr><td width=50%><font[^>]*>(<b>)?", text := open(page, encoding="cp1252").read())
    counts = [int(n) for n in re.findall(r">:(\d+)", text)] + [len(rows), rows.count("<b>")]
    assert counts == [right, 8 - right, 8, 8, 8 - right], f"the page's totals, rows and bold rows are {counts}"


def home(yes):  # No, the default, stays on the quiz; Yes goes back to the welcome screen
    click(find("push button", "Home"))
    answer_box("Confirm", "Do you really want to quit current session", "alt+y" if yes else "Return")
    assert yes or controls("frame", QUIZ) and not controls("frame", WELCOME), "No left the quiz"
    yes and find("frame", WELCOME, gone=QUIZ)


def start_by_return():  # more Returns, one held past the key repeat, keep question 1
    click(find("text", COUNT), "ctrl+a", "3", "Return")
    first = find("panel", "Question 1 of 3: .*", gone=WELCOME) and settled(quiz := find("frame", QUIZ))
    run("xdotool", "key", "Return", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
    assert settled(quiz) == first, "Return moved on from the unanswered question 1"


def main(artefacts, program, install=None):
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    work, player = tempfile.mkdtemp(prefix="tevrin-e2e-"), []  # the player's home too
    if install:
        prefix = work + "/prefix"
        subprocess.run(["cmake", "--install", install, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        program, page = prefix + "/bin/TevrinQuiz", os.path.join(work, ".local/share/TevrinQuiz/Results.htm")
        if os.geteuid() == 0:  # root writes anywhere
            nobody = pwd.getpwnam("nobody")
            os.chown(work, nobody.pw_uid, nobody.pw_gid)
            player = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups"]
        subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    else:  # a copy, which writes its page beside itself
        program, page = shutil.copy(program, work), os.path.join(work, "Results.htm")
    with open(os.open(os.path.join(work, "xdg-open"), os.O_CREAT | os.O_WRONLY, 0o755), "w") as stub:
        stub.write('#!/bin/sh\necho "$1" >> "$HOME/opened.log"\n')
    if "ASAN_OPTIONS" in ENV:  # Qt's X connection runs through libraries not ours; copies the player can read
        ENV["ASAN_OPTIONS"] += ":suppressions=" + os.path.join(HERE, "asan.supp")
        for var in ("ASAN_OPTIONS", "LSAN_OPTIONS"):
            ENV[var] = re.sub(r"(?<=\bsuppressions=)[^:]+", lambda m: shutil.copy(m[0], work), ENV.get(var, ""))
    log = open(os.path.join(artefacts, "program.log"), "w+")
    procs = [subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-dpi", "96", "-nolisten",
                               "tcp", "-ac"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)]
    try:
        ENV.update(DISPLAY=":" + procs[0].stdout.readline().strip(), HOME=work, PATH=work + os.pathsep + ENV["PATH"])
        # The player's session bus. Asked for it, the bus launcher starts the accessibility bus, which the toolkit's
        # bridge joins (whatever the desktop's settings say) and so does this script, as a screen reader would.
        procs.append(subprocess.Popen(player + ["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=ENV,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True))  # fmt: skip
        ENV.update(DBUS_SESSION_BUS_ADDRESS=procs[-1].stdout.readline().strip(), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        ask = ["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply=literal", "/org/a11y/bus",
               "org.a11y.Bus.GetAddress"]  # fmt: skip
        os.environ["AT_SPI_BUS_ADDRESS"] = wait(lambda: run(*player, *ask).decode().strip(), "the accessibility bus")
        Atspi.get_desktop(0).set_cache_mask(Atspi.Cache.NONE)  # names and states as they are now, not as they were
        procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=ENV, stderr=subprocess.DEVNULL))
        wait(lambda: b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "the window manager")
        procs.append(subprocess.Popen(player + [program, "-platform", "xcb"], cwd=work, env=ENV, stdout=log,
                                      stderr=log))  # fmt: skip
        welcome = find("frame", WELCOME)
        wm_class = re.search(r"^StartupWMClass=(.*)$", open(HERE + "/../../packaging/tevrinquiz.desktop").read(), re.M)
        wait(lambda: run("xdotool", "search", "--onlyvisible", "--class", f"^{wm_class[1]}$"), "the StartupWMClass")
        grab(welcome, os.path.join(artefacts, "welcome.png")) if settled(welcome) else None
        refuse_count()
        right = play(quiz := start_by_double_click())
        grab(quiz, os.path.join(artefacts, "quiz.png")) if settled(quiz) else None
        result_twice(work, page, right)
        # Results.htm and logo.f for the docs' picture of the page.
        shutil.copytree(os.path.dirname(page), artefacts + "/results", ignore=shutil.ignore_patterns("[!Rl]*"))
        home(yes=False)
        home(yes=True)
        click(find("push button", "Previous Results"))  # opens the page again
        opened(work, page, 3)
        start_by_return()
        home(yes=True)
        click(find("push button", "Exit"))  # ends the program with status 0
        assert wait(lambda: procs[-1].poll() is not None, "the end") and procs[-1].returncode == 0, "Exit's status"
    except Exception as failure:  # a failed check, or a file the program did not write
        run("import", "-window", "root", os.path.join(artefacts, "failure.png"))
        return open(log.name).read() + f"FAIL: {failure}"
    finally:
        for proc in reversed(procs):
            proc.kill()
            proc.wait()
        subprocess.run(["sh", "-c", 'chmod -R u+w "$0" && rm -rf "$0"', work])


sys.exit(main(sys.argv[1], *sys.argv[2:] if sys.argv[2] != "--install" else (None, sys.argv[3])))
