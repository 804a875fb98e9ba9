#include "Control_win.h"
#include "Dialog_win.h"
#include "ResourceIds.h"
#include "TestDialogIds.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

// A control's rectangle in its dialog's client coordinates.
Rect clientRect(HWND control) {
    RECT window{};
    GetWindowRect(control, &window);
    POINT topLeft{window.left, window.top};
    ScreenToClient(GetParent(control), &topLeft);
    return {topLeft.x, topLeft.y, window.right - window.left, window.bottom - window.top};
}

void resizeBy(HWND window, int dx, int dy) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages();
}

class AnchoredDialog : public Dialog {
public:
    AnchoredDialog() : Dialog(testModule(), IDD_TEST_ANCHORS, nullptr) {}
    Control stretched{*this, IDC_TEST_STRETCH, AnchorStretch, AnchorNone};
    Control moved{*this, IDC_TEST_MOVE, AnchorMove, AnchorMove};
    Control staying{*this, IDC_TEST_STAY, AnchorNone, AnchorNone};
};

TEST(Anchors, FollowTheDialogWhenItGrowsBy100Pixels) {
    AnchoredDialog dialog;
    OpenedDialog opened(dialog);
    Rect stretched = clientRect(dialog.stretched.handle());
    Rect moved = clientRect(dialog.moved.handle());
    Rect staying = clientRect(dialog.staying.handle());

    resizeBy(dialog.handle(), 100, 100);

    EXPECT_EQ(clientRect(dialog.stretched.handle()),
              (Rect{stretched.left, stretched.top, stretched.width + 100, stretched.height}));
    EXPECT_EQ(clientRect(dialog.moved.handle()),
              (Rect{moved.left + 100, moved.top + 100, moved.width, moved.height}));
    EXPECT_EQ(clientRect(dialog.staying.handle()), staying);
}

TEST(Anchors, AStretchedControlShrunkToNothingIsHiddenAndComesBackAtTheRightSize) {
    AnchoredDialog dialog;
    OpenedDialog opened(dialog);
    HWND stretched = dialog.stretched.handle();
    Rect original = clientRect(stretched);

    resizeBy(dialog.handle(), -(original.width + 10), 0);
    EXPECT_FALSE(IsWindowVisible(stretched));

    resizeBy(dialog.handle(), original.width + 10 + 100, 0);
    EXPECT_TRUE(IsWindowVisible(stretched));
    EXPECT_EQ(clientRect(stretched),
              (Rect{original.left, original.top, original.width + 100, original.height}));
}

TEST(Placement, WhatIsSetIsReadBack) {
    AnchoredDialog dialog;
    OpenedDialog opened(dialog);
    dialog.setPlacement(Placement{RECT{100, 120, 500, 420}, SW_SHOWNORMAL});
    Placement placement = dialog.getPlacement();
    EXPECT_EQ(placement.normal.left, 100);
    EXPECT_EQ(placement.normal.top, 120);
    EXPECT_EQ(placement.normal.right, 500);
    EXPECT_EQ(placement.normal.bottom, 420);
    EXPECT_EQ(placement.showCommand, SW_SHOWNORMAL);
}

TEST(ModalDialog, EndsWithTheButtonPressedAndNotWithOtherButtons) {
    AnchoredDialog dialog;
    DWORD uiThread = GetCurrentThreadId();
    bool openAfterOtherButton = false;
    UserScript user([&] {
        HWND box = waitForDialogTitled(uiThread, L"Anchors");
        if (!box) {
            return;
        }
        SendMessageW(GetDlgItem(box, IDC_TEST_STAY), BM_CLICK, 0, 0);
        openAfterOtherButton = IsWindowVisible(box);
        SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dialog.doModal(), IDYES);
    user.finish();
    EXPECT_TRUE(openAfterOtherButton);
    EXPECT_FALSE(dialog.isModal());
}

TEST(ModalDialog, EscapeEndsItWithCancelAndItCanRunAgain) {
    AnchoredDialog dialog;
    DWORD uiThread = GetCurrentThreadId();
    for (int run = 0; run < 2; ++run) {
        UserScript user([&] {
            if (HWND box = waitForDialogTitled(uiThread, L"Anchors")) {
                PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            }
        });
        EXPECT_EQ(dialog.doModal(), IDCANCEL) << "run " << run;
    }
}

// Closes itself as soon as its message loop runs.
class SelfClosingDialog : public Dialog {
public:
    SelfClosingDialog() : Dialog(testModule(), IDD_TEST_ANCHORS, nullptr) {}
    void onInitDialog() override { PostMessageW(hwnd, WM_CLOSE, 0, 0); }
};

TEST(ModelessDialog, ClosingItEndsItsMessageLoop) {
    SelfClosingDialog dialog;
    EXPECT_EQ(dialog.runModeless(0, IDI_VELTO, IDI_VELTO_SMALL, SW_SHOW), 0);
    EXPECT_FALSE(IsWindow(dialog.handle()));
    EXPECT_FALSE(dialog.isModeless());
}

// Records what reaches the edit control's own window procedure.
class KeyRecorder : public Control {
public:
    using Control::Control;
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYDOWN) {
            keys.push_back(static_cast<int>(wParam));
        }
        return Control::windowProc(window, message, wParam, lParam);
    }
    std::vector<int> keys;
};

// Types Ctrl+N, then a plain X, into its edit control from inside its own
// message loop, then closes. The keyboard state is set on this thread, as
// the system sets it for a real keystroke.
class TypingDialog : public Dialog {
public:
    static constexpr UINT kTypeAccelerator = WM_APP + 1;
    static constexpr UINT kTypePlainKey = WM_APP + 2;

    TypingDialog() : Dialog(testModule(), IDD_TEST_ANCHORS, nullptr) {}
    KeyRecorder edit{*this, IDC_TEST_EDIT, AnchorNone, AnchorNone};
    std::vector<int> commands;

    void onInitDialog() override {
        edit.subclass();
        edit.setFocus();
        PostMessageW(hwnd, kTypeAccelerator, 0, 0);
    }

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (LRESULT handled = Dialog::handleMessage(window, message, wParam, lParam)) {
            return handled;
        }
        // Accelerators arrive as commands with 1 in the high word.
        if (message == WM_COMMAND && HIWORD(wParam) == 1) {
            commands.push_back(LOWORD(wParam));
            return 1;
        }
        if (message == kTypeAccelerator) {
            setControlKey(true);
            PostMessageW(edit.handle(), WM_KEYDOWN, 'N', 0x00310001);
            PostMessageW(hwnd, kTypePlainKey, 0, 0);
            return 1;
        }
        if (message == kTypePlainKey) {
            setControlKey(false);
            PostMessageW(edit.handle(), WM_KEYDOWN, 'X', 0x002D0001);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return 1;
        }
        return 0;
    }

private:
    static void setControlKey(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

TEST(ModelessDialog, AnAcceleratorKeyBecomesACommandAndNeverReachesTheFocusedControl) {
    TypingDialog dialog;
    EXPECT_EQ(dialog.runModeless(IDR_MAIN_ACCELERATORS, 0, 0, SW_SHOW), 0);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDM_ANALYZE});
    EXPECT_EQ(dialog.edit.keys, std::vector<int>{'X'});
}

TEST(ModelessDialog, ASubclassedControlIsSubclassedAgainWhenTheDialogRunsAgain) {
    TypingDialog dialog;
    for (int run = 0; run < 2; ++run) {
        dialog.commands.clear();
        dialog.edit.keys.clear();
        EXPECT_EQ(dialog.runModeless(IDR_MAIN_ACCELERATORS, 0, 0, SW_SHOW), 0);
        EXPECT_EQ(dialog.edit.keys, std::vector<int>{'X'}) << "run " << run;
    }
}

} // namespace
