// libFuzzer target for the AAC bitstream parser: any configuration and block
// must parse without a crash or a read past its end, and a change that is
// made must leave a block that parses again with exactly the changed values
// and every other bit as it was.
//
// Input: one byte n, then n % 8 bytes of AudioSpecificConfig (none: AAC-LC,
// 44.1 kHz, stereo), one byte choosing the change (its low five bits the
// steps - 16, the rest the channels), then the raw data block.
#include "AacGlobalGain.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool changes(const GlobalGainField& field, GainChannels channels) {
    return channels == GainChannels::Both ||
           field.channel == (channels == GainChannels::First ? 0 : 1);
}

void checkChange(const std::vector<std::uint8_t>& block, const AacAudioConfig& config,
                 const std::vector<GlobalGainField>& fields, int steps, GainChannels channels) {
    std::vector<std::uint8_t> changed = block;
    std::string error;
    if (!applyStepChange(changed.data(), fields, steps, channels, error)) {
        check(changed == block && !error.empty());
        return;
    }
    std::vector<GlobalGainField> after;
    check(findGlobalGains(changed.data(), changed.size(), config, after, error) == BlockParse::Ok);
    check(after.size() == fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        check(after[i].bitOffset == fields[i].bitOffset);
        check(after[i].value == fields[i].value + (changes(fields[i], channels) ? steps : 0));
        // Put the old value back: then nothing else may differ.
        writeGlobalGain(changed.data(), fields[i].bitOffset, fields[i].value);
    }
    check(changed == block);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    std::size_t configSize = data[0] % 8;
    if (size < 2 + configSize) {
        return 0;
    }
    AacAudioConfig config{2, 4, 2, false};
    std::string error;
    if (configSize > 0 && !parseAudioSpecificConfig(data + 1, configSize, config, error)) {
        return 0;
    }
    std::uint8_t control = data[1 + configSize];
    int steps = (control & 0x1F) - 16;
    GainChannels channels = static_cast<GainChannels>((control >> 5) % 3);
    std::vector<std::uint8_t> block(data + 2 + configSize, data + size);

    std::vector<GlobalGainField> fields;
    if (findGlobalGains(block.data(), block.size(), config, fields, error) != BlockParse::Ok) {
        check(fields.empty() && !error.empty());
        return 0;
    }
    for (const GlobalGainField& field : fields) {
        check(field.bitOffset + 8 <= block.size() * 8);
        check(field.value >= 0 && field.value <= 255);
    }
    checkChange(block, config, fields, steps, channels);
    return 0;
}
