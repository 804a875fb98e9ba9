// The inputs that once broke the container fuzzer's checks: each is refused,
// or takes the tool's tags and reads them back with its audio blocks as they
// were.
#include "Mp4Rewriter.h"
#include "AacGainTags.h"
#include "AacToolTestSupport.h"
#include "Mp4File.h"
#include "Mp4Metadata.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::vector<std::uint8_t>> blocks(const std::vector<std::uint8_t>& bytes,
                                              const Mp4File& file) {
    std::vector<std::vector<std::uint8_t>> result;
    for (const Mp4Sample& sample : file.samples()) {
        auto begin = bytes.begin() + std::ptrdiff_t(sample.offset);
        result.emplace_back(begin, begin + sample.size);
    }
    return result;
}

} // namespace

TEST(Mp4Rewriter, OnceBrokenFilesAreRefusedOrTakeTagsWithTheirAudioKept) {
    int files = 0;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(VELTO_CONTAINER_FUZZ_REGRESSIONS)) {
        ++files;
        std::vector<std::uint8_t> bytes = aactest::bytesOf(entry.path());
        Mp4File file;
        if (file.parse(bytes) != Mp4Refusal::None) {
            continue;
        }
        AacGainTags tags;
        tags.trackGain = -12.3;
        tags.undo = AacGainTags::Undo{2, 2, false};
        std::vector<std::uint8_t> out;
        std::string error;
        if (!Mp4Rewriter::rewrite(bytes, file, AacGainTags::isToolItem, tags.toItems(), out,
                                  error)) {
            continue;
        }
        Mp4File rewritten;
        ASSERT_EQ(rewritten.parse(out), Mp4Refusal::None) << entry.path();
        EXPECT_EQ(blocks(out, rewritten), blocks(bytes, file)) << entry.path();
        AacGainTags read =
            AacGainTags::fromItems(Mp4Metadata::readFreeformItems(out, rewritten.ilst));
        EXPECT_EQ(read.undo, tags.undo) << entry.path();
        EXPECT_NEAR(read.trackGain.value_or(0), -12.3, 1e-6) << entry.path();
    }
    EXPECT_GT(files, 1);
}
