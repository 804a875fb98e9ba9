#include "DropDownList_win.h"

#include "Exception.h"

#include <algorithm>

DropDownList::DropDownList(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
    : Control(parent, itemId, hAnchor, vAnchor) {}

LRESULT DropDownList::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == hwnd &&
        HIWORD(wParam) == CBN_SELCHANGE) {
        onSelect(selectedKey());
        return 1;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void DropDownList::onSelect(int) {}

int DropDownList::addItem(const std::wstring& entryText, int key, bool select) {
    int present = findKey(key);
    if (present >= 0) {
        if (this->entryText(present) == entryText) {
            return present;
        }
        if (present == static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0))) {
            select = true;
        }
        SendMessageW(hwnd, CB_DELETESTRING, static_cast<WPARAM>(present), 0);
    }
    auto position =
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entryText.c_str()));
    if (position < 0) {
        checkResult(static_cast<int>(position), L".\\DropDownList", 64);
    }
    SendMessageW(hwnd, CB_SETITEMDATA, static_cast<WPARAM>(position), key);
    if (select) {
        SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    }
    return static_cast<int>(position);
}

void DropDownList::removeItem(int key) {
    int position = findKey(key);
    if (position < 0) {
        return;
    }
    int selected = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    SendMessageW(hwnd, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
    if (position != selected) {
        return;
    }
    int replacement = std::max(position - 1, 0);
    // An emptied list has nothing to select and nothing to report.
    if (SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(replacement), 0) != CB_ERR) {
        onSelect(keyAt(replacement));
    }
}

void DropDownList::clear() {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
}

int DropDownList::selectedKey() {
    int selected = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    return selected < 0 ? 0 : keyAt(selected);
}

int DropDownList::selectedPosition() {
    int selected = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    return selected < 0 ? 0 : selected;
}

void DropDownList::selectPosition(int position) {
    if (SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(position), 0) == CB_ERR) {
        SendMessageW(hwnd, CB_SETCURSEL, 0, 0);
        return;
    }
    onSelect(keyAt(position));
}

int DropDownList::findKey(int key) {
    int count = entryCount();
    for (int position = 0; position < count; ++position) {
        if (keyAt(position) == key) {
            return position;
        }
    }
    return -1;
}

int DropDownList::entryCount() {
    return std::max(static_cast<int>(SendMessageW(hwnd, CB_GETCOUNT, 0, 0)), 0);
}

std::wstring DropDownList::entryText(int position) {
    auto length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length < 0) {
        return {};
    }
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    auto copied = SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(position),
                               reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    return entry;
}

int DropDownList::keyAt(int position) {
    return static_cast<int>(SendMessageW(hwnd, CB_GETITEMDATA, static_cast<WPARAM>(position), 0));
}
