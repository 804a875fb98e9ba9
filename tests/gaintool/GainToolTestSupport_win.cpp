#include "GainToolTestSupport.h"

#include "ScopedHandle_win.h"

#include <windows.h>

#include <stdexcept>

namespace fs = std::filesystem;

fs::path toPath(const std::wstring& text) {
    return fs::path(text);
}

std::wstring toText(const fs::path& path) {
    return path.wstring();
}

// Wine shows the Unix file system as drive Z:.
std::wstring toolPathOf(const char* buildPath) {
    std::wstring path = L"Z:" + fs::path(buildPath).wstring();
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

// Made by the test fixture before the tests run (sox and lame are Unix programs).
fs::path pristineTestAudio() {
    return fs::path(toolPathOf(VELTO_TEST_AUDIO_DIR));
}

// The fixture made the files of every kind in the same folder.
fs::path pristineTestLibrary() {
    return pristineTestAudio();
}

// The tools Velto builds (mp3gain.exe, the fake tool) speak UTF-8.
std::string toolBytesOf(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

using OwnedHandle = ScopedHandle<HANDLE, CloseHandle>;

// Started with CreateProcessW itself rather than through a command shell, so
// that nothing but the tool stands between the test and the tool's output:
// both outputs on one inherited pipe, no standard input. Written apart from
// RunAACGain on purpose: the tests hold the runner's output against this one.
std::string runToolDirectly(const std::wstring& tool, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    if (!CreatePipe(&pipeRead, &pipeWrite, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    const OwnedHandle readEnd(pipeRead);
    OwnedHandle writeEnd(pipeWrite);
    SetHandleInformation(pipeRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = pipeWrite;
    startup.hStdError = pipeWrite;
    std::wstring commandLine = L"\"" + tool + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started)) {
        throw std::runtime_error("CreateProcessW failed");
    }
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    writeEnd.reset(); // the tool's copy is then the last: reading ends when the tool does

    std::string output;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(pipeRead, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        output.append(buffer, count);
    }
    WaitForSingleObject(process.get(), INFINITE);
    return output;
}

ProcessWatch::ProcessWatch(unsigned long processId)
    : processId(processId),
      handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId)) {}

ProcessWatch::~ProcessWatch() {
    if (handle) {
        CloseHandle(handle);
    }
}

// A process that can no longer be opened by its id has ended and is gone.
bool ProcessWatch::hasEnded() const {
    if (!handle) {
        HANDLE again = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (!again) {
            return GetLastError() == ERROR_INVALID_PARAMETER;
        }
        const bool ended = WaitForSingleObject(again, 0) == WAIT_OBJECT_0;
        CloseHandle(again);
        return ended;
    }
    return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}

std::optional<unsigned long> ProcessWatch::exitCode() const {
    DWORD code = 0;
    if (!handle || !GetExitCodeProcess(handle, &code) || code == STILL_ACTIVE) {
        return std::nullopt;
    }
    return code;
}
