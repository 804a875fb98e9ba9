#include "JobControl.h"

#include "AlbumSource.h"
#include "AlbumStats.h"
#include "DirectProgress.h"
#include "Exception.h"
#include "GainOperations.h"
#include "ITunesBusyException.h"
#include "ITunesSession.h"
#include "ItemListView.h"
#include "JobHost.h"
#include "JobState.h"
#include "MessageFormat.h"
#include "ParallelWalk.h"
#include "Preferences.h"
#include "SelectionAsAlbum.h"
#include "StringTable.h"
#include "TimeLeft.h"
#include "ToolRuns.h"
#include "ToolStartFailure.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kConnectingStringId = 146;
constexpr int kReadyStringId = 147;
constexpr int kITunesBusyStringId = 165;
constexpr int kMinutesLeftStringId = 245;
constexpr int kSecondsLeftStringId = 246;
constexpr int kReadyChangedStringId = 247;
constexpr int kReadyAnalysedStringId = 248;
constexpr int kToolWouldNotStartStringId = 252;
constexpr int kSyncApartmentLine = 466;
constexpr int kJobApartmentLine = 722;
constexpr int kUnknownJobLine = 942;

bool stampsComments(JobKind kind) {
    return kind == JobKind::ApplyGain || kind == JobKind::ConstantGain || kind == JobKind::UndoGain;
}

} // namespace

JobControl::JobControl(JobHost& host, VeltoDatabase& database, Preferences& preferences,
                       TrackSource& tracksView, AlbumSource& albumsView, AlbumStats& albumStats,
                       const std::wstring& gainToolPath)
    : host(host), database(database), preferences(preferences), tracksView(tracksView),
      albumsView(albumsView), albumStats(albumStats), gainToolPath(gainToolPath),
      sync(host, database, cancelRequested) {}

JobControl::~JobControl() = default;

// --- Operations of the user-interface thread

void JobControl::startLoad() {
    workerBusy = true;
    host.startWorker([this] { loadRoutine(); });
}

void JobControl::startJob(JobKind kind, JobScope scope) {
    if (workerBusy) {
        return;
    }
    updateMenuState(false); // carried out: no job runs yet
    cancelRequested = false;
    job.scope = scope;
    jobKind = kind;
    workerBusy = true;
    host.startWorker([this] { jobRoutine(); });
}

void JobControl::startSync() {
    if (workerBusy) {
        return;
    }
    cancelRequested = false;
    updateMenuState(false);
    workerBusy = true;
    host.startWorker([this] { syncRoutine(); });
}

void JobControl::requestCancel() {
    cancelRequested = true;
}

void JobControl::abandonWork() {
    cancelRequested = true;
    stopper.stopForGood();
}

// Every routine ends either here or by ending the program, so another worker
// may start from here on; the routine's last steps (releasing the iTunes
// connection, leaving COM) touch nothing the next worker uses.
void JobControl::finishWork() {
    workerBusy = false;
    updateMenuState(true);
}

void JobControl::updateMenuState(bool enabled) {
    controlsOn = enabled;
    if (jobKind != JobKind::NoJob) {
        return;
    }
    host.applyMenuState(enabled);
}

void JobControl::setConstantGain(int channel, int steps) {
    job.constantGainChannel = channel;
    job.constantGainSteps = steps;
}

void JobControl::fillPlaylistCombo() {
    host.clearPlaylistEntries();
    for (int i = 0; i < database.playlistCount(); ++i) {
        const Playlist& playlist = database.playlistAt(i);
        const int lastPlaylist = preferences.getPrefInt(PrefIndex::LastPlaylist);
        const bool selected = i == lastPlaylist || (lastPlaylist < 0 && playlist.isLibrary);
        if (selected) {
            database.setCurrentPlaylist(i);
            preferences.setPrefInt(PrefIndex::LastPlaylist, i);
        }
        host.addPlaylistEntry(playlist.name.value_or(std::wstring()), i, selected);
    }
}

void JobControl::selectPlaylist(int key) {
    database.setCurrentPlaylist(key);
    preferences.setPrefInt(PrefIndex::LastPlaylist, key);
    host.refreshList(true);
}

// --- Failures

// Runs a routine's body and tells how it ended: the program's own Exception
// has shown its message already, iTunes being busy and other failures have not.
template <typename Body> JobControl::Failure JobControl::runGuarded(Body body) {
    try {
        body();
        return Failure::None;
    } catch (const ITunesBusyException&) {
        return Failure::ITunesBusy;
    } catch (const Exception&) {
        return Failure::ProgramError;
    } catch (...) {
        return Failure::OtherError;
    }
}

void JobControl::closeAfter(Failure failure) {
    if (closing()) {
        return;
    }
    if (failure == Failure::OtherError) {
        host.showFatalErrorOccurred();
    }
    host.closeProgram();
}

// --- The load thread

void JobControl::loadRoutine() {
    Failure failure = runGuarded([&] { loadDatabase(); });
    if (failure != Failure::None) {
        closeAfter(failure == Failure::ITunesBusy ? Failure::OtherError : failure);
    }
}

void JobControl::loadDatabase() {
    fileExisted = database.setPath(host.databaseDirectory() + L"Velto.db");
    if (fileExisted) {
        database.loadPreferences();
        storedPreferences = database.preferenceTable();
        host.showMainWindow(savedPlacement());
        database.loadRecords();
    } else {
        host.showMainWindow(std::nullopt);
    }
    preferences.fillMissingDefaults();
    if (!fileExisted) {
        storedPreferences = database.preferenceTable();
    }
    host.updateMenuChecks();
    if (closing()) {
        return;
    }
    if (fileExisted) {
        fillPlaylistCombo();
        finishWork();
        host.setTrackStatus(L"");
        host.setStatus(kReadyStringId);
    } else {
        cancelRequested = false;
        firstSync = true;
        const SyncEnd end = syncRoutine();
        firstSync = false;
        if (end == SyncEnd::Closed) {
            return;
        }
    }
    host.attachTracksView();
}

std::optional<SavedPlacement> JobControl::savedPlacement() const {
    auto item = [&](int n) { return preferences.getPrefListItem(PrefIndex::WindowPlacement, n); };
    if (item(4) < 0) {
        return std::nullopt;
    }
    return SavedPlacement{item(0), item(1), item(2), item(3), item(4)};
}

// --- The sync thread (and the first sync inside the load thread)

JobControl::SyncEnd JobControl::syncRoutine() {
    std::unique_ptr<ITunesSession> session;
    bool inApartment = false;
    int rememberedPosition = -1;
    SyncEnd end = SyncEnd::Open;
    Failure failure = runGuarded([&] {
        host.enterApartment(kSyncApartmentLine);
        inApartment = true;
        end = synchronise(session, rememberedPosition);
    });
    if (failure == Failure::ITunesBusy && !closing()) {
        host.showMessage(kITunesBusyStringId);
        failure = runGuarded([&] { end = rollBackSync(rememberedPosition); });
    }
    if (failure != Failure::None) {
        closeAfter(failure == Failure::ITunesBusy ? Failure::OtherError : failure);
        end = SyncEnd::Closed;
    }
    session.reset();
    if (inApartment) {
        host.leaveApartment();
    }
    return end;
}

JobControl::SyncEnd JobControl::synchronise(std::unique_ptr<ITunesSession>& session,
                                            int& rememberedPosition) {
    sync.begin();
    rememberedPosition = host.selectedPlaylistPosition();
    host.setStatus(kConnectingStringId);
    session = host.connectToITunes();
    session->enumeratePlaylists(sync);
    // The list shows the library's tracks while the other playlists are read;
    // at the first start it has no view yet.
    auto showLibrary = [this] {
        if (firstSync) {
            host.attachTracksView();
        } else {
            host.refreshList(true);
        }
    };
    if (sync.readTracks(*session, showLibrary) == PlaylistSync::Outcome::Cancelled) {
        return rollBackSync(rememberedPosition);
    }
    endSync(rememberedPosition);
    return SyncEnd::Open;
}

// An interrupted sync: the tables go back to the stored file, or, when there
// is none, the program ends without writing one. Nothing more happens when
// the window is closing anyway.
JobControl::SyncEnd JobControl::rollBackSync(int rememberedPosition) {
    if (closing()) {
        return SyncEnd::Closed;
    }
    if (!fileExisted) {
        host.closeProgram();
        return SyncEnd::Closed;
    }
    database.reload();
    endSync(rememberedPosition);
    return SyncEnd::Open;
}

void JobControl::endSync(int rememberedPosition) {
    host.setFileProgress(0);
    host.setTotalProgress(0);
    fillPlaylistCombo();
    if (!firstSync) {
        host.selectPlaylistPosition(rememberedPosition);
    }
    finishWork();
    host.refreshList(true);
    host.setTrackStatus(L"");
    host.setStatus(kReadyStringId);
}

// --- The job thread

void JobControl::jobRoutine() {
    JobParameters parameters = job;
    parameters.kind = jobKind;
    const int runs = runsAtOnce(parameters);
    JobState state(gainToolPath, runs > 1);
    std::unique_ptr<ITunesSession> session;
    bool inApartment = false;
    JobEnd end;
    end.failure = runGuarded([&] {
        host.enterApartment(kJobApartmentLine);
        inApartment = true;
        if (stampsComments(parameters.kind) &&
            preferences.getPrefBool(PrefIndex::TimestampComments)) {
            host.setStatus(kConnectingStringId);
            session = host.connectToITunes();
        }
        // Read once for the job's workers: it loads the tool's resources.
        const ToolFileArguments toolArguments = ToolFileArguments::forTool(gainToolPath);
        const GainOperations::Context context{host,       database,      preferences,
                                              tracksView, gainToolPath,  cancelRequested,
                                              stopper,    &toolArguments};
        if (runs > 1) {
            walkInParallel(runs, context, parameters, state, session.get(), end.toolStartProblem);
            return;
        }
        GainOperations::Stamp stamp;
        if (session) {
            stamp = [&](const std::vector<int>& trackIds) {
                session->timestampComments(database, trackIds);
            };
        }
        DirectProgress progress(host);
        GainOperations operations(context, parameters, state, progress, stamp);
        walkSelectedItems(operations, parameters, end.toolStartProblem);
    });
    if (end.failure == Failure::ITunesBusy && !closing()) {
        host.showMessage(kITunesBusyStringId);
    }
    end.filesChanged = state.filesMayHaveChanged;
    end.notes = state.report.entries();
    end.itemsDone = state.itemsDone;
    end.itemsNotDone = state.itemsNotDone;
    session.reset();
    endJob(end);
    if (inApartment) {
        host.leaveApartment();
    }
}

// Items of a track or an album run several at once, as many as ToolRuns says
// (one per logical processor unless set, at most 16); a selection taken as an
// album is one item, a constant gain runs one at a time, and Clear Data runs
// no tool.
int JobControl::runsAtOnce(const JobParameters& parameters) const {
    if (parameters.scope == JobScope::SelectionAsAlbum ||
        parameters.kind == JobKind::ConstantGain || parameters.kind == JobKind::ClearData) {
        return 1;
    }
    return toolRuns(preferences);
}

void JobControl::walkInParallel(int runs, const GainOperations::Context& context,
                                const JobParameters& parameters, JobState& state,
                                ITunesSession* session, std::wstring& toolStartProblem) {
    const JobScope scope = parameters.scope;
    const ParallelWalk::Setup setup{
        host,
        context,
        parameters,
        state,
        runs,
        totalTracks(scope),
        session,
        [this, scope] { return itemSourceFor(scope); },
        [this, scope](int key) { return tracksOfItem(scope, key); },
        [this](double seconds) { showTimeLeft(seconds); },
        [this](const std::wstring& systemText) { return toolStartMessage(systemText); }};
    ParallelWalk(setup).run(toolStartProblem);
}

// A tool that will not start ends the walk (not the program); the rows not
// done stay selected.
void JobControl::walkSelectedItems(GainOperations& operations, const JobParameters& parameters,
                                   std::wstring& toolStartProblem) {
    const JobScope scope = parameters.scope;
    std::unique_ptr<ItemSource> source = itemSourceFor(scope);
    const int total = totalTracks(scope);
    ItemListView& list = host.list();
    TimeLeft timeLeft(total);
    const auto started = std::chrono::steady_clock::now();
    int done = 0;
    int position = -1;
    const bool rowByRow = scope != JobScope::SelectionAsAlbum;
    for (;;) {
        int key = 0;
        if (rowByRow && !list.nextSelected(position, key)) {
            break;
        }
        try {
            if (!operations.processRow(
                    *source, key, rowByRow ? std::optional(position) : std::nullopt, done, total)) {
                break;
            }
        } catch (const ToolStartFailure& failure) {
            toolStartProblem = toolStartMessage(failure.text());
            return;
        }
        if (rowByRow) {
            host.deselectRow(position);
        }
        done += tracksOfItem(scope, key);
        host.setTotalProgress(total > 0 ? done * 100 / total : 0);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        if (std::optional<double> left = timeLeft.afterItem(done, elapsed.count())) {
            showTimeLeft(*left);
        }
        if (!rowByRow) {
            break;
        }
    }
}

std::unique_ptr<ItemSource> JobControl::itemSourceFor(JobScope scope) {
    switch (scope) {
    case JobScope::TracksView:
        return std::make_unique<TrackSource>(tracksView);
    case JobScope::AlbumsView:
        return std::make_unique<AlbumSource>(albumsView);
    case JobScope::SelectionAsAlbum:
        return std::make_unique<SelectionAsAlbum>(host.list(), tracksView);
    }
    checkResult(-1, L".\\MainDialog", kUnknownJobLine);
    return nullptr;
}

// The job's total counts tracks: an album brings all its tracks, a selection
// processed as one album its selected rows.
int JobControl::totalTracks(JobScope scope) {
    ItemListView& list = host.list();
    int total = 0;
    int position = -1;
    int key = 0;
    while (list.nextSelected(position, key)) {
        total += scope == JobScope::AlbumsView ? tracksOfItem(scope, key) : 1;
    }
    return total;
}

int JobControl::tracksOfItem(JobScope scope, int key) {
    if (scope != JobScope::AlbumsView) {
        return 1;
    }
    int count = 0;
    albumStats.getTrackCount(key, count);
    return count;
}

// The end of every job, however it ended. After a failure that ends the
// program, nothing but the save happens: the window is going away. A job that
// could not do everything as asked says so in the status bar and lists it in
// the summary.
void JobControl::endJob(const JobEnd& end) {
    if (end.filesChanged) {
        saveAfterChange();
    }
    const bool ends = end.failure == Failure::ProgramError || end.failure == Failure::OtherError;
    if (ends) {
        closeAfter(end.failure);
    }
    if (ends || closing()) {
        jobKind = JobKind::NoJob;
        return;
    }
    if (!end.toolStartProblem.empty()) {
        host.showMessageText(end.toolStartProblem);
    }
    host.setFileProgress(0);
    host.setTotalProgress(0);
    host.setTimeLeft(L"");
    if (end.itemsNotDone > 0) {
        host.setStatusText(endText(end, jobKind));
    } else {
        host.setStatus(kReadyStringId);
    }
    // The job ends when its summary is closed: a command given meanwhile
    // would start a job beside this one.
    if (!end.notes.empty()) {
        host.showJobSummary(end.notes);
    }
    jobKind = JobKind::NoJob;
    finishWork();
}

// "Ready" with how many items were done and how many not.
std::wstring JobControl::endText(const JobEnd& end, JobKind kind) const {
    const int format = kind == JobKind::Analyze ? kReadyAnalysedStringId : kReadyChangedStringId;
    return formatMessage(text(format), {end.itemsDone, end.itemsNotDone});
}

std::wstring JobControl::toolStartMessage(const std::wstring& systemText) const {
    return formatMessage(text(kToolWouldNotStartStringId), {gainToolPath, systemText});
}

// Whole minutes once there is more than a minute left, else seconds.
void JobControl::showTimeLeft(double seconds) {
    if (seconds >= 60) {
        const int minutes = static_cast<int>(std::lround(seconds / 60));
        host.setTimeLeft(formatMessage(text(kMinutesLeftStringId), {minutes}));
    } else {
        const int whole = std::max(1, static_cast<int>(std::lround(seconds)));
        host.setTimeLeft(formatMessage(text(kSecondsLeftStringId), {whole}));
    }
}

std::wstring JobControl::text(int stringId) const {
    return tracksView.strings().load(stringId).value_or(std::wstring());
}

// The program's own message (160) has been shown when the file cannot be
// written; the job still ends normally, and Exit may try again.
void JobControl::saveAfterChange() {
    try {
        database.save(storedPreferences);
        fileExisted = true;
    } catch (const Exception&) {
    }
}
