#include "RemoteMemory_win.h"

RemoteMemory::RemoteMemory(HWND window, size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process.reset(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process) {
        base =
            VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

RemoteMemory::~RemoteMemory() {
    if (base) {
        VirtualFreeEx(process.get(), base, 0, MEM_RELEASE);
    }
}

bool RemoteMemory::write(size_t offset, const void* data, size_t size) {
    SIZE_T written = 0;
    return base &&
           WriteProcessMemory(process.get(), static_cast<char*>(base) + offset, data, size,
                              &written) &&
           written == size;
}

bool RemoteMemory::read(size_t offset, void* data, size_t size) const {
    SIZE_T got = 0;
    return base &&
           ReadProcessMemory(process.get(), static_cast<char*>(base) + offset, data, size, &got) &&
           got == size;
}
