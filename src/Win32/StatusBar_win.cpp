#include "StatusBar_win.h"

#include <commctrl.h>

#include <numeric>

StatusBar::StatusBar(Window& parent, int partCount, const int* widths)
    : Control(parent, AnchorNone, AnchorNone), widths(widths, widths + partCount) {}

void StatusBar::attach() {
    hwnd = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                           0, 0, 0, parentHwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                           instance, nullptr);
    layoutParts();
    Control::attach();
}

LRESULT StatusBar::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        SendMessageW(hwnd, WM_SIZE, wParam, lParam);
        layoutParts();
        return 1;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void StatusBar::setText(int part, const std::wstring& partText) {
    SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(partText.c_str()));
}

std::vector<int> StatusBar::partEdges(int parentWidth) const {
    int fixed = std::accumulate(widths.begin(), widths.end(), 0);
    std::vector<int> edges;
    int edge = 0;
    for (int width : widths) {
        edge += width != 0 ? width : parentWidth - fixed;
        edges.push_back(edge);
    }
    return edges;
}

void StatusBar::layoutParts() {
    if (widths.empty()) {
        return;
    }
    RECT parent{};
    GetWindowRect(parentHwnd, &parent);
    std::vector<int> edges = partEdges(parent.right - parent.left);
    SendMessageW(hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}
