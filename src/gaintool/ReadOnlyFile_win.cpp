#include "ReadOnlyFile.h"

#include "LongPath_win.h"

#include <windows.h>

#include <algorithm>

namespace {

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

ReadOnlyFile::ReadOnlyFile(const std::wstring& path)
    : handle(reinterpret_cast<std::intptr_t>(
          CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (asHandle(handle) == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        openState = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                        ? State::Missing
                        : State::Unreadable;
        return;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(asHandle(handle), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return;
    }
    fileSize = (std::uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    modifiedTime = static_cast<std::int64_t>(
        (std::uint64_t(information.ftLastWriteTime.dwHighDateTime) << 32) |
        information.ftLastWriteTime.dwLowDateTime);
    openState = State::Open;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (asHandle(handle) != INVALID_HANDLE_VALUE) {
        CloseHandle(asHandle(handle));
    }
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) {
    if (openState != State::Open) {
        return 0;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
        DWORD count = 0;
        if (!ReadFile(asHandle(handle), buffer.data() + done, chunk, &count, &at) || count == 0) {
            break;
        }
        done += count;
    }
    return done;
}
