#include "AacGlobalGain.h"

#include "AacBandTables.h"
#include "AacBitReader.h"
#include "AacRawBlockParser.h"

namespace {

constexpr int kAacMain = 1;
constexpr int kAacLc = 2;
constexpr int kAacSsr = 3;
constexpr int kAacLtp = 4;
constexpr int kSbr = 5;
constexpr int kParametricStereo = 29;
constexpr int kEscapeObjectType = 31;
constexpr int kExplicitFrequency = 15;

int readObjectType(AacBitReader& reader) {
    int type = static_cast<int>(reader.read(5));
    return type == kEscapeObjectType ? 32 + static_cast<int>(reader.read(6)) : type;
}

// An explicit sampling frequency uses the bands of the nearest standard rate.
int frequencyIndexOf(std::uint32_t frequency) {
    static const std::uint32_t lowestOfIndex[] = {92017, 75132, 55426, 46009, 37566, 27713,
                                                  23004, 18783, 13856, 11502, 9391};
    int index = 0;
    for (std::uint32_t lowest : lowestOfIndex) {
        if (frequency >= lowest) {
            return index;
        }
        ++index;
    }
    return index;
}

int readFrequencyIndex(AacBitReader& reader) {
    int index = static_cast<int>(reader.read(4));
    return index == kExplicitFrequency ? frequencyIndexOf(reader.read(24)) : index;
}

std::string objectTypeName(int type) {
    switch (type) {
    case kAacMain:
        return "AAC Main";
    case kAacSsr:
        return "AAC SSR";
    case kAacLtp:
        return "AAC LTP";
    default:
        return "MPEG-4 audio object type " + std::to_string(type);
    }
}

bool isLcCore(int audioObjectType) {
    return audioObjectType == kAacLc || audioObjectType == kSbr ||
           audioObjectType == kParametricStereo;
}

// The part of GASpecificConfig before any extension; only frameLengthFlag
// matters here, and the program config element of channel configuration 0.
void readGaSpecificConfig(AacBitReader& reader, AacAudioConfig& config) {
    config.frameLengthFlag = reader.readBit();
    if (reader.readBit()) { // dependsOnCoreCoder
        reader.skip(14);    // coreCoderDelay
    }
    reader.skip(1); // extensionFlag
    if (config.channelConfiguration == 0) {
        AacRawBlockParser::skipProgramConfig(reader);
    }
}

} // namespace

bool parseAudioSpecificConfig(const std::uint8_t* bytes, std::size_t size, AacAudioConfig& config,
                              std::string& error) {
    AacBitReader reader(bytes, size);
    config = AacAudioConfig{};
    config.audioObjectType = readObjectType(reader);
    config.samplingFrequencyIndex = readFrequencyIndex(reader);
    config.channelConfiguration = static_cast<int>(reader.read(4));
    if (config.audioObjectType == kSbr || config.audioObjectType == kParametricStereo) {
        readFrequencyIndex(reader); // of the output, after SBR
        int core = readObjectType(reader);
        if (core != kAacLc) {
            config.audioObjectType = core;
        }
    }
    if (isLcCore(config.audioObjectType)) {
        readGaSpecificConfig(reader, config);
    }
    if (reader.overrun()) {
        error = "the audio specific config is cut short";
        return false;
    }
    if (config.samplingFrequencyIndex == 13 || config.samplingFrequencyIndex == 14) {
        error = "the audio specific config has a reserved sampling frequency index";
        return false;
    }
    return true;
}

BlockParse findGlobalGains(const std::uint8_t* block, std::size_t size,
                           const AacAudioConfig& config, std::vector<GlobalGainField>& fields,
                           std::string& error) {
    fields.clear();
    if (!isLcCore(config.audioObjectType)) {
        error = objectTypeName(config.audioObjectType) + " is not supported, only AAC-LC";
        return BlockParse::Unsupported;
    }
    AacBandTables bands;
    if (!AacBandTables::forFrame(config.samplingFrequencyIndex, config.frameLengthFlag, bands)) {
        error = "sampling frequency index " + std::to_string(config.samplingFrequencyIndex) +
                " has no scale factor bands";
        return BlockParse::Unsupported;
    }
    return AacRawBlockParser(block, size, bands).parse(fields, error);
}

void writeGlobalGain(std::uint8_t* block, std::size_t bitOffset, int value) {
    for (int bit = 0; bit < 8; ++bit) {
        std::size_t position = bitOffset + static_cast<std::size_t>(bit);
        std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (position % 8));
        if (value & (0x80 >> bit)) {
            block[position / 8] |= mask;
        } else {
            block[position / 8] &= static_cast<std::uint8_t>(~mask);
        }
    }
}

namespace {

bool changesField(const GlobalGainField& field, GainChannels channels) {
    switch (channels) {
    case GainChannels::Both:
        return true;
    case GainChannels::First:
        return field.channel == 0;
    case GainChannels::Second:
        return field.channel == 1;
    }
    return false;
}

std::string whyChannelsAreJoined(const GlobalGainField& field) {
    if (!field.pairedChannel) {
        return "a single channel cannot be changed on its own in a mono or multichannel block";
    }
    if (field.midSide) {
        return "a channel pair coded as mid/side cannot have one channel changed";
    }
    if (field.intensityStereo) {
        return "a channel pair coded with intensity stereo cannot have one channel changed";
    }
    return {};
}

} // namespace

std::string checkStepChange(const std::vector<GlobalGainField>& fields, int steps,
                            GainChannels channels) {
    if (steps == 0) {
        return {};
    }
    for (const GlobalGainField& field : fields) {
        if (field.blockHasSbr) {
            return "HE-AAC: the SBR data keeps the high band's level, so a change of the AAC "
                   "core would not change it";
        }
        if (channels != GainChannels::Both) {
            std::string joined = whyChannelsAreJoined(field);
            if (!joined.empty()) {
                return joined;
            }
        }
        if (changesField(field, channels) &&
            (steps < field.lowestStep || steps > field.highestStep)) {
            return "a change of " + std::to_string(steps) + " steps would take a global_gain of " +
                   std::to_string(field.value) +
                   " or a scale factor out of range (the channel takes " +
                   std::to_string(field.lowestStep) + " to " + std::to_string(field.highestStep) +
                   " steps)";
        }
    }
    return {};
}

bool applyStepChange(std::uint8_t* block, const std::vector<GlobalGainField>& fields, int steps,
                     GainChannels channels, std::string& error) {
    error = checkStepChange(fields, steps, channels);
    if (!error.empty()) {
        return false;
    }
    for (const GlobalGainField& field : fields) {
        if (changesField(field, channels)) {
            writeGlobalGain(block, field.bitOffset, field.value + steps);
        }
    }
    return true;
}
