#pragma once

// The common controls library, process-wide. Used on the user-interface thread.

// Registers the list view, bar and progress classes the first time it is
// called (every Control construction calls it) and reads the library version.
void initializeCommonControls();

// True when the loaded comctl32 is version 6 or later (the manifest asks for
// it): sort arrows in list headers and the smooth-scrolling repaint depend on it.
bool commonControlsV6();

// Asks comctl32's DllGetVersion (and the activation context, see the
// definition); false when the library, the export or the call fails.
bool detectCommonControlsV6();
