#include "Threading_win.h"
#include "Util_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

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

TEST(StartThread, RunsTheRoutineOnAnotherThreadAndSurvivesItsExceptions) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD routineThread = 0;
    startThread([&] {
        routineThread = GetCurrentThreadId();
        SetEvent(done);
        throw std::runtime_error("escapes the routine");
    });
    ASSERT_EQ(WaitForSingleObject(done, 5000), WAIT_OBJECT_0);
    EXPECT_NE(routineThread, GetCurrentThreadId());
    Sleep(100); // the exception ends that thread, not the process
    CloseHandle(done);
}

} // namespace
