#pragma once

#include "ComObject_win.h"
#include "ComRef_win.h"
#include "StandInState_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>

// The connection point of the event interface _IiTunesEvents.
class StandInConnectionPoint : public ComObject<IConnectionPoint> {
public:
    StandInConnectionPoint(std::shared_ptr<StandInState> state,
                           IConnectionPointContainer* container);

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    ~StandInConnectionPoint() override;

    bool answers(REFIID iid) const override;

    std::shared_ptr<StandInState> state;
    ComRef<IConnectionPointContainer> container;
};
