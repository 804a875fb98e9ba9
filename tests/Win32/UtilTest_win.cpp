#include "Util_win.h"
#include "WorkerThread_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <atomic>
#include <stdexcept>

namespace {

TEST(ModuleDirectory, IsTheProgramsDirectoryWithATrailingBackslash) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring& directory = moduleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), L'\\');
    EXPECT_EQ(std::wstring(path).rfind(directory, 0), 0u);
    EXPECT_EQ(std::wstring(path).find(L'\\', directory.size()), std::wstring::npos);
}

TEST(SpecialFolderPath, EndsInABackslashOrIsAbsent) {
    std::optional<std::wstring> documents = specialFolderPath(CSIDL_PERSONAL);
    ASSERT_TRUE(documents.has_value());
    EXPECT_EQ(documents->back(), L'\\');
    EXPECT_EQ(documents->find(L"\\\\"), std::wstring::npos);
    EXPECT_FALSE(specialFolderPath(0x7F).has_value()) << "no such folder id";
}

// A window of the test thread that counts the messages sent to it.
class CountingWindow {
public:
    CountingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VeltoCountingWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"VeltoCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    ~CountingWindow() { DestroyWindow(window); }
    HWND handle() const { return window; }
    static inline int received = 0;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            ++received;
            return 1;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window = nullptr;
};

TEST(WorkerThread, WaitingHandlesTheWorkersSendsInsteadOfHangingWithIt) {
    CountingWindow counting;
    CountingWindow::received = 0;
    std::atomic<int> answered = 0;
    WorkerThread worker;
    worker.start([&] {
        for (int i = 0; i < 3; ++i) {
            DWORD_PTR result = 0;
            // A wait that ignored sends would let these time out.
            SendMessageTimeoutW(counting.handle(), WM_APP, 0, 0, SMTO_BLOCK, 5000, &result);
            answered += static_cast<int>(result);
        }
    });
    worker.waitHandlingSentMessages();
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(CountingWindow::received, 3);
    EXPECT_EQ(answered, 3);

    // A second start waits for the first thread; an escaping exception ends only the thread.
    worker.start([] { throw std::runtime_error("escapes the routine"); });
    DWORD routineThread = 0;
    worker.start([&] {
        routineThread = GetCurrentThreadId();
        answered = 10;
    });
    worker.waitHandlingSentMessages();
    EXPECT_EQ(answered, 10);
    EXPECT_NE(routineThread, GetCurrentThreadId());
    worker.waitHandlingSentMessages(); // none running: returns at once
}

} // namespace
