#pragma once

#include "JobProgress.h"
#include "TimeLeft.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class JobHost;

// The reports of a job that runs several items at once, each from a Slot of
// its own, merged into what the window shows as for one item at a time: status
// part 0 names the latest item started; the file bar and part 1 follow the
// earliest item still running; the total bar counts the finished tracks and
// what each running item has done; the time left follows the finished tracks.
// Safe to use from several threads.
class ParallelProgress {
public:
    // showTimeLeft gets the estimated seconds left.
    ParallelProgress(JobHost& host, int totalTracks, std::function<void(double)> showTimeLeft);

    // The reports of one worker, for the item it works on.
    class Slot : public JobProgress {
    public:
        explicit Slot(ParallelProgress& all) : all(all) {}

        // An item starts; order counts the items in the order they started.
        void begin(int order);
        // The item is done: its tracks count as finished.
        void finish(int tracks);
        // The item stopped before it was done (a cancel): it counts nothing.
        void abandon();

        void itemStatus(const std::wstring& itemName, int stringId) override;
        void trackStatus(const std::wstring& text) override;
        void fileProgress(int percent) override;
        void totalProgress(int doneTracks, int percent, int totalTracks) override;

    private:
        ParallelProgress& all;
        int order = -1;
    };

private:
    // What a running item last reported.
    struct Running {
        int doneTracks = 0;
        int percent = 0; // of the current file, as it counts for the total bar
        std::wstring track;
        int filePercent = 0;
    };

    // Called with the lock held.
    bool isEarliest(int order) const;
    void showTotal();
    void showEarliest();
    void end(int order, int tracks);

    JobHost& host;
    const int totalTracks;
    std::function<void(double)> showTimeLeft;
    std::mutex lock;
    std::map<int, Running> running; // by the order they started
    int latestStarted = -1;
    int finishedTracks = 0;
    int shownTotal = -1;
    TimeLeft timeLeft;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};
