// Running the program: one copy per login, the error report, the main window, the event loop.
#pragma once

#include "Shuffle.h"

// Runs Tavorin with `random` feeding the shuffle. A second copy returns 0 at once; otherwise the
// program ends from here, without returning and without taking the toolkit down, with status 0
// for a normal end or errors::kUncaughtErrorExitStatus after an uncaught error was reported.
int runTavorin(int argc, char** argv, board::RandomSource& random);
