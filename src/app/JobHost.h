#pragma once

#include "JobReport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ItemListView;
class ITunesSession;

// The main window's normal-position rectangle and show command, as the
// WindowPlacement preference stores them.
struct SavedPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int showCommand = 0;
};

// The answer to the tool's error box: go on or stop, and whether the errors
// after it in the same job are to be noted without asking.
struct ToolErrorAnswer {
    bool goOn = true;
    bool dontAskAgain = false; // only ever with goOn
};

// What the load, sync and job routines (JobControl) ask of the main window.
// MainDialog implements it over its controls; tests implement it natively and
// record every call.
//
// Called from a worker thread unless noted. On Windows every call that touches
// a control or the window is a blocking send handled by the user-interface
// thread, never a post, so it has taken effect when the call returns.
class JobHost {
public:
    virtual ~JobHost() = default;

    // --- Threads (called on the user-interface thread)
    // Runs routine on a new worker thread. The host keeps the thread and waits
    // for it before the window and the database go away (after
    // JobControl::abandonWork), handling the worker's blocking calls while it
    // waits: a worker may be inside one when the window closes. The previous
    // worker may still be finishing (after its end step) when the next starts.
    virtual void startWorker(std::function<void()> routine) = 0;
    // A worker's single-threaded COM apartment: entered first, left last. A
    // failure to enter goes to the fatal check with ".\MainDialog" and line.
    virtual void enterApartment(int line) = 0;
    virtual void leaveApartment() = 0;

    // --- Status bar: part 0 is the main text, part 1 the track being handled
    virtual void setStatus(int stringId) = 0;
    // The string followed directly by the item's name ("Analyzing: " + file).
    virtual void setStatusWithItem(const std::wstring& itemName, int stringId) = 0;
    // A main text made by the job core (what a job's end tells).
    virtual void setStatusText(const std::wstring& text) = 0;
    virtual void setTrackStatus(const std::wstring& text) = 0;
    // The estimated time a job has left; an empty text clears it.
    virtual void setTimeLeft(const std::wstring& text) = 0;

    // --- Progress bars, in percent
    virtual void setFileProgress(int percent) = 0;
    virtual void setTotalProgress(int percent) = 0;
    // The parts given, at once: the window takes them in one send, which is
    // what a send costs the worker while the window's thread is busy.
    virtual void setProgress(std::optional<int> filePercent, std::optional<int> totalPercent,
                             const std::optional<std::wstring>& trackText) {
        if (filePercent) {
            setFileProgress(*filePercent);
        }
        if (totalPercent) {
            setTotalProgress(*totalPercent);
        }
        if (trackText) {
            setTrackStatus(*trackText);
        }
    }

    // --- Message boxes owned by the main window; caption string 141
    // Message 151 with the tool's error text, Yes and No, stop icon, and the
    // check box "Don't ask again during this job" (which takes No away).
    virtual ToolErrorAnswer askToContinueAfterToolError(const std::wstring& errorText) = 0;
    // A message from the string table with an OK button (165: iTunes is busy).
    virtual void showMessage(int stringId) = 0;
    // A message the job core made, with an OK button.
    virtual void showMessageText(const std::wstring& text) = 0;
    // At a job's end, what it could not do as asked: song, artist and what
    // happened, with a button that copies the list as text.
    virtual void showJobSummary(const std::vector<JobReport::Entry>& entries) = 0;
    // "Fatal error occurred." with the warning icon, for failures that are not
    // the program's own Exception.
    virtual void showFatalErrorOccurred() = 0;

    // --- The list of the current view
    virtual ItemListView& list() = 0;
    virtual void deselectRow(int position) = 0;
    virtual void scrollRowIntoView(int position) = 0;
    virtual void refreshList(bool reset) = 0;
    // Attaches the tracks view (columns and rows rebuilt) and gives the list
    // the keyboard focus.
    virtual void attachTracksView() = 0;

    // --- Menu, toolbar and controls
    // Applies the menu-state rules with idle = enabled (JobControl has already
    // decided that the update is carried out).
    virtual void applyMenuState(bool enabled) = 0;
    // The Options checks and the trackbar position from the preferences.
    virtual void updateMenuChecks() = 0;

    // --- Playlist drop-down; entries carry the playlist's index as key
    virtual void clearPlaylistEntries() = 0;
    virtual void addPlaylistEntry(const std::wstring& name, int key, bool selected) = 0;
    virtual int selectedPlaylistPosition() = 0;
    // Selects the entry at position (an invalid one selects the first) and
    // reports it to JobControl::selectPlaylist.
    virtual void selectPlaylistPosition(int position) = 0;

    // --- The window
    // Shows the main window at the saved placement (kept on a monitor), or
    // with the normal show command when there is none.
    virtual void showMainWindow(const std::optional<SavedPlacement>& placement) = 0;
    // Ends the program without saving (WM_APP_CLOSE).
    virtual void closeProgram() = 0;
    // The folder Velto.db lives in, with its trailing separator.
    virtual std::wstring databaseDirectory() = 0;

    // --- iTunes
    // A new connection for the calling worker (its apartment entered), the
    // main window brought to the foreground. Raises Exception when iTunes
    // cannot be reached.
    virtual std::unique_ptr<ITunesSession> connectToITunes() = 0;
};
