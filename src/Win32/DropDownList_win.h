#pragma once

#include "Control_win.h"

#include <string>

// A drop-down list whose entries carry a key (their item data). Entries are
// always found again by that key: in a sorted list later additions move the
// earlier entries, so a remembered position would go stale.
class DropDownList : public Control {
public:
    DropDownList(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor);

    // The user's selection change calls onSelect.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void onSelect(int key);

    // Adds an entry, or replaces the entry of a present key whose text
    // differs (the selection stays on it). Answers the entry's position.
    int addItem(const std::wstring& entryText, int key, bool select);
    // Deletes the entry of the key; if it was selected, the entry before it
    // (or the first) is selected and reported through onSelect.
    void removeItem(int key);
    void clear();
    // 0 when nothing is selected.
    int selectedKey();
    int selectedPosition();
    // Selects the entry at position and reports it; an invalid position selects the first entry.
    void selectPosition(int position);

    // The position of the key's entry, or -1.
    int findKey(int key);
    int entryCount();
    std::wstring entryText(int position);

private:
    int keyAt(int position);
};
