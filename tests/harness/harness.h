/* Operator harness: drives VERUVEZ.EXE from another process the way an
   operator would and reads what it shows and leaves behind.  One header
   per part:

     common.h    the error every part throws, bounded waits, text helpers
     ui.h        UI automation: windows, controls, message boxes, dialogs
     program.h   the program's process, its debugger output, its resources
     files.h     settings file, stand-in driver's journal and registry
     pictures.h  screenshots for the documentation
     xinput.h    real key presses as X events (xdotool)

   Every wait is bounded.  A wait that runs out, a window or control that
   is not there, or a program that ends too early throws bb::HarnessError
   with a message saying what was expected and what was found; GoogleTest
   reports the exception as the test's failure.  See docs/harness.md. */
#ifndef VMT_HARNESS_H
#define VMT_HARNESS_H

#include "tests/harness/common.h"
#include "tests/harness/ui.h"
#include "tests/harness/program.h"
#include "tests/harness/files.h"
#include "tests/harness/pictures.h"
#include "tests/harness/xinput.h"

#endif
