#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Velto's main window seen from another process: found by its title and its
// list, read through its controls and driven with the messages a user's
// clicks would send. All waits poll and end at a time-out.
class VeltoWindow {
public:
    struct Row {
        bool selected = false;
        std::vector<std::wstring> cells;
    };

    // The visible main window, waiting up to timeoutMs for it; 0 when none came.
    static HWND find(DWORD timeoutMs);
    explicit VeltoWindow(HWND main) : main(main) {}

    HWND handle() const { return main; }
    std::wstring statusText(int part) const;
    // No job or sync runs, the status says "Ready" and the list shows a view.
    bool isIdle() const;
    // Waits until Velto is idle (answers the main window) or one of its
    // dialogs shows (answers that dialog: a job's message box, say); 0 when
    // the time ran out.
    HWND waitIdleOrDialog(DWORD timeoutMs) const;
    // Waits until a job that has started says what it works on (the status
    // is no longer "Ready"), or has ended already.
    bool waitWorking(DWORD timeoutMs) const;
    std::vector<Row> rows() const;
    // A click on the row's label, which selects the row alone.
    bool clickRow(int row) const;

    // Sends the command. False when its handler has not returned within
    // timeoutMs: it opened a modal dialog, which waits for an answer.
    bool command(int id, DWORD timeoutMs) const;
    // True once the window's thread has handled everything sent before.
    bool sync(DWORD timeoutMs) const;

    // A visible dialog of Velto's process with this title, other than the
    // main window; 0 when none came within timeoutMs.
    HWND findDialog(const std::wstring& title, DWORD timeoutMs) const;
    // Ticks the check box checkId (0 for none), presses the button and waits
    // until the dialog has gone and the main window has taken it in.
    bool press(HWND dialog, int buttonId, int checkId, DWORD timeoutMs) const;
    // Closes the dialog as its close box does and waits until it has gone.
    bool close(HWND dialog, DWORD timeoutMs) const;
    // Waits for Velto's process to end.
    bool waitForExit(DWORD timeoutMs) const;

    // The texts of the dialog's controls, one a line.
    static std::wstring controlTexts(HWND dialog);
    // Every visible window of Velto's process with its title and texts, to
    // tell what was on the screen when a wait failed.
    std::wstring describeWindows() const;

private:
    HWND statusBar() const;
    HWND child(int id) const { return GetDlgItem(main, id); }
    DWORD processId() const;
    // A visible dialog of Velto's process other than the main window, with
    // this title (any title when there is none).
    HWND visibleDialog(const std::wstring* title) const;

    HWND main;
};
