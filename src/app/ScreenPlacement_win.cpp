#include "ScreenPlacement_win.h"

#include "ScreenPlacement.h"

#include <vector>

namespace {

ScreenRect toScreenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::vector<ScreenRect> monitorRects() {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<ScreenRect>*>(found)->push_back(toScreenRect(*rect));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

ScreenRect primaryWorkArea() {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return toScreenRect(workArea);
}

} // namespace

Placement placementOnThisScreen(const RECT& normal, int showCommand) {
    ScreenRect where = keepOnAMonitor(toScreenRect(normal), monitorRects(), primaryWorkArea());
    return {RECT{where.left, where.top, where.right, where.bottom},
            showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand};
}
