#include "ToolRuns.h"

#include "Preferences.h"

#include <algorithm>
#include <thread>

int processorRuns() {
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(processors, 1, kMostToolRuns);
}

int toolRuns(const Preferences& preferences) {
    if (!preferences.getPref(PrefIndex::ToolRuns)) {
        return processorRuns();
    }
    return std::clamp(preferences.getPrefInt(PrefIndex::ToolRuns), 1, kMostToolRuns);
}
