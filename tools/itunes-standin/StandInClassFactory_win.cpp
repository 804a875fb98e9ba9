#include "StandInClassFactory_win.h"

#include "StandInApp_win.h"

#include <utility>

StandInClassFactory::StandInClassFactory(std::shared_ptr<StandInState> state)
    : state(std::move(state)) {}

HRESULT StandInClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInClassFactory::AddRef() {
    return ++references;
}

ULONG StandInClassFactory::Release() {
    ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT StandInClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    if (state->creationFailure != S_OK) {
        return state->creationFailure;
    }
    IDispatch* app = new StandInApp(state);
    HRESULT hr = app->QueryInterface(iid, object);
    app->Release();
    return hr;
}

HRESULT StandInClassFactory::LockServer(BOOL) {
    return S_OK;
}
