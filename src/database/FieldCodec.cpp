#include "FieldCodec.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

// Texts are stored one byte per character (codes 0..255), LF as CR LF. A TAB or
// CR would end the field, and codes above 255 have no byte, so these (and NUL)
// are written as NUL followed by four upper-case hex digits of the UTF-16 code
// unit. No text of the plain format can hold a NUL byte, since texts were
// always NUL-terminated strings there, so a file whose texts need no escape
// stays byte for byte the plain format.

namespace FieldCodec {
namespace {

constexpr char kEscape = '\0';
constexpr size_t kEscapeLength = 5;

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The code unit of an escape at field[i], or -1 when there is none.
int escapedUnitAt(std::string_view field, size_t i) {
    if (field[i] != kEscape || field.size() - i < kEscapeLength) {
        return -1;
    }
    int unit = 0;
    for (size_t k = 1; k < kEscapeLength; ++k) {
        int digit = hexValue(field[i + k]);
        if (digit < 0) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

// strtod reads the decimal point of the C library's locale.
char decimalPoint() {
    const char* point = std::localeconv()->decimal_point;
    return point && *point ? *point : '.';
}

bool isHighSurrogate(int unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(int unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendEscape(std::string& out, uint32_t unit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += kEscape;
    out += kHex[(unit >> 12) & 0xF];
    out += kHex[(unit >> 8) & 0xF];
    out += kHex[(unit >> 4) & 0xF];
    out += kHex[unit & 0xF];
}

// A character beyond the byte range, as UTF-16 code units.
void appendEscapedCharacter(std::string& out, uint32_t code) {
    if (code > 0x10FFFF) {
        code = 0xFFFD;
    }
    if (code <= 0xFFFF) {
        appendEscape(out, code);
        return;
    }
    code -= 0x10000;
    appendEscape(out, 0xD800 + (code >> 10));
    appendEscape(out, 0xDC00 + (code & 0x3FF));
}

// Moves i past leading white space and an optional sign; true for '-'.
bool skipBlanksAndSign(std::string_view field, size_t& i) {
    while (i < field.size() && isBlank(field[i])) {
        ++i;
    }
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) {
        return field[i++] == '-';
    }
    return false;
}

} // namespace

int32_t parseInteger(std::string_view field) {
    size_t i = 0;
    bool negative = skipBlanksAndSign(field, i);
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < field.size() && isDigit(field[i]); ++i) {
        if (magnitude < kLimit) {
            magnitude = magnitude * 10 + (field[i] - '0');
        }
    }
    if (magnitude > kLimit) {
        magnitude = kLimit;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

OptionalReal parseReal(std::string_view field) {
    // An empty field only occurs in a cut file; reading it as a measured 0.0
    // would invent a value, so it reads as absent like "N".
    if (field.empty() || field[0] == 'N') {
        return OptionalReal::absent();
    }
    size_t i = 0;
    bool negative = skipBlanksAndSign(field, i);
    // The number's characters without the sign, with 'e' for the exponent.
    std::string number;
    size_t mantissaDigits = 0;
    for (; i < field.size() && isDigit(field[i]); ++i, ++mantissaDigits) {
        number += field[i];
    }
    if (i < field.size() && field[i] == '.') {
        number += decimalPoint();
        for (++i; i < field.size() && isDigit(field[i]); ++i, ++mantissaDigits) {
            number += field[i];
        }
    }
    if (mantissaDigits == 0) {
        return OptionalReal::of(0.0);
    }
    if (i < field.size() &&
        (field[i] == 'e' || field[i] == 'E' || field[i] == 'd' || field[i] == 'D')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < field.size() && (field[k] == '-' || field[k] == '+')) {
            exponent += field[k];
            ++k;
        }
        if (k < field.size() && isDigit(field[k])) {
            for (; k < field.size() && isDigit(field[k]); ++k) {
                exponent += field[k];
            }
            number += exponent;
        }
    }
    // Like _wtof, too large a value gives the largest double.
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        value = std::numeric_limits<double>::max();
    }
    return OptionalReal::of(negative ? -value : value);
}

OptionalText decodeText(std::string_view field) {
    if (field.empty()) {
        return std::nullopt;
    }
    std::wstring text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size();) {
        int unit = escapedUnitAt(field, i);
        if (unit < 0) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(field[i]));
            ++i;
            continue;
        }
        i += kEscapeLength;
        if constexpr (sizeof(wchar_t) == 4) {
            if (isHighSurrogate(unit) && i < field.size()) {
                int low = escapedUnitAt(field, i);
                if (isLowSurrogate(low)) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += kEscapeLength;
                }
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

void appendInteger(std::string& out, int32_t value) {
    std::array<char, 16> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    (void)error;
    out.append(buffer.data(), end);
}

void appendReal(std::string& out, const OptionalReal& value) {
    if (!value.present) {
        out += 'N';
        return;
    }
    // "%f": fixed notation with six decimals; the largest double has 309 digits.
    std::array<char, 400> buffer;
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value.value,
                                      std::chars_format::fixed, 6);
    (void)error;
    out.append(buffer.data(), end);
}

void appendText(std::string& out, const OptionalText& text) {
    if (text) {
        appendText(out, std::wstring_view(*text));
    }
}

void appendText(std::string& out, std::wstring_view text) {
    for (wchar_t c : text) {
        uint32_t code = static_cast<uint32_t>(c);
        if (sizeof(wchar_t) == 2) {
            code &= 0xFFFF;
        }
        if (c == L'\n') {
            out += "\r\n"; // a text-mode stream writes LF as CR LF
        } else if (code == 0 || c == L'\t' || c == L'\r' || code > 0xFF) {
            appendEscapedCharacter(out, code);
        } else {
            out += static_cast<char>(code);
        }
    }
}

} // namespace FieldCodec
