#include "TimeLeft.h"

#include <algorithm>

std::optional<double> TimeLeft::afterItem(int tracksDone, double elapsedSeconds) {
    ++itemsDone;
    if (itemsDone < kItemsBeforeAGuess || elapsedSeconds < kSecondsBeforeAGuess ||
        tracksDone <= 0) {
        return std::nullopt;
    }
    const int tracksLeft = totalTracks - tracksDone;
    if (tracksLeft <= 0) {
        return std::nullopt;
    }
    return elapsedSeconds / tracksDone * tracksLeft;
}
