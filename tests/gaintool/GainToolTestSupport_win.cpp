#include "GainToolTestSupport.h"

#include <windows.h>

#include <cstdio>
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

std::string toolBytesOf(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                        nullptr, nullptr);
    return bytes;
}

// cmd /c drops the first and the last quote of its command: hence the outer pair.
std::string runToolDirectly(const std::wstring& tool, const std::wstring& arguments) {
    const std::wstring command = L"\"\"" + tool + L"\" " + arguments + L" 2>&1\"";
    FILE* pipe = _wpopen(command.c_str(), L"rb");
    if (!pipe) {
        throw std::runtime_error("_wpopen failed");
    }
    std::string output = readAllBytes(pipe);
    _pclose(pipe);
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

bool ProcessWatch::hasEnded() const {
    return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}

std::optional<unsigned long> ProcessWatch::exitCode() const {
    DWORD code = 0;
    if (!handle || !GetExitCodeProcess(handle, &code) || code == STILL_ACTIVE) {
        return std::nullopt;
    }
    return code;
}
