#pragma once

#include "GainOperations.h"
#include "JobParameters.h"
#include "ParallelProgress.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class ItemSource;
class ITunesSession;
class JobHost;
struct JobState;

// Works through a job's selected rows several items at once, each item on a
// thread of its own that runs its own gain tool processes, in the order of
// the selection. The job's own thread waits here and makes the iTunes stamps
// that the workers ask for: the iTunes connection never leaves its thread.
// A row is deselected when its item is done; after a cancel the rows not done
// stay selected; after No in the tool's error box no item starts any more and
// those running finish.
class ParallelWalk {
public:
    struct Setup {
        JobHost& host;
        const GainOperations::Context& context;
        const JobParameters& job;
        JobState& state;
        int runs;               // items at once
        int totalTracks;        // of the job, for the bars
        ITunesSession* session; // nullptr when the job stamps nothing
        // A cursor of the job's scope for each worker.
        std::function<std::unique_ptr<ItemSource>()> newSource;
        // The tracks an item (by its row's key) brings into the total.
        std::function<int(int key)> tracksOfItem;
        std::function<void(double seconds)> showTimeLeft;
        std::function<std::wstring(const std::wstring& systemText)> toolStartMessage;
    };

    explicit ParallelWalk(const Setup& setup);
    ParallelWalk(const ParallelWalk&) = delete;
    ParallelWalk& operator=(const ParallelWalk&) = delete;

    // On the job's thread, until every item is done or the job stops. Raises
    // what a worker met (the program's Exception, another failure) or iTunes
    // being busy at a stamp, once every worker has ended; a tool that would
    // not start leaves its message in toolStartProblem.
    void run(std::wstring& toolStartProblem);

private:
    struct Item {
        int order = 0;
        int position = 0;
        int key = 0;
    };

    void work(ParallelProgress& progress);
    // False when the job stops at this item.
    bool workOn(const Item& item, ItemSource& source, GainOperations& operations,
                ParallelProgress::Slot& slot);
    std::optional<Item> takeNextItem();
    void requestStamp(const std::vector<int>& trackIds);
    void stampUntilEveryWorkerEnds();
    void stopAfterFailure(std::exception_ptr failure);
    bool closing() const;

    const Setup setup;
    std::mutex handOutLock;
    int lastPosition = -1;
    int itemsHandedOut = 0;

    std::mutex lock; // guards what follows
    std::condition_variable changed;
    std::vector<std::vector<int>> stampRequests;
    int workersRunning = 0;
    std::exception_ptr firstFailure;
    std::wstring toolStartMessage;
};
