#include "AacGainTags.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::string_view kTrackGain = "replaygain_track_gain";
constexpr std::string_view kTrackPeak = "replaygain_track_peak";
constexpr std::string_view kAlbumGain = "replaygain_album_gain";
constexpr std::string_view kAlbumPeak = "replaygain_album_peak";
constexpr std::string_view kUndo = "velto_gain_undo";
constexpr std::string_view kMinMax = "velto_gain_minmax";
constexpr std::string_view kAlbumMinMax = "velto_gain_album_minmax";
constexpr std::array kToolItems{kTrackGain, kTrackPeak, kAlbumGain,  kAlbumPeak,
                                kUndo,      kMinMax,    kAlbumMinMax};

// The tag texts hold a gain in nine characters and a peak in eight, as in an
// MP3's APE tag; a gain beyond two digits either way is kept at the limit.
constexpr double kGainLimit = 99.99999;
constexpr double kPeakLimit = 9.999999;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string gainText(double gain) {
    char text[32];
    std::snprintf(text, sizeof text, "%-+9.6f", std::clamp(gain, -kGainLimit, kGainLimit));
    return std::string(text, 9) + " dB";
}

std::string peakText(double peak) {
    char text[32];
    std::snprintf(text, sizeof text, "%-8.6f", std::clamp(peak, -kPeakLimit, kPeakLimit));
    return std::string(text, 8);
}

std::optional<double> number(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end == begin) {
        return std::nullopt;
    }
    return value;
}

// "081,153": two numbers with a comma between them.
std::optional<std::array<int, 2>> numberPair(const std::string& text, char* rest = nullptr) {
    int first = 0;
    int second = 0;
    char after = 0;
    int read = std::sscanf(text.c_str(), "%d,%d%c", &first, &second, &after);
    if (read < 2) {
        return std::nullopt;
    }
    if (rest != nullptr) {
        *rest = read == 3 ? after : 0;
    }
    return std::array<int, 2>{first, second};
}

std::optional<AacGainTags::Undo> undoValue(const std::string& text) {
    char rest = 0;
    std::optional<std::array<int, 2>> pair = numberPair(text, &rest);
    if (!pair) {
        return std::nullopt;
    }
    // "+003,-002,N": N or W (the gain wrapped around) after a third comma.
    std::size_t flag = text.rfind(',');
    bool wrap =
        rest == ',' && flag + 1 < text.size() && (text[flag + 1] == 'W' || text[flag + 1] == 'w');
    return AacGainTags::Undo{(*pair)[0], (*pair)[1], wrap};
}

std::optional<AacGainTags::MinMax> minMaxValue(const std::string& text) {
    std::optional<std::array<int, 2>> pair = numberPair(text);
    if (!pair) {
        return std::nullopt;
    }
    return AacGainTags::MinMax{(*pair)[0], (*pair)[1]};
}

std::string undoText(const AacGainTags::Undo& undo) {
    char text[48];
    std::snprintf(text, sizeof text, "%+04d,%+04d,%c", undo.left, undo.right,
                  undo.wrap ? 'W' : 'N');
    return text;
}

std::string minMaxText(const AacGainTags::MinMax& minMax) {
    char text[32];
    std::snprintf(text, sizeof text, "%03d,%03d", minMax.minimum, minMax.maximum);
    return text;
}

} // namespace

AacGainTags AacGainTags::fromItems(const std::vector<FreeformItem>& items) {
    AacGainTags tags;
    for (const FreeformItem& item : items) {
        if (sameName(item.name, kTrackGain)) {
            tags.trackGain = number(item.value);
        } else if (sameName(item.name, kTrackPeak)) {
            tags.trackPeak = number(item.value);
        } else if (sameName(item.name, kAlbumGain)) {
            tags.albumGain = number(item.value);
        } else if (sameName(item.name, kAlbumPeak)) {
            tags.albumPeak = number(item.value);
        } else if (sameName(item.name, kUndo)) {
            tags.undo = undoValue(item.value);
        } else if (sameName(item.name, kMinMax)) {
            tags.minMax = minMaxValue(item.value);
        } else if (sameName(item.name, kAlbumMinMax)) {
            tags.albumMinMax = minMaxValue(item.value);
        }
    }
    return tags;
}

std::vector<FreeformItem> AacGainTags::toItems() const {
    std::vector<FreeformItem> items;
    if (trackGain) {
        items.push_back({std::string(kTrackGain), gainText(*trackGain)});
    }
    if (trackPeak) {
        items.push_back({std::string(kTrackPeak), peakText(*trackPeak)});
    }
    if (albumGain) {
        items.push_back({std::string(kAlbumGain), gainText(*albumGain)});
    }
    if (albumPeak) {
        items.push_back({std::string(kAlbumPeak), peakText(*albumPeak)});
    }
    if (undo) {
        items.push_back({std::string(kUndo), undoText(*undo)});
    }
    if (minMax) {
        items.push_back({std::string(kMinMax), minMaxText(*minMax)});
    }
    if (albumMinMax) {
        items.push_back({std::string(kAlbumMinMax), minMaxText(*albumMinMax)});
    }
    return items;
}

bool AacGainTags::isToolItem(std::string_view name) {
    return std::any_of(kToolItems.begin(), kToolItems.end(),
                       [&](std::string_view tool) { return sameName(name, tool); });
}
