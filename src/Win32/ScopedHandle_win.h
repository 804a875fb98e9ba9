#pragma once

#include <windows.h>

#include <utility>

// Owns one Windows handle and closes it with Close when it goes:
//   ScopedHandle<HBRUSH, deleteGdiObject> brush(CreateSolidBrush(color));
template <typename Handle, auto Close> class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle, nullptr));
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

    void reset(Handle replacement = nullptr) {
        if (handle != nullptr) {
            Close(handle);
        }
        handle = replacement;
    }

private:
    Handle handle = nullptr;
};

inline void deleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void freeModule(HMODULE module) {
    FreeLibrary(module);
}
