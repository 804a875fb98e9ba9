#include "MessageBoxReporter_win.h"

#include <windows.h>

void MessageBoxReporter::showWarning(const std::wstring& text, const std::wstring& caption,
                                     bool withOwner) {
    // GetFocus answers the focus window of the calling thread only, so a box
    // raised on a worker thread has no owner.
    HWND owner = withOwner ? GetFocus() : nullptr;
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONWARNING);
}

MessageReporter& platformMessageReporter() {
    static MessageBoxReporter reporter;
    return reporter;
}
