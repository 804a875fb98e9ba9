#pragma once

#include "StandInState_win.h"

#include <unknwn.h>

#include <atomic>
#include <memory>

// Makes application objects that all share one stand-in, as every client of
// iTunes talks to the same running iTunes.
class StandInClassFactory : public IClassFactory {
public:
    explicit StandInClassFactory(std::shared_ptr<StandInState> state);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    virtual ~StandInClassFactory() = default;

    std::shared_ptr<StandInState> state;
    std::atomic<ULONG> references{1};
};
