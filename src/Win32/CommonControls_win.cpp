#include "CommonControls_win.h"

#include "ScopedHandle_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

namespace {

bool& versionFlag() {
    static bool isVersion6 = false;
    return isVersion6;
}

} // namespace

void initializeCommonControls() {
    static bool initialized = false;
    if (initialized) {
        return;
    }
    initialized = true;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);
    versionFlag() = detectCommonControlsV6();
}

bool commonControlsV6() {
    return versionFlag();
}

bool detectCommonControlsV6() {
    ScopedHandle<HMODULE, freeModule> library(LoadLibraryW(L"comctl32.dll"));
    if (!library) {
        return false;
    }
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "DllGetVersion")));
    if (!getVersion) {
        return false;
    }
    DLLVERSIONINFO version{};
    version.cbSize = sizeof(version);
    if (FAILED(getVersion(&version))) {
        return false;
    }
    if (version.dwMajorVersion >= 6) {
        return true;
    }
    // Wine's version 6 library, loaded through the manifest, still reports
    // 5.81. Only the common controls 6 assembly redirects comctl32.dll, so a
    // redirection in the process's activation context means version 6.
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof(redirection);
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                    L"comctl32.dll", &redirection);
}
