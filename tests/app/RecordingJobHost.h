#pragma once

#include "FakeITunesSession.h"
#include "ItemListView.h"
#include "JobHost.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The main window for the routines' tests: runs workers on threads, keeps a
// list of rows whose keys are their positions, and records every call as one
// text ("status 147", "item 152 a.mp3", "total 30", ...) in the order made.
// A test may act on a call (cancel, or fail as iTunes or the window would)
// through onCall, which runs inside the call on the caller's thread.
class RecordingJobHost : public JobHost, public ItemListView {
public:
    explicit RecordingJobHost(FakeLibrary& library) : library(library) {}
    ~RecordingJobHost() override { waitForWorkers(); }

    void waitForWorkers() {
        std::vector<std::thread> running;
        {
            std::lock_guard lock(mutex);
            running.swap(workers);
        }
        for (std::thread& worker : running) {
            worker.join();
        }
    }
    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex);
        return recorded;
    }
    // The recorded calls that begin with prefix.
    std::vector<std::string> callsOf(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls()) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
            }
        }
        return found;
    }
    bool called(const std::string& call) const {
        std::vector<std::string> all = calls();
        return std::find(all.begin(), all.end(), call) != all.end();
    }
    void select(std::set<int> rows) {
        std::lock_guard lock(mutex);
        selected = std::move(rows);
    }
    std::set<int> selection() const {
        std::lock_guard lock(mutex);
        return selected;
    }

    // --- JobHost
    void startWorker(std::function<void()> routine) override {
        std::lock_guard lock(mutex);
        workers.emplace_back(std::move(routine));
    }
    void enterApartment(int line) override { record("enter " + std::to_string(line)); }
    void leaveApartment() override { record("leave"); }
    void setStatus(int stringId) override { record("status " + std::to_string(stringId)); }
    void setStatusText(const std::wstring& text) override { record("text " + narrow(text)); }
    void setStatusWithItem(const std::wstring& itemName, int stringId) override {
        record("item " + std::to_string(stringId) + " " + narrow(itemName));
    }
    void setTrackStatus(const std::wstring& text) override { record("track " + narrow(text)); }
    void setFileProgress(int percent) override { record("file " + std::to_string(percent)); }
    void setTotalProgress(int percent) override { record("total " + std::to_string(percent)); }
    bool askToContinueAfterToolError(const std::wstring& errorText) override {
        record("ask " + narrow(errorText));
        std::lock_guard lock(mutex);
        bool yes = answers.empty() || answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return yes;
    }
    void showMessage(int stringId) override { record("message " + std::to_string(stringId)); }
    void showFatalErrorOccurred() override { record("fatal"); }
    ItemListView& list() override { return *this; }
    void deselectRow(int position) override {
        record("deselect " + std::to_string(position));
        std::lock_guard lock(mutex);
        selected.erase(position);
    }
    void scrollRowIntoView(int position) override { record("scroll " + std::to_string(position)); }
    void refreshList(bool reset) override { record(reset ? "refresh reset" : "refresh"); }
    void attachTracksView() override { record("attach"); }
    void applyMenuState(bool enabled) override { record(enabled ? "menu on" : "menu off"); }
    void updateMenuChecks() override { record("checks"); }
    void clearPlaylistEntries() override { record("entries cleared"); }
    void addPlaylistEntry(const std::wstring& name, int key, bool isSelected) override {
        record("entry " + narrow(name) + " " + std::to_string(key) + (isSelected ? " *" : ""));
    }
    int selectedPlaylistPosition() override { return playlistPosition; }
    void selectPlaylistPosition(int position) override {
        record("select entry " + std::to_string(position));
        if (onSelectPlaylist) {
            onSelectPlaylist(position);
        }
    }
    void showMainWindow(const std::optional<SavedPlacement>& placement) override {
        record(placement ? "show at " + std::to_string(placement->left) : "show");
    }
    void closeProgram() override { record("close"); }
    std::wstring databaseDirectory() override { return directory; }
    std::unique_ptr<ITunesSession> connectToITunes() override {
        record("connect");
        return std::make_unique<FakeITunesSession>(library);
    }

    // --- ItemListView: rows whose keys are their positions
    void setColumns(int, const int*, const int*) override {}
    void setColumnAlignment(int, int) override {}
    bool nextSelected(int& position, int& key) override {
        std::lock_guard lock(mutex);
        auto next = selected.upper_bound(position);
        if (next == selected.end()) {
            return false;
        }
        position = key = *next;
        return true;
    }

    std::deque<bool> answers; // to the tool's error box; Yes when none is left
    std::function<void(const std::string&)> onCall;
    int playlistPosition = 0;
    std::function<void(int)> onSelectPlaylist;
    std::wstring directory = L"music/";

    // Each wide character narrowed (the tests' texts are ASCII).
    static std::string narrow(const std::wstring& text) {
        return std::string(text.begin(), text.end());
    }

private:
    void record(const std::string& call) {
        {
            std::lock_guard lock(mutex);
            recorded.push_back(call);
        }
        if (onCall) {
            onCall(call);
        }
    }

    FakeLibrary& library;
    mutable std::mutex mutex;
    std::vector<std::string> recorded;
    std::vector<std::thread> workers;
    std::set<int> selected;
};
