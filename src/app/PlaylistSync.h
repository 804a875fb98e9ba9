#pragma once

#include "PlaylistListener.h"

#include <atomic>
#include <string>

class ITunesSession;
class JobHost;
class VeltoDatabase;

// The data flow of a synchronisation with iTunes: empties the database's
// playlists, tracks and albums, takes each playlist iTunes reports, then
// reads every track of every playlist into the database, moving the bars and
// naming the tracks as it goes. Runs on the sync thread.
class PlaylistSync : public PlaylistListener {
public:
    enum class Outcome { Completed, Cancelled };

    PlaylistSync(JobHost& host, VeltoDatabase& database, const std::atomic<bool>& cancelRequested);

    // Empties the tables and the track total of a sync that begins.
    void begin();
    // One playlist reported by iTunes: added to the database and counted.
    void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                       bool isLibrary) override;
    // Reads the tracks of every playlist added since begin. A cancel is seen
    // after each track.
    Outcome readTracks(ITunesSession& session);

private:
    JobHost& host;
    VeltoDatabase& database;
    const std::atomic<bool>& cancelRequested;
    int syncTrackTotal = 0; // the total bar's denominator
};
