#include "Control_win.h"

#include "CommonControls_win.h"
#include "Exception.h"
#include "ResourceStringTable_win.h"

#include <map>

namespace {

// Window handle to control object, for subclassed controls. Used on the
// user-interface thread only.
std::map<HWND, Control*>& controlMap() {
    static std::map<HWND, Control*> map;
    return map;
}

int width(const RECT& rect) {
    return rect.right - rect.left;
}

int height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// The offsets of one axis: where the leading edge moves and how much the size changes.
struct AxisChange {
    int move = 0;
    int grow = 0;
};

AxisChange axisChange(Anchor anchor, int oldSize, int newSize, int oldEnd, int newEnd) {
    if (anchor == AnchorStretch) {
        return {0, newSize - oldSize};
    }
    if (anchor == AnchorMove) {
        return {newEnd - oldEnd, 0};
    }
    return {};
}

} // namespace

Control::Control(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
    : Window(&parent, itemId, nullptr, nullptr), hAnchor(hAnchor), vAnchor(vAnchor) {
    initializeCommonControls();
}

Control::Control(Window& parent, Anchor hAnchor, Anchor vAnchor)
    : Control(parent, -1, hAnchor, vAnchor) {}

Control::~Control() {
    if (savedProc) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProc));
        controlMap().erase(hwnd);
    }
}

LRESULT Control::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        layout();
    }
    return offerToChildren(window, message, wParam, lParam);
}

void Control::attach() {
    if (id != -1) {
        // A dialog that runs again has new control windows: the old one's
        // subclassing went with it.
        if (savedProc) {
            controlMap().erase(hwnd);
            savedProc = nullptr;
        }
        hwnd = GetDlgItem(parentHwnd, id);
    }
    registerWithParent();
    GetClientRect(parentHwnd, &layoutRect);
}

void Control::setText(int stringId) {
    setText(ResourceStringTable(instance).load(stringId).value_or(std::wstring()));
}

void Control::setText(const std::wstring& newText) {
    SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(newText.c_str()));
}

const std::wstring& Control::getText() {
    auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    text.assign(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void Control::fitTextHeight(RECT& rect) {
    rect = getWindowRect();
    const std::wstring& content = getText();
    HDC dc = GetDC(hwnd);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    int lineWidth = width(rect);
    int total = 0;
    std::size_t pos = 0;
    while (pos < content.size()) {
        // A line break of the text ends the line where it stands.
        std::size_t lineEnd = content.find(L'\n', pos);
        if (lineEnd == std::wstring::npos) {
            lineEnd = content.size();
        }
        int fit = 0;
        SIZE size{};
        GetTextExtentExPointW(dc, content.c_str() + pos, static_cast<int>(lineEnd - pos), lineWidth,
                              &fit, nullptr, &size);
        if (size.cy == 0) {
            GetTextExtentPoint32W(dc, L"X", 1, &size);
        }
        // At least one character per line, so that a narrow control cannot stall the loop.
        std::size_t next = pos + static_cast<std::size_t>(fit > 0 ? fit : 1);
        if (next < lineEnd) {
            // Break after the last blank of the line, if it has one.
            std::size_t space = content.rfind(L' ', next);
            if (space != std::wstring::npos && space >= pos) {
                next = space + 1;
            }
        } else {
            next = lineEnd + 1;
        }
        total += size.cy;
        pos = next;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
    rect.bottom = rect.top + total;
}

LRESULT Control::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(savedProc, window, message, wParam, lParam);
}

void Control::subclass() {
    if (savedProc) {
        return;
    }
    controlMap()[hwnd] = this;
    savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure)));
}

void Control::layout() {
    if (hAnchor == AnchorNone && vAnchor == AnchorNone) {
        return;
    }
    RECT window = getWindowRect();
    POINT topLeft{window.left, window.top};
    ScreenToClient(parentHwnd, &topLeft);
    RECT client{};
    GetClientRect(parentHwnd, &client);

    AxisChange horizontal =
        axisChange(hAnchor, width(layoutRect), width(client), layoutRect.right, client.right);
    AxisChange vertical =
        axisChange(vAnchor, height(layoutRect), height(client), layoutRect.bottom, client.bottom);
    int newWidth = width(window) + horizontal.grow;
    int newHeight = height(window) + vertical.grow;
    if (newWidth <= 0 || newHeight <= 0) {
        // layoutRect stays: the next layout starts again from the same reference.
        hide();
        return;
    }
    hide();
    MoveWindow(hwnd, topLeft.x + horizontal.move, topLeft.y + vertical.move, newWidth, newHeight,
               FALSE);
    show();
    layoutRect = client;
}

LRESULT CALLBACK Control::controlProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    try {
        auto found = controlMap().find(window);
        if (found == controlMap().end()) {
            checkResult(-1, L".\\Control", 238);
        }
        return found->second->windowProc(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
