#pragma once

#include "FileStore.h"

// The file store of the platform: Win32 file calls on Windows, POSIX calls
// elsewhere (PlatformFileStore_win.cpp, PlatformFileStore_posix.cpp).
class PlatformFileStore : public FileStore {
public:
    bool exists(const std::wstring& path) override;
    std::optional<std::string> readAll(const std::wstring& path) override;
    bool replaceWith(const std::wstring& path, const std::string& bytes) override;

    // The name of the file that replaceWith writes before it replaces path.
    static std::wstring temporaryPathFor(const std::wstring& path);

    // The one store of the process, used when a database is given none.
    static PlatformFileStore& instance();
};
