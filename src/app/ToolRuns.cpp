#include "ToolRuns.h"

#include "Preferences.h"

#include <algorithm>
#include <thread>

namespace {

// The number of logical processors, at most 16 (1 when it is unknown).
int processorRuns() {
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, kMostToolRuns);
}

} // namespace

int toolRuns(const Preferences& preferences) {
    if (!preferences.getPref(PrefIndex::ToolRuns)) {
        return processorRuns();
    }
    return std::clamp(preferences.getPrefInt(PrefIndex::ToolRuns), 1, kMostToolRuns);
}
