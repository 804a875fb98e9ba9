#pragma once
// The iTunes metadata list's freeform items: '----' boxes with a mean of
// "com.apple.iTunes", a name and a UTF-8 text value, as players keep their
// loudness values (replaygain_track_gain and the like).

#include "Mp4Box.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct FreeformItem {
    std::string name;
    std::string value;

    bool operator==(const FreeformItem&) const = default;
};

class Mp4Metadata {
public:
    // The freeform items of an ilst box, in their order; none when absent.
    static std::vector<FreeformItem> readFreeformItems(std::span<const std::uint8_t> bytes,
                                                       const std::optional<Mp4Box>& ilst);

    // The name of an ilst child when it is a freeform item of the iTunes mean.
    static std::optional<std::string> freeformName(std::span<const std::uint8_t> bytes,
                                                   const Mp4Box& item);

    // A freeform item as a '----' box.
    static std::vector<std::uint8_t> encode(const FreeformItem& item);

private:
    static std::optional<FreeformItem> readItem(std::span<const std::uint8_t> bytes,
                                                const Mp4Box& item);
};
