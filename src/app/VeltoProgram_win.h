#pragma once

#include <windows.h>

// The program from its start to its end: error reporting, the main window and
// its message loop. Answers the exit code: 0, or 1 when the program's own
// error (its message shown) ended it, before any window or later.
int runVelto(HINSTANCE instance);
