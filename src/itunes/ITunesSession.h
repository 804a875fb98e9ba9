#pragma once

#include "PlaylistListener.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class VeltoDatabase;

// What the load, sync and job routines ask of a connection with iTunes. The
// COM connection (ITunesAPI) implements it on Windows; tests put a library of
// their own in its place. A session is made, used and deleted by one worker
// thread. Calls that iTunes refuses raise ITunesBusyException.
class ITunesSession {
public:
    virtual ~ITunesSession() = default;

    // Reports each non-empty playlist of the library, the library playlist flagged.
    virtual void enumeratePlaylists(PlaylistListener& listener) = 0;
    // An ID that iTunes no longer knows selects no playlist.
    virtual void selectPlaylist(int32_t playlistID) = 0;
    // The selected playlist's tracks.
    virtual int trackCount() = 0;
    // The track at a position (from 0) of the selected playlist; all four are
    // absent for a track that is not a file with a known location.
    virtual void getTrack(int position, std::optional<std::wstring>& name,
                          std::optional<std::wstring>& artist, std::optional<std::wstring>& album,
                          std::optional<std::wstring>& location) = 0;
    // While on, a track met again (the same iTunes track in another playlist)
    // gives what was read of it the first time, without asking iTunes for it
    // again; turning it off forgets what was read.
    virtual void rememberTracks(bool) {}
    // Writes the current timestamp into the iTunes comment of these tracks.
    virtual void timestampComments(const VeltoDatabase& database,
                                   const std::vector<int32_t>& trackIds) = 0;
};
