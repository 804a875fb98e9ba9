#include "JobControl.h"

#include "AlbumSource.h"
#include "AlbumStats.h"
#include "Exception.h"
#include "GainOperations.h"
#include "ITunesBusyException.h"
#include "ITunesSession.h"
#include "ItemListView.h"
#include "JobHost.h"
#include "MessageFormat.h"
#include "Preferences.h"
#include "SelectionAsAlbum.h"
#include "StringTable.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"

#include <algorithm>

namespace {

constexpr int kConnectingStringId = 146;
constexpr int kReadyStringId = 147;
constexpr int kITunesBusyStringId = 165;
constexpr int kSkippedStringId = 209;
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
    if (sync.readTracks(*session) == PlaylistSync::Outcome::Cancelled) {
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
    std::unique_ptr<ITunesSession> session;
    std::optional<GainOperations> operations;
    bool inApartment = false;
    Failure failure = runGuarded([&] {
        host.enterApartment(kJobApartmentLine);
        inApartment = true;
        if (stampsComments(parameters.kind) &&
            preferences.getPrefBool(PrefIndex::TimestampComments)) {
            host.setStatus(kConnectingStringId);
            session = host.connectToITunes();
        }
        const GainOperations::Context context{
            host, database, preferences, tracksView, gainToolPath, cancelRequested, stopper};
        operations.emplace(context, parameters, session.get());
        walkSelectedItems(*operations, parameters);
    });
    if (failure == Failure::ITunesBusy && !closing()) {
        host.showMessage(kITunesBusyStringId);
    }
    const bool filesChanged = operations && operations->filesMayHaveChanged();
    const std::vector<JobReport::Entry> notes =
        operations ? operations->report().entries() : std::vector<JobReport::Entry>();
    operations.reset();
    session.reset();
    endJob(failure, filesChanged, notes);
    if (inApartment) {
        host.leaveApartment();
    }
}

void JobControl::walkSelectedItems(GainOperations& operations, const JobParameters& parameters) {
    const JobScope scope = parameters.scope;
    std::unique_ptr<ItemSource> source = itemSourceFor(scope);
    const int total = totalTracks(scope);
    ItemListView& list = host.list();
    int done = 0;
    int position = -1;
    for (;;) {
        int key = 0;
        if (scope != JobScope::SelectionAsAlbum && !list.nextSelected(position, key)) {
            break;
        }
        // An item without tracks (a selection of which no row could be
        // loaded) has no files to run the tool on.
        if (source->selectRow(key) && !source->getTrackIds().empty()) {
            operations.process(*source, key, done, total);
            if (closing()) {
                break;
            }
            host.refreshList(false);
            if (scope != JobScope::SelectionAsAlbum) {
                host.scrollRowIntoView(position);
            }
        }
        if (cancelRequested) {
            break;
        }
        if (scope != JobScope::SelectionAsAlbum) {
            host.deselectRow(position);
        }
        done += tracksOfItem(scope, key);
        host.setTotalProgress(total > 0 ? done * 100 / total : 0);
        if (scope == JobScope::SelectionAsAlbum) {
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
// program, nothing but the save happens: the window is going away.
void JobControl::endJob(Failure failure, bool filesChanged,
                        const std::vector<JobReport::Entry>& notes) {
    if (filesChanged) {
        saveAfterChange();
    }
    const bool ends = failure == Failure::ProgramError || failure == Failure::OtherError;
    if (ends) {
        closeAfter(failure);
    }
    if (ends || closing()) {
        jobKind = JobKind::NoJob;
        return;
    }
    host.setFileProgress(0);
    host.setTotalProgress(0);
    jobKind = JobKind::NoJob;
    finishWork();
    if (!notes.empty()) {
        host.setStatusText(endText(notes));
    } else {
        host.setStatus(kReadyStringId);
    }
}

// "Ready" and what was skipped, each reason with its count, in the order the
// reasons first came.
std::wstring JobControl::endText(const std::vector<JobReport::Entry>& notes) const {
    std::vector<std::pair<std::wstring, int>> reasons;
    for (const JobReport::Entry& entry : notes) {
        auto same = std::find_if(reasons.begin(), reasons.end(),
                                 [&](const auto& reason) { return reason.first == entry.what; });
        if (same == reasons.end()) {
            reasons.emplace_back(entry.what, 1);
        } else {
            ++same->second;
        }
    }
    std::wstring list;
    for (const auto& [what, count] : reasons) {
        list += (list.empty() ? L"" : L"; ") + what + L" (" + std::to_wstring(count) + L")";
    }
    const std::wstring format =
        tracksView.strings().load(kSkippedStringId).value_or(std::wstring());
    return formatMessage(format, {static_cast<int>(notes.size()), list});
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
