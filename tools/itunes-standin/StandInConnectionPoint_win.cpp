#include "StandInConnectionPoint_win.h"

#include "ITunesIdentifiers_win.h"

#include <utility>

StandInConnectionPoint::StandInConnectionPoint(std::shared_ptr<StandInState> state,
                                               IConnectionPointContainer* container)
    : state(std::move(state)), container(ComRef<IConnectionPointContainer>::share(container)) {
    this->state->objectCreated();
}

StandInConnectionPoint::~StandInConnectionPoint() {
    container.reset();
    state->objectDestroyed();
}

bool StandInConnectionPoint::answers(REFIID iid) const {
    return IsEqualIID(iid, IID_IConnectionPoint);
}

HRESULT StandInConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = DIID__IiTunesEvents;
    return S_OK;
}

HRESULT StandInConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** result) {
    if (!result) {
        return E_POINTER;
    }
    *result = container.get();
    container->AddRef();
    return S_OK;
}

// Like iTunes, asks the subscriber for the event interface.
HRESULT StandInConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    if (state->refusing()) {
        return StandInState::kRefusal;
    }
    ComRef<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID__IiTunesEvents, events.putVoid()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = state->advise(std::move(events));
    return S_OK;
}

HRESULT StandInConnectionPoint::Unadvise(DWORD cookie) {
    if (state->unadviseShouldFail()) {
        return StandInState::kRefusal;
    }
    return state->unadvise(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT StandInConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) {
        *connections = nullptr;
    }
    return E_NOTIMPL;
}
