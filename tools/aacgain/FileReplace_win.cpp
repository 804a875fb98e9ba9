#include "FileReplace.h"

#include <cstdio>
#include <io.h>
#include <windows.h>

namespace {

// The C library opens files by names in the active code page (UTF-8 with the
// program's manifest); the wide calls take the same names converted.
std::wstring wideName(const std::string& name) {
    int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), length);
    wide.resize(std::size_t(length - 1));
    return wide;
}

} // namespace

bool FileReplace::syncToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

bool FileReplace::renameOver(const std::string& from, const std::string& to) {
    return MoveFileExW(wideName(from).c_str(), wideName(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void FileReplace::copyPermissions(const std::string& from, const std::string& to) {
    DWORD attributes = GetFileAttributesW(wideName(from).c_str());
    // Only the attributes a user sets; the original is writable, as the
    // caller checked.
    DWORD kept = attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (attributes != INVALID_FILE_ATTRIBUTES && kept != 0) {
        SetFileAttributesW(wideName(to).c_str(), kept);
    }
}
