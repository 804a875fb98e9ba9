#include "GainArithmetic.h"

#include <algorithm>
#include <cmath>

namespace {

// The global gain field has 8 bits: no step count beyond this can be applied.
// Keeping within it also keeps the conversion to int defined for absurd input.
constexpr double kLargestStepCount = 255.0;

int clampToStepRange(double steps) {
    return static_cast<int>(std::clamp(steps, -kLargestStepCount, kLargestStepCount));
}

} // namespace

double volumeFromGain(double gainDb) {
    return kReferenceVolume - gainDb;
}

int toGlobalGainAdjust(double volume, int targetVolume) {
    double c = (targetVolume - volume) / kGainStepDb;
    if (std::isnan(c)) {
        return 0;
    }
    int n = clampToStepRange(std::trunc(std::fabs(c) + 0.5));
    return c < 0 ? -n : n;
}

double stepsToDb(int steps) {
    return steps * kGainStepDb;
}

bool isClipping(double maxAmplitude) {
    return maxAmplitude > kMaxUnclippedAmplitude;
}

bool willClipAfter(int steps, double maxAmplitude) {
    return std::pow(2.0, steps / 4.0) * maxAmplitude > kMaxUnclippedAmplitude;
}

int maxNoClipGlobalGainAdjust(double maxAmplitude) {
    if (!(maxAmplitude > 0.0)) {
        return 0;
    }
    double steps =
        std::floor(4.0 * std::log(kMaxUnclippedAmplitude / maxAmplitude) / std::log(2.0));
    if (std::isnan(steps)) {
        return 0;
    }
    return clampToStepRange(steps);
}
