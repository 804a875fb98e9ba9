#include "LoudnessOverview.h"

#include "GainArithmetic.h"
#include "VeltoDatabase.h"

#include <algorithm>
#include <cmath>

namespace {

// A value read from a damaged file can be infinite or not a number: such a
// track counts as not analysed rather than landing in a bin.
bool isMeasured(const OptionalReal& value) {
    return value.present && std::isfinite(value.value);
}

// The bin of a volume, kept within [lowest, highest] before the conversion
// to int so that no double is converted out of range.
int binOf(double volume, int lowest, int highest) {
    return static_cast<int>(std::clamp(std::floor(volume), double(lowest), double(highest)));
}

} // namespace

int LoudnessPicture::tallestBin() const {
    int tallest = 0;
    for (int count : now) {
        tallest = std::max(tallest, count);
    }
    for (int count : after) {
        tallest = std::max(tallest, count);
    }
    return tallest;
}

PredictedGain LoudnessOverview::predict(double volume, const OptionalReal& maxAmplitude,
                                        int targetVolume, bool dontClip) {
    PredictedGain gain;
    gain.steps = toGlobalGainAdjust(volume, targetVolume);
    const bool amplitudeKnown = isMeasured(maxAmplitude);
    if (dontClip && amplitudeKnown && willClipAfter(gain.steps, maxAmplitude.value)) {
        gain.steps = maxNoClipGlobalGainAdjust(maxAmplitude.value);
        gain.limitedByDontClip = true;
    }
    gain.volume = volume + stepsToDb(gain.steps);
    gain.wouldClip = amplitudeKnown && willClipAfter(gain.steps, maxAmplitude.value);
    return gain;
}

LoudnessPicture LoudnessOverview::draw(std::span<const TrackLoudness> tracks, int targetVolume,
                                       bool dontClip) {
    LoudnessPicture picture;
    picture.targetVolume = targetVolume;
    std::vector<double> now;
    std::vector<double> after;
    for (const TrackLoudness& track : tracks) {
        if (isMeasured(track.maxAmplitude) && isClipping(track.maxAmplitude.value)) {
            ++picture.counts.clippingNow;
        }
        if (!isMeasured(track.volume)) {
            ++picture.counts.notAnalysed;
            continue;
        }
        ++picture.counts.analysed;
        now.push_back(track.volume.value);
        if (!track.processable) {
            after.push_back(track.volume.value);
            picture.counts.wouldClipAfter +=
                isMeasured(track.maxAmplitude) && isClipping(track.maxAmplitude.value);
            continue;
        }
        PredictedGain gain =
            predict(track.volume.value, track.maxAmplitude, targetVolume, dontClip);
        after.push_back(gain.volume);
        picture.counts.wouldClipAfter += gain.wouldClip;
        picture.counts.limitedByDontClip += gain.limitedByDontClip;
    }

    const int nearest = targetVolume - kWidestReach;
    const int furthest = targetVolume + kWidestReach;
    int lowest = targetVolume - kNarrowestReach;
    int highest = targetVolume + kNarrowestReach;
    for (const auto* volumes : {&now, &after}) {
        for (double volume : *volumes) {
            int bin = binOf(volume, nearest, furthest);
            lowest = std::min(lowest, bin);
            highest = std::max(highest, bin);
        }
    }
    picture.lowestBin = lowest;
    picture.now.assign(highest - lowest + 1, 0);
    picture.after.assign(highest - lowest + 1, 0);
    for (double volume : now) {
        ++picture.now[binOf(volume, lowest, highest) - lowest];
    }
    for (double volume : after) {
        ++picture.after[binOf(volume, lowest, highest) - lowest];
    }
    return picture;
}

std::vector<TrackLoudness> LoudnessOverview::readCurrentPlaylist(const VeltoDatabase& database) {
    std::vector<TrackLoudness> tracks;
    const int count = database.currentTrackCount();
    tracks.reserve(count);
    for (int row = 0; row < count; ++row) {
        TrackLoudness loudness;
        const TrackRecord* track = database.currentTrackAt(row);
        const AACGainRecord* file = track ? database.aacgainRecordOf(*track) : nullptr;
        loudness.processable = file && !VeltoDatabase::isProtected(*file);
        if (file && file->trackGain.present) {
            loudness.volume = OptionalReal::of(volumeFromGain(file->trackGain.value));
        }
        if (file) {
            loudness.maxAmplitude = file->maxAmplitude;
        }
        tracks.push_back(loudness);
    }
    return tracks;
}

bool LoudnessOverview::refresh(int targetVolume, bool dontClip) {
    // A sync may be changing the tables, the current playlist among them: the
    // inputs and the tracks are read under one lock so that they agree.
    VeltoDatabase::ReadLock lock = database.readLock();
    Inputs inputs{database.generation(), database.valuesGeneration(), database.currentPlaylist(),
                  targetVolume, dontClip};
    if (drawn && inputs == drawnFrom) {
        return false;
    }
    std::vector<TrackLoudness> tracks = readCurrentPlaylist(database);
    lock.unlock();
    current = draw(tracks, targetVolume, dontClip);
    drawnFrom = inputs;
    drawn = true;
    return true;
}
