// Velto.exe itself, started as a user starts it, where only a process of its
// own can show what happens: the exit code.

#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::wstring windowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:" + fs::path(unixPath).wstring();
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

std::vector<HWND> visibleWindowsOf(DWORD processId) {
    ProcessWindows windows{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM state) -> BOOL {
            auto* windows = reinterpret_cast<ProcessWindows*>(state);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == windows->processId && IsWindowVisible(window)) {
                windows->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows.found;
}

} // namespace

TEST(Program, WithoutAGainToolBesideItSaysWhereItLookedAndEndsWithExitCode1) {
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    std::wstring folder = std::wstring(temporary) + L"velto-without-tool\\";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    std::wstring program = folder + L"Velto.exe";
    ASSERT_TRUE(CopyFileW(windowsPathOf(VELTO_EXE).c_str(), program.c_str(), FALSE));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + program + L"\"";
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, folder.c_str(), &startup, &started));
    HWND box = nullptr;
    for (int tries = 0; tries < 1000 && !box; ++tries) {
        for (HWND window : visibleWindowsOf(started.dwProcessId)) {
            EXPECT_EQ(GetMenu(window), nullptr) << "no main window before the message";
            if (windowClass(window) == L"#32770") {
                box = window;
            }
        }
        Sleep(20);
    }
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(windowText(box), L"Velto");
    EXPECT_EQ(messageBoxText(box), L"aacgain.exe or mp3gain.exe not found in directory " + folder);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    ASSERT_EQ(WaitForSingleObject(started.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 1u);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}
