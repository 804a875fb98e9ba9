#pragma once

#include "Dialog_win.h"
#include "Toolbar_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Helpers for tests that make real windows under Wine and Xvfb.

inline HINSTANCE testModule() {
    return GetModuleHandleW(nullptr);
}

// Handles every message that is waiting for this thread.
void pumpMessages();

// Shows a dialog without a message loop of its own, so that the test drives
// it directly; destroys it again at the end of the scope.
class OpenedDialog {
public:
    explicit OpenedDialog(Dialog& dialog);
    ~OpenedDialog();
    OpenedDialog(const OpenedDialog&) = delete;
    OpenedDialog& operator=(const OpenedDialog&) = delete;

private:
    Dialog& dialog;
};

std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);

// The visible dialog-class windows (#32770) of a thread.
std::vector<HWND> threadDialogs(DWORD threadId);

// A visible dialog-class window (#32770) of the thread that match accepts.
// After the timeout every dialog of the thread is cancelled, so that a modal
// loop the test thread is in ends instead of hanging, and 0 is answered.
HWND waitForDialog(DWORD threadId, const std::function<bool(HWND)>& match,
                   int timeoutMilliseconds = 10000);
HWND waitForDialogTitled(DWORD threadId, const std::wstring& title);

// The message text of a message box (its longest static text).
std::wstring messageBoxText(HWND box);

// The part of a test that a user does while the test thread sits in a modal
// loop: runs on a second thread, joined when the test reads the results.
class UserScript {
public:
    explicit UserScript(std::function<void()> script) : thread(std::move(script)) {}
    ~UserScript() { finish(); }
    void finish() {
        if (thread.joinable()) {
            thread.join();
        }
    }

private:
    std::thread thread;
};

// The main window's toolbar: 24 x 24 images from bitmaps 163 to 165, the
// buttons Tracks, Albums, Analyze, Apply Gain and Help with two separators.
class MainToolbar : public Toolbar {
public:
    explicit MainToolbar(Window& parent);
    // Once the parent's window exists.
    void addButtons();
};
