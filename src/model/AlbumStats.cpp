#include "AlbumStats.h"

#include "VeltoDatabase.h"

#include <algorithm>
#include <optional>

namespace {

// Placeholders written by the album queries whose answer is not valid.
constexpr int kNoAlbumSteps = -99999999;
constexpr double kNoAlbumValue = -1e99;

const std::vector<int> kNoTracks;

// A track whose file the gain tool could not take or failed on at the last
// job has no album values from its album's run; the album's values are those
// of its other tracks, so that they can still be levelled together.
bool passedOver(const TrackSource& cursor) {
    return cursor.fileProblem() != FileProblem::None;
}

// Walks the tracks while each has an album volume exactly equal to the first
// track's, calling visit (cursor loaded, whether it is the first track) for
// each; visit answers false to stop the walk as invalid. Tracks passed over do
// not count; an album of none is invalid. The walk starts from nothing loaded,
// so that it never reads records that a synchronisation has replaced since the
// cursor last loaded them.
template <typename Visit>
bool walkConsistentTracks(TrackSource& cursor, const std::vector<int>& ids, Visit visit) {
    cursor.reset();
    bool first = true;
    double firstVolume = 0;
    for (int id : ids) {
        cursor.selectTrack(id);
        if (passedOver(cursor)) {
            continue;
        }
        double volume = 0;
        if (!cursor.getAlbumVolume(volume)) {
            return false;
        }
        if (first) {
            firstVolume = volume;
        } else if (volume != firstVolume) {
            return false;
        }
        if (!visit(first)) {
            return false;
        }
        first = false;
    }
    return !first;
}

// Walks the tracks while each gives a valid value equal to the first track's;
// tracks passed over do not count.
template <typename T, typename Query>
bool walkEqualValues(TrackSource& cursor, const std::vector<int>& ids, T& value, Query query) {
    cursor.reset();
    std::optional<T> first;
    for (int id : ids) {
        cursor.selectTrack(id);
        if (passedOver(cursor)) {
            continue;
        }
        T current{};
        if (!query(current) || (first && current != *first)) {
            return false;
        }
        if (!first) {
            first = current;
        }
    }
    if (first) {
        value = *first;
    }
    return first.has_value();
}

// Adds the loaded track's album values to those of the tracks before it; false
// when the walk must stop: the first track has no album result, or a later
// one's album volume differs from it.
bool addAlbumValues(const TrackSource& walker, AlbumValues& values) {
    if (!values.albumValid) {
        bool hasVolume = walker.getAlbumVolume(values.albumVolume);
        bool hasClipping = walker.getClipping(values.albumClipping);
        bool hasGain = walker.getAlbumGainDb(values.albumGainDb);
        bool hasWillClip = walker.getAlbumWillClip(values.albumWillClip);
        values.albumValid = hasVolume && hasClipping && hasGain && hasWillClip;
        return values.albumValid;
    }
    double volume = 0;
    if (!walker.getAlbumVolume(volume) || volume != values.albumVolume) {
        values.albumValid = false;
        return false;
    }
    bool flag = false;
    if (walker.getClipping(flag)) {
        values.albumClipping = values.albumClipping || flag;
    }
    if (walker.getAlbumWillClip(flag)) {
        values.albumWillClip = values.albumWillClip || flag;
    }
    return true;
}

} // namespace

AlbumStats::AlbumStats(VeltoDatabase& database, const TrackSource& tracksView)
    : database(database), cursor(tracksView) {}

const std::vector<int>* AlbumStats::trackIdsOf(int row) {
    const AlbumRecord* album = database.currentAlbumAt(row);
    return album ? &album->trackIds : nullptr;
}

bool AlbumStats::loadAlbum(int row, AlbumValues& values) {
    TrackSource walker(cursor);
    values = AlbumValues{};
    const AlbumRecord* album = database.currentAlbumAt(row);
    if (!album) {
        return false;
    }
    values.numTracks = static_cast<int>(album->trackIds.size());
    bool allLoaded = true;
    bool missingSeen = false;
    bool named = false;
    for (int id : album->trackIds) {
        bool ok = walker.selectTrack(id);
        allLoaded = allLoaded && ok;
        // Normally the first track names the album; when its record is gone
        // the next one that exists does, so the row still says which album it is.
        if (!named && walker.track()) {
            values.name = walker.track()->album.value_or(L"");
            values.artist = walker.track()->artist.value_or(L"");
            named = true;
        }
        if (allLoaded && !passedOver(walker) && !addAlbumValues(walker, values)) {
            break;
        }
        if (!ok && !walker.isProtected()) {
            missingSeen = true;
        }
    }
    if (!allLoaded) {
        values.albumValid = false;
        values.albumProtected = !missingSeen;
    }
    return allLoaded;
}

const TrackRecord* AlbumStats::firstExistingTrack(int row) {
    const std::vector<int>* ids = trackIdsOf(row);
    if (!ids) {
        return nullptr;
    }
    for (int id : *ids) {
        if (const TrackRecord* track = database.findTrack(id)) {
            return track;
        }
    }
    return nullptr;
}

bool AlbumStats::getAlbumName(int row, std::wstring& name) {
    name.clear();
    const TrackRecord* track = firstExistingTrack(row);
    if (track) {
        name = track->album.value_or(L"");
    }
    return track != nullptr;
}

bool AlbumStats::getArtist(int row, std::wstring& artist) {
    artist.clear();
    const TrackRecord* track = firstExistingTrack(row);
    if (track) {
        artist = track->artist.value_or(L"");
    }
    return track != nullptr;
}

bool AlbumStats::getTrackCount(int row, int& count) {
    const std::vector<int>* ids = trackIdsOf(row);
    count = ids ? static_cast<int>(ids->size()) : 0;
    return ids != nullptr;
}

bool AlbumStats::getAlbumVolume(int row, double& volume) {
    TrackSource walker(cursor);
    volume = kNoAlbumValue;
    const std::vector<int>* ids = trackIdsOf(row);
    double first = 0;
    bool valid = ids && walkConsistentTracks(walker, *ids, [&](bool isFirst) {
                     if (isFirst) {
                         walker.getAlbumVolume(first);
                     }
                     return true;
                 });
    if (valid) {
        volume = first;
    }
    return valid;
}

bool AlbumStats::getAlbumGainDb(int row, double& gainDb) {
    TrackSource walker(cursor);
    gainDb = kNoAlbumValue;
    const std::vector<int>* ids = trackIdsOf(row);
    return ids && walkEqualValues(walker, *ids, gainDb,
                                  [&](double& value) { return walker.getAlbumGainDb(value); });
}

bool AlbumStats::getAlbumClipping(int row, bool& clipping) {
    TrackSource walker(cursor);
    clipping = false;
    const std::vector<int>* ids = trackIdsOf(row);
    bool any = false;
    bool valid = ids && walkConsistentTracks(walker, *ids, [&](bool isFirst) {
                     bool flag = false;
                     bool known = walker.getClipping(flag);
                     any = any || (known && flag);
                     return known || !isFirst;
                 });
    clipping = valid && any;
    return valid;
}

bool AlbumStats::getAlbumWillClip(const std::vector<int>& ids, bool& willClip) {
    TrackSource walker(cursor);
    return getAlbumWillClip(walker, ids, willClip);
}

bool AlbumStats::getAlbumGlobalGainAdjust(const std::vector<int>& ids, int& steps) {
    TrackSource walker(cursor);
    return getAlbumGlobalGainAdjust(walker, ids, steps);
}

bool AlbumStats::getAlbumMaxNoClip(const std::vector<int>& ids, int& steps) {
    TrackSource walker(cursor);
    return getAlbumMaxNoClip(walker, ids, steps);
}

bool AlbumStats::getAlbumWillClip(TrackSource& cursor, const std::vector<int>& ids,
                                  bool& willClip) {
    willClip = false;
    bool any = false;
    bool valid = walkConsistentTracks(cursor, ids, [&](bool isFirst) {
        bool flag = false;
        bool known = cursor.getAlbumWillClip(flag);
        any = any || (known && flag);
        return known || !isFirst;
    });
    willClip = valid && any;
    return valid;
}

bool AlbumStats::getAlbumGlobalGainAdjust(TrackSource& cursor, const std::vector<int>& ids,
                                          int& steps) {
    steps = kNoAlbumSteps;
    return walkEqualValues(cursor, ids, steps,
                           [&](int& value) { return cursor.getAlbumGlobalGainAdjust(value); });
}

bool AlbumStats::getAlbumMaxNoClip(TrackSource& cursor, const std::vector<int>& ids, int& steps) {
    steps = 0;
    int smallest = 0;
    bool valid = walkConsistentTracks(cursor, ids, [&](bool isFirst) {
        int limit = 0;
        bool known = cursor.getMaxNoClipGlobalGainAdjust(limit);
        if (isFirst) {
            smallest = limit;
            return known;
        }
        // A track whose limit is unknown is passed over.
        if (known) {
            smallest = std::min(smallest, limit);
        }
        return true;
    });
    if (valid) {
        steps = smallest;
    }
    return valid;
}

bool AlbumStats::getFileArgs(int row, std::wstring& fileArgs) {
    TrackSource walker(cursor);
    fileArgs.clear();
    const std::vector<int>* ids = trackIdsOf(row);
    if (!ids) {
        return false;
    }
    for (int id : *ids) {
        if (!walker.selectTrack(id)) {
            return false;
        }
        fileArgs += walker.getFileArgs();
        fileArgs += L' ';
    }
    return true;
}

void AlbumStats::clearData(int row) {
    TrackSource walker(cursor);
    const std::vector<int>* ids = trackIdsOf(row);
    if (!ids) {
        return;
    }
    for (int id : *ids) {
        walker.selectTrack(id);
        walker.clearData();
    }
}

const std::vector<int>& AlbumStats::getTrackIdList(int row) {
    const std::vector<int>* ids = trackIdsOf(row);
    return ids ? *ids : kNoTracks;
}
