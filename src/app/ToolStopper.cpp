#include "ToolStopper.h"

#include "RunAACGain.h"

void ToolStopper::attach(RunAACGain& tool) {
    std::lock_guard guard(lock);
    attached.insert(&tool);
    if (stoppedForGood) {
        tool.interrupt();
    }
}

void ToolStopper::detach(RunAACGain& tool) {
    std::lock_guard guard(lock);
    attached.erase(&tool);
}

void ToolStopper::stopForGood() {
    std::lock_guard guard(lock);
    stoppedForGood = true;
    for (RunAACGain* tool : attached) {
        tool->interrupt();
    }
}

bool ToolStopper::stopped() const {
    std::lock_guard guard(lock);
    return stoppedForGood;
}
