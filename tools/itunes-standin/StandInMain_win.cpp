// The iTunes stand-in as a COM local server: serves CLSID_iTunesApp until its
// last object is released. Started by COM (with -Embedding) once the
// registration script has registered it.
//
//   itunes-standin.exe [/library "C:\...\iTunes Music Library.xml"] [-Embedding]

#include "StandInRegistration_win.h"

#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct ComApartment {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
};

std::wstring libraryArgument(int argc, wchar_t** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (_wcsicmp(argv[i], L"/library") == 0 || _wcsicmp(argv[i], L"-library") == 0) {
            return argv[i + 1];
        }
    }
    return std::wstring();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    ComApartment apartment;
    if (FAILED(apartment.result)) {
        return 1;
    }
    auto state = std::make_shared<StandInState>();
    std::wstring library = libraryArgument(argc, argv);
    if (!library.empty()) {
        HRESULT hr = state->loadLibrary(library);
        if (FAILED(hr)) {
            fwprintf(stderr, L"itunes-standin: cannot load %ls (0x%08lx)\n", library.c_str(),
                     static_cast<unsigned long>(hr));
            return 1;
        }
    }
    DWORD thread = GetCurrentThreadId();
    state->onLastObjectGone = [thread] { PostThreadMessageW(thread, WM_QUIT, 0, 0); };
    StandInRegistration registration(state);
    if (FAILED(registration.result())) {
        fwprintf(stderr, L"itunes-standin: cannot register (0x%08lx)\n",
                 static_cast<unsigned long>(registration.result()));
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
