#include "WindowTestSupport_win.h"

#include "ResourceIds.h"

#include <chrono>
#include <vector>

void pumpMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

OpenedDialog::OpenedDialog(Dialog& dialog) : dialog(dialog) {
    CreateDialogParamW(dialog.module(), MAKEINTRESOURCEW(dialog.itemId()), nullptr,
                       Dialog::dialogProcedure, reinterpret_cast<LPARAM>(&dialog));
    ShowWindow(dialog.handle(), SW_SHOW);
    UpdateWindow(dialog.handle());
    pumpMessages();
}

OpenedDialog::~OpenedDialog() {
    DestroyWindow(dialog.handle());
    dialog.onDestroy();
    pumpMessages();
}

std::wstring windowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring windowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> threadDialogs(DWORD threadId) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM found) -> BOOL {
            if (windowClass(window) == L"#32770" && IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

HWND waitForDialog(DWORD threadId, const std::function<bool(HWND)>& match,
                   int timeoutMilliseconds) {
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        for (HWND dialog : threadDialogs(threadId)) {
            if (match(dialog)) {
                return dialog;
            }
        }
        Sleep(20);
    }
    for (HWND dialog : threadDialogs(threadId)) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    return nullptr;
}

HWND waitForDialogTitled(DWORD threadId, const std::wstring& title) {
    return waitForDialog(threadId, [&](HWND dialog) { return windowText(dialog) == title; });
}

std::wstring messageBoxText(HWND box) {
    std::wstring longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (windowClass(child) == L"Static") {
            std::wstring text = windowText(child);
            if (text.size() > longest.size()) {
                longest = text;
            }
        }
    }
    return longest;
}

MainToolbar::MainToolbar(Window& parent)
    : Toolbar(parent, 24, 24, 7, IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_HOT, IDB_TOOLBAR_DISABLED,
              RGB(255, 0, 255)) {}

void MainToolbar::addButtons() {
    addButton(0, IDM_VIEW_TRACKS, 173);
    addButton(1, IDM_VIEW_ALBUMS, 174);
    addSeparator(2);
    addButton(3, IDM_ANALYZE, 130);
    addButton(4, IDM_APPLY_GAIN, 131);
    addSeparator(5);
    addButton(6, IDM_HELP_CONTENTS, 169);
}
