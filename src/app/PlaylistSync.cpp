#include "PlaylistSync.h"

#include "ITunesSession.h"
#include "JobHost.h"
#include "SyncProgress.h"
#include "VeltoDatabase.h"

namespace {
constexpr int kSynchronizingStringId = 161;
}

PlaylistSync::PlaylistSync(JobHost& host, VeltoDatabase& database,
                           const std::atomic<bool>& cancelRequested, Clock clock)
    : host(host), database(database), cancelRequested(cancelRequested), clock(std::move(clock)) {}

void PlaylistSync::begin() {
    database.resetForSync();
    syncTrackTotal = 0;
}

void PlaylistSync::playlistFound(int playlistID, const std::wstring& name, int trackCount,
                                 bool isLibrary) {
    database.addPlaylist(name, trackCount, isLibrary, playlistID);
    syncTrackTotal += trackCount;
}

namespace {

// The session remembers the tracks it has read while a sync reads them, and
// forgets them however the sync ends.
class RememberedTracks {
public:
    RememberedTracks(ITunesSession& session, bool remember) : session(session) {
        session.rememberTracks(remember);
    }
    ~RememberedTracks() { session.rememberTracks(false); }
    RememberedTracks(const RememberedTracks&) = delete;
    RememberedTracks& operator=(const RememberedTracks&) = delete;

private:
    ITunesSession& session;
};

} // namespace

PlaylistSync::Outcome PlaylistSync::readTracks(ITunesSession& session,
                                               const std::function<void()>& libraryRead) {
    // The playlists after the library list its tracks again: what was read of
    // a track in one serves the others. With the library alone, nothing would.
    RememberedTracks remembered(session, database.playlistCount() > 1);
    SyncProgress progress(host);
    int counter = 1;
    for (int i = 0; i < database.playlistCount(); ++i) {
        const Playlist& playlist = database.playlistAt(i);
        const bool isLibrary = playlist.isLibrary != 0;
        host.setStatusWithItem(playlist.name.value_or(std::wstring()), kSynchronizingStringId);
        session.selectPlaylist(playlist.playlistId);
        const int n = session.trackCount();
        for (int j = 0; j < n; ++j) {
            OptionalText name, artist, album, location;
            session.getTrack(j, name, artist, album, location);
            if (name || artist || album) {
                database.addTrack(i, location, name, artist, album);
                // iTunes may have changed its playlists since it reported
                // them: no total then, and no division by it.
                progress.track((j + 1) * 100 / n,
                               syncTrackTotal > 0 ? counter * 100 / syncTrackTotal : 0, name,
                               clock());
            }
            ++counter;
            if (cancelRequested) {
                return Outcome::Cancelled;
            }
        }
        progress.flush(clock());
        if (isLibrary && libraryRead) {
            libraryRead();
        }
    }
    return Outcome::Completed;
}
