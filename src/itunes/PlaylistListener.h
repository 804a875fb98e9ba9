#pragma once

#include <string>

// Hears of the playlists of the iTunes library, one call per non-empty playlist.
class PlaylistListener {
public:
    virtual ~PlaylistListener() = default;

    // name is lent for the duration of the call only.
    virtual void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                               bool isLibrary) = 0;
};
