#include "ScreenPlacement.h"

#include <algorithm>

namespace {

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

ScreenRect keepOnAMonitor(const ScreenRect& window, std::span<const ScreenRect> monitors,
                          const ScreenRect& primaryWorkArea) {
    bool visible = window.right > window.left && window.bottom > window.top &&
                   std::any_of(monitors.begin(), monitors.end(), [&](const ScreenRect& monitor) {
                       return overlaps(window, monitor);
                   });
    if (visible) {
        return window;
    }
    int width =
        std::clamp(window.right - window.left, 1, primaryWorkArea.right - primaryWorkArea.left);
    int height =
        std::clamp(window.bottom - window.top, 1, primaryWorkArea.bottom - primaryWorkArea.top);
    return {primaryWorkArea.left, primaryWorkArea.top, primaryWorkArea.left + width,
            primaryWorkArea.top + height};
}
