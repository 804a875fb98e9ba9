#include "CriticalSection_win.h"

#include "Exception.h"

namespace {

// Spin count 1024, with the flag that makes the section allocate its wait
// event at once, so that entering it later cannot fail for lack of memory.
constexpr DWORD kSpinCount = 0x80000400;
constexpr DWORD kBlockedPollMilliseconds = 50;

} // namespace

CriticalSection::CriticalSection() {
    if (!InitializeCriticalSectionAndSpinCount(&section, kSpinCount)) {
        DWORD error = GetLastError();
        // A failure must never read as success, even without a last error.
        checkResult(error ? static_cast<int>(error) : -1, L".\\CriticalSection", 32);
    }
}

CriticalSection::~CriticalSection() {
    DeleteCriticalSection(&section);
}

void CriticalSection::enter() {
    while (blocked) {
        Sleep(kBlockedPollMilliseconds);
    }
    EnterCriticalSection(&section);
}

void CriticalSection::leave() {
    LeaveCriticalSection(&section);
}

void CriticalSection::block() {
    blocked = !TryEnterCriticalSection(&section);
}

void CriticalSection::unblock() {
    if (blocked) {
        blocked = false;
        return;
    }
    LeaveCriticalSection(&section);
}

int CriticalSection::holdCount() const {
    // OwningThread holds the owner's thread id, as the system stores it.
    HANDLE self = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
    return section.OwningThread == self ? static_cast<int>(section.RecursionCount) : 0;
}
