#pragma once

#include "TrackSource.h"

#include <string>
#include <vector>

class VeltoDatabase;

// What loadAlbum finds out about an album in one walk over its tracks.
struct AlbumValues {
    std::wstring name;
    std::wstring artist;
    int numTracks = 0;
    bool albumValid = false;    // the tracks' album results are consistent
    bool albumClipping = false; // some track clips already
    double albumVolume = 0;
    double albumGainDb = 0;      // whole steps toward the target, in dB
    bool albumWillClip = false;  // the album's step count makes some track clip
    bool albumProtected = false; // not loadable, and only because of protected files
};

// Album values from the per-track values of an album's tracks. An album's
// tracks are consistent when every one has an album volume and all are exactly
// equal; its album values count only then. Albums are named by their row in the
// current playlist; the list operations take any cursor and list of track ids,
// so that a selection of tracks can be treated as an album too.
//
// The albums view (UI thread) and a running album job share one AlbumStats, so
// every walk uses a fresh copy of the cursor: the two threads never move one
// cursor under each other (which could hand a job another album's file).
class AlbumStats {
public:
    AlbumStats(VeltoDatabase& database, const TrackSource& tracksView);
    AlbumStats(const AlbumStats&) = delete;
    AlbumStats& operator=(const AlbumStats&) = delete;

    // True when every track examined could be loaded. The walk ends at the
    // first track that breaks consistency; the tracks after it are not looked at.
    bool loadAlbum(int row, AlbumValues& values);
    // The album name and artist of the album's first track, or of the first
    // whose record still exists; false when the album or all its tracks are missing.
    bool getAlbumName(int row, std::wstring& name);
    bool getArtist(int row, std::wstring& artist);
    bool getTrackCount(int row, int& count);
    bool getAlbumVolume(int row, double& volume);
    bool getAlbumGainDb(int row, double& gainDb);
    bool getAlbumClipping(int row, bool& clipping);
    bool getFileArgs(int row, std::wstring& fileArgs);
    void clearData(int row);
    // The album's track ids as stored; empty when there is no such album.
    const std::vector<int>& getTrackIdList(int row);

    bool getAlbumWillClip(const std::vector<int>& ids, bool& willClip);
    bool getAlbumGlobalGainAdjust(const std::vector<int>& ids, int& steps);
    bool getAlbumMaxNoClip(const std::vector<int>& ids, int& steps);

    static bool getAlbumWillClip(TrackSource& cursor, const std::vector<int>& ids, bool& willClip);
    static bool getAlbumGlobalGainAdjust(TrackSource& cursor, const std::vector<int>& ids,
                                         int& steps);
    static bool getAlbumMaxNoClip(TrackSource& cursor, const std::vector<int>& ids, int& steps);

private:
    const std::vector<int>* trackIdsOf(int row);
    // The first of the album's tracks that the database still has.
    const TrackRecord* firstExistingTrack(int row);

    VeltoDatabase& database;
    const TrackSource cursor; // copied by every walk, never loaded itself
};
