#pragma once

#include <mutex>

class RunAACGain;

// Lets the user-interface thread end the gain tool child that the job thread
// runs, when the window closes during a job. The job thread attaches each
// runner for the time it holds a child; stopForGood interrupts the attached
// one and every one attached afterwards, so the worker finds no more work.
class ToolStopper {
public:
    // The runner stays attached until detach; it must outlive that.
    void attach(RunAACGain& tool);
    void detach();

    // Called from any thread; lasts for the rest of the program.
    void stopForGood();
    bool stopped() const;

private:
    mutable std::mutex lock;
    RunAACGain* attached = nullptr;
    bool stoppedForGood = false;
};

// Keeps a runner attached for the life of a scope.
class AttachedTool {
public:
    AttachedTool(ToolStopper& stopper, RunAACGain& tool) : stopper(stopper) {
        stopper.attach(tool);
    }
    ~AttachedTool() { stopper.detach(); }
    AttachedTool(const AttachedTool&) = delete;
    AttachedTool& operator=(const AttachedTool&) = delete;

private:
    ToolStopper& stopper;
};
