#pragma once

#include "Control_win.h"

// A progress bar of the dialog, range 0..100 unless the template says otherwise.
class ProgressBar : public Control {
public:
    ProgressBar(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
        : Control(parent, itemId, hAnchor, vAnchor) {}

    void setPosition(int position);
};
