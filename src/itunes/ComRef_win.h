#pragma once

#include <unknwn.h>

#include <utility>

// Owns one reference to a COM object and releases it when it goes.
//
//   ComRef<IDispatch> object;
//   hr = source->QueryInterface(IID_IDispatch, object.putVoid());
template <typename T> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference that the caller owns.
    static ComRef attach(T* object) {
        ComRef ref;
        ref.object = object;
        return ref;
    }
    // Adds a reference of its own.
    static ComRef share(T* object) {
        if (object) {
            object->AddRef();
        }
        return attach(object);
    }
    ComRef(ComRef&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    void reset() {
        if (T* old = std::exchange(object, nullptr)) {
            old->Release();
        }
    }
    // Releases the current object and lends the slot to a call that fills it.
    T** put() {
        reset();
        return &object;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T* object = nullptr;
};
