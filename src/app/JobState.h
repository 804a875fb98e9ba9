#pragma once

#include "FileScreen.h"
#include "JobReport.h"

#include <atomic>
#include <mutex>
#include <string>

// What the item workers of one job share: the file screen, the report, the
// counts of items done and not done, and the user's answers to the tool's
// errors. One per job; every member is safe to use from several threads.
struct JobState {
    JobState(const std::wstring& toolPath, bool severalRunsAtOnce)
        : screen(toolPath), severalRunsAtOnce(severalRunsAtOnce) {}

    FileScreen screen;
    JobReport report;
    const bool severalRunsAtOnce;
    std::atomic<int> itemsDone{0};
    std::atomic<int> itemsNotDone{0};
    std::atomic<bool> filesMayHaveChanged{false};
    // Yes with "Don't ask again during this job".
    std::atomic<bool> quietErrors{false};
    // No, with several runs at once: no item starts any more, and those
    // running finish.
    std::atomic<bool> stopStarting{false};
    // One tool error box at a time.
    std::mutex questionLock;
};
