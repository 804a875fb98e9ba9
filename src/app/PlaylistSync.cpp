#include "PlaylistSync.h"

#include "ITunesSession.h"
#include "JobHost.h"
#include "VeltoDatabase.h"

namespace {
constexpr int kSynchronizingStringId = 161;
}

PlaylistSync::PlaylistSync(JobHost& host, VeltoDatabase& database,
                           const std::atomic<bool>& cancelRequested)
    : host(host), database(database), cancelRequested(cancelRequested) {}

void PlaylistSync::begin() {
    database.resetForSync();
    syncTrackTotal = 0;
}

void PlaylistSync::playlistFound(int playlistID, const std::wstring& name, int trackCount,
                                 bool isLibrary) {
    database.addPlaylist(name, trackCount, isLibrary, playlistID);
    syncTrackTotal += trackCount;
}

PlaylistSync::Outcome PlaylistSync::readTracks(ITunesSession& session) {
    int counter = 1;
    for (int i = 0; i < database.playlistCount(); ++i) {
        const Playlist& playlist = database.playlistAt(i);
        host.setStatusWithItem(playlist.name.value_or(std::wstring()), kSynchronizingStringId);
        session.selectPlaylist(playlist.playlistId);
        const int n = session.trackCount();
        for (int j = 0; j < n; ++j) {
            OptionalText name, artist, album, location;
            session.getTrack(j, name, artist, album, location);
            if (name || artist || album) {
                database.addTrack(i, location, name, artist, album);
                host.setFileProgress((j + 1) * 100 / n);
                // iTunes may have changed its playlists since it reported
                // them: no total then, and no division by it.
                host.setTotalProgress(syncTrackTotal > 0 ? counter * 100 / syncTrackTotal : 0);
                if (name) {
                    host.setTrackStatus(*name);
                }
            }
            ++counter;
            if (cancelRequested) {
                return Outcome::Cancelled;
            }
        }
    }
    return Outcome::Completed;
}
