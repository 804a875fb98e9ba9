#include "ToolNumbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isWhiteSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

std::size_t skipWhiteSpace(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    return i;
}

std::size_t skipDigits(std::wstring_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

// The characters of the longest decimal number at the start of text (sign,
// digits, fraction, exponent), narrowed; empty when there is none.
std::string leadingDecimal(std::wstring_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    const std::size_t integerStart = i;
    i = skipDigits(text, i);
    std::size_t digits = i - integerStart;
    if (i < text.size() && text[i] == L'.') {
        const std::size_t fractionStart = i + 1;
        const std::size_t fractionEnd = skipDigits(text, fractionStart);
        digits += fractionEnd - fractionStart;
        i = fractionEnd;
    }
    if (digits == 0) {
        return {};
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        std::size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == L'+' || text[exponent] == L'-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) {
            i = exponentEnd;
        }
    }
    return std::string(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
}

} // namespace

double toolReal(std::wstring_view text) {
    return toolRealIfNumber(text).value_or(0.0);
}

std::optional<double> toolRealIfNumber(std::wstring_view text) {
    std::string number = leadingDecimal(text.substr(skipWhiteSpace(text)));
    if (number.empty()) {
        return std::nullopt;
    }
    const bool negative = number[0] == '-';
    const char* first = number.data() + ((number[0] == '+' || negative) ? 1 : 0);
    double value = 0.0;
    std::from_chars_result result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = std::strtod(first, nullptr);
    }
    return negative ? -value : value;
}

int toolInt(std::wstring_view text) {
    std::size_t i = skipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            break;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}
