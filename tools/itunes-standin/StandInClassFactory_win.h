#pragma once

#include "ComObject_win.h"
#include "StandInState_win.h"

#include <unknwn.h>

#include <memory>

// Makes application objects that all share one stand-in, as every client of
// iTunes talks to the same running iTunes.
class StandInClassFactory : public ComObject<IClassFactory> {
public:
    explicit StandInClassFactory(std::shared_ptr<StandInState> state);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    bool answers(REFIID iid) const override;

    std::shared_ptr<StandInState> state;
};
