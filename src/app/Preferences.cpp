#include "Preferences.h"

#include "VeltoDatabase.h"

#include <algorithm>
#include <cwctype>
#include <limits>
#include <string_view>

namespace {

struct PreferenceEntry {
    const wchar_t* name;
    const wchar_t* defaultText; // nullptr: absent by default
};

constexpr PreferenceEntry kPreferences[kPreferenceCount] = {
    {L"DontClip", L"0"},
    {L"TimestampComments", L"0"},
    {L"Volume", L"89"},
    {L"LastPlaylist", L"-1"},
    {L"WindowPlacement", nullptr},
    {L"TrackColumnWidths", L"131,131,49,53,51,44,79,70,70"},
    {L"AlbumColumnWidths", L"162,162,65,85,65,65,77"},
    {L"DontAskComments", nullptr},
    {L"AlbumUndo", L"0"},
    {L"DontAskAlbumUndo", nullptr},
    {L"RemoveTagsUndo", L"0"},
    {L"DontAskRemoveTagsUndo", nullptr},
    {L"ToolRuns", nullptr},
    {L"OverviewPlacement", nullptr},
};

const PreferenceEntry& entryOf(PrefIndex index) {
    return kPreferences[static_cast<int>(index)];
}

// As _wtoi reads it: leading white space, optional sign, digits up to the
// first other character; 0 without digits; clamped to the int range.
int leadingInteger(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<std::wint_t>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min(kLimit, value * 10 + (text[i] - L'0'));
    }
    value = negative ? -value : std::min<long long>(value, std::numeric_limits<int>::max());
    return static_cast<int>(value);
}

constexpr PrefIndex indexAt(int i) {
    return static_cast<PrefIndex>(i);
}

} // namespace

Preferences::Preferences(VeltoDatabase& database) : database(database) {}

const wchar_t* Preferences::nameOf(PrefIndex index) {
    return entryOf(index).name;
}

const wchar_t* Preferences::defaultOf(PrefIndex index) {
    return entryOf(index).defaultText;
}

std::optional<std::wstring> Preferences::getPref(PrefIndex index) const {
    // The file writes an absent text as an empty field, so an empty text read
    // back is an absent preference, not one that is present and empty.
    std::optional<std::wstring> text = database.getPreference(nameOf(index));
    if (text && text->empty()) {
        return std::nullopt;
    }
    return text;
}

int Preferences::getPrefInt(PrefIndex index) const {
    std::optional<std::wstring> text = getPref(index);
    return text ? leadingInteger(*text) : 0;
}

bool Preferences::getPrefBool(PrefIndex index) const {
    std::optional<std::wstring> text = getPref(index);
    return text && !text->empty() && (*text)[0] == L'1';
}

int Preferences::getPrefListItem(PrefIndex index, int n) const {
    std::optional<std::wstring> text = getPref(index);
    if (!text) {
        return -1;
    }
    size_t start = 0;
    for (int skipped = 0; skipped < n; ++skipped) {
        size_t comma = text->find(L',', start);
        if (comma == std::wstring::npos) {
            return -1;
        }
        start = comma + 1;
    }
    return leadingInteger(std::wstring_view(*text).substr(start));
}

void Preferences::setPref(PrefIndex index, const std::wstring& text) {
    database.setPreference(nameOf(index), text);
}

void Preferences::setPrefInt(PrefIndex index, int value) {
    setPref(index, std::to_wstring(value));
}

void Preferences::setPrefBool(PrefIndex index, bool flag) {
    setPref(index, flag ? L"1" : L"0");
}

void Preferences::setPrefList(PrefIndex index, const std::vector<int>& values) {
    std::wstring text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += L',';
        }
        text += std::to_wstring(values[i]);
    }
    setPref(index, text);
}

void Preferences::fillMissingDefaults() {
    for (int i = 0; i < kPreferenceCount; ++i) {
        const wchar_t* defaultText = defaultOf(indexAt(i));
        if (defaultText && !getPref(indexAt(i))) {
            setPref(indexAt(i), defaultText);
        }
    }
}

void Preferences::setDefaults() {
    for (int i = 0; i < kPreferenceCount; ++i) {
        if (const wchar_t* defaultText = defaultOf(indexAt(i))) {
            setPref(indexAt(i), defaultText);
        } else {
            database.removePreference(nameOf(indexAt(i)));
        }
    }
}
