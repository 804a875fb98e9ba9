#include "ToolStopper.h"

#include "RunAACGain.h"

void ToolStopper::attach(RunAACGain& tool) {
    std::lock_guard guard(lock);
    attached = &tool;
    if (stoppedForGood) {
        tool.interrupt();
    }
}

void ToolStopper::detach() {
    std::lock_guard guard(lock);
    attached = nullptr;
}

void ToolStopper::stopForGood() {
    std::lock_guard guard(lock);
    stoppedForGood = true;
    if (attached) {
        attached->interrupt();
    }
}

bool ToolStopper::stopped() const {
    std::lock_guard guard(lock);
    return stoppedForGood;
}
