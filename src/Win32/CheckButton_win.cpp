#include "CheckButton_win.h"

LRESULT CheckButton::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Every click or command (notification code 0) may have changed the state:
    // a radio button is cleared by a click on another one of its group.
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        checked = IsDlgButtonChecked(parentHwnd, id) == BST_CHECKED;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void CheckButton::setChecked(bool on) {
    SendMessageW(hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    checked = on;
}
