// Drives Velto's main window from outside, for the tour of scripts/run and
// for tests: finds the window, gives commands, answers dialogs, waits for
// "Ready" and reads the status bar and the list. The steps run in order:
//
//   VeltoDriver find 60 command 32807 command 32830 wait-idle 300 rows
//
//   find SECONDS             wait for the main window (also done by the first step)
//   wait-idle SECONDS        wait until no job or sync runs and the status says "Ready";
//                            prints "ready", or "dialog TITLE" and the dialog's rectangle
//                            when one of Velto's dialogs shows first (a job's message box)
//   wait-working SECONDS     wait until a job that has started names what it works on
//   command ID               send a command; prints "dialog" when it opened a dialog, else "done"
//   dialog TITLE SECONDS     wait for a dialog; prints its rectangle: left top right bottom
//   press TITLE BUTTON CHECK SECONDS
//                            in that dialog tick check box CHECK (0: none) and press BUTTON
//   close TITLE SECONDS      close a dialog (a window without buttons) as its close box does
//   texts TITLE              print the texts of a dialog's controls
//   click-row N              click row N of the list (from 0)
//   status PART              print a part of the status bar
//   rows                     print the list: a '*' for a selected row, then its cells
//   rect                     print the main window's rectangle
//   exit SECONDS             give the Exit command and wait for Velto to end
//
// A step that fails prints what Velto shows and ends the program with 1.
#include "VeltoWindow_win.h"

#include "ResourceIds.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void print(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring rectText(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
           std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom) + L"\n";
}

class Steps {
public:
    explicit Steps(std::vector<std::wstring> words) : words(std::move(words)) {}

    int run() {
        try {
            while (next < words.size()) {
                step(take());
            }
            return 0;
        } catch (const std::runtime_error& failure) {
            std::fprintf(stderr, "VeltoDriver: %s\n", failure.what());
            if (window) {
                print(L"--- what Velto shows:\n" + window->describeWindows());
            }
            return 1;
        }
    }

private:
    std::wstring take() {
        if (next >= words.size()) {
            throw std::runtime_error("a step lacks its arguments");
        }
        return words[next++];
    }
    int takeNumber() { return std::stoi(take()); }
    DWORD takeSeconds() { return static_cast<DWORD>(takeNumber()) * 1000; }

    VeltoWindow& velto(DWORD timeoutMs = 60000) {
        if (!window) {
            HWND main = VeltoWindow::find(timeoutMs);
            if (!main) {
                throw std::runtime_error("Velto's main window did not appear");
            }
            window.emplace(main);
        }
        return *window;
    }

    void step(const std::wstring& name) {
        if (name == L"find") {
            velto(takeSeconds());
        } else if (name == L"wait-idle") {
            HWND shown = velto().waitIdleOrDialog(takeSeconds());
            if (!shown) {
                throw std::runtime_error("Velto did not become ready");
            }
            wchar_t title[256] = L"";
            GetWindowTextW(shown, title, 256);
            print(shown == velto().handle()
                      ? std::wstring(L"ready\n")
                      : L"dialog " + std::wstring(title) + L" " + rectText(shown));
        } else if (name == L"wait-working") {
            if (!velto().waitWorking(takeSeconds())) {
                throw std::runtime_error("the job did not begin its work");
            }
        } else if (name == L"command") {
            int id = takeNumber();
            print(velto().command(id, 1500) ? L"done\n" : L"dialog\n");
        } else if (name == L"dialog") {
            std::wstring title = take();
            HWND dialog = velto().findDialog(title, takeSeconds());
            if (!dialog) {
                throw std::runtime_error("the dialog did not appear");
            }
            print(rectText(dialog));
        } else if (name == L"press") {
            std::wstring title = take();
            int button = takeNumber();
            int check = takeNumber();
            DWORD timeout = takeSeconds();
            HWND dialog = velto().findDialog(title, timeout);
            if (!dialog || !velto().press(dialog, button, check, timeout)) {
                throw std::runtime_error("the dialog's button could not be pressed");
            }
        } else if (name == L"close") {
            std::wstring title = take();
            DWORD timeout = takeSeconds();
            HWND dialog = velto().findDialog(title, timeout);
            if (!dialog || !velto().close(dialog, timeout)) {
                throw std::runtime_error("the dialog could not be closed");
            }
        } else if (name == L"texts") {
            std::wstring title = take();
            HWND dialog = velto().findDialog(title, 5000);
            if (!dialog) {
                throw std::runtime_error("the dialog did not appear");
            }
            print(VeltoWindow::controlTexts(dialog));
        } else if (name == L"click-row") {
            if (!velto().clickRow(takeNumber())) {
                throw std::runtime_error("the row could not be clicked");
            }
        } else if (name == L"status") {
            print(velto().statusText(takeNumber()) + L"\n");
        } else if (name == L"rows") {
            for (const VeltoWindow::Row& row : velto().rows()) {
                std::wstring line = row.selected ? L"*" : L" ";
                for (const std::wstring& cell : row.cells) {
                    line += L"\t" + cell;
                }
                print(line + L"\n");
            }
        } else if (name == L"rect") {
            print(rectText(velto().handle()));
        } else if (name == L"exit") {
            DWORD timeout = takeSeconds();
            velto().command(IDM_EXIT, timeout);
            if (!velto().waitForExit(timeout)) {
                throw std::runtime_error("Velto did not end after Exit");
            }
        } else {
            throw std::runtime_error("unknown step");
        }
    }

    std::vector<std::wstring> words;
    size_t next = 0;
    std::optional<VeltoWindow> window;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Steps(std::vector<std::wstring>(argv + 1, argv + argc)).run();
}
