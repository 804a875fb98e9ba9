#pragma once

#include <mutex>
#include <set>

class RunAACGain;

// Lets the user-interface thread end the gain tool children that a job runs,
// when the window closes during a job. The job's threads attach each runner
// for the time it holds a child; stopForGood interrupts every one attached and
// every one attached afterwards, so the workers find no more work.
class ToolStopper {
public:
    // The runner stays attached until detach; it must outlive that.
    void attach(RunAACGain& tool);
    void detach(RunAACGain& tool);

    // Called from any thread; lasts for the rest of the program.
    void stopForGood();
    bool stopped() const;

private:
    mutable std::mutex lock;
    std::set<RunAACGain*> attached;
    bool stoppedForGood = false;
};

// Keeps a runner attached for the life of a scope.
class AttachedTool {
public:
    AttachedTool(ToolStopper& stopper, RunAACGain& tool) : stopper(stopper), tool(tool) {
        stopper.attach(tool);
    }
    ~AttachedTool() { stopper.detach(tool); }
    AttachedTool(const AttachedTool&) = delete;
    AttachedTool& operator=(const AttachedTool&) = delete;

private:
    ToolStopper& stopper;
    RunAACGain& tool;
};
