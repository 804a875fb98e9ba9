#include "MainDialog_win.h"

#include "FileLocations.h"
#include "ITunesMessages.h"
#include "MessageFormat.h"
#include "ResourceIds.h"
#include "Util_win.h"

#include <sys/stat.h>

namespace {

// A JobHost call from a worker: lParam points at the work to run.
constexpr UINT kRunOnWindowThread = WM_APP + 0x10;

constexpr int kLoadingDatabase = 162;
constexpr int kSelectionCount = 150;

} // namespace

MainDialog::MainDialog(HINSTANCE instance)
    : Dialog(instance, IDD_MAIN, nullptr), strings(instance),
      gainToolPath(findGainTool(moduleDirectory(), pathExists)), preferences(database),
      tracksView(database, preferences, volumeTrackbar, strings), albumStats(database, tracksView),
      albumsView(database, preferences, albumStats, strings),
      toolbar(*this, 24, 24, 7, IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_HOT, IDB_TOOLBAR_DISABLED,
              RGB(255, 0, 255)),
      volumeValue(*this, IDC_MAIN_VOLUME_VALUE, AnchorNone, AnchorNone, 255, 255, 255),
      volumeTrackbar(*this, IDC_MAIN_VOLUME_TRACKBAR, AnchorNone, AnchorNone, volumeValue),
      listView(*this, IDC_MAIN_LIST, *this), playlists(*this, IDC_MAIN_PLAYLISTS, jobs),
      fileProgress(*this, IDC_MAIN_FILE_PROGRESS, AnchorStretch, AnchorMove),
      totalProgress(*this, IDC_MAIN_TOTAL_PROGRESS, AnchorStretch, AnchorMove),
      fileProgressLabel(*this, IDC_MAIN_FILE_PROGRESS_LABEL, AnchorNone, AnchorMove),
      totalProgressLabel(*this, IDC_MAIN_TOTAL_PROGRESS_LABEL, AnchorNone, AnchorMove),
      cancelButton(*this, IDC_MAIN_CANCEL, AnchorMove, AnchorMove),
      exitButton(*this, IDC_MAIN_EXIT, AnchorMove, AnchorMove), statusBar(*this),
      jobs(*this, database, preferences, tracksView, albumsView, albumStats, gainToolPath),
      currentView(&tracksView) {}

MainDialog::~MainDialog() {
    jobs.abandonWork();
    worker.waitHandlingSentMessages();
}

bool MainDialog::pathExists(const std::wstring& path) {
    struct _stat status {};
    return _wstat(path.c_str(), &status) == 0;
}

void MainDialog::onInitDialog() {
    windowOpen = true;
    menu = GetMenu(hwnd);
    addToolbarButtons();
    volumeValue.setText(std::to_wstring(kDefaultVolume));
    volumeTrackbar.setRange(kMinimumVolume, kMaximumVolume, kDefaultVolume, 1, 1.0);
    // The views show values against the target volume.
    volumeTrackbar.setObserver(&listView);
    statusBar.setMainText(text(kLoadingDatabase));
    jobs.updateMenuState(false);
    jobs.startLoad();
}

void MainDialog::addToolbarButtons() {
    toolbar.addButton(0, IDM_VIEW_TRACKS, 173);
    toolbar.addButton(1, IDM_VIEW_ALBUMS, 174);
    toolbar.addSeparator(2);
    toolbar.addButton(3, IDM_ANALYZE, 130);
    toolbar.addButton(4, IDM_APPLY_GAIN, 131);
    toolbar.addSeparator(5);
    toolbar.addButton(6, IDM_HELP_CONTENTS, 169);
}

LRESULT MainDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kRunOnWindowThread:
        return runPendingWork(lParam) ? 1 : 0;
    case WM_CLOSE:
    case WM_APP_CLOSE:
        closeWithoutSaving();
        return 1;
    case WM_APP_DBCHANGED:
        return 1;
    case WM_APP_COMCALLS:
        if (wParam == 0) {
            statusBar.suspend();
        } else {
            statusBar.resume();
        }
        return 1;
    case WM_HELP:
        showHelp();
        return 1;
    case WM_DESTROY:
        windowOpen = false;
        break;
    default:
        break;
    }
    if (LRESULT result = Dialog::handleMessage(window, message, wParam, lParam)) {
        return result;
    }
    // Menu items (0), accelerators (1) and button clicks (BN_CLICKED, 0).
    if (message == WM_COMMAND && HIWORD(wParam) <= 1 && runCommand(LOWORD(wParam))) {
        return 1;
    }
    return 0;
}

bool MainDialog::onWindowThread(const std::function<void()>& work) {
    if (!windowOpen) {
        return false;
    }
    {
        std::lock_guard<std::mutex> locked(pendingLock);
        pendingWork.insert(&work);
    }
    bool ran = SendMessageW(hwnd, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&work)) == 1;
    std::lock_guard<std::mutex> locked(pendingLock);
    pendingWork.erase(&work);
    return ran;
}

// Runs only work that one of our threads is waiting to have run: the message
// could also come from another program, with anything in lParam.
bool MainDialog::runPendingWork(LPARAM lParam) {
    auto* work = reinterpret_cast<const std::function<void()>*>(lParam);
    {
        std::lock_guard<std::mutex> locked(pendingLock);
        if (pendingWork.count(work) == 0) {
            return false;
        }
    }
    (*work)();
    return true;
}

std::wstring MainDialog::text(int stringId) const {
    return strings.load(stringId).value_or(std::wstring());
}

// The close box and WM_APP_CLOSE: nothing is saved here. A worker still
// running stops at once and is waited for after the message loop.
void MainDialog::closeWithoutSaving() {
    jobs.abandonWork();
    DestroyWindow(hwnd);
}

void MainDialog::exitProgram() {
    // The controls came back at a worker's end step; let the worker finish.
    worker.waitHandlingSentMessages();
    preferences.setPrefInt(PrefIndex::Volume, volumeTrackbar.getPosition());
    Placement placement = getPlacement();
    preferences.setPrefList(PrefIndex::WindowPlacement,
                            {placement.normal.left, placement.normal.top, placement.normal.right,
                             placement.normal.bottom, placement.showCommand});
    overview.rememberPlacement();
    // A failure shows message 160 and leaves the window open.
    database.save();
    DestroyWindow(hwnd);
    jobs.requestCancel();
}

void MainDialog::waitForWorker() {
    worker.waitHandlingSentMessages();
}

void MainDialog::showRowStatus(int stringId) {
    statusBar.setMainText(text(stringId));
}

void MainDialog::showSelectionCount(int selected, int total) {
    statusBar.setSelectionText(formatMessage(text(kSelectionCount), {selected, total}));
    if (jobs.controlsEnabled()) {
        jobs.updateMenuState(true);
    }
}

void MainDialog::rowActivated(const ItemSource& view) {
    if (&view == &albumsView) {
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_TRACKS_IN_ALBUM, 0), 0);
    }
}
