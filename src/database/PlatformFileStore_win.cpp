#include "PlatformFileStore.h"

#include <windows.h>

#include <algorithm>

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle() {
        if (valid()) {
            CloseHandle(handle);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle; }
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    // Closes now, reporting whether the close succeeded.
    bool close() {
        BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle;
};

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

} // namespace

bool PlatformFileStore::exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> PlatformFileStore::readAll(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(size_t(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD done = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &done, nullptr)) {
            return std::nullopt;
        }
        if (done == 0) {
            return bytes;
        }
        bytes.append(buffer, done);
    }
}

bool PlatformFileStore::replaceWith(const std::wstring& path, const std::string& bytes) {
    std::wstring temporary = temporaryPathFor(path);
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    bool complete = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    complete = file.close() && complete;
    if (!complete || !MoveFileExW(temporary.c_str(), path.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
