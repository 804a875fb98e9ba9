#include "ToolOutputText.h"

#include <utility>

namespace {

// The length of the valid UTF-8 sequence at bytes[i] and its code point, or 0.
std::size_t utf8Sequence(std::string_view bytes, std::size_t i, char32_t& codePoint) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byteAt(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byteAt(i + k);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) {
        return 0;
    }
    return length;
}

// One character of text: a surrogate pair beyond the Basic Multilingual Plane
// where wchar_t has 16 bits.
void appendCodePoint(std::wstring& text, char32_t codePoint) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
            text += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
            return;
        }
    }
    text += static_cast<wchar_t>(codePoint);
}

} // namespace

std::optional<std::wstring> decodeUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            text += static_cast<wchar_t>(byte);
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = utf8Sequence(bytes, i, codePoint);
        if (length == 0) {
            return std::nullopt;
        }
        appendCodePoint(text, codePoint);
        i += length;
    }
    return text;
}

std::wstring decodeToolOutput(std::string_view bytes) {
    std::optional<std::wstring> text = decodeUtf8(bytes);
    return text ? std::move(*text) : decodeNonUtf8Line(bytes);
}
