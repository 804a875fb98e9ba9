#pragma once

#include "OptionalReal.h"

#include <cstdint>
#include <span>
#include <vector>

class VeltoDatabase;

// What the database knows of one track's loudness.
struct TrackLoudness {
    OptionalReal volume; // dB; absent until analysed
    OptionalReal maxAmplitude;
    // A job can give the file to the gain tool (it has a file record and is
    // not a protected .m4p): Apply Gain leaves the others as they are.
    bool processable = true;
};

struct LoudnessCounts {
    int analysed = 0;
    int notAnalysed = 0;
    int clippingNow = 0;
    int wouldClipAfter = 0;
    int limitedByDontClip = 0;
};

// The current playlist's track volumes now and after Apply Gain, in 1 dB
// bins: bin i holds volumes v with lowestBin + i <= v < lowestBin + i + 1.
// Both histograms share the bins, which always include the target and
// kNarrowestReach dB either side of it.
struct LoudnessPicture {
    int targetVolume = 0;
    int lowestBin = 0;
    std::vector<int> now;
    std::vector<int> after;
    LoudnessCounts counts;

    int highestBin() const { return lowestBin + static_cast<int>(now.size()) - 1; }
    // The largest count of any bin of either histogram.
    int tallestBin() const;
};

// What Apply Gain at a target would do to one analysed track.
struct PredictedGain {
    int steps = 0;
    double volume = 0;
    bool wouldClip = false;
    bool limitedByDontClip = false;
};

// The loudness picture of the database's current playlist, read again when
// the tables, the stored values, the target or Don't Clip change. The window
// that shows it calls refresh on its own thread; the reading holds the
// database's read lock, so a job may store values meanwhile.
class LoudnessOverview {
public:
    // A volume further than this from the target is drawn in the edge bin, so
    // that a damaged value cannot stretch the picture.
    static constexpr int kWidestReach = 60;
    // The bins reach at least this far either side of the target, so that
    // tracks gathered at the target still show how close they are.
    static constexpr int kNarrowestReach = 6;

    explicit LoudnessOverview(const VeltoDatabase& database) : database(database) {}

    // True when the picture was made again (the first call always makes it).
    bool refresh(int targetVolume, bool dontClip);
    const LoudnessPicture& picture() const { return current; }

    // Apply Gain's arithmetic for one track: the steps that bring its volume to
    // the target, limited by Don't Clip when they would make it clip.
    static PredictedGain predict(double volume, const OptionalReal& maxAmplitude, int targetVolume,
                                 bool dontClip);
    static LoudnessPicture draw(std::span<const TrackLoudness> tracks, int targetVolume,
                                bool dontClip);

private:
    // Called with the database's read lock held.
    static std::vector<TrackLoudness> readCurrentPlaylist(const VeltoDatabase& database);

    struct Inputs {
        std::uint64_t tablesGeneration = 0;
        std::uint64_t valuesGeneration = 0;
        int playlist = -1;
        int targetVolume = 0;
        bool dontClip = false;
        bool operator==(const Inputs&) const = default;
    };

    const VeltoDatabase& database;
    bool drawn = false;
    Inputs drawnFrom;
    LoudnessPicture current;
};
