#include "StderrReporter.h"

#include <cstdio>

void StderrReporter::showWarning(const std::wstring& text, const std::wstring& caption, bool) {
    std::fwprintf(stderr, L"%ls: %ls\n", caption.c_str(), text.c_str());
}

MessageReporter& platformMessageReporter() {
    static StderrReporter reporter;
    return reporter;
}
