#include "CellText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::wstring formatTenths(double value) {
    if (std::isnan(value)) {
        return std::signbit(value) ? L"-nan" : L"nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? L"-inf" : L"inf";
    }
    // Large enough for any finite double in fixed notation (309 digits and more).
    char digits[400];
    auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    return std::wstring(digits, result.ptr);
}

void copyCellText(std::wstring_view text, wchar_t* buffer, int length) {
    if (buffer == nullptr || length < 0) {
        return;
    }
    std::size_t count = std::min(text.size(), static_cast<std::size_t>(length));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = L'\0';
}
