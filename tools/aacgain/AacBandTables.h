#pragma once
// The scale factor bands of a window: where each band starts within the
// window's spectral lines, for every sampling frequency index and for frames
// of 1024 or 960 samples. The offsets come from Debian's faad2 source package,
// which the build fetches (fetch-faad2-source).
#include <cstdint>

class AacBandTables {
public:
    // False when the sampling frequency index has no tables (13 and 14 are
    // reserved, 15 means an explicit frequency).
    static bool forFrame(int samplingFrequencyIndex, bool frameLength960, AacBandTables& tables);

    int longBandCount() const { return longCount_; }
    int shortBandCount() const { return shortCount_; }
    // The first spectral line of band (0..count); band == count gives the
    // window's length.
    int longBandStart(int band) const;
    int shortBandStart(int band) const;

private:
    const std::uint16_t* longOffsets_ = nullptr;
    const std::uint16_t* shortOffsets_ = nullptr;
    int longCount_ = 0;
    int shortCount_ = 0;
    int frameLength_ = 1024;
};
