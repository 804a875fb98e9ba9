#include "WorkerThread_win.h"

#include "Exception.h"

#include <process.h>

#include <cerrno>
#include <memory>

namespace {

unsigned __stdcall workerEntry(void* block) {
    std::unique_ptr<std::function<void()>> routine(static_cast<std::function<void()>*>(block));
    try {
        (*routine)();
    } catch (...) {
    }
    return 0;
}

} // namespace

WorkerThread::~WorkerThread() {
    waitHandlingSentMessages();
}

void WorkerThread::start(std::function<void()> routine) {
    waitHandlingSentMessages();
    auto block = std::make_unique<std::function<void()>>(std::move(routine));
    uintptr_t started = _beginthreadex(nullptr, 0, workerEntry, block.get(), 0, nullptr);
    if (started == 0) {
        checkResult(errno ? errno : -1, L"..\\Win32\\Threading", 50);
    }
    // The thread owns the routine now.
    block.release();
    thread.reset(reinterpret_cast<HANDLE>(started));
}

bool WorkerThread::running() const {
    return thread && WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT;
}

void WorkerThread::waitHandlingSentMessages() {
    if (!thread) {
        return;
    }
    HANDLE handle = thread.get();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) !=
           WAIT_OBJECT_0) {
        // Peeking runs the handlers of the messages sent to this thread.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread.reset();
}
