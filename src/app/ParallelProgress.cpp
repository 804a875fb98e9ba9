#include "ParallelProgress.h"

#include "JobHost.h"

ParallelProgress::ParallelProgress(JobHost& host, int totalTracks,
                                   std::function<void(double)> showTimeLeft)
    : host(host), totalTracks(totalTracks), showTimeLeft(std::move(showTimeLeft)),
      timeLeft(totalTracks) {}

void ParallelProgress::Slot::begin(int itemOrder) {
    order = itemOrder;
    std::lock_guard guard(all.lock);
    all.running[order] = Running{};
    all.latestStarted = std::max(all.latestStarted, order);
}

void ParallelProgress::Slot::finish(int tracks) {
    all.end(order, tracks);
}

void ParallelProgress::Slot::abandon() {
    all.end(order, -1);
}

void ParallelProgress::Slot::itemStatus(const std::wstring& itemName, int stringId) {
    std::lock_guard guard(all.lock);
    if (order == all.latestStarted) {
        all.host.setStatusWithItem(itemName, stringId);
    }
}

void ParallelProgress::Slot::trackStatus(const std::wstring& text) {
    std::lock_guard guard(all.lock);
    all.running[order].track = text;
    if (all.isEarliest(order)) {
        all.host.setTrackStatus(text);
    }
}

void ParallelProgress::Slot::fileProgress(int percent) {
    std::lock_guard guard(all.lock);
    all.running[order].filePercent = percent;
    if (all.isEarliest(order)) {
        all.host.setFileProgress(percent);
    }
}

void ParallelProgress::Slot::totalProgress(int doneTracks, int percent, int) {
    std::lock_guard guard(all.lock);
    Running& item = all.running[order];
    item.doneTracks = doneTracks;
    item.percent = percent;
    all.showTotal();
}

bool ParallelProgress::isEarliest(int order) const {
    return !running.empty() && running.begin()->first == order;
}

void ParallelProgress::showTotal() {
    if (totalTracks <= 0) {
        return;
    }
    long long sum = static_cast<long long>(finishedTracks) * 100;
    for (const auto& [order, item] : running) {
        sum += static_cast<long long>(item.doneTracks) * 100 + item.percent;
    }
    const int total = static_cast<int>(sum / totalTracks);
    if (total != shownTotal) {
        shownTotal = total;
        host.setTotalProgress(total);
    }
}

void ParallelProgress::showEarliest() {
    const Running& earliest = running.begin()->second;
    host.setTrackStatus(earliest.track);
    host.setFileProgress(earliest.filePercent);
}

// tracks is -1 for an item that stopped before it was done.
void ParallelProgress::end(int order, int tracks) {
    std::lock_guard guard(lock);
    const bool wasEarliest = isEarliest(order);
    running.erase(order);
    if (tracks >= 0) {
        finishedTracks += tracks;
    }
    showTotal();
    if (wasEarliest && !running.empty()) {
        showEarliest();
    }
    if (tracks < 0) {
        return;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    if (std::optional<double> left = timeLeft.afterItem(finishedTracks, elapsed.count())) {
        showTimeLeft(*left);
    }
}
