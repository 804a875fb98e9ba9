#include "BlankControlChars.h"

void blankControlChars(std::optional<std::wstring>& text) {
    if (!text) {
        return;
    }
    for (wchar_t& c : *text) {
        if (c == L'\n' || c == L'\r' || c == L'\t') {
            c = L' ';
        }
    }
}
