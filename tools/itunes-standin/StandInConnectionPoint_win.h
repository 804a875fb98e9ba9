#pragma once

#include "ComRef_win.h"
#include "StandInState_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <memory>

// The connection point of the event interface _IiTunesEvents.
class StandInConnectionPoint : public IConnectionPoint {
public:
    StandInConnectionPoint(std::shared_ptr<StandInState> state,
                           IConnectionPointContainer* container);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    virtual ~StandInConnectionPoint();

    std::shared_ptr<StandInState> state;
    ComRef<IConnectionPointContainer> container;
    std::atomic<ULONG> references{1};
};
