#include "RawOutput.h"

#include <windows.h>

namespace {

void writeAll(DWORD standardHandle, const std::string& bytes) {
    HANDLE handle = GetStdHandle(standardHandle);
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD count = 0;
        if (!WriteFile(handle, bytes.data() + written, static_cast<DWORD>(bytes.size() - written),
                       &count, nullptr) ||
            count == 0) {
            return;
        }
        written += count;
    }
}

} // namespace

void writeStandardOutput(const std::string& bytes) {
    writeAll(STD_OUTPUT_HANDLE, bytes);
}

void writeStandardError(const std::string& bytes) {
    writeAll(STD_ERROR_HANDLE, bytes);
}

void sleepMilliseconds(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

unsigned long currentProcessId() {
    return GetCurrentProcessId();
}
