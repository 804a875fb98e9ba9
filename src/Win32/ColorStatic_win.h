#pragma once

#include "Control_win.h"
#include "ScopedHandle_win.h"

// A static or read-only edit control drawn on a solid background colour.
class ColorStatic : public Control {
public:
    ColorStatic(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor, int red, int green,
                int blue);

    // Answers the background brush for its own WM_CTLCOLORSTATIC.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF color;
    ScopedHandle<HGDIOBJ, deleteGdiObject> brush;
};
