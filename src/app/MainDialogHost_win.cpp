// What the load, sync and job routines ask of the main window. They call from
// worker threads; each call that touches the window runs on the window's own
// thread through one blocking send, and does nothing once the window is gone.

#include "Exception.h"
#include "FileLocations.h"
#include "ITunesAPI_win.h"
#include "ITunesMessages.h"
#include "JobSummaryDialog_win.h"
#include "MainDialog_win.h"
#include "ScreenPlacement_win.h"
#include "ToolErrorBox_win.h"
#include "Util_win.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {

constexpr int kCaption = 141; // the program's name

} // namespace

void MainDialog::startWorker(std::function<void()> routine) {
    worker.start(std::move(routine));
}

void MainDialog::enterApartment(int line) {
    checkResult(static_cast<int>(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)),
                L".\\MainDialog", line);
}

void MainDialog::leaveApartment() {
    CoUninitialize();
}

void MainDialog::setStatus(int stringId) {
    onWindowThread([&] { statusBar.setMainText(text(stringId)); });
}

void MainDialog::setStatusText(const std::wstring& mainText) {
    onWindowThread([&] { statusBar.setMainText(mainText); });
}

void MainDialog::setStatusWithItem(const std::wstring& itemName, int stringId) {
    onWindowThread([&] { statusBar.setMainText(text(stringId) + itemName); });
}

void MainDialog::setTrackStatus(const std::wstring& trackText) {
    onWindowThread([&] { statusBar.setTrackText(trackText); });
}

void MainDialog::setFileProgress(int percent) {
    onWindowThread([&] { fileProgress.setPosition(percent); });
}

void MainDialog::setTotalProgress(int percent) {
    onWindowThread([&] { totalProgress.setPosition(percent); });
}

void MainDialog::setProgress(std::optional<int> filePercent, std::optional<int> totalPercent,
                             const std::optional<std::wstring>& trackText) {
    onWindowThread([&] {
        if (filePercent) {
            fileProgress.setPosition(*filePercent);
        }
        if (totalPercent) {
            totalProgress.setPosition(*totalPercent);
        }
        if (trackText) {
            statusBar.setTrackText(*trackText);
        }
    });
}

ToolErrorAnswer MainDialog::askToContinueAfterToolError(const std::wstring& errorText) {
    ToolErrorAnswer answer{false, false};
    onWindowThread([&] {
        ToolErrorBox box(*this, errorText);
        answer.goOn = box.doModal() == IDYES;
        answer.dontAskAgain = answer.goOn && box.dontAskAgain();
    });
    return answer;
}

void MainDialog::showMessage(int stringId) {
    onWindowThread([&] { MessageBox(kCaption, MB_OK, stringId); });
}

void MainDialog::showMessageText(const std::wstring& message) {
    onWindowThread([&] {
        MessageBoxW(hwnd, message.c_str(), text(kCaption).c_str(), MB_OK | MB_ICONWARNING);
    });
}

void MainDialog::showJobSummary(const std::vector<JobReport::Entry>& entries) {
    onWindowThread([&] { JobSummaryDialog(*this, entries).doModal(); });
}

void MainDialog::setTimeLeft(const std::wstring& timeLeft) {
    onWindowThread([&] { statusBar.setTimeLeftText(timeLeft); });
}

void MainDialog::showFatalErrorOccurred() {
    onWindowThread([] { ::showFatalErrorOccurred(); });
}

void MainDialog::deselectRow(int position) {
    onWindowThread([&] { listView.setSelected(position, false); });
}

void MainDialog::scrollRowIntoView(int position) {
    onWindowThread([&] { listView.ensureVisible(position, false); });
}

void MainDialog::refreshList(bool reset) {
    onWindowThread([&] { listView.refresh(reset); });
}

void MainDialog::attachTracksView() {
    onWindowThread([&] {
        currentView = &tracksView;
        listView.attachView(tracksView);
        listView.setFocus();
    });
}

void MainDialog::applyMenuState(bool enabled) {
    onWindowThread([&] { applyMenuStateNow(enabled); });
}

void MainDialog::updateMenuChecks() {
    onWindowThread([&] { updateMenuChecksNow(); });
}

void MainDialog::clearPlaylistEntries() {
    onWindowThread([&] { playlists.clear(); });
}

void MainDialog::addPlaylistEntry(const std::wstring& name, int key, bool selected) {
    onWindowThread([&] { playlists.addItem(name, key, selected); });
}

int MainDialog::selectedPlaylistPosition() {
    int position = 0;
    onWindowThread([&] { position = playlists.selectedPosition(); });
    return position;
}

// A position that is no longer there (fewer playlists since) selects the first
// entry, and that entry's playlist is made current as any choice is.
void MainDialog::selectPlaylistPosition(int position) {
    onWindowThread([&] {
        int count = playlists.entryCount();
        if (count > 0) {
            playlists.selectPosition(position >= 0 && position < count ? position : 0);
        }
    });
}

void MainDialog::showMainWindow(const std::optional<SavedPlacement>& saved) {
    onWindowThread([&] {
        if (!saved) {
            showWindow(SW_SHOW);
            return;
        }
        setPlacement(placementOnThisScreen(
            RECT{saved->left, saved->top, saved->right, saved->bottom}, saved->showCommand));
    });
}

void MainDialog::closeProgram() {
    if (windowOpen) {
        SendMessageW(hwnd, WM_APP_CLOSE, 0, 0);
    }
}

std::wstring MainDialog::databaseDirectory() {
    return databaseFolder(specialFolderPath(CSIDL_MYMUSIC), specialFolderPath(CSIDL_PERSONAL),
                          pathExists, moduleDirectory());
}

std::unique_ptr<ITunesSession> MainDialog::connectToITunes() {
    auto connection = std::make_unique<ITunesAPI>(hwnd, true);
    SetForegroundWindow(hwnd);
    return connection;
}

void MainDialog::ListForWorkers::setColumns(int count, const int* widths,
                                            const int* headerStringIds) {
    window.onWindowThread([&] { window.listView.setColumns(count, widths, headerStringIds); });
}

void MainDialog::ListForWorkers::setColumnAlignment(int column, int alignment) {
    window.onWindowThread([&] { window.listView.setColumnAlignment(column, alignment); });
}

bool MainDialog::ListForWorkers::nextSelected(int& position, int& key) {
    bool found = false;
    window.onWindowThread([&] { found = window.listView.nextSelected(position, key); });
    return found;
}
