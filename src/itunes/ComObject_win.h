#pragma once

#include <unknwn.h>

#include <atomic>

// IUnknown for an object of ours that COM holds: the count starts at one, the
// creator's reference (ComRef::attach takes it over), and the object ends when
// the last reference goes. QueryInterface answers IUnknown and every interface
// that `answers` accepts, all with the Interface pointer.
template <typename Interface> class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || answers(iid)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The interfaces besides IUnknown that the object answers.
    virtual bool answers(REFIID iid) const = 0;

private:
    std::atomic<ULONG> references{1};
};
