// Running the program: one copy per login, the error report, the main window, the event loop.
#pragma once

#include "Shuffle.h"

// Runs Tavorin with `random` feeding the shuffle and returns the exit status: 0 for a normal
// end (and for a second copy, which ends at once), errors::kUncaughtErrorExitStatus after an
// uncaught error was reported.
int runTavorin(int argc, char** argv, board::RandomSource& random);
