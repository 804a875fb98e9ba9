// The main window's commands, the questions some of them ask first, and the
// menu state that tells which of them are usable.

#include "AboutDialog_win.h"
#include "ConstantGainDialog_win.h"
#include "HtmlHelp_win.h"
#include "MainDialog_win.h"
#include "MenuState.h"
#include "QuestionBox_win.h"
#include "ResourceIds.h"
#include "ToolRuns.h"
#include "TracksInAlbumDialog_win.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kAskTimestampComments = 166;
constexpr int kAskAlbumUndo = 167;
constexpr int kAskRemoveTagsUndo = 168;

// Options > Tool Runs at Once; 0 runs: one per processor (no stored number).
struct ToolRunsChoice {
    int id;
    int runs;
};
constexpr ToolRunsChoice kToolRunsChoices[] = {
    {IDM_TOOL_RUNS_PER_PROCESSOR, 0},
    {IDM_TOOL_RUNS_1, 1},
    {IDM_TOOL_RUNS_2, 2},
    {IDM_TOOL_RUNS_4, 4},
    {IDM_TOOL_RUNS_8, 8},
    {IDM_TOOL_RUNS_16, 16},
};

const ToolRunsChoice* findToolRunsChoice(int id) {
    auto found = std::find_if(std::begin(kToolRunsChoices), std::end(kToolRunsChoices),
                              [id](const ToolRunsChoice& choice) { return choice.id == id; });
    return found == std::end(kToolRunsChoices) ? nullptr : found;
}

} // namespace

const MainDialog::Command* MainDialog::findCommand(int id) {
    static const Command kCommands[] = {
        {IDM_CLEAR_DATABASE, &MainDialog::clearDatabase},
        {IDM_SYNC, &MainDialog::synchronize},
        {IDM_CANCEL, &MainDialog::cancelWork},
        {IDC_MAIN_CANCEL, &MainDialog::cancelWork},
        {IDM_EXIT, &MainDialog::exitProgram},
        {IDC_MAIN_EXIT, &MainDialog::exitProgram},
        {IDM_SELECT_ALL, &MainDialog::selectAll},
        {IDM_SELECT_NONE, &MainDialog::selectNone},
        {IDM_VIEW_TRACKS, &MainDialog::showTracks},
        {IDM_VIEW_ALBUMS, &MainDialog::showAlbums},
        {IDM_TRACKS_IN_ALBUM, &MainDialog::showTracksInAlbum},
        {IDM_LOUDNESS_OVERVIEW, &MainDialog::showLoudnessOverview},
        {IDM_ANALYZE, &MainDialog::analyze},
        {IDM_APPLY_GAIN, &MainDialog::applyGain},
        {IDM_APPLY_CONSTANT_GAIN, &MainDialog::applyConstantGain},
        {IDM_ANALYZE_SELECTION_AS_ALBUM, &MainDialog::analyzeSelectionAsAlbum},
        {IDM_APPLY_ALBUM_GAIN_TO_SELECTION, &MainDialog::applyAlbumGainToSelection},
        {IDM_CLEAR_DATA, &MainDialog::clearData},
        {IDM_UNDO_GAIN, &MainDialog::undoGainChanges},
        {IDM_REMOVE_TAGS, &MainDialog::removeTags},
        {IDM_DONT_CLIP, &MainDialog::toggleDontClip},
        {IDM_TIMESTAMP_COMMENTS, &MainDialog::toggleTimestampComments},
        {IDM_ALBUM_UNDO, &MainDialog::toggleAlbumUndo},
        {IDM_REMOVE_TAGS_UNDO, &MainDialog::toggleRemoveTagsUndo},
        {IDM_SET_DEFAULTS, &MainDialog::setDefaults},
        {IDM_HELP_CONTENTS, &MainDialog::showHelp},
        {IDM_LICENSE, &MainDialog::showLicense},
        {IDM_ABOUT, &MainDialog::showAbout},
    };
    auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                              [id](const Command& command) { return command.id == id; });
    return found == std::end(kCommands) ? nullptr : found;
}

// A command whose rule does not hold starts nothing, whether it came from the
// menu, an accelerator, the toolbar, a button or a message sent by anyone.
bool MainDialog::runCommand(int id) {
    const Command* command = findCommand(id);
    const ToolRunsChoice* runsChoice = findToolRunsChoice(id);
    if (!command && !runsChoice) {
        return false;
    }
    if (!commandAllowed(id)) {
        return true;
    }
    if (command) {
        (this->*command->run)();
    } else {
        chooseToolRuns(runsChoice->runs);
    }
    return true;
}

bool MainDialog::idle() const {
    return jobs.controlsEnabled() && jobs.currentJob() == JobKind::NoJob;
}

int MainDialog::currentTrackCount() const {
    // A sync may be rebuilding the tables meanwhile.
    VeltoDatabase::ReadLock reading = database.readLock();
    return database.currentTrackCount();
}

MenuState MainDialog::menuState(bool isIdle) {
    return {isIdle, listView.getSelectedCount(), currentTrackCount(), isTracksView()};
}

bool MainDialog::commandAllowed(int id) {
    return menuState(idle()).allows(id);
}

// Carried out on the window's thread; JobControl decides whether it happens.
void MainDialog::applyMenuStateNow(bool isIdle) {
    const MenuState state = menuState(isIdle);
    for (int item : MenuState::menuItems()) {
        EnableMenuItem(menu, static_cast<UINT>(item),
                       MF_BYCOMMAND | (state.allows(item) ? MF_ENABLED : MF_GRAYED));
    }
    for (int button : MenuState::toolbarButtons()) {
        toolbar.enableButton(button, state.allows(button));
    }
    volumeTrackbar.enable(state.allows(IDC_MAIN_VOLUME_TRACKBAR));
    playlists.enable(state.allows(IDC_MAIN_PLAYLISTS));
    listView.enable(state.allows(IDC_MAIN_LIST));
    exitButton.enable(state.allows(IDC_MAIN_EXIT));
    cancelButton.enable(state.allows(IDC_MAIN_CANCEL));
}

void MainDialog::updateMenuChecksNow() {
    setMenuCheck(IDM_DONT_CLIP, preferences.getPrefBool(PrefIndex::DontClip));
    setMenuCheck(IDM_TIMESTAMP_COMMENTS, preferences.getPrefBool(PrefIndex::TimestampComments));
    setMenuCheck(IDM_ALBUM_UNDO, preferences.getPrefBool(PrefIndex::AlbumUndo));
    setMenuCheck(IDM_REMOVE_TAGS_UNDO, preferences.getPrefBool(PrefIndex::RemoveTagsUndo));
    const bool perProcessor = !preferences.getPref(PrefIndex::ToolRuns);
    for (const ToolRunsChoice& choice : kToolRunsChoices) {
        setMenuCheck(choice.id, choice.runs == 0
                                    ? perProcessor
                                    : !perProcessor && toolRuns(preferences) == choice.runs);
    }
    // A target outside the trackbar's range (a hand-edited file) is taken to its nearest end.
    volumeTrackbar.setPosition(
        std::clamp(preferences.getPrefInt(PrefIndex::Volume), kMinimumVolume, kMaximumVolume));
}

void MainDialog::setMenuCheck(int menuItem, bool checked) {
    CheckMenuItem(menu, static_cast<UINT>(menuItem),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MainDialog::isTracksView() const {
    return (GetMenuState(menu, IDM_VIEW_TRACKS, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

JobScope MainDialog::viewScope() const {
    return isTracksView() ? JobScope::TracksView : JobScope::AlbumsView;
}

// Asks unless the don't-ask preference is there; Yes and No set the flag and
// its menu check. False for Cancel: the command then does nothing.
bool MainDialog::askQuestion(int questionStringId, int menuItem, PrefIndex flag,
                             PrefIndex dontAsk) {
    if (preferences.getPref(dontAsk)) {
        return true;
    }
    QuestionBox box(*this, &preferences, questionStringId);
    INT_PTR answer = box.doModal();
    if (answer != IDYES && answer != IDNO) {
        return false;
    }
    setMenuCheck(menuItem, answer == IDYES);
    preferences.setPrefBool(flag, answer == IDYES);
    if (box.dontAsk()) {
        preferences.setPref(dontAsk, L"1");
    }
    return true;
}

bool MainDialog::askAboutTimestamps() {
    return askQuestion(kAskTimestampComments, IDM_TIMESTAMP_COMMENTS, PrefIndex::TimestampComments,
                       PrefIndex::DontAskComments);
}

bool MainDialog::askAboutAlbumUndo() {
    return askQuestion(kAskAlbumUndo, IDM_ALBUM_UNDO, PrefIndex::AlbumUndo,
                       PrefIndex::DontAskAlbumUndo);
}

void MainDialog::startJob(JobKind kind, JobScope scope) {
    // The window may have closed while a question was open.
    if (windowOpen) {
        jobs.startJob(kind, scope);
    }
}

void MainDialog::clearDatabase() {
    database.clearAllValues();
    listView.refresh(false);
}

void MainDialog::synchronize() {
    jobs.startSync();
}

void MainDialog::cancelWork() {
    jobs.requestCancel();
}

void MainDialog::selectAll() {
    listView.selectAll();
}

void MainDialog::selectNone() {
    listView.selectNone();
}

void MainDialog::showView(ItemSource& view, int checkedItem, int uncheckedItem) {
    setMenuCheck(checkedItem, true);
    setMenuCheck(uncheckedItem, false);
    jobs.updateMenuState(true);
    currentView = &view;
    listView.attachView(view);
}

void MainDialog::showTracks() {
    showView(tracksView, IDM_VIEW_TRACKS, IDM_VIEW_ALBUMS);
}

void MainDialog::showAlbums() {
    showView(albumsView, IDM_VIEW_ALBUMS, IDM_VIEW_TRACKS);
}

void MainDialog::showTracksInAlbum() {
    TracksInAlbumDialog dialog(*this, *this, listView, albumStats, tracksView);
    dialog.doModal();
    listView.refresh(false);
}

// Usable at any time: the overview follows a running job.
void MainDialog::showLoudnessOverview() {
    overview.open();
}

void MainDialog::analyze() {
    if (isTracksView()) {
        startJob(JobKind::Analyze, JobScope::TracksView);
    } else if (askAboutAlbumUndo()) {
        startJob(JobKind::Analyze, JobScope::AlbumsView);
    }
}

void MainDialog::applyGain() {
    if (askAboutTimestamps()) {
        startJob(JobKind::ApplyGain, viewScope());
    }
}

void MainDialog::applyConstantGain() {
    ConstantGainDialog dialog(*this);
    if (dialog.doModal() != IDOK) {
        return;
    }
    jobs.setConstantGain(dialog.channel(), dialog.steps());
    if (dialog.steps() != 0 && askAboutTimestamps()) {
        startJob(JobKind::ConstantGain, JobScope::TracksView);
    }
}

void MainDialog::analyzeSelectionAsAlbum() {
    if (askAboutAlbumUndo()) {
        startJob(JobKind::Analyze, JobScope::SelectionAsAlbum);
    }
}

void MainDialog::applyAlbumGainToSelection() {
    startJob(JobKind::ApplyGain, JobScope::SelectionAsAlbum);
}

void MainDialog::clearData() {
    startJob(JobKind::ClearData, viewScope());
}

void MainDialog::undoGainChanges() {
    if (askAboutTimestamps()) {
        startJob(JobKind::UndoGain, viewScope());
    }
}

void MainDialog::removeTags() {
    if (askQuestion(kAskRemoveTagsUndo, IDM_REMOVE_TAGS_UNDO, PrefIndex::RemoveTagsUndo,
                    PrefIndex::DontAskRemoveTagsUndo)) {
        startJob(JobKind::RemoveTags, viewScope());
    }
}

void MainDialog::toggleOption(PrefIndex flag, int menuItem) {
    bool wasOn = preferences.getPrefBool(flag);
    setMenuCheck(menuItem, !wasOn);
    preferences.setPrefBool(flag, !wasOn);
}

void MainDialog::toggleDontClip() {
    toggleOption(PrefIndex::DontClip, IDM_DONT_CLIP);
}

void MainDialog::toggleTimestampComments() {
    toggleOption(PrefIndex::TimestampComments, IDM_TIMESTAMP_COMMENTS);
}

void MainDialog::toggleAlbumUndo() {
    toggleOption(PrefIndex::AlbumUndo, IDM_ALBUM_UNDO);
}

void MainDialog::toggleRemoveTagsUndo() {
    toggleOption(PrefIndex::RemoveTagsUndo, IDM_REMOVE_TAGS_UNDO);
}

void MainDialog::chooseToolRuns(int runs) {
    if (runs == 0) {
        preferences.setPref(PrefIndex::ToolRuns, L"");
    } else {
        preferences.setPrefInt(PrefIndex::ToolRuns, runs);
    }
    updateMenuChecksNow();
}

// The questions are asked again, and the columns come back at their default widths.
void MainDialog::setDefaults() {
    preferences.setDefaults();
    updateMenuChecksNow();
    listView.attachView(*currentView);
}

void MainDialog::showHelp() {
    showHelpContents(hwnd);
}

void MainDialog::showLicense() {
    showLicensePage(hwnd);
}

void MainDialog::showAbout() {
    AboutDialog(*this).doModal();
}
