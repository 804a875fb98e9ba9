#pragma once

#include "TrackBar_win.h"

class ListView;

// A trackbar that shows its value (position × scale) in a companion box and
// refreshes an observing list when it moves.
class ValueTrackBar : public TrackBar {
public:
    ValueTrackBar(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor, Control& valueBox);

    void onPositionChanged(int newPosition) override;

    // The value box is not touched: its text is the dialog's until the first move.
    void setRange(int minimum, int maximum, int newPosition, int pageSize, double newScale);
    void setObserver(ListView* list) { observer = list; }
    // The last position reported.
    int getPosition() override { return position; }

    // The value as the box shows it: one decimal unless the scale is 1.
    static std::wstring formatValue(int position, double scale);

private:
    Control& valueBox;
    ListView* observer = nullptr;
    double scale = 1.0;
    int position = 0;
};
