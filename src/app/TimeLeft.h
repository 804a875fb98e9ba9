#pragma once

#include <optional>

// Estimates how long a job has still to run from the work done so far,
// counted in tracks (an album item counts all its tracks): the time per track
// so far, times the tracks still to do. Silent until the job has finished a
// few items and run a while, when a guess would mislead.
class TimeLeft {
public:
    explicit TimeLeft(int totalTracks) : totalTracks(totalTracks) {}

    // After an item has finished: the tracks finished so far and the seconds
    // since the job began. Gives the seconds left, or nothing yet (nor once
    // every track is done).
    std::optional<double> afterItem(int tracksDone, double elapsedSeconds);

    static constexpr int kItemsBeforeAGuess = 3;
    static constexpr double kSecondsBeforeAGuess = 10.0;

private:
    int totalTracks;
    int itemsDone = 0;
};
