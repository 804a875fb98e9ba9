#pragma once

#include "AlbumSource.h"
#include "AlbumStats.h"
#include "ColorStatic_win.h"
#include "Control_win.h"
#include "Dialog_win.h"
#include "JobControl.h"
#include "JobHost.h"
#include "LoudnessOverviewDialog_win.h"
#include "MainListView_win.h"
#include "MainStatusBar_win.h"
#include "MenuState.h"
#include "PlaylistDropDown_win.h"
#include "Preferences.h"
#include "ProgressBar_win.h"
#include "ResourceStringTable_win.h"
#include "Toolbar_win.h"
#include "TrackSource.h"
#include "ValueTrackBar_win.h"
#include "VeltoDatabase.h"
#include "WorkerThread_win.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>

// The program's main window (template 128, menu 111): the list of the tracks or
// albums of one iTunes playlist, the target volume, the playlist drop-down, the
// progress of the work off its thread, and every command of the program.
//
// Its code is split by what it does: the window itself (MainDialog_win.cpp),
// its commands and menu state (MainDialogCommands_win.cpp), and what the load,
// sync and job routines ask of it (MainDialogHost_win.cpp). Those routines run
// on worker threads; every JobHost call that touches the window reaches it as
// one blocking send, and does nothing once the window is gone.
class MainDialog : public Dialog, public JobHost, private MainListOwner {
public:
    // Looks for the gain tool beside the program first: without one, raises
    // Exception 157 (its message shown) before any window exists.
    explicit MainDialog(HINSTANCE instance);
    // Waits for a worker that still runs.
    ~MainDialog() override;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog() override;

    // After the message loop: returns once no worker runs any more, handling
    // what it sends meanwhile.
    void waitForWorker();

    // --- JobHost
    void startWorker(std::function<void()> routine) override;
    void enterApartment(int line) override;
    void leaveApartment() override;
    void setStatus(int stringId) override;
    void setStatusText(const std::wstring& mainText) override;
    void setStatusWithItem(const std::wstring& itemName, int stringId) override;
    void setTrackStatus(const std::wstring& text) override;
    void setFileProgress(int percent) override;
    void setTotalProgress(int percent) override;
    void setProgress(std::optional<int> filePercent, std::optional<int> totalPercent,
                     const std::optional<std::wstring>& trackText) override;
    ToolErrorAnswer askToContinueAfterToolError(const std::wstring& errorText) override;
    void showMessage(int stringId) override;
    void showMessageText(const std::wstring& text) override;
    void showJobSummary(const std::vector<JobReport::Entry>& entries) override;
    void setTimeLeft(const std::wstring& text) override;
    void showFatalErrorOccurred() override;
    ItemListView& list() override { return listForWorkers; }
    void deselectRow(int position) override;
    void scrollRowIntoView(int position) override;
    void refreshList(bool reset) override;
    void attachTracksView() override;
    void applyMenuState(bool enabled) override;
    void updateMenuChecks() override;
    void clearPlaylistEntries() override;
    void addPlaylistEntry(const std::wstring& name, int key, bool selected) override;
    int selectedPlaylistPosition() override;
    void selectPlaylistPosition(int position) override;
    void showMainWindow(const std::optional<SavedPlacement>& placement) override;
    void closeProgram() override;
    std::wstring databaseDirectory() override;
    std::unique_ptr<ITunesSession> connectToITunes() override;

private:
    static constexpr int kMinimumVolume = 79;
    static constexpr int kMaximumVolume = 99;
    static constexpr int kDefaultVolume = 89;

    // The list as the workers reach it: each call runs on the window's thread.
    class ListForWorkers : public ItemListView {
    public:
        explicit ListForWorkers(MainDialog& window) : window(window) {}
        void setColumns(int count, const int* widths, const int* headerStringIds) override;
        void setColumnAlignment(int column, int alignment) override;
        bool nextSelected(int& position, int& key) override;

    private:
        MainDialog& window;
    };

    struct Command {
        int id;
        void (MainDialog::*run)();
    };

    // --- The window (MainDialog_win.cpp)
    // Runs work on the window's thread and waits for it; false when the
    // window is gone and nothing ran.
    bool onWindowThread(const std::function<void()>& work);
    bool runPendingWork(LPARAM lParam);
    void addToolbarButtons();
    std::wstring text(int stringId) const;
    void closeWithoutSaving();
    void exitProgram();
    void startJob(JobKind kind, JobScope scope);
    bool idle() const;
    static bool pathExists(const std::wstring& path);

    // --- MainListOwner
    void showRowStatus(int stringId) override;
    void showSelectionCount(int selected, int total) override;
    void rowActivated(const ItemSource& view) override;

    // --- Commands and menu state (MainDialogCommands_win.cpp)
    static const Command* findCommand(int id);
    bool runCommand(int id);
    bool commandAllowed(int id);
    MenuState menuState(bool isIdle);
    int currentTrackCount() const;
    bool isTracksView() const;
    JobScope viewScope() const;
    bool askQuestion(int questionStringId, int menuItem, PrefIndex flag, PrefIndex dontAsk);
    // Questions 166 (timestamps) and 167 (album undo), asked by several commands.
    bool askAboutTimestamps();
    bool askAboutAlbumUndo();
    void toggleOption(PrefIndex flag, int menuItem);
    void showView(ItemSource& view, int checkedItem, int uncheckedItem);
    void setMenuCheck(int menuItem, bool checked);
    void applyMenuStateNow(bool idle);
    void updateMenuChecksNow();

    void clearDatabase();
    void synchronize();
    void cancelWork();
    void selectAll();
    void selectNone();
    void showTracks();
    void showAlbums();
    void showTracksInAlbum();
    void showLoudnessOverview();
    void analyze();
    void applyGain();
    void applyConstantGain();
    void analyzeSelectionAsAlbum();
    void applyAlbumGainToSelection();
    void clearData();
    void undoGainChanges();
    void removeTags();
    void toggleDontClip();
    void toggleTimestampComments();
    void toggleAlbumUndo();
    void toggleRemoveTagsUndo();
    void chooseToolRuns(int runs);
    void setDefaults();
    void showHelp();
    void showLicense();
    void showAbout();

    // --- Members, in the order they are made
    ResourceStringTable strings;
    std::wstring gainToolPath;
    VeltoDatabase database;
    Preferences preferences;
    TrackSource tracksView;
    AlbumStats albumStats;
    AlbumSource albumsView;
    Toolbar toolbar;
    ColorStatic volumeValue;
    ValueTrackBar volumeTrackbar;
    MainListView listView;
    PlaylistDropDown playlists;
    ProgressBar fileProgress;
    ProgressBar totalProgress;
    Control fileProgressLabel;
    Control totalProgressLabel;
    Control cancelButton;
    Control exitButton;
    MainStatusBar statusBar;
    WorkerThread worker;
    JobControl jobs;
    ListForWorkers listForWorkers{*this};
    LoudnessOverviewDialog overview{*this, database, preferences, volumeTrackbar};
    HMENU menu = nullptr;
    ItemSource* currentView;
    // From the window's initialisation until its destruction; read by workers.
    std::atomic<bool> windowOpen{false};
    // The work that workers are waiting to have run on the window's thread.
    std::mutex pendingLock;
    std::set<const std::function<void()>*> pendingWork;
};
