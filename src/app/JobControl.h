#pragma once

#include "JobKind.h"
#include "PlaylistListener.h"

#include <atomic>
#include <string>

class AlbumSource;
class AlbumStats;
class JobHost;
class Preferences;
class TrackSource;
class VeltoDatabase;

// The work that takes time, off the user-interface thread: loading Velto.db at
// start, synchronising with iTunes, and the gain jobs that walk the selected
// rows and run the gain tool on each item. It reaches the window only through
// JobHost, so that every routine runs natively in a test.
//
// At most one worker runs at a time; the menu state keeps a second one from
// starting. The operations below are called on the user-interface thread
// unless noted.
class JobControl : public PlaylistListener {
public:
    JobControl(JobHost& host, VeltoDatabase& database, Preferences& preferences,
               TrackSource& tracksView, AlbumSource& albumsView, AlbumStats& albumStats,
               const std::wstring& gainToolPath);
    ~JobControl() override;
    JobControl(const JobControl&) = delete;
    JobControl& operator=(const JobControl&) = delete;

    // Starts the load thread (the window's initialisation).
    void startLoad();
    void startJob(JobKind kind, JobScope scope);
    void startSync();
    // The worker stops at its next item, track or line of tool output.
    void requestCancel();
    // For closing the window while a worker runs: cancels and ends a running
    // gain tool child at once. The host then waits for the worker.
    void abandonWork();

    // Stores the flag; carried out (JobHost::applyMenuState) only while no
    // job runs, so a job's own selection changes never re-enable commands.
    void updateMenuState(bool enabled);
    bool controlsEnabled() const { return controlsOn; }
    JobKind currentJob() const { return jobKind; }

    // The Constant Gain Change dialog's choice, read by the next job.
    void setConstantGain(int channel, int steps);

    // Fills the playlist drop-down from the database and selects the entry of
    // the LastPlaylist rule.
    void fillPlaylistCombo();
    // A playlist chosen in the drop-down: made current, remembered in
    // LastPlaylist, list refreshed with a reset.
    void selectPlaylist(int key);

    bool databaseExisted() const { return fileExisted; }

    // Called on the sync thread by the iTunes connection.
    void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                       bool isLibrary) override;

private:
    JobHost& host;
    VeltoDatabase& database;
    Preferences& preferences;
    TrackSource& tracksView;
    AlbumSource& albumsView;
    AlbumStats& albumStats;
    const std::wstring& gainToolPath;

    std::atomic<JobKind> jobKind{JobKind::NoJob};
    JobScope jobScope = JobScope::TracksView;
    int constantGainChannel = 0;
    int constantGainSteps = 0;
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> controlsOn{false};
    bool fileExisted = false;
    bool firstSync = false;
    int syncPlaylistCount = 0;
    int syncTrackTotal = 0;
};
