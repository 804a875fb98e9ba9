#pragma once

#include <span>

// A rectangle in screen coordinates, right and bottom exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const ScreenRect&) const = default;
};

// Where a window saved at `window` is shown now: there, when it overlaps one
// of the monitors; otherwise (a monitor removed since, a hand-edited file) at
// the top left of the primary monitor's work area, with its size as far as the
// work area holds it.
ScreenRect keepOnAMonitor(const ScreenRect& window, std::span<const ScreenRect> monitors,
                          const ScreenRect& primaryWorkArea);
