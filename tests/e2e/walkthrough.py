#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A player's road through the real program in real windows (Xvfb with openbox), driven with
# xdotool and read back with ImageMagick's import: a quiz of 8 started by a double click, answered
# by clicks and by the keys 1 to 4, and moved on by Next, by Return on the answer, by Space twice
# and by Enter held on a focused Next, none of which answers the next question; Result twice, the
# second by Enter held; Home with No, then Yes; Previous Results; a count started with Return, where
# more Returns, held past the key repeat, leave the unanswered question 1 on screen; Exit. The
# desktop's page opener is a stand-in xdg-open that notes its file.
#
# Usage: walkthrough.py ARTEFACTS PROGRAM, or ARTEFACTS --install BUILD_DIR: the installed program
# then runs from a prefix the player cannot write (as nobody when run as root), so its page must go
# to the player's data folder. Screenshots and the page are kept in ARTEFACTS.

import os, pwd, re, shutil, subprocess, sys, tempfile, time  # fmt: skip

# The quiz screen's caption ends with a blank.
HERE, WELCOME, QUIZ = os.path.dirname(os.path.abspath(__file__)), "Tevrinic Quiz", "Tevrinic Quiz "
# Where the controls are in the windows' client areas, in pixels at 96 dpi.
TEXT1, START, ABOUT, EXIT, NEXT, HOME = (454, 168), (376, 204), (376, 227), (376, 250), (429, 245), (338, 245)
QUESTION, ANSWER_TOPS = "454x34+14+35", (0, 35, 69, 104)  # answers: 27 rows each from y 82, text from x 27
ENV = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_", "XAUTH"))}


def wait(predicate, what, tries=300):
    while not (value := predicate()) and (tries := tries - 1):
        time.sleep(0.1)
    assert value, "gave up waiting for " + what
    return value


def run(*args):
    return subprocess.run(args, env=ENV, capture_output=True, timeout=30).stdout


def windows(title):
    return run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()


def shown(title, gone):
    # The one window titled title, once the screen left behind has closed.
    return wait(lambda: not windows(gone) and len(windows(title)) == 1 and windows(title)[0], f"{title!r} alone")


def click(wid, point, *keys):  # then types the keys, if any
    run("xdotool", "mousemove", "--window", wid, *map(str, point), "click", "1", "mousemove", "0", "0")
    run("xdotool", "key", *keys) if keys else None


def grab(wid, crop="483x265+0+0"):
    return run("import", "-window", wid, "-crop", crop, "-depth", "8", "rgb:-")


def settled(wid):  # the window once two grabs 0.2 s apart agree: nothing is being redrawn
    frames = [grab(wid)]
    return wait(lambda: time.sleep(0.2) or frames.append(grab(wid)) or frames[-1] == frames[-2] and frames[-1], "calm")


def colours(wid):  # each answer's text: green, red or neither
    answers = [list(zip(*[iter(grab(wid, f"449x27+27+{82 + top}"))] * 3)) for top in ANSWER_TOPS]
    tint = lambda pixels, c: sum(p[c] > max(p[:c] + p[c + 1 :]) + 40 for p in pixels) > 2
    return ["green" if tint(p, 1) else "red" if tint(p, 0) else "" for p in answers]


def opened(home, page, count):  # the stand-in xdg-open asked for the page count times, and nothing else
    calls = lambda: run("cat", os.path.join(home, "opened.log")).decode().split()
    wait(lambda: calls() == ["file://" + page] * count, f"the desktop to be asked {count} times for {page}")


def home(wid, yes):
    click(wid, HOME)
    box = wait(lambda: windows("Confirm"), "the Home confirmation")[0]
    run("xdotool", "windowactivate", "--sync", box, "key", "alt+y" if yes else "Return")  # No is the default
    wait(lambda: not windows("Confirm"), "the confirmation to close")
    assert yes or windows(QUIZ) == [wid] and not windows(WELCOME), "No left the quiz"
    return yes and shown(WELCOME, QUIZ)


def main(artefacts, program, install=None):
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    work = tempfile.mkdtemp(prefix="tevrin-e2e-")  # the player's home too
    if install:
        prefix = work + "/prefix"
        subprocess.run(["cmake", "--install", install, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        command, page = [prefix + "/bin/TevrinQuiz"], os.path.join(work, ".local/share/TevrinQuiz/Results.htm")
        if os.geteuid() == 0:  # root writes anywhere
            nobody = pwd.getpwnam("nobody")
            os.chown(work, nobody.pw_uid, nobody.pw_gid)
            command = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups"] + command
        subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    else:  # a copy, which writes its page beside itself
        command, page = [shutil.copy(program, work)], os.path.join(work, "Results.htm")
    with open(os.open(os.path.join(work, "xdg-open"), os.O_CREAT | os.O_WRONLY, 0o755), "w") as stub:
        stub.write('#!/bin/sh\necho "$1" >> "$HOME/opened.log"\n')
    if "ASAN_OPTIONS" in ENV:  # Qt's X connection runs through libraries not ours; copies the player can read
        ENV["ASAN_OPTIONS"] += ":suppressions=" + os.path.join(HERE, "asan.supp")
        for var in ("ASAN_OPTIONS", "LSAN_OPTIONS"):
            ENV[var] = re.sub(r"(?<=\bsuppressions=)[^:]+", lambda m: shutil.copy(m[0], work), ENV.get(var, ""))
    procs = [subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24", "-dpi", "96", "-nolisten",
                               "tcp", "-ac"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)]
    ENV.update(DISPLAY=":" + procs[0].stdout.readline().strip(), HOME=work, PATH=work + os.pathsep + ENV["PATH"])
    procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=ENV, stderr=subprocess.DEVNULL))
    log = open(os.path.join(artefacts, "program.log"), "w+")
    try:
        wait(lambda: b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "the window manager")
        procs.append(subprocess.Popen(command + ["-platform", "xcb"], cwd=work, env=ENV, stdout=log, stderr=log))
        welcome = shown(WELCOME, QUIZ)
        wm_class = re.search(r"^StartupWMClass=(.*)$", open(HERE + "/../../packaging/tevrinquiz.desktop").read(), re.M)
        assert f'"{wm_class[1]}"' in run("xprop", "-id", welcome, "WM_CLASS").decode(), "the entry's StartupWMClass"
        settled(welcome)
        run("import", "-window", welcome, os.path.join(artefacts, "welcome.png"))
        click(welcome, TEXT1, "ctrl+a", "8")
        # A double click: its second click lands on the new quiz screen, on the third answer.
        run("xdotool", "mousemove", "--window", welcome, *map(str, START), "click", "--repeat", "2", "--delay", "250", "1")
        quiz, right = shown(QUIZ, WELCOME), 0
        # Answers by click, then by the keys 1 to 4; on by Next, Return, Space twice, Enter held in turn.
        moves = (["key", "Return"], ["key", "Tab", "Tab", "space", "sleep", "0.12", "key", "space"],
                 ["key", "Tab", "Tab", "keydown", "KP_Enter", "sleep", "1.5", "keyup", "KP_Enter"])  # fmt: skip
        for number, index in enumerate((0, 1, 2, 3) * 2):
            assert colours(settled(quiz) and quiz) == [""] * 4, "an answer is coloured before it is chosen"
            run("xdotool", "key", str(index + 1)) if number >= 4 else click(quiz, (14, 95 + ANSWER_TOPS[index]))
            marks = wait(lambda: colours(quiz)[index] and colours(quiz), f"answer {index + 1} to take its colour")
            assert sorted(marks) in (["", "", "", "green"], ["", "", "green", "red"]), f"answer {index + 1}: {marks}"
            right += marks[index] == "green"
            if number < 7:
                question = grab(quiz, QUESTION)
                run("xdotool", *moves[number % 4 - 1]) if number % 4 else click(quiz, NEXT)
                wait(lambda: grab(quiz, QUESTION) != question, f"question {number + 2}")
        settled(quiz)
        run("import", "-window", quiz, os.path.join(artefacts, "quiz.png"))
        for press in (1, 2):  # Result writes the page anew at every press; Enter held on it presses once
            os.remove(page) if press == 2 else None
            run("xdotool", "keydown", "Return", "sleep", "1.5", "keyup", "Return") if press == 2 else click(quiz, NEXT)
            opened(work, page, press)
        rows = re.findall(r"<tr><td width=50%><font[^>]*>(<b>)?", text := open(page, encoding="cp1252").read())
        counts = [int(n) for n in re.findall(r">:(\d+)", text)] + [len(rows), rows.count("<b>")]
        assert counts == [right, 8 - right, 8, 8, 8 - right], f"the page's totals, rows and bold rows are {counts}"
        # Results.htm and logo.f for the docs' picture of the page.
        shutil.copytree(os.path.dirname(page), artefacts + "/results", ignore=shutil.ignore_patterns("[!Rl]*"))
        home(quiz, yes=False)
        click(welcome := home(quiz, yes=True), ABOUT)
        opened(work, page, 3)
        # A count started with Return; more Returns, one held past the key repeat, keep question 1.
        click(welcome, TEXT1, "ctrl+a", "3", "Return")
        first = settled(quiz := shown(QUIZ, WELCOME))
        run("xdotool", "key", "Return", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
        assert settled(quiz) == first, "Return moved on from the unanswered question 1"
        click(home(quiz, yes=True), EXIT)
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
