#pragma once

#include "Control_win.h"

#include <string>
#include <vector>

// A status bar along the bottom of its parent with parts of fixed widths; a
// width of 0 takes what the other parts leave of the parent's width.
class StatusBar : public Control {
public:
    StatusBar(Window& parent, int partCount, const int* widths);

    // Creates the status bar window.
    void attach() override;
    // Follows the parent's size itself (no anchors).
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void setText(int part, const std::wstring& partText);
    using Control::setText;

    // The right edges of the parts for a parent window of this outer width.
    std::vector<int> partEdges(int parentWidth) const;

private:
    void layoutParts();

    std::vector<int> widths;
};
