#include "ResourceStringTable_win.h"

std::optional<std::wstring> ResourceStringTable::load(int id) const {
    // With a zero buffer length LoadStringW hands out a pointer into the
    // resource itself and the text's length, trailing blanks included.
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return std::nullopt;
    }
    return std::wstring(text, static_cast<std::size_t>(length));
}
