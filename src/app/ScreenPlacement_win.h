#pragma once

#include "Window_win.h"

#include <windows.h>

// The placement a window saved at normal is shown with on the screen as it is
// now: moved onto a monitor that exists (see keepOnAMonitor), and shown rather
// than hidden, which would leave a window where nobody sees it.
Placement placementOnThisScreen(const RECT& normal, int showCommand);
