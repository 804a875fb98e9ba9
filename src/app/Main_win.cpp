#include "VeltoProgram_win.h"

#include <windows.h>

// The show command that the system passes is not used: the window appears
// when the preferences are known.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return runVelto(instance);
}
