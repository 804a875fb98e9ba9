#include "GainToolFormats.h"

#include <cwctype>

namespace {

std::wstring fileNameOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

bool startsWithIgnoringCase(const std::wstring& text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

GainToolFormats::GainToolFormats(const std::wstring& toolPath)
    : name(fileNameOf(toolPath)), takesAac(startsWithIgnoringCase(name, L"aacgain")) {}

bool GainToolFormats::handles(AudioFormat format) const {
    return format == AudioFormat::Mp3 || (takesAac && format == AudioFormat::AacInMp4);
}
