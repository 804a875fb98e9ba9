// The MP4 container side of aacgain under libFuzzer: any bytes must parse or
// be refused without a crash, a hang or a read past the input; a file that
// parses must take new tags and still parse, with its audio blocks and its
// other metadata items unchanged.
#include "AacGainTags.h"
#include "Mp4File.h"
#include "Mp4Metadata.h"
#include "Mp4Rewriter.h"

#include <cstdlib>
#include <vector>

namespace {

std::vector<std::vector<std::uint8_t>> blocks(std::span<const std::uint8_t> bytes,
                                              const Mp4File& file) {
    std::vector<std::vector<std::uint8_t>> result;
    for (const Mp4Sample& sample : file.samples()) {
        result.emplace_back(bytes.begin() + std::ptrdiff_t(sample.offset),
                            bytes.begin() + std::ptrdiff_t(sample.offset + sample.size));
    }
    return result;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    Mp4File file;
    if (file.parse(bytes) != Mp4Refusal::None) {
        return 0;
    }
    std::vector<FreeformItem> before = Mp4Metadata::readFreeformItems(bytes, file.ilst);
    AacGainTags tags;
    tags.trackGain = -12.3;
    tags.undo = AacGainTags::Undo{2, 2, false};
    std::vector<std::uint8_t> out;
    std::string error;
    if (!Mp4Rewriter::rewrite(bytes, file, AacGainTags::isToolItem, tags.toItems(), out, error)) {
        return 0;
    }
    Mp4File rewritten;
    check(rewritten.parse(out) == Mp4Refusal::None);
    check(blocks(out, rewritten) == blocks(bytes, file));
    std::vector<FreeformItem> after = Mp4Metadata::readFreeformItems(out, rewritten.ilst);
    std::erase_if(before,
                  [](const FreeformItem& item) { return AacGainTags::isToolItem(item.name); });
    std::vector<FreeformItem> kept = after;
    std::erase_if(kept,
                  [](const FreeformItem& item) { return AacGainTags::isToolItem(item.name); });
    check(kept == before);
    check(AacGainTags::fromItems(after).undo == tags.undo);
    return 0;
}
