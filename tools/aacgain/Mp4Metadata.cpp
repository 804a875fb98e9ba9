#include "Mp4Metadata.h"

#include "BigEndian.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kFullBoxHeader = 4;
constexpr std::uint32_t kUtf8Text = 1; // the data box's type indicator
constexpr std::string_view kItunesMean = "com.apple.iTunes";

// The text of a mean or name box: a full box whose payload is the text.
std::optional<std::string> fullBoxText(std::span<const std::uint8_t> bytes, const Mp4Box& box) {
    if (box.size - box.headerSize < kFullBoxHeader) {
        return std::nullopt;
    }
    auto begin = bytes.begin() + std::ptrdiff_t(box.payload() + kFullBoxHeader);
    return std::string(begin, bytes.begin() + std::ptrdiff_t(box.end()));
}

void appendBox(std::vector<std::uint8_t>& out, std::uint32_t type,
               const std::vector<std::uint8_t>& payload) {
    std::size_t at = out.size();
    out.resize(at + 8 + payload.size());
    writeBigEndian32(out.data() + at, std::uint32_t(payload.size() + 8));
    writeBigEndian32(out.data() + at + 4, type);
    std::copy(payload.begin(), payload.end(), out.begin() + std::ptrdiff_t(at + 8));
}

std::vector<std::uint8_t> fullBoxPayload(std::uint32_t versionAndFlags, std::string_view text) {
    std::vector<std::uint8_t> payload(kFullBoxHeader + text.size());
    writeBigEndian32(payload.data(), versionAndFlags);
    std::copy(text.begin(), text.end(), payload.begin() + kFullBoxHeader);
    return payload;
}

} // namespace

std::optional<std::string> Mp4Metadata::freeformName(std::span<const std::uint8_t> bytes,
                                                     const Mp4Box& item) {
    std::vector<Mp4Box> parts;
    if (item.type != fourCC("----") || !readChildren(bytes, item, parts)) {
        return std::nullopt;
    }
    const Mp4Box* mean = findBox(parts, fourCC("mean"));
    const Mp4Box* name = findBox(parts, fourCC("name"));
    if (mean == nullptr || name == nullptr || fullBoxText(bytes, *mean) != kItunesMean) {
        return std::nullopt;
    }
    return fullBoxText(bytes, *name);
}

std::optional<FreeformItem> Mp4Metadata::readItem(std::span<const std::uint8_t> bytes,
                                                  const Mp4Box& item) {
    std::optional<std::string> name = freeformName(bytes, item);
    std::vector<Mp4Box> parts;
    if (!name || !readChildren(bytes, item, parts)) {
        return std::nullopt;
    }
    const Mp4Box* data = findBox(parts, fourCC("data"));
    // Type indicator and locale before the value.
    if (data == nullptr || data->size - data->headerSize < 8) {
        return std::nullopt;
    }
    auto begin = bytes.begin() + std::ptrdiff_t(data->payload() + 8);
    return FreeformItem{*name, std::string(begin, bytes.begin() + std::ptrdiff_t(data->end()))};
}

std::vector<FreeformItem> Mp4Metadata::readFreeformItems(std::span<const std::uint8_t> bytes,
                                                         const std::optional<Mp4Box>& ilst) {
    std::vector<FreeformItem> items;
    std::vector<Mp4Box> children;
    if (!ilst || !readChildren(bytes, *ilst, children)) {
        return items;
    }
    for (const Mp4Box& child : children) {
        if (std::optional<FreeformItem> item = readItem(bytes, child)) {
            items.push_back(std::move(*item));
        }
    }
    return items;
}

std::vector<std::uint8_t> Mp4Metadata::encode(const FreeformItem& item) {
    std::vector<std::uint8_t> parts;
    appendBox(parts, fourCC("mean"), fullBoxPayload(0, kItunesMean));
    appendBox(parts, fourCC("name"), fullBoxPayload(0, item.name));
    std::vector<std::uint8_t> data(8 + item.value.size());
    writeBigEndian32(data.data(), kUtf8Text);
    std::copy(item.value.begin(), item.value.end(), data.begin() + 8);
    appendBox(parts, fourCC("data"), data);
    std::vector<std::uint8_t> box;
    appendBox(box, fourCC("----"), parts);
    return box;
}
