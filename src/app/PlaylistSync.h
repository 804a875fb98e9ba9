#pragma once

#include "PlaylistListener.h"

#include <atomic>
#include <chrono>
#include <functional>
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

    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    PlaylistSync(JobHost& host, VeltoDatabase& database, const std::atomic<bool>& cancelRequested,
                 Clock clock = std::chrono::steady_clock::now);

    // Empties the tables and the track total of a sync that begins.
    void begin();
    // One playlist reported by iTunes: added to the database and counted.
    void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                       bool isLibrary) override;
    // Reads the tracks of every playlist added since begin, in their order. A
    // cancel is seen after each track. libraryRead runs once the library
    // playlist's tracks are all in the database, so that the list can show them.
    Outcome readTracks(ITunesSession& session, const std::function<void()>& libraryRead = {});

private:
    JobHost& host;
    VeltoDatabase& database;
    const std::atomic<bool>& cancelRequested;
    Clock clock;
    int syncTrackTotal = 0; // the total bar's denominator
};
