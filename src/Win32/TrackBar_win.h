#pragma once

#include "Control_win.h"
#include "PositionSource.h"

// A trackbar; every move by the user or by setPosition calls onPositionChanged.
class TrackBar : public Control, public PositionSource {
public:
    TrackBar(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor);

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void onPositionChanged(int position);

    void setRange(int minimum, int maximum, int position, int pageSize);
    int getPosition() override;
    void setPosition(int position);
};
