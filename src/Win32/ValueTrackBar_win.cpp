#include "ValueTrackBar_win.h"

#include "ListView_win.h"

#include <cwchar>

ValueTrackBar::ValueTrackBar(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor,
                             Control& valueBox)
    : TrackBar(parent, itemId, hAnchor, vAnchor), valueBox(valueBox) {}

void ValueTrackBar::onPositionChanged(int newPosition) {
    position = newPosition;
    valueBox.setText(formatValue(position, scale));
    if (observer) {
        observer->refresh(false);
    }
}

void ValueTrackBar::setRange(int minimum, int maximum, int newPosition, int pageSize,
                             double newScale) {
    TrackBar::setRange(minimum, maximum, newPosition, pageSize);
    position = newPosition;
    scale = newScale;
}

std::wstring ValueTrackBar::formatValue(int position, double scale) {
    wchar_t text[34] = {};
    std::swprintf(text, 34, L"%.*f", scale != 1.0 ? 1 : 0, position * scale);
    return text;
}
