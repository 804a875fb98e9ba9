#include "StandInLibrary.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring folded(const std::wstring& text) {
    std::wstring result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return result;
}

} // namespace

StandInLibrary::StandInLibrary() {
    sources.push_back(StandInSource{nextId++, L"Library", StandInSource::kLibrary, {}});
    sources.front().playlists.push_back(
        StandInPlaylist{nextId++, L"Library", StandInPlaylist::kLibrary, {}});
}

StandInTrack& StandInLibrary::addTrack(StandInTrack track) {
    if (track.id == 0) {
        track.id = nextId;
    }
    nextId = std::max(nextId, track.id + 1);
    libraryPlaylist().trackIds.push_back(track.id);
    int32_t id = track.id;
    return tracks[id] = std::move(track);
}

StandInPlaylist& StandInLibrary::addPlaylist(const std::wstring& name,
                                             std::vector<int32_t> trackIds, int32_t sourceId) {
    StandInSource* source = &librarySource();
    for (StandInSource& candidate : sources) {
        if (candidate.id == sourceId) {
            source = &candidate;
        }
    }
    source->playlists.push_back(
        StandInPlaylist{nextId++, name, StandInPlaylist::kUser, std::move(trackIds)});
    return source->playlists.back();
}

StandInSource& StandInLibrary::addSource(const std::wstring& name, int kind) {
    sources.push_back(StandInSource{nextId++, name, kind, {}});
    return sources.back();
}

StandInTrack* StandInLibrary::findTrack(int32_t id) {
    auto found = tracks.find(id);
    return found == tracks.end() ? nullptr : &found->second;
}

const StandInSource* StandInLibrary::findSource(int32_t id) const {
    for (const StandInSource& source : sources) {
        if (source.id == id) {
            return &source;
        }
    }
    return nullptr;
}

const StandInPlaylist* StandInLibrary::findPlaylist(int32_t sourceId, int32_t playlistId) const {
    const StandInSource* source = findSource(sourceId);
    if (!source) {
        return nullptr;
    }
    for (const StandInPlaylist& playlist : source->playlists) {
        if (playlist.id == playlistId) {
            return &playlist;
        }
    }
    return nullptr;
}

int StandInLibrary::durationSeconds(const StandInPlaylist& playlist) const {
    long long milliseconds = 0;
    for (int32_t id : playlist.trackIds) {
        auto found = tracks.find(id);
        if (found != tracks.end()) {
            milliseconds += found->second.totalTimeMilliseconds;
        }
    }
    return static_cast<int>(milliseconds / 1000);
}

std::vector<int32_t> StandInLibrary::searchSongNames(const StandInPlaylist& playlist,
                                                     const std::wstring& text) const {
    std::wstring wanted = folded(text);
    std::vector<int32_t> found;
    for (int32_t id : playlist.trackIds) {
        auto track = tracks.find(id);
        if (track != tracks.end() && track->second.name &&
            folded(*track->second.name).find(wanted) != std::wstring::npos) {
            found.push_back(id);
        }
    }
    return found;
}
