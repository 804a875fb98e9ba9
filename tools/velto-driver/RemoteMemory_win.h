#pragma once

#include "ScopedHandle_win.h"

#include <windows.h>

#include <cstddef>

// A block of memory inside the process that owns a window, for the messages
// whose arguments point at memory (SB_GETTEXTW, LVM_GETITEMTEXTW, ...): Windows
// carries no pointer argument of a common control's message between processes.
//
//   RemoteMemory block(list, sizeof(LVITEMW) + 512);
//   block.write(0, &item, sizeof item);
//   SendMessageW(list, LVM_GETITEMTEXTW, row, block.address());
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return base != nullptr; }
    LPARAM address(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(base) + offset);
    }
    bool write(size_t offset, const void* data, size_t size);
    bool read(size_t offset, void* data, size_t size) const;

private:
    static void closeProcess(HANDLE process) { CloseHandle(process); }

    ScopedHandle<HANDLE, closeProcess> process;
    void* base = nullptr;
};
