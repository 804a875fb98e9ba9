#pragma once
// What the gain tool records in an MP4 file's iTunes metadata: the loudness
// values under the names players read (replaygain_track_gain and the like)
// and the tool's own undo and min/max records, each a freeform item whose
// text is written as the tool writes it into an MP3's APE tag.

#include "Mp4Metadata.h"

#include <optional>
#include <string_view>
#include <vector>

struct AacGainTags {
    struct Undo {
        int left = 0;
        int right = 0;
        bool wrap = false;
        bool operator==(const Undo&) const = default;
    };
    struct MinMax {
        int minimum = 0;
        int maximum = 0;
        bool operator==(const MinMax&) const = default;
    };

    std::optional<double> trackGain; // dB
    std::optional<double> trackPeak; // 1.0 is full scale
    std::optional<double> albumGain;
    std::optional<double> albumPeak;
    std::optional<Undo> undo;
    std::optional<MinMax> minMax; // of the global_gain fields
    std::optional<MinMax> albumMinMax;

    // The values among a file's freeform items; names match in any case.
    static AacGainTags fromItems(const std::vector<FreeformItem>& items);
    // The items for the values present, in a fixed order.
    std::vector<FreeformItem> toItems() const;
    // True for the names of every item the tool writes (in any case).
    static bool isToolItem(std::string_view name);
};
