// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's start-up: the application, the lettering, the first screen, then the event loop
// until the program ends. main() calls it; the benchmarks call it under their own watch.
int RunProgram(int argc, char* argv[]);
