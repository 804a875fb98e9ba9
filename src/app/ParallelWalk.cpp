#include "ParallelWalk.h"

#include "ITunesBusyException.h"
#include "ITunesSession.h"
#include "ItemListView.h"
#include "ItemSource.h"
#include "JobHost.h"
#include "JobState.h"
#include "ParallelProgress.h"
#include "ToolStartFailure.h"
#include "ToolStopper.h"

#include <thread>

ParallelWalk::ParallelWalk(const Setup& setup) : setup(setup) {}

void ParallelWalk::run(std::wstring& toolStartProblem) {
    ParallelProgress progress(setup.host, setup.totalTracks, setup.showTimeLeft);
    std::vector<std::thread> workers;
    workersRunning = setup.runs;
    for (int i = 0; i < setup.runs; ++i) {
        workers.emplace_back([this, &progress] { work(progress); });
    }
    bool iTunesBusy = false;
    try {
        stampUntilEveryWorkerEnds();
    } catch (const ITunesBusyException&) {
        iTunesBusy = true;
        setup.context.cancelRequested = true;
        setup.state.stopStarting = true;
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    toolStartProblem = toolStartMessage;
    if (iTunesBusy) {
        throw ITunesBusyException();
    }
    if (firstFailure) {
        std::rethrow_exception(firstFailure);
    }
}

// Stamps as the workers ask, on this thread, until none is left working.
void ParallelWalk::stampUntilEveryWorkerEnds() {
    std::unique_lock guard(lock);
    for (;;) {
        changed.wait(guard, [&] { return !stampRequests.empty() || workersRunning == 0; });
        if (stampRequests.empty()) {
            return;
        }
        const std::vector<int> trackIds = std::move(stampRequests.front());
        stampRequests.erase(stampRequests.begin());
        guard.unlock();
        setup.session->timestampComments(setup.context.database, trackIds);
        guard.lock();
    }
}

void ParallelWalk::requestStamp(const std::vector<int>& trackIds) {
    std::lock_guard guard(lock);
    stampRequests.push_back(trackIds);
    changed.notify_all();
}

void ParallelWalk::work(ParallelProgress& progress) {
    std::unique_ptr<ItemSource> source = setup.newSource();
    ParallelProgress::Slot slot(progress);
    GainOperations::Stamp stamp;
    if (setup.session) {
        stamp = [this](const std::vector<int>& trackIds) { requestStamp(trackIds); };
    }
    GainOperations operations(setup.context, setup.job, setup.state, slot, stamp);
    try {
        while (std::optional<Item> item = takeNextItem()) {
            slot.begin(item->order);
            if (!workOn(*item, *source, operations, slot)) {
                break;
            }
        }
    } catch (const ToolStartFailure& failure) {
        slot.abandon();
        std::lock_guard guard(lock);
        if (toolStartMessage.empty()) {
            toolStartMessage = setup.toolStartMessage(failure.text());
        }
        setup.state.stopStarting = true;
    } catch (...) {
        slot.abandon();
        stopAfterFailure(std::current_exception());
    }
    std::lock_guard guard(lock);
    --workersRunning;
    changed.notify_all();
}

bool ParallelWalk::workOn(const Item& item, ItemSource& source, GainOperations& operations,
                          ParallelProgress::Slot& slot) {
    if (!operations.processRow(source, item.key, item.position, 0, setup.totalTracks)) {
        slot.abandon(); // the row stays selected
        return false;
    }
    setup.host.deselectRow(item.position);
    slot.finish(setup.tracksOfItem(item.key));
    return true;
}

// The next selected row, in the selection's order; none once the job stops.
std::optional<ParallelWalk::Item> ParallelWalk::takeNextItem() {
    std::lock_guard guard(handOutLock);
    if (setup.context.cancelRequested || setup.state.stopStarting || closing()) {
        return std::nullopt;
    }
    int key = 0;
    if (!setup.host.list().nextSelected(lastPosition, key)) {
        return std::nullopt;
    }
    return Item{itemsHandedOut++, lastPosition, key};
}

void ParallelWalk::stopAfterFailure(std::exception_ptr failure) {
    setup.context.cancelRequested = true;
    setup.state.stopStarting = true;
    std::lock_guard guard(lock);
    if (!firstFailure) {
        firstFailure = failure;
    }
}

bool ParallelWalk::closing() const {
    return setup.context.stopper.stopped();
}
