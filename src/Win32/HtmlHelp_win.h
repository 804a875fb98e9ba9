#pragma once

#include <windows.h>

#include <string>

// The HTML Help viewer, loaded on first use from the registered HTML Help
// control (hhctrl.ocx). When it cannot be loaded every call answers 0 and
// shows nothing.
class HtmlHelp {
public:
    static constexpr UINT kDisplayTopic = 0; // HH_DISPLAY_TOPIC
    static constexpr UINT kDisplayToc = 1;   // HH_DISPLAY_TOC

    // controlKey: the HKEY_CLASSES_ROOT key whose default value names the
    // control's file; libraryName: what to load when that fails.
    // The library, once loaded, stays loaded for the life of the process.
    HtmlHelp(std::wstring controlKey, std::wstring libraryName);
    HtmlHelp(const HtmlHelp&) = delete;
    HtmlHelp& operator=(const HtmlHelp&) = delete;

    // The viewer's window, or 0.
    HWND call(HWND owner, const std::wstring& file, UINT command, DWORD_PTR data);

    // The program's viewer: the registered control, else hhctrl.ocx by name.
    static HtmlHelp& system();

private:
    using Entry = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

    bool load();

    std::wstring controlKey;
    std::wstring libraryName;
    HMODULE module = nullptr;
    Entry entry = nullptr;
    bool failed = false;
};

// The HTML Help API as the program calls it (through HtmlHelp::system()).
HWND HtmlHelpW(HWND owner, const std::wstring& file, UINT command, DWORD_PTR data);

// The help file's contents (F1, Help > Contents) and its licence page; the
// directory defaults to the program's. The viewer's window, or 0.
HWND showHelpContents(HWND owner);
HWND showHelpContents(HWND owner, const std::wstring& directory);
HWND showLicensePage(HWND owner);
HWND showLicensePage(HWND owner, const std::wstring& directory);
