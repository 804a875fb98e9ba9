#pragma once

#include "GainOperations.h"
#include "JobKind.h"
#include "JobParameters.h"
#include "JobReport.h"
#include "PlaylistSync.h"
#include "ToolStopper.h"

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AlbumSource;
class AlbumStats;
class ITunesSession;
class ItemSource;
class JobHost;
class Preferences;
class TrackSource;
class VeltoDatabase;
struct JobState;
struct SavedPlacement;

// The work that takes time, off the user-interface thread: loading Velto.db at
// start, synchronising with iTunes, and the gain jobs that walk the selected
// rows and run the gain tool on each item. It reaches the window only through
// JobHost, so that every routine runs natively in a test.
//
// At most one worker runs at a time; the menu state keeps a second one from
// starting, and startJob and startSync start nothing while one runs. The
// operations below are called on the user-interface thread unless noted.
//
// Velto.db is written here only at the end of a job that may have changed
// audio files (whatever ended it), so that the file never claims values the
// files no longer have; it then holds the preferences as they were last read,
// since only Exit keeps changed preferences.
class JobControl {
public:
    JobControl(JobHost& host, VeltoDatabase& database, Preferences& preferences,
               TrackSource& tracksView, AlbumSource& albumsView, AlbumStats& albumStats,
               const std::wstring& gainToolPath);
    ~JobControl();
    JobControl(const JobControl&) = delete;
    JobControl& operator=(const JobControl&) = delete;

    // Starts the load thread (the window's initialisation, after its status
    // "Loading Database" and updateMenuState(false)).
    void startLoad();
    void startJob(JobKind kind, JobScope scope);
    void startSync();
    // The worker stops at its next item, track or line of tool output.
    void requestCancel();
    // For closing the window while a worker runs: cancels and ends a running
    // gain tool child at once, from any thread. The host then waits for the
    // worker, which starts no more tool runs, asks nothing, ends its current
    // call to the window and makes no further ones except Velto.db's save
    // after a change. After this no worker starts again.
    void abandonWork();
    // A load, sync or job thread has started and not reached its end step;
    // after a failure that ends the program it stays true.
    bool workerRunning() const { return workerBusy; }

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

    // Velto.db existed at start, or a job has written it since.
    bool databaseExisted() const { return fileExisted; }

private:
    // How a worker's body ended when it did not end normally.
    enum class Failure { None, ITunesBusy, ProgramError, OtherError };
    // What a sync left behind.
    enum class SyncEnd { Open, Closed };

    // The routines, each on its worker thread.
    void loadRoutine();
    void loadDatabase();
    std::optional<SavedPlacement> savedPlacement() const;
    SyncEnd syncRoutine();
    SyncEnd synchronise(std::unique_ptr<ITunesSession>& session, int& rememberedPosition);
    SyncEnd rollBackSync(int rememberedPosition);
    void endSync(int rememberedPosition);
    void jobRoutine();
    int runsAtOnce(const JobParameters& parameters) const;
    void walkSelectedItems(GainOperations& operations, const JobParameters& job,
                           std::wstring& toolStartProblem);
    void walkInParallel(int runs, const GainOperations::Context& context,
                        const JobParameters& parameters, JobState& state, ITunesSession* session,
                        std::wstring& toolStartProblem);
    std::unique_ptr<ItemSource> itemSourceFor(JobScope scope);
    int totalTracks(JobScope scope);
    int tracksOfItem(JobScope scope, int key);
    // How a job ended, for its end step.
    struct JobEnd {
        Failure failure = Failure::None;
        bool filesChanged = false;
        std::vector<JobReport::Entry> notes; // what it could not do as asked
        int itemsDone = 0;
        int itemsNotDone = 0;
        std::wstring toolStartProblem; // the message when the tool would not start
    };
    void endJob(const JobEnd& end);
    std::wstring endText(const JobEnd& end, JobKind kind) const;
    std::wstring toolStartMessage(const std::wstring& systemText) const;
    void showTimeLeft(double seconds);
    std::wstring text(int stringId) const;
    void saveAfterChange();
    // The end step's updateMenuState(true): the worker's work is done.
    void finishWork();
    // Ends the program after a failure that is not iTunes being busy.
    void closeAfter(Failure failure);
    bool closing() const { return stopper.stopped(); }

    template <typename Body> static Failure runGuarded(Body body);

    JobHost& host;
    VeltoDatabase& database;
    Preferences& preferences;
    TrackSource& tracksView;
    AlbumSource& albumsView;
    AlbumStats& albumStats;
    const std::wstring& gainToolPath;

    std::atomic<JobKind> jobKind{JobKind::NoJob};
    JobParameters job; // scope and constant gain; the kind is jobKind
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> controlsOn{false};
    std::atomic<bool> workerBusy{false};
    std::atomic<bool> fileExisted{false};
    bool firstSync = false;
    PlaylistSync sync;
    ToolStopper stopper;
    // The preference table as Velto.db last held it, for the saves after a job.
    std::map<std::wstring, std::wstring> storedPreferences;
};
