#include "AacFrameGains.h"

#include <algorithm>

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

std::vector<AacFrameGains::Change> AacFrameGains::changesFor(int left, int right) {
    if (left == right) {
        return {{GainChannels::Both, left}};
    }
    std::vector<Change> changes;
    if (left != 0) {
        changes.push_back({GainChannels::First, left});
    }
    if (right != 0) {
        changes.push_back({GainChannels::Second, right});
    }
    return changes;
}

int AacFrameGains::expectedChange(const GlobalGainField& field, int left, int right) {
    if (left == right) {
        return left;
    }
    if (!field.pairedChannel) {
        return 0;
    }
    return field.channel == 0 ? left : right;
}

bool AacFrameGains::apply(std::vector<std::uint8_t>& bytes, const Mp4File& file, int left,
                          int right, std::string& error) const {
    std::vector<Change> changes = changesFor(left, right);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        for (const Change& change : changes) {
            std::string why = checkStepChange(fields_[i], change.steps, change.channels);
            if (!why.empty()) {
                error = "in its AAC block " + std::to_string(i + 1) + ", " + why;
                return false;
            }
        }
    }
    const std::vector<Mp4Sample>& samples = file.samples();
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        for (const Change& change : changes) {
            if (!applyStepChange(bytes.data() + samples[i].offset, fields_[i], change.steps,
                                 change.channels, error)) {
                return false;
            }
        }
    }
    return true;
}

bool AacFrameGains::movedBy(const AacFrameGains& changed, int left, int right) const {
    if (changed.fields_.size() != fields_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const std::vector<GlobalGainField>& before = fields_[i];
        const std::vector<GlobalGainField>& after = changed.fields_[i];
        if (before.size() != after.size()) {
            return false;
        }
        for (std::size_t j = 0; j < before.size(); ++j) {
            if (after[j].bitOffset != before[j].bitOffset ||
                after[j].value != before[j].value + expectedChange(before[j], left, right)) {
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
