#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the Windows tests of a cross build under Wine, as CTest would run them on Windows.

Takes the tests from `ctest --show-only=json-v1`: every one whose program is a .exe. Wine hands
a Unix variable WINEQT_X to the program as QT_X and no QT_* variable at all, so the tests' QT_*
settings travel under that name. Qt Test writes to a file (its output does not reach a pipe under
Wine), which is shown when the test fails. Prints one line per run and the counts on the last line
as "N passed, N failed".

  wine-ctest.py BUILD_DIR [--again VAR=VALUE[,...]:PATTERN[:FUNCTION,...]]... [--program EXE:TITLE]

--again runs the tests whose name matches PATTERN once more (only the Qt Test functions named, if
any) with these variables set over the test's own: LC_ALL=ja_JP.UTF-8 makes Wine report the ANSI code page 932, QT_QPA_PLATFORM=offscreen
lays text out with FreeType instead of Windows' GDI. --program starts EXE on the
X display and passes once a window titled TITLE shows.
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import time


def ctest_tests(build_dir):
    out = subprocess.run(["ctest", "--test-dir", build_dir, "--show-only=json-v1"],
                         check=True, capture_output=True, text=True).stdout
    for test in json.loads(out)["tests"]:
        command = test.get("command") or []
        if not command or not command[0].lower().endswith(".exe"):
            continue
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        if props.get("DISABLED"):
            continue
        yield test["name"], command, props


def wine_environment(settings):
    env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
    for setting in settings:
        name, _, value = setting.partition("=")
        env["WINE" + name if name.startswith("QT_") else name] = value
    return env


def uses_qt_test(exe, cache={}):
    if exe not in cache:
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], capture_output=True, text=True).stdout
        cache[exe] = "Qt6Test.dll" in dump
    return cache[exe]


def run(name, command, props, extra, build_dir):
    with tempfile.TemporaryDirectory(prefix="wintest-") as scratch:
        log = os.path.join(scratch, "out.txt")
        args = ["wine"] + command
        if uses_qt_test(command[0]):
            args += ["-o", "Z:" + log.replace("/", "\\") + ",txt"]
        timeout = float(props.get("TIMEOUT", 600))
        started = time.monotonic()
        try:
            done = subprocess.run(args, cwd=props.get("WORKING_DIRECTORY", build_dir),
                                  env=wine_environment(props.get("ENVIRONMENT", []) + extra), capture_output=True,
                                  text=True, errors="replace", timeout=timeout)
            status, output = done.returncode, done.stdout + done.stderr
        except subprocess.TimeoutExpired as e:
            status, output = "timeout", (e.stdout or b"").decode(errors="replace")
        seconds = time.monotonic() - started
        if os.path.exists(log):
            with open(log, encoding="utf-8", errors="replace") as f:
                output = f.read() + output
    passed = (status == 0) != bool(props.get("WILL_FAIL"))
    label = name + "".join(f" {a}" for a in command[1:] if not a.startswith("-"))
    label += f" [{' '.join(extra)}]" if extra else ""
    print(f"{'PASS' if passed else 'FAIL'}  {label}  ({seconds:.0f} s)", flush=True)
    if not passed:
        lines = [l for l in output.splitlines() if "wine32" not in l and "multiarch" not in l]
        print("\n".join("      " + l for l in lines[-40:]), flush=True)
    return passed


def start_program(exe, title):
    started = time.monotonic()
    program = subprocess.Popen(["wine", exe], cwd=os.path.dirname(exe), env=wine_environment([]),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    found, size = [], "?"
    try:
        while not found and time.monotonic() - started < 120 and program.poll() is None:
            time.sleep(1)
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
                                   capture_output=True, text=True).stdout.split()
        if found:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", found[0]],
                                      capture_output=True, text=True).stdout
            size = (re.findall(r"Geometry: (\S+)", geometry) or ["?"])[0]
    finally:
        program.kill()
        program.wait()
    seconds = time.monotonic() - started
    if found:
        print(f"PASS  {os.path.basename(exe)} shows \"{title}\" ({size}, {seconds:.0f} s)")
    else:
        print(f"FAIL  {os.path.basename(exe)}: no window \"{title}\" within {seconds:.0f} s")
    return bool(found)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("--again", action="append", default=[], metavar="VAR=VALUE,...:PATTERN[:FUNCTION,...]")
    parser.add_argument("--program", metavar="EXE:TITLE")
    args = parser.parse_args()
    results = []
    tests = list(ctest_tests(args.build_dir))
    for name, command, props in tests:
        results.append(run(name, command, props, [], args.build_dir))
    for rule in args.again:
        settings, pattern, functions = (rule.split(":") + [""])[:3]
        for name, command, props in tests:
            if re.search(pattern, name):
                only = [f for f in functions.split(",") if f]
                results.append(run(name, command + only, props, settings.split(","), args.build_dir))
    if args.program:
        exe, _, title = args.program.partition(":")
        results.append(start_program(exe, title))
    print(f"{results.count(True)} passed, {results.count(False)} failed")
    return 0 if results and all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
