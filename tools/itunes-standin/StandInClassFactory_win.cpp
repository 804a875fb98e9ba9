#include "StandInClassFactory_win.h"

#include "StandInApp_win.h"

#include <utility>

StandInClassFactory::StandInClassFactory(std::shared_ptr<StandInState> state)
    : state(std::move(state)) {}

bool StandInClassFactory::answers(REFIID iid) const {
    return IsEqualIID(iid, IID_IClassFactory);
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
