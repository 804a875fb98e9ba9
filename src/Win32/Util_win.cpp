#include "Util_win.h"

#include "Exception.h"

#include <windows.h>

#include <shlobj.h>

namespace {

std::wstring readModuleDirectory() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0) {
        checkResult(static_cast<int>(GetLastError()), L".\\Util", 88);
    }
    std::wstring directory(path, length);
    return directory.substr(0, directory.rfind(L'\\') + 1);
}

} // namespace

const std::wstring& moduleDirectory() {
    static const std::wstring directory = readModuleDirectory();
    return directory;
}

std::optional<std::wstring> specialFolderPath(int folderId) {
    wchar_t path[MAX_PATH] = {};
    // S_FALSE: the folder id is known but the folder does not exist.
    if (SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return std::nullopt;
    }
    return std::wstring(path) + L"\\";
}
