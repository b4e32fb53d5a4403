#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A player's road through the real program in real windows (Xvfb with openbox), driven with
# xdotool and read back with ImageMagick's import: a quiz of 8 answered by clicks and by the keys
# 1 to 4 and moved on by Next and by Return; Result twice; Home with No, then Yes; Previous Results;
# a count started with Return, where more Returns, held past the key repeat, leave the unanswered
# question 1 on screen; Exit. The desktop's page opener is a stand-in xdg-open that notes its file.
#
# Usage: walkthrough.py ARTEFACTS PROGRAM, or ARTEFACTS --install BUILD_DIR: the installed program
# then runs from a prefix the player cannot write (as nobody when run as root), so its page must go
# to the player's data folder. Screenshots and the page are kept in ARTEFACTS.

import os, pwd, re, shutil, subprocess, sys, tempfile, time  # fmt: skip

HERE = os.path.dirname(os.path.abspath(__file__))
WELCOME, QUIZ = "Tevrinic Quiz", "Tevrinic Quiz "  # the quiz screen's caption ends with a blank
# Where the controls are in the windows' client areas, in pixels at 96 dpi.
TEXT1, START, ABOUT, EXIT, NEXT, HOME = (454, 168), (376, 204), (376, 227), (376, 250), (429, 245), (338, 245)
QUESTION, ANSWER_TOPS = "454x34+14+35", (0, 35, 69, 104)  # answers: 27 rows each from y 82, text from x 27
ENV = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "KDE_", "GNOME_", "DESKTOP_", "XAUTH"))}


def wait(predicate, what):
    deadline = time.monotonic() + 30
    while not (value := predicate()):
        assert time.monotonic() < deadline, "gave up waiting for " + what
        time.sleep(0.1)
    return value


def run(*args):
    return subprocess.run(args, env=ENV, capture_output=True, timeout=30).stdout


def windows(title):
    return run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()


def shown(title, gone):
    # The one window titled title, once the screen left behind has closed.
    return wait(lambda: not windows(gone) and len(windows(title)) == 1 and windows(title)[0], f"{title!r} alone")


def click(wid, point):
    run("xdotool", "mousemove", "--window", wid, *map(str, point), "click", "1", "mousemove", "0", "0")


def grab(wid, crop="483x265+0+0"):
    return run("import", "-window", wid, "-crop", crop, "-depth", "8", "rgb:-")


def settled(wid):  # the window once two grabs 0.2 s apart agree: nothing is being redrawn
    frames = [grab(wid)]
    return wait(lambda: time.sleep(0.2) or frames.append(grab(wid)) or frames[-1] == frames[-2] and frames[-1], "calm")


def colours(wid):  # each answer's text: green, red or neither
    band = grab(wid, "449x131+27+82")
    answers = [list(zip(*[iter(band[top * 449 * 3 : (top + 27) * 449 * 3])] * 3)) for top in ANSWER_TOPS]
    tint = lambda pixels, c: sum(p[c] > max(p[:c] + p[c + 1 :]) + 40 for p in pixels) > 2
    return ["green" if tint(p, 1) else "red" if tint(p, 0) else "" for p in answers]


def answer(wid, index, by_key):
    # Chooses an answer; True when the screen marks it right.
    assert colours(wid) == [""] * 4, "an answer is coloured before it is chosen"
    run("xdotool", "key", str(index + 1)) if by_key else click(wid, (14, 95 + ANSWER_TOPS[index]))
    marks = wait(lambda: colours(wid)[index] and colours(wid), f"answer {index + 1} to take its colour")
    assert sorted(marks) in (["", "", "", "green"], ["", "", "green", "red"]), f"answer {index + 1} chosen: {marks}"
    return marks[index] == "green"


def opened(home, page, count):
    log = os.path.join(home, "opened.log")
    calls = wait(lambda: os.path.exists(log) and len(open(log).read().split()) >= count and open(log).read().split(),
                 f"page opening {count}")
    assert calls == ["file://" + page] * count, f"the desktop was asked to open {calls}, not {count} times {page}"


def home(wid, yes):
    click(wid, HOME)
    box = wait(lambda: windows("Confirm"), "the Home confirmation")[0]
    run("xdotool", "windowactivate", "--sync", box, "key", "alt+y" if yes else "Return")  # No is the default
    wait(lambda: not windows("Confirm"), "the confirmation to close")
    assert yes or windows(QUIZ) == [wid] and not windows(WELCOME), "No left the quiz"
    return yes and shown(WELCOME, QUIZ)


def road(program, home_dir, page, artefacts):
    welcome = shown(WELCOME, QUIZ)
    wm_class = re.search(r"^StartupWMClass=(.*)$", open(HERE + "/../../packaging/tevrinquiz.desktop").read(), re.M)
    assert f'"{wm_class[1]}"' in run("xprop", "-id", welcome, "WM_CLASS").decode(), "the entry's StartupWMClass"
    settled(welcome)
    run("import", "-window", welcome, os.path.join(artefacts, "welcome.png"))
    click(welcome, TEXT1)
    run("xdotool", "key", "ctrl+a", "8")
    click(welcome, START)
    quiz, right = shown(QUIZ, WELCOME), 0
    for number in range(8):  # by click, then by the keys 1 to 4; on by Next and by Return in turn
        right += answer(quiz, number % 4, number >= 4)
        question = grab(quiz, QUESTION)
        if number < 7:
            run("xdotool", "key", "Return") if number % 2 else click(quiz, NEXT)
            wait(lambda: grab(quiz, QUESTION) != question, f"question {number + 2}")
    settled(quiz)
    run("import", "-window", quiz, os.path.join(artefacts, "quiz.png"))
    for press in (1, 2):  # Result writes the page anew at every press
        os.remove(page) if press == 2 else None
        click(quiz, NEXT)
        opened(home_dir, page, press)
    text = open(page, encoding="cp1252").read()
    rows = re.findall(r"<tr><td width=50%><font[^>]*>(<b>)?", text)
    counts = [int(n) for n in re.findall(r">:(\d+)", text)] + [len(rows), rows.count("<b>")]
    assert counts == [right, 8 - right, 8, 8, 8 - right], f"the page's totals, rows and bold rows are {counts}"
    # Results.htm and logo.f for the docs' picture of the page.
    shutil.copytree(os.path.dirname(page), artefacts + "/results", ignore=shutil.ignore_patterns("[!Rl]*"))
    home(quiz, yes=False)
    click(welcome := home(quiz, yes=True), ABOUT)
    opened(home_dir, page, 3)

    click(welcome, TEXT1)
    run("xdotool", "key", "ctrl+a", "3", "Return")
    first = settled(quiz := shown(QUIZ, WELCOME))
    run("xdotool", "key", "Return", "keydown", "Return", "sleep", "1.5", "keyup", "Return")
    assert settled(quiz) == first, "Return moved on from the unanswered question 1"
    click(home(quiz, yes=True), EXIT)
    assert wait(lambda: program.poll() is not None, "the end") and program.returncode == 0, "Exit's status"


def main(artefacts, program, install=None):
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    work = tempfile.mkdtemp(prefix="tevrin-e2e-")
    os.chmod(work, 0o755)
    home_dir, prefix = os.path.join(work, "home"), os.path.join(work, "prefix")
    os.makedirs(home_dir)
    if install:
        subprocess.run(["cmake", "--install", install, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        command, page = [prefix + "/bin/TevrinQuiz"], os.path.join(home_dir, ".local/share/TevrinQuiz/Results.htm")
        if os.geteuid() == 0:  # root writes anywhere
            nobody = pwd.getpwnam("nobody")
            os.chown(home_dir, nobody.pw_uid, nobody.pw_gid)
            command = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups"] + command
        subprocess.run(["chmod", "-R", "a-w", prefix], check=True)
    else:  # a copy, which writes its page beside itself
        command, page = [shutil.copy(program, work)], os.path.join(work, "Results.htm")
    with open(os.open(os.path.join(home_dir, "xdg-open"), os.O_CREAT | os.O_WRONLY, 0o755), "w") as stub:
        stub.write('#!/bin/sh\necho "$1" >> "$HOME/opened.log"\n')
    if "ASAN_OPTIONS" in ENV:  # Qt's X connection runs through libraries not ours; copies the player can read
        ENV["ASAN_OPTIONS"] += ":suppressions=" + os.path.join(HERE, "asan.supp")
        for var in ("ASAN_OPTIONS", "LSAN_OPTIONS"):
            copy = lambda m: "suppressions=" + shutil.copy(m[1], work)
            ENV[var] = re.sub(r"\bsuppressions=([^:]+)", copy, ENV.get(var, ""))
    read_end, write_end = os.pipe()
    procs = [subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-dpi", "96",
                               "-nolisten", "tcp", "-ac"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)]
    os.close(write_end)
    ENV["DISPLAY"] = ":" + os.fdopen(read_end).readline().strip()
    procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=ENV, stderr=subprocess.DEVNULL))
    log = open(os.path.join(artefacts, "program.log"), "w+")
    try:
        wait(lambda: b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "the window manager")
        env = dict(ENV, HOME=home_dir, PATH=home_dir + os.pathsep + ENV["PATH"], QT_QPA_PLATFORM="xcb")
        procs.append(subprocess.Popen(command, cwd=work, env=env, stdout=log, stderr=log))
        road(procs[-1], home_dir, page, artefacts)
    except Exception as failure:  # a failed check, or a file the program did not write
        run("import", "-window", "root", os.path.join(artefacts, "failure.png"))
        return open(log.name).read() + f"FAIL: {failure}"
    finally:
        for proc in reversed(procs):
            proc.kill()
            proc.wait()
        subprocess.run(["chmod", "-R", "u+w", work])
        shutil.rmtree(work)
    print("The walkthrough passed.")


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], *sys.argv[2:] if sys.argv[2] != "--install" else (None, sys.argv[3])))
