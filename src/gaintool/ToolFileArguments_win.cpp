#include "ToolFileArguments.h"

#include "LongPath_win.h"

#include <windows.h>

#include <string_view>

namespace {

// Owns a module loaded as data, to read its resources.
class ScopedDataModule {
public:
    explicit ScopedDataModule(const std::wstring& path)
        : module(LoadLibraryExW(path.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ScopedDataModule() {
        if (module) {
            FreeLibrary(module);
        }
    }
    ScopedDataModule(const ScopedDataModule&) = delete;
    ScopedDataModule& operator=(const ScopedDataModule&) = delete;

    HMODULE get() const { return module; }

private:
    HMODULE module;
};

// Whether the program's application manifest (resource type 24, id 1) sets
// UTF-8 as its active code page; a program without one runs with the ANSI
// code page.
bool manifestSetsUtf8(const std::wstring& programPath) {
    const ScopedDataModule program(programPath);
    if (!program.get()) {
        return false;
    }
    HRSRC resource = FindResourceW(program.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = resource ? LoadResource(program.get(), resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        return false;
    }
    const std::string_view manifest(static_cast<const char*>(bytes),
                                    SizeofResource(program.get(), resource));
    const std::size_t setting = manifest.find("activeCodePage");
    if (setting == std::string_view::npos) {
        return false;
    }
    const std::size_t value = manifest.find('>', setting);
    return value != std::string_view::npos && manifest.substr(value + 1, 5) == "UTF-8";
}

// WideCharToMultiByte reports a character it had to replace; best-fit
// mappings ("e" for "é") are refused, since the tool would open another name.
bool inAnsiCodePage(const std::wstring& text) {
    if (GetACP() == CP_UTF8) {
        return true;
    }
    BOOL replaced = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, &replaced);
    return length > 0 && !replaced;
}

std::optional<std::wstring> shortPathOf(const std::wstring& path) {
    const std::wstring longPath = extendedLengthPath(path);
    const DWORD size = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(longPath.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    shortPath.resize(length);
    if (shortPath.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\?\\")) {
        shortPath.erase(0, 4);
    }
    return shortPath;
}

} // namespace

ToolFileArguments ToolFileArguments::forTool(const std::wstring& toolPath) {
    return ToolFileArguments(manifestSetsUtf8(toolPath), {inAnsiCodePage, shortPathOf});
}

bool ToolFileArguments::restoreName(const std::wstring& path, const std::wstring& argument) {
    const std::wstring longPath = extendedLengthPath(path);
    if (argument == path || GetFileAttributesW(longPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    return MoveFileExW(argument.c_str(), longPath.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
