#pragma once

#include "DatabaseRecords.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The tables of playlists, tracks, albums and file records with their id
// counters: what the database file's records hold, without the preferences.
struct DatabaseTables {
    std::vector<Playlist> playlists;
    std::map<int32_t, TrackRecord> tracks;
    std::map<int32_t, AlbumRecord> albums;
    std::map<int32_t, AACGainRecord> aacgainRecords;
    std::map<std::wstring, int32_t> fileIndex; // file name -> AACGainRecord id
    int32_t currentPlaylist = -1;

    // Only ever raised: a new record takes the value, then the counter grows.
    int32_t nextTrackId = 1;
    int32_t nextAlbumId = 1;
    int32_t nextAACGainRecordId = 1;
};
