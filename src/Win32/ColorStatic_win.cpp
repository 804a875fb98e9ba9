#include "ColorStatic_win.h"

ColorStatic::ColorStatic(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor, int red,
                         int green, int blue)
    : Control(parent, itemId, hAnchor, vAnchor), color(RGB(red, green, blue)),
      brush(CreateSolidBrush(color)) {}

LRESULT ColorStatic::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == hwnd) {
        // The text's own background takes the colour too, not only the area around it.
        SetBkColor(reinterpret_cast<HDC>(wParam), color);
        return reinterpret_cast<LRESULT>(brush.get());
    }
    return Control::handleMessage(window, message, wParam, lParam);
}
