#include "ProgressBar_win.h"

#include <commctrl.h>

void ProgressBar::setPosition(int position) {
    SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
