#pragma once

#include "DatabaseRecords.h"
#include "ITunesBusyException.h"
#include "ITunesSession.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// An iTunes library for the routines' tests: playlists of tracks, with a
// switch that makes iTunes refuse a call, and a record of the stamps written.
struct FakeLibrary {
    struct Track {
        OptionalText name, artist, album, location;
    };
    struct Playlist {
        int id = 0;
        std::wstring name;
        bool isLibrary = false;
        std::vector<Track> tracks;
        std::optional<int> reportedCount; // what enumeration says, when iTunes changed since
    };

    // count tracks named prefix0, prefix1, ... with a file of the same name.
    static std::vector<Track> tracks(const std::wstring& prefix, int count) {
        std::vector<Track> made;
        for (int i = 0; i < count; ++i) {
            std::wstring name = prefix + std::to_wstring(i);
            made.push_back({name, L"Artist", L"Album", L"/music/" + name + L".mp3"});
        }
        return made;
    }

    std::vector<Playlist> playlists;
    int refuseAfterTracks = -1;           // getTrack calls before iTunes refuses; -1 never
    std::function<void(int)> onTrackRead; // called with the running count of tracks read
    bool refuseStamps = false;
    std::vector<std::vector<int32_t>> stamps;
    int tracksRead = 0;
    std::vector<bool> remembering; // each rememberTracks call
};

class FakeITunesSession : public ITunesSession {
public:
    explicit FakeITunesSession(FakeLibrary& library) : library(library) {}

    void enumeratePlaylists(PlaylistListener& listener) override {
        for (const FakeLibrary::Playlist& playlist : library.playlists) {
            if (!playlist.tracks.empty()) {
                listener.playlistFound(
                    playlist.id, playlist.name,
                    playlist.reportedCount.value_or(static_cast<int>(playlist.tracks.size())),
                    playlist.isLibrary);
            }
        }
    }
    void selectPlaylist(int32_t playlistID) override {
        selected = nullptr;
        for (FakeLibrary::Playlist& playlist : library.playlists) {
            selected = playlist.id == playlistID ? &playlist : selected;
        }
    }
    int trackCount() override { return selected ? static_cast<int>(selected->tracks.size()) : 0; }
    void getTrack(int position, OptionalText& name, OptionalText& artist, OptionalText& album,
                  OptionalText& location) override {
        if (library.tracksRead == library.refuseAfterTracks) {
            throw ITunesBusyException();
        }
        const FakeLibrary::Track& track = selected->tracks.at(static_cast<size_t>(position));
        name = track.name;
        artist = track.artist;
        album = track.album;
        location = track.location;
        ++library.tracksRead;
        if (library.onTrackRead) {
            library.onTrackRead(library.tracksRead);
        }
    }
    void rememberTracks(bool remember) override { library.remembering.push_back(remember); }
    void timestampComments(const VeltoDatabase&, const std::vector<int32_t>& trackIds) override {
        if (library.refuseStamps) {
            throw ITunesBusyException();
        }
        library.stamps.push_back(trackIds);
    }

private:
    FakeLibrary& library;
    FakeLibrary::Playlist* selected = nullptr;
};
