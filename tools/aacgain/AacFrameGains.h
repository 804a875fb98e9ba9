#pragma once
// The global_gain field of every channel stream in every AAC block of a
// file's audio track, and the lossless gain change made through them: adding
// n to every global_gain scales the decoded audio by 2^(n/4) (1.5 dB a step).

#include "AacGlobalGain.h"
#include "Mp4File.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class AacFrameGains {
public:
    // Walks every block; false, with the block named in error, when one is
    // damaged or uses what the walk does not handle.
    bool read(std::span<const std::uint8_t> bytes, const Mp4File& file, std::string& error);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // Adds left to the first channel and right to the second channel of each
    // pair (every channel stream when both are equal). Nothing is written,
    // and false comes back with the reason, when a block cannot take the
    // change losslessly (checkStepChange: a field or scale factor would
    // leave its range, one channel of a mid/side or intensity pair or of a
    // lone channel, HE-AAC's SBR data).
    bool apply(std::vector<std::uint8_t>& bytes, const Mp4File& file, int left, int right,
               std::string& error) const;

    // True when changed holds the same fields as this, each moved by the
    // change apply made.
    bool movedBy(const AacFrameGains& changed, int left, int right) const;

    // Writes this walk's values back into a copy of sample i's block.
    void restoreInto(std::uint8_t* block, std::size_t sample) const;

private:
    struct Change {
        GainChannels channels;
        int steps;
    };
    static std::vector<Change> changesFor(int left, int right);
    static int expectedChange(const GlobalGainField& field, int left, int right);

    std::vector<std::vector<GlobalGainField>> fields_; // per sample
    int minimum_ = 255;
    int maximum_ = 0;
};
