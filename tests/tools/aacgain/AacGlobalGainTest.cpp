// The AAC bitstream walk on what Debian's ffmpeg encodes: every block parses
// to its end, and a change of global_gain changes the decoded samples by
// exactly 2^(steps/4) and nothing else.
#include "AacGlobalGain.h"
#include "AdtsTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// Left and right coded apart: no mid/side, no intensity stereo.
const char* const kLeftRightOnly = "-b:a 128k -aac_ms 0 -aac_is 0";

void changeEveryBlock(AdtsStream& stream, int steps, GainChannels channels) {
    auto fields = findAllGlobalGains(stream);
    for (std::size_t i = 0; i < stream.blockCount(); ++i) {
        std::string error;
        ASSERT_TRUE(applyStepChange(stream.block(i), fields[i], steps, channels, error))
            << "block " << i << ": " << error;
    }
}

// Decodes the changed stream and compares every sample of the chosen channel
// (-1: all) with the original's times 2^(steps/4). ffmpeg's decoder gives
// floats, so nothing clips.
void expectScaled(const std::filesystem::path& original, const AdtsStream& changed, int steps,
                  int channel = -1, int channelCount = 2) {
    std::string messages;
    std::vector<float> before = decodeAdts(original, messages);
    std::filesystem::path changedPath = scratchPath("changed.aac");
    writeAdts(changedPath, changed);
    std::vector<float> after = decodeAdts(changedPath, messages);
    std::filesystem::remove(changedPath);
    EXPECT_EQ(messages, "") << "ffmpeg complains about the changed stream";
    ASSERT_EQ(before.size(), after.size());
    double factor = std::pow(2.0, steps / 4.0);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        int sampleChannel = static_cast<int>(i % channelCount);
        double expected = channel < 0 || sampleChannel == channel ? before[i] * factor : before[i];
        wrong += std::abs(after[i] - expected) > 2e-5 + 1e-5 * std::abs(expected);
    }
    EXPECT_EQ(wrong, 0u) << "of " << before.size() << " samples";
}

} // namespace

TEST(AacBitstream, EveryBlockFfmpegEncodesParsesToItsEnd) {
    struct Case {
        std::string input;
        std::string options;
        std::size_t channels;
    };
    const Case cases[] = {
        {stereoSignal(44100, 5), "-b:a 128k", 2},    {monoSignal(48000, 5), "-b:a 64k", 1},
        {stereoSignal(22050, 5), "-b:a 64k", 2},     {stereoSignal(48000, 3), "-b:a 320k", 2},
        {stereoSignal(44100, 5), kLeftRightOnly, 2},
    };
    for (const Case& c : cases) {
        AdtsStream stream = readAdts(encodeAdts(c.input, c.options));
        ASSERT_GT(stream.blockCount(), 50u) << c.input;
        auto fields = findAllGlobalGains(stream);
        for (const auto& block : fields) {
            ASSERT_EQ(block.size(), c.channels) << c.input << " " << c.options;
        }
    }
}

TEST(AacBitstream, EveryBlockOfAThreeMinuteSongParses) {
    // Five seconds played 36 times: the encoder's state differs each time.
    std::string song = stereoSignal(44100, 5, 35);
    AdtsStream stream = readAdts(encodeAdts(song, "-b:a 160k"));
    ASSERT_GT(stream.blockCount(), 180u * 44100 / 1024);
    findAllGlobalGains(stream);
}

// Every sampling frequency the encoder takes, each with its own band tables.
TEST(AacBitstream, EverySamplingFrequencyParses) {
    for (int rate : {96000, 88200, 64000, 32000, 24000, 16000, 12000, 11025, 8000, 7350}) {
        AdtsStream stream = readAdts(encodeAdts(stereoSignal(rate, 2), "-b:a 96k"));
        SCOPED_TRACE(rate);
        findAllGlobalGains(stream);
    }
}

TEST(AacBitstream, ChangingEveryChannelScalesEverySample) {
    struct Case {
        std::string input;
        std::string options;
        int steps;
        int channels;
    };
    const Case cases[] = {
        {stereoSignal(44100, 5), "-b:a 128k", 3, 2},
        {stereoSignal(44100, 5), "-b:a 128k", -5, 2},
        {monoSignal(48000, 5), "-b:a 64k", 4, 1},
        {stereoSignal(22050, 5), "-b:a 64k", -2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input + " " + std::to_string(c.steps));
        std::filesystem::path original = encodeAdts(c.input, c.options);
        AdtsStream stream = readAdts(original);
        changeEveryBlock(stream, c.steps, GainChannels::Both);
        expectScaled(original, stream, c.steps, -1, c.channels);
    }
}

TEST(AacBitstream, OneChannelOfALeftRightPairChangesAlone) {
    std::filesystem::path original = encodeAdts(stereoSignal(44100, 5), kLeftRightOnly);
    for (auto [channels, index] : {std::pair{GainChannels::First, 0}, {GainChannels::Second, 1}}) {
        AdtsStream stream = readAdts(original);
        changeEveryBlock(stream, 4, channels);
        expectScaled(original, stream, 4, index);
    }
}

TEST(AacBitstream, MidSidePairsRefuseOneChannelChanges) {
    std::string alike = alikeStereoSignal(44100, 3);
    AdtsStream joint = readAdts(encodeAdts(alike, "-b:a 128k"));
    std::size_t midSideBlocks = 0;
    for (const auto& fields : findAllGlobalGains(joint)) {
        midSideBlocks += fields[0].midSide && fields[1].midSide;
        if (fields[0].midSide) {
            EXPECT_NE(checkStepChange(fields, 1, GainChannels::First), "");
            EXPECT_NE(checkStepChange(fields, 1, GainChannels::Second), "");
            EXPECT_EQ(checkStepChange(fields, 1, GainChannels::Both), "");
        }
    }
    EXPECT_GT(midSideBlocks, joint.blockCount() / 2);

    AdtsStream apart = readAdts(encodeAdts(alike, kLeftRightOnly));
    for (const auto& fields : findAllGlobalGains(apart)) {
        EXPECT_FALSE(fields[0].midSide || fields[0].intensityStereo);
        EXPECT_EQ(checkStepChange(fields, 1, GainChannels::First), "");
    }

    AdtsStream single = readAdts(encodeAdts(monoSignal(44100, 2), "-b:a 64k"));
    EXPECT_NE(checkStepChange(findAllGlobalGains(single)[0], 1, GainChannels::First), "")
        << "a mono block has no left channel to change alone";
}

TEST(AacBitstream, AChangedBlockDiffersOnlyInItsGlobalGainBits) {
    AdtsStream original = readAdts(encodeAdts(stereoSignal(44100, 5), "-b:a 128k"));
    AdtsStream changed = original;
    changeEveryBlock(changed, -3, GainChannels::Both);
    ASSERT_EQ(changed.bytes.size(), original.bytes.size());
    auto fields = findAllGlobalGains(original);
    for (std::size_t i = 0; i < original.blockCount(); ++i) {
        std::vector<bool> gainBit(original.blockSizes[i] * 8, false);
        for (const GlobalGainField& field : fields[i]) {
            std::fill_n(gainBit.begin() + static_cast<std::ptrdiff_t>(field.bitOffset), 8, true);
        }
        for (std::size_t bit = 0; bit < gainBit.size(); ++bit) {
            int mask = 0x80 >> (bit % 8);
            bool before = original.block(i)[bit / 8] & mask;
            bool after = changed.block(i)[bit / 8] & mask;
            ASSERT_TRUE(before == after || gainBit[bit]) << "block " << i << " bit " << bit;
        }
    }
    auto after = findAllGlobalGains(changed);
    for (std::size_t i = 0; i < original.blockCount(); ++i) {
        for (std::size_t k = 0; k < fields[i].size(); ++k) {
            ASSERT_EQ(after[i][k].bitOffset, fields[i][k].bitOffset);
            ASSERT_EQ(after[i][k].value, fields[i][k].value - 3) << "block " << i;
        }
    }
}
