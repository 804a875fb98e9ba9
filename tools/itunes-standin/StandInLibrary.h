#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// What the iTunes stand-in knows: sources with their playlists, and the tracks
// that the playlists list. The first source is the library, whose first
// playlist is the library playlist.
struct StandInTrack {
    static constexpr int kFile = 1;
    static constexpr int kURL = 3;
    static constexpr int kShared = 5;

    int32_t id = 0;
    std::optional<std::wstring> name;
    std::optional<std::wstring> artist;
    std::optional<std::wstring> album;
    int kind = kFile;
    // The full path of a file track's file; absent for other kinds, or when iTunes lost it.
    std::optional<std::wstring> location;
    std::optional<std::wstring> comment;
    int totalTimeMilliseconds = 0;
};

struct StandInPlaylist {
    static constexpr int kLibrary = 1;
    static constexpr int kUser = 2;

    int32_t id = 0;
    std::wstring name;
    int kind = kUser;
    std::vector<int32_t> trackIds;
};

struct StandInSource {
    static constexpr int kLibrary = 1;
    static constexpr int kIPod = 2;

    int32_t id = 0;
    std::wstring name;
    int kind = kLibrary;
    std::vector<StandInPlaylist> playlists;
};

class StandInLibrary {
public:
    // A library source with an empty library playlist.
    StandInLibrary();

    StandInSource& librarySource() { return sources.front(); }
    StandInPlaylist& libraryPlaylist() { return sources.front().playlists.front(); }

    // Adds a track to the track table and to the library playlist; an id of 0
    // gets the next free one.
    StandInTrack& addTrack(StandInTrack track);
    // A playlist of the library source (or of another source by its id).
    StandInPlaylist& addPlaylist(const std::wstring& name, std::vector<int32_t> trackIds,
                                 int32_t sourceId = 0);
    StandInSource& addSource(const std::wstring& name, int kind);

    StandInTrack* findTrack(int32_t id);
    const StandInSource* findSource(int32_t id) const;
    const StandInPlaylist* findPlaylist(int32_t sourceId, int32_t playlistId) const;

    // The total time of the playlist's tracks in whole seconds.
    int durationSeconds(const StandInPlaylist& playlist) const;
    // The playlist's tracks whose name contains the text, ignoring case, as
    // iTunes' search by song name finds them.
    std::vector<int32_t> searchSongNames(const StandInPlaylist& playlist,
                                         const std::wstring& text) const;

    std::vector<StandInSource> sources;
    std::unordered_map<int32_t, StandInTrack> tracks;

private:
    int32_t nextId = 1000;
};
