#pragma once

#include "ScopedHandle_win.h"

#include <windows.h>

#include <functional>

// A thread that the user-interface thread starts and waits for before what the
// thread uses goes away. The thread reaches the user-interface thread with
// blocking sends, so waiting handles the messages sent to the waiting thread:
// a plain join would leave the worker stuck in a send, and both would hang.
//
//   worker.start([this] { loadRoutine(); });
//   ...
//   worker.waitHandlingSentMessages();
class WorkerThread {
public:
    WorkerThread() = default;
    // Waits for a thread that still runs.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits for the previous thread, then runs routine on a new one. Exceptions
    // that the routine lets escape end the thread quietly. A failure to start
    // is fatal (the fatal message names ..\Win32\Threading).
    void start(std::function<void()> routine);
    // True while a thread has been started and has not ended.
    bool running() const;
    // Returns when the thread has ended (at once without one), handling the
    // messages sent to the calling thread meanwhile; posted messages wait.
    void waitHandlingSentMessages();

private:
    static void closeHandle(HANDLE handle) { CloseHandle(handle); }
    ScopedHandle<HANDLE, closeHandle> thread;
};
