#include "AacBandTables.h"

#include <stdint.h>

namespace {

// num_swb_*_window and swb_offset_*_window, as faad2's decoder declares them.
#include "AacBandTables.inc"

// 7350 Hz (index 12) uses the bands of 8000 Hz, the last of faad2's tables.
constexpr int kLastTableIndex = 11;
constexpr int kIndex7350 = 12;

} // namespace

bool AacBandTables::forFrame(int samplingFrequencyIndex, bool frameLength960,
                             AacBandTables& tables) {
    if (samplingFrequencyIndex < 0 || samplingFrequencyIndex > kIndex7350) {
        return false;
    }
    int index = samplingFrequencyIndex > kLastTableIndex ? kLastTableIndex : samplingFrequencyIndex;
    tables.frameLength_ = frameLength960 ? 960 : 1024;
    tables.longOffsets_ = swb_offset_1024_window[index];
    tables.shortOffsets_ = swb_offset_128_window[index];
    tables.longCount_ = frameLength960 ? num_swb_960_window[index] : num_swb_1024_window[index];
    tables.shortCount_ = num_swb_128_window[index];
    return true;
}

int AacBandTables::longBandStart(int band) const {
    return band >= longCount_ ? frameLength_ : longOffsets_[band];
}

int AacBandTables::shortBandStart(int band) const {
    return band >= shortCount_ ? frameLength_ / 8 : shortOffsets_[band];
}
