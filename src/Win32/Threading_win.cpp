#include "Threading_win.h"

#include "Exception.h"

#include <process.h>

#include <cerrno>
#include <memory>

namespace {

void __cdecl threadEntry(void* block) {
    std::unique_ptr<std::function<void()>> routine(static_cast<std::function<void()>*>(block));
    try {
        (*routine)();
    } catch (...) {
    }
}

} // namespace

void startThread(std::function<void()> routine) {
    auto block = std::make_unique<std::function<void()>>(std::move(routine));
    if (_beginthread(threadEntry, 0, block.get()) == static_cast<uintptr_t>(-1)) {
        checkResult(errno ? errno : -1, L"..\\Win32\\Threading", 50);
    }
    // The thread owns the routine now.
    block.release();
}
