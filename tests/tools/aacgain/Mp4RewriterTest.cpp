// The inputs that once broke the container fuzzer's checks: each must take
// the tool's tags and read them back, keeping its other items.
#include "Mp4Rewriter.h"
#include "AacGainTags.h"
#include "AacToolTestSupport.h"
#include "Mp4File.h"
#include "Mp4Metadata.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(Mp4Rewriter, TagsWrittenIntoOnceBrokenFilesReadBack) {
    int files = 0;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(VELTO_CONTAINER_FUZZ_REGRESSIONS)) {
        ++files;
        std::vector<std::uint8_t> bytes = aactest::bytesOf(entry.path());
        Mp4File file;
        ASSERT_EQ(file.parse(bytes), Mp4Refusal::None) << entry.path();
        AacGainTags tags;
        tags.trackGain = -12.3;
        tags.undo = AacGainTags::Undo{2, 2, false};
        std::vector<std::uint8_t> out;
        std::string error;
        ASSERT_TRUE(
            Mp4Rewriter::rewrite(bytes, file, AacGainTags::isToolItem, tags.toItems(), out, error))
            << error;
        Mp4File rewritten;
        ASSERT_EQ(rewritten.parse(out), Mp4Refusal::None) << entry.path();
        AacGainTags read =
            AacGainTags::fromItems(Mp4Metadata::readFreeformItems(out, rewritten.ilst));
        EXPECT_EQ(read.undo, tags.undo) << entry.path();
        EXPECT_NEAR(read.trackGain.value_or(0), -12.3, 1e-6) << entry.path();
    }
    EXPECT_GT(files, 0);
}
