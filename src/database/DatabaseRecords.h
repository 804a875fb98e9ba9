#pragma once

#include "OptionalReal.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A text of the database: a wide string, or absent. The file does not keep the
// difference between an absent and an empty text.
using OptionalText = std::optional<std::wstring>;

// Why the gain tool was not given a file at its last chance, or that it failed
// on it: what a job learned, kept in memory only (never in Velto.db).
enum class FileProblem : std::uint8_t {
    None,
    Missing,    // no file at the path
    Empty,      // a file of no bytes
    Unreadable, // the file cannot be opened or read
    NotHandled, // its format is not one the gain tool handles
    ToolFailed, // the gain tool reported an error on it
};

// The analysis values of one audio file, shared by every track that plays it.
struct AACGainRecord {
    bool orphaned = false; // no track of the running synchronisation refers to it (yet)
    int32_t id = 0;
    std::wstring path;
    OptionalReal maxAmplitude;
    OptionalReal trackGain; // dB
    OptionalReal albumMaxAmplitude;
    OptionalReal albumGain; // dB
    FileProblem problem = FileProblem::None;
};

// One track of one playlist.
struct TrackRecord {
    int32_t id = 0;
    int32_t aacgainId = -1; // id of its file's AACGainRecord; -1 for none
    OptionalText name;
    OptionalText album;
    OptionalText artist;
};

// One album of one playlist: its tracks in the order they joined.
struct AlbumRecord {
    int32_t id = 0;
    std::vector<int32_t> trackIds;
};

// (artist, album), ordered by artist, then album, in code-unit order. An absent
// artist or album counts as the empty text, so that the order is consistent
// and an album groups the same way before and after a save and load.
struct AlbumKey {
    OptionalText artist;
    OptionalText album;

    bool operator<(const AlbumKey& other) const;
};

struct Playlist {
    int32_t playlistId = -1; // the iTunes playlist ID; -1 when read from the file
    int32_t isLibrary = 0;   // 1 for the iTunes library playlist
    OptionalText name;
    std::vector<int32_t> trackIds; // in playlist order
    std::vector<int32_t> albumIds; // albums with two tracks or more, as each reached its second
    std::map<AlbumKey, int32_t> albumKeys; // every album of the playlist
};
