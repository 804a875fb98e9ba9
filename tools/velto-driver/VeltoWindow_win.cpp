#include "VeltoWindow_win.h"

#include "RemoteMemory_win.h"
#include "ResourceIds.h"
#include "ScopedHandle_win.h"

#include <commctrl.h>

#include <functional>

namespace {

constexpr int kTextCapacity = 1024;

std::wstring windowText(HWND window) {
    wchar_t text[kTextCapacity] = L"";
    // WM_GETTEXT's buffer is carried between processes, unlike a common control's.
    SendMessageTimeoutW(window, WM_GETTEXT, kTextCapacity, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// Polls the condition every 20 ms until it holds or the time is up.
bool waitUntil(DWORD timeoutMs, const std::function<bool()>& condition) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM found) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void closeProcess(HANDLE process) {
    CloseHandle(process);
}

bool isDialog(HWND window) {
    return IsWindowVisible(window) && className(window) == L"#32770";
}

} // namespace

HWND VeltoWindow::find(DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(timeoutMs, [&] {
        for (HWND window : topLevelWindows()) {
            if (isDialog(window) && windowText(window) == L"Velto" &&
                GetDlgItem(window, IDC_MAIN_LIST)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

DWORD VeltoWindow::processId() const {
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    return id;
}

HWND VeltoWindow::statusBar() const {
    for (HWND window : childWindows(main)) {
        if (className(window) == STATUSCLASSNAMEW) {
            return window;
        }
    }
    return nullptr;
}

std::wstring VeltoWindow::statusText(int part) const {
    HWND bar = statusBar();
    if (!bar) {
        return L"";
    }
    RemoteMemory text(bar, kTextCapacity * sizeof(wchar_t));
    size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    if (!text || length >= kTextCapacity) {
        return L"";
    }
    SendMessageW(bar, SB_GETTEXTW, part, text.address());
    std::wstring result(length, L'\0');
    text.read(0, result.data(), length * sizeof(wchar_t));
    return result;
}

namespace {

// "Ready", or after a job that could not do everything "Ready. n changed, m not done".
bool saysReady(const std::wstring& status) {
    return status == L"Ready" || status.starts_with(L"Ready. ");
}

} // namespace

// At the end of the first start the status says "Ready" a moment before the
// list gets its view: idle only with the list's columns there.
bool VeltoWindow::isIdle() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(child(IDC_MAIN_LIST), LVM_GETHEADER, 0, 0));
    return IsWindowEnabled(main) && IsWindowEnabled(child(IDC_MAIN_EXIT)) &&
           !IsWindowEnabled(child(IDC_MAIN_CANCEL)) && saysReady(statusText(0)) &&
           SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) > 0;
}

HWND VeltoWindow::waitIdleOrDialog(DWORD timeoutMs) const {
    HWND result = nullptr;
    waitUntil(timeoutMs, [&] {
        if (HWND dialog = visibleDialog(nullptr)) {
            result = dialog;
            return true;
        }
        if (IsWindow(main) && isIdle()) {
            result = main;
            return true;
        }
        return false;
    });
    return result;
}

bool VeltoWindow::waitWorking(DWORD timeoutMs) const {
    return waitUntil(timeoutMs, [&] {
        return !saysReady(statusText(0)) || !IsWindowEnabled(child(IDC_MAIN_CANCEL));
    });
}

std::vector<VeltoWindow::Row> VeltoWindow::rows() const {
    HWND list = child(IDC_MAIN_LIST);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    RemoteMemory block(list, sizeof(LVITEMW) + kTextCapacity * sizeof(wchar_t));
    std::vector<Row> result;
    for (int row = 0; block && row < count; ++row) {
        Row line;
        line.selected = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(block.address(sizeof(LVITEMW)));
            item.cchTextMax = kTextCapacity;
            block.write(0, &item, sizeof item);
            size_t length =
                static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, row, block.address()));
            std::wstring cell(length, L'\0');
            block.read(sizeof(LVITEMW), cell.data(), length * sizeof(wchar_t));
            line.cells.push_back(cell);
        }
        result.push_back(line);
    }
    return result;
}

bool VeltoWindow::clickRow(int row) const {
    HWND list = child(IDC_MAIN_LIST);
    RemoteMemory block(list, sizeof(RECT));
    RECT bounds{};
    bounds.left = LVIR_LABEL;
    if (!block.write(0, &bounds, sizeof bounds) ||
        !SendMessageW(list, LVM_GETITEMRECT, row, block.address()) ||
        !block.read(0, &bounds, sizeof bounds)) {
        return false;
    }
    LPARAM point = MAKELPARAM(bounds.left + 4, (bounds.top + bounds.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
    return sync(5000);
}

bool VeltoWindow::command(int id, DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, timeoutMs,
                               &result) != 0;
}

bool VeltoWindow::sync(DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

HWND VeltoWindow::visibleDialog(const std::wstring* title) const {
    DWORD process = processId();
    for (HWND window : topLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (window != main && owner == process && isDialog(window) &&
            (!title || windowText(window) == *title)) {
            return window;
        }
    }
    return nullptr;
}

HWND VeltoWindow::findDialog(const std::wstring& title, DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil(timeoutMs, [&] { return (found = visibleDialog(&title)) != nullptr; });
    return found;
}

bool VeltoWindow::press(HWND dialog, int buttonId, int checkId, DWORD timeoutMs) const {
    if (checkId != 0) {
        SendMessageW(GetDlgItem(dialog, checkId), BM_SETCHECK, BST_CHECKED, 0);
    }
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button) {
        return false;
    }
    // Posted: what the button starts (a job, another dialog) must not hold us.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    // A modal dialog is destroyed just before its caller goes on; the main
    // window's thread handles our message only once that caller has returned
    // to the message loop.
    return waitUntil(timeoutMs, [&] { return !IsWindow(dialog); }) && sync(timeoutMs);
}

bool VeltoWindow::close(HWND dialog, DWORD timeoutMs) const {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return waitUntil(timeoutMs, [&] { return !IsWindow(dialog); }) && sync(timeoutMs);
}

bool VeltoWindow::waitForExit(DWORD timeoutMs) const {
    ScopedHandle<HANDLE, closeProcess> process(OpenProcess(SYNCHRONIZE, FALSE, processId()));
    if (!process) {
        return true; // already gone
    }
    return WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

std::wstring VeltoWindow::controlTexts(HWND dialog) {
    std::wstring texts;
    for (HWND control : childWindows(dialog)) {
        std::wstring text = windowText(control);
        if (!text.empty() && IsWindowVisible(control)) {
            texts += className(control) + L": " + text + L"\n";
        }
    }
    return texts;
}

std::wstring VeltoWindow::describeWindows() const {
    std::wstring description;
    DWORD process = processId();
    for (HWND window : topLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) {
            description += L"window \"" + windowText(window) + L"\" (" + className(window) +
                           L")\n" + controlTexts(window);
        }
    }
    return description + L"status: " + statusText(0) + L" | " + statusText(1) + L" | " +
           statusText(2) + L"\n";
}
