#pragma once

#include <windows.h>

#include <atomic>

// The iTunes connection's recursive lock. While iTunes refuses calls, block
// either takes the lock for the thread that heard of it or, when another thread
// holds it, sets blocked so that later enters wait until unblock.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    // Waits in 50 ms steps while blocked, then takes the lock.
    void enter();
    void leave();
    void block();
    void unblock();

    bool isBlocked() const { return blocked; }
    // How many times the calling thread holds the lock (0 when it does not).
    int holdCount() const;

    // Holds the lock for the lifetime of a scope.
    class Hold {
    public:
        explicit Hold(CriticalSection& lock) : lock(lock) { lock.enter(); }
        ~Hold() { lock.leave(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CriticalSection& lock;
    };

private:
    CRITICAL_SECTION section;
    // Written by the event handler, read by every enter.
    std::atomic<bool> blocked{false};
};
