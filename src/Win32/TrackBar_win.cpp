#include "TrackBar_win.h"

#include <commctrl.h>

TrackBar::TrackBar(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
    : Control(parent, itemId, hAnchor, vAnchor) {}

LRESULT TrackBar::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == hwnd) {
        onPositionChanged(static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0)));
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void TrackBar::onPositionChanged(int) {}

void TrackBar::setRange(int minimum, int maximum, int position, int pageSize) {
    SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum));
    SendMessageW(hwnd, TBM_SETPOS, TRUE, position);
    SendMessageW(hwnd, TBM_SETPAGESIZE, 0, pageSize);
}

int TrackBar::getPosition() {
    return static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0));
}

void TrackBar::setPosition(int position) {
    SendMessageW(hwnd, TBM_SETPOS, TRUE, position);
    onPositionChanged(position);
}
