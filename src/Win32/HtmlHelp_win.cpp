#include "HtmlHelp_win.h"

#include "Util_win.h"

namespace {

constexpr wchar_t kHelpFile[] = L"Velto.chm";
constexpr wchar_t kLicenseTopic[] = L"::/license.htm";
// The wide-character HtmlHelp entry of hhctrl.ocx is exported by ordinal.
constexpr WORD kHtmlHelpWOrdinal = 15;

std::wstring registeredControlPath(const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path) - sizeof(wchar_t);
    DWORD type = 0;
    LONG result =
        RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return path;
}

} // namespace

HtmlHelp::HtmlHelp(std::wstring controlKey, std::wstring libraryName)
    : controlKey(std::move(controlKey)), libraryName(std::move(libraryName)) {}

HtmlHelp& HtmlHelp::system() {
    static HtmlHelp viewer(L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                           L"hhctrl.ocx");
    return viewer;
}

bool HtmlHelp::load() {
    if (failed) {
        return false;
    }
    if (!module) {
        std::wstring path = registeredControlPath(controlKey);
        if (!path.empty()) {
            module = LoadLibraryW(path.c_str());
        }
        if (!module) {
            module = LoadLibraryW(libraryName.c_str());
        }
        if (!module) {
            failed = true;
            return false;
        }
    }
    if (!entry) {
        entry = reinterpret_cast<Entry>(
            reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(kHtmlHelpWOrdinal))));
        if (!entry) {
            failed = true;
            return false;
        }
    }
    return true;
}

HWND HtmlHelp::call(HWND owner, const std::wstring& file, UINT command, DWORD_PTR data) {
    if (!load()) {
        return nullptr;
    }
    return entry(owner, file.c_str(), command, data);
}

HWND HtmlHelpW(HWND owner, const std::wstring& file, UINT command, DWORD_PTR data) {
    return HtmlHelp::system().call(owner, file, command, data);
}

HWND showHelpContents(HWND owner) {
    return showHelpContents(owner, moduleDirectory());
}

HWND showHelpContents(HWND owner, const std::wstring& directory) {
    return HtmlHelpW(owner, directory + kHelpFile, HtmlHelp::kDisplayToc, 0);
}

HWND showLicensePage(HWND owner) {
    return showLicensePage(owner, moduleDirectory());
}

HWND showLicensePage(HWND owner, const std::wstring& directory) {
    return HtmlHelpW(owner, directory + kHelpFile + kLicenseTopic, HtmlHelp::kDisplayTopic, 0);
}
