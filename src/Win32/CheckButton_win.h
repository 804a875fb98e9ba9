#pragma once

#include "Control_win.h"

// A check box or radio button that remembers its state from the last click,
// so the state is known after the dialog's window is gone.
class CheckButton : public Control {
public:
    CheckButton(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
        : Control(parent, itemId, hAnchor, vAnchor) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void setChecked(bool on);
    bool isChecked() const { return checked; }

private:
    bool checked = false;
};
