#include "AacFrameGains.h"

#include <algorithm>

namespace {

constexpr int kLowestGain = 0;
constexpr int kHighestGain = 255;

} // namespace

bool AacFrameGains::read(std::span<const std::uint8_t> bytes, const Mp4File& file,
                         std::string& error) {
    const std::vector<Mp4Sample>& samples = file.samples();
    fields_.assign(samples.size(), {});
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::string why;
        BlockParse result = findGlobalGains(bytes.data() + samples[i].offset, samples[i].size,
                                            file.audioConfig(), fields_[i], why);
        if (result != BlockParse::Ok) {
            error = "its AAC block " + std::to_string(i + 1) +
                    (result == BlockParse::Unsupported ? " uses a feature the tool does not handle"
                                                       : " is damaged") +
                    (why.empty() ? "" : " (" + why + ")");
            return false;
        }
        for (const GlobalGainField& field : fields_[i]) {
            minimum_ = std::min(minimum_, field.value);
            maximum_ = std::max(maximum_, field.value);
        }
    }
    return true;
}

bool AacFrameGains::changeFor(const GlobalGainField& field, int left, int right, int& change,
                              std::string& error) const {
    if (left == right) {
        change = left;
        return true;
    }
    if (!field.pairedChannel) {
        error = "one channel alone can only be changed in a stereo pair, and this file has a "
                "channel that is not one of a pair";
        return false;
    }
    if (field.midSide) {
        error = "one channel alone cannot be changed where a channel pair is coded mid/side";
        return false;
    }
    change = field.channel % 2 == 0 ? left : right;
    return true;
}

bool AacFrameGains::apply(std::vector<std::uint8_t>& bytes, const Mp4File& file, int left,
                          int right, std::string& error) const {
    for (const std::vector<GlobalGainField>& sample : fields_) {
        for (const GlobalGainField& field : sample) {
            int change = 0;
            if (!changeFor(field, left, right, change, error)) {
                return false;
            }
            int value = field.value + change;
            if (value < kLowestGain || value > kHighestGain) {
                error = "the change would take a global_gain field from " +
                        std::to_string(field.value) + " to " + std::to_string(value) +
                        ", outside 0..255";
                return false;
            }
        }
    }
    const std::vector<Mp4Sample>& samples = file.samples();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        for (const GlobalGainField& field : fields_[i]) {
            int change = 0;
            changeFor(field, left, right, change, error);
            writeGlobalGain(bytes.data() + samples[i].offset, field.bitOffset,
                            field.value + change);
        }
    }
    return true;
}

bool AacFrameGains::movedBy(const AacFrameGains& changed, int left, int right) const {
    if (changed.fields_.size() != fields_.size()) {
        return false;
    }
    std::string unused;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const std::vector<GlobalGainField>& before = fields_[i];
        const std::vector<GlobalGainField>& after = changed.fields_[i];
        if (before.size() != after.size()) {
            return false;
        }
        for (std::size_t j = 0; j < before.size(); ++j) {
            int change = 0;
            if (!changeFor(before[j], left, right, change, unused) ||
                after[j].bitOffset != before[j].bitOffset ||
                after[j].value != before[j].value + change) {
                return false;
            }
        }
    }
    return true;
}

void AacFrameGains::restoreInto(std::uint8_t* block, std::size_t sample) const {
    for (const GlobalGainField& field : fields_[sample]) {
        writeGlobalGain(block, field.bitOffset, field.value);
    }
}
