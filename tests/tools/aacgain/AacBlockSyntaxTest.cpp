// The AAC bitstream walk on blocks built bit by bit and on damaged blocks:
// what it skips, what it refuses, and that damage never parses as Ok.
#include "AacGlobalGain.h"
#include "AdtsTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class BitWriter {
public:
    void put(std::uint32_t value, int count) {
        for (int bit = count - 1; bit >= 0; --bit) {
            if (bits_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if (bit < 32 && ((value >> bit) & 1)) {
                bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (bits_ % 8));
            }
            ++bits_;
        }
    }
    void align() { bits_ = bytes_.size() * 8; }
    std::size_t position() const { return bits_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

enum Id { kSingle, kPair, kCoupling, kLfe, kDataStream, kProgramConfig, kFill, kEnd };

const AacAudioConfig kLcStereo44100{2, 4, 2, false};

// A channel stream with no bands: global_gain, then a long window's ics_info
// with max_sfb 0, and no pulse, TNS or gain control data.
void putSilentChannel(BitWriter& w, int globalGain, bool gainControl = false) {
    w.put(static_cast<std::uint32_t>(globalGain), 8);
    w.put(0, 1 + 2 + 1);           // ics_reserved_bit, window_sequence, window_shape
    w.put(0, 6);                   // max_sfb
    w.put(0, 1);                   // predictor_data_present
    w.put(gainControl ? 1 : 0, 3); // pulse, TNS, gain control (the last of the three bits)
}

void putSingle(BitWriter& w, int globalGain, std::size_t& gainOffset) {
    w.put(kSingle, 3);
    w.put(0, 4);
    gainOffset = w.position();
    putSilentChannel(w, globalGain);
}

void putFill(BitWriter& w, std::uint32_t extensionType, int bytes) {
    w.put(kFill, 3);
    w.put(static_cast<std::uint32_t>(bytes), 4);
    w.put(extensionType, 4);
    w.put(0, bytes * 8 - 4);
}

void putEnd(BitWriter& w) {
    w.put(kEnd, 3);
    w.align();
}

BlockParse parse(std::vector<std::uint8_t>& block, std::vector<GlobalGainField>& fields,
                 std::string& error, const AacAudioConfig& config = kLcStereo44100) {
    return findGlobalGains(block.data(), block.size(), config, fields, error);
}

} // namespace

TEST(AacBlockSyntax, SkipsProgramConfigDataStreamAndFillElements) {
    BitWriter w;
    w.put(kProgramConfig, 3);
    w.put(0, 4 + 2 + 4);
    w.put(2, 4);                     // front elements
    w.put(1, 4);                     // side
    w.put(0, 4);                     // back
    w.put(1, 2);                     // LFE
    w.put(1, 3);                     // associated data
    w.put(1, 4);                     // coupling
    w.put(1, 1);                     // a mono mixdown
    w.put(4, 4);                     // its element
    w.put(0, 2);                     // no stereo mixdown, no matrix mixdown
    w.put(0, 2 * 5 + 5 + 4 + 4 + 5); // the elements
    w.align();
    w.put(3, 8); // comment bytes
    w.put(0xFFFFFF, 24);
    w.put(kDataStream, 3);
    w.put(0, 4);
    w.put(1, 1);   // byte aligned
    w.put(255, 8); // count, escaped
    w.put(2, 8);
    w.align();
    w.put(0, 257 * 8);
    std::size_t gainOffset = 0;
    putSingle(w, 171, gainOffset);
    putFill(w, 0, 14);
    putEnd(w);

    std::vector<GlobalGainField> fields;
    std::string error;
    ASSERT_EQ(parse(w.bytes(), fields, error), BlockParse::Ok) << error;
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0].bitOffset, gainOffset);
    EXPECT_EQ(fields[0].value, 171);
    EXPECT_FALSE(fields[0].pairedChannel);
    EXPECT_EQ(fields[0].lowestStep, -171);
    EXPECT_EQ(fields[0].highestStep, 255 - 171);
    EXPECT_FALSE(fields[0].blockHasSbr);
}

// The SBR data of HE-AAC sets the high band's level on its own: a change of
// the core's global_gain would only change the low band.
TEST(AacBlockSyntax, SbrDataRefusesAChange) {
    for (std::uint32_t sbrType : {13u, 14u}) {
        BitWriter w;
        std::size_t gainOffset = 0;
        putSingle(w, 100, gainOffset);
        putFill(w, sbrType, 5);
        putEnd(w);
        std::vector<std::uint8_t> before = w.bytes();
        std::vector<GlobalGainField> fields;
        std::string error;
        ASSERT_EQ(parse(w.bytes(), fields, error, {5, 6, 1, false}), BlockParse::Ok) << error;
        ASSERT_TRUE(fields[0].blockHasSbr);
        EXPECT_FALSE(applyStepChange(w.bytes().data(), fields, 2, GainChannels::Both, error));
        EXPECT_NE(error, "");
        EXPECT_EQ(w.bytes(), before);
    }
}

TEST(AacBlockSyntax, RefusesWhatOnlyOtherObjectTypesUse) {
    std::vector<GlobalGainField> fields;
    std::string error;
    BitWriter coupling;
    coupling.put(kCoupling, 3);
    coupling.put(0, 60);
    EXPECT_EQ(parse(coupling.bytes(), fields, error), BlockParse::Unsupported);

    BitWriter gainControl;
    gainControl.put(kSingle, 3);
    gainControl.put(0, 4);
    putSilentChannel(gainControl, 100, true);
    putEnd(gainControl);
    EXPECT_EQ(parse(gainControl.bytes(), fields, error), BlockParse::Unsupported);

    BitWriter plain;
    std::size_t gainOffset = 0;
    putSingle(plain, 100, gainOffset);
    putEnd(plain);
    for (int mainOrLtp : {1, 3, 4, 17}) {
        EXPECT_EQ(parse(plain.bytes(), fields, error, {mainOrLtp, 4, 1, false}),
                  BlockParse::Unsupported);
        EXPECT_NE(error, "");
    }
    EXPECT_EQ(parse(plain.bytes(), fields, error, {2, 4, 1, false}), BlockParse::Ok);
}

TEST(AacBlockSyntax, MalformedBlocksAreDamaged) {
    std::vector<GlobalGainField> fields;
    std::string error;
    BitWriter trailing;
    std::size_t gainOffset = 0;
    putSingle(trailing, 100, gainOffset);
    putEnd(trailing);
    trailing.put(0, 8);
    EXPECT_EQ(parse(trailing.bytes(), fields, error), BlockParse::Damaged)
        << "a byte after the end";

    BitWriter noEnd;
    putSingle(noEnd, 100, gainOffset);
    EXPECT_EQ(parse(noEnd.bytes(), fields, error), BlockParse::Damaged) << "no end element";

    BitWriter tooManyBands;
    tooManyBands.put(kSingle, 3);
    tooManyBands.put(0, 4 + 8 + 4);
    tooManyBands.put(50, 6); // 44.1 kHz long windows have 49 bands
    putEnd(tooManyBands);
    EXPECT_EQ(parse(tooManyBands.bytes(), fields, error), BlockParse::Damaged) << "max_sfb 50";

    BitWriter reservedBook;
    reservedBook.put(kSingle, 3);
    reservedBook.put(0, 4 + 8 + 4);
    reservedBook.put(1, 6);
    reservedBook.put(0, 1);
    reservedBook.put(12, 4);
    reservedBook.put(1, 5);
    putEnd(reservedBook);
    EXPECT_EQ(parse(reservedBook.bytes(), fields, error), BlockParse::Damaged) << "codebook 12";
    EXPECT_TRUE(fields.empty());
}

// A block cut anywhere ends inside some element: never Ok, and never a read
// past the cut (the sanitized build checks that).
TEST(AacBlockSyntax, EveryCutOfARealBlockIsDamaged) {
    AdtsStream stream = readAdts(encodeAdts(stereoSignal(44100, 5), "-b:a 128k"));
    std::vector<GlobalGainField> fields;
    std::string error;
    for (std::size_t i = 0; i < stream.blockCount(); i += 9) {
        for (std::size_t size = 0; size < stream.blockSizes[i]; ++size) {
            std::vector<std::uint8_t> cut(stream.block(i), stream.block(i) + size);
            ASSERT_EQ(findGlobalGains(cut.data(), cut.size(), stream.config, fields, error),
                      BlockParse::Damaged)
                << "block " << i << " cut to " << size << " bytes";
        }
    }
}

// A change that keeps global_gain in 0..255 can still take another band's
// scale factor out of it, or a noise band's energy out of what decoders keep:
// ffmpeg rejects the one and clips the other, saying so.
TEST(AacBlockSyntax, AChangeKeepsEveryScaleFactorInRange) {
    std::filesystem::path original = encodeAdts(stereoSignal(44100, 5), "-b:a 128k");
    AdtsStream stream = readAdts(original);
    auto fields = findAllGlobalGains(stream);
    std::size_t block = 0;
    while (block < stream.blockCount() &&
           fields[block][0].highestStep >= 255 - fields[block][0].value) {
        ++block;
    }
    ASSERT_LT(block, stream.blockCount()) << "no band limits a change in any block";
    const GlobalGainField& field = fields[block][0];
    int tooFar = field.highestStep + 1;
    ASSERT_LE(field.value + tooFar, 255);
    std::string error;
    std::vector<std::uint8_t> before = stream.bytes;
    EXPECT_FALSE(
        applyStepChange(stream.block(block), fields[block], tooFar, GainChannels::Both, error));
    EXPECT_EQ(stream.bytes, before) << "a refused change writes nothing";
    EXPECT_FALSE(applyStepChange(stream.block(block), fields[block], 256 - field.value,
                                 GainChannels::Both, error));

    writeGlobalGain(stream.block(block), field.bitOffset, field.value + tooFar);
    std::filesystem::path changed = scratchPath("too-far.aac");
    writeAdts(changed, stream);
    std::string messages;
    decodeAdts(changed, messages);
    std::filesystem::remove(changed);
    EXPECT_TRUE(messages.find("out of range") != std::string::npos ||
                messages.find("Clipped noise gain") != std::string::npos)
        << messages;
}

TEST(AacBlockSyntax, ReadsAudioSpecificConfigs) {
    AacAudioConfig config;
    std::string error;
    const std::uint8_t lcStereo44100[] = {0x12, 0x10};
    ASSERT_TRUE(parseAudioSpecificConfig(lcStereo44100, 2, config, error)) << error;
    EXPECT_EQ(config.audioObjectType, 2);
    EXPECT_EQ(config.samplingFrequencyIndex, 4);
    EXPECT_EQ(config.channelConfiguration, 2);
    EXPECT_FALSE(config.frameLengthFlag);
    EXPECT_FALSE(parseAudioSpecificConfig(lcStereo44100, 1, config, error)) << "cut short";

    BitWriter heAac; // HE-AAC: 24 kHz LC core, 48 kHz out, 960-sample frames
    heAac.put(5, 5);
    heAac.put(6, 4);
    heAac.put(2, 4);
    heAac.put(3, 4);
    heAac.put(2, 5);
    heAac.put(0b100, 3);
    ASSERT_TRUE(
        parseAudioSpecificConfig(heAac.bytes().data(), heAac.bytes().size(), config, error));
    EXPECT_EQ(config.audioObjectType, 5);
    EXPECT_EQ(config.samplingFrequencyIndex, 6);
    EXPECT_TRUE(config.frameLengthFlag);

    BitWriter explicitRate; // escaped object type 2 is LC all the same; 44100 Hz spelt out
    explicitRate.put(2, 5);
    explicitRate.put(15, 4);
    explicitRate.put(44100, 24);
    explicitRate.put(1, 4);
    explicitRate.put(0, 3);
    ASSERT_TRUE(parseAudioSpecificConfig(explicitRate.bytes().data(), explicitRate.bytes().size(),
                                         config, error));
    EXPECT_EQ(config.samplingFrequencyIndex, 4);

    const std::uint8_t main48000[] = {0x09, 0x90};
    ASSERT_TRUE(parseAudioSpecificConfig(main48000, 2, config, error));
    EXPECT_EQ(config.audioObjectType, 1);
}
