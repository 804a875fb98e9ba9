#pragma once

#include "StandInObject_win.h"

#include <ocidl.h>
#include <olectl.h>

// The application object (IiTunes) with its event connection point, and the
// stand-in's controls for tests, reachable by name like any member:
//   StandInRefuseCalls(milliseconds)         -1 until told, 0 stops
//   StandInFireEvent(dispid)                 -> the subscriber's result
//   StandInFireDatabaseChanged(deleted, changed)  arguments passed on as they are
//   StandInSetVersion(major, minor)
//   StandInLoadLibrary(path)                 -> the loader's result
//   StandInFailUnadvise(fails)
//   StandInSinkCount, StandInObjectCount
class StandInApp : public StandInObject, public IConnectionPointContainer {
public:
    explicit StandInApp(std::shared_ptr<StandInState> state);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return StandInObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return StandInObject::Release(); }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;
    bool answers(REFIID iid) const override;

private:
    HRESULT objectByIDs(const DISPPARAMS& params, VARIANT* result);
    HRESULT control(DISPID member, const DISPPARAMS& params, VARIANT* result);
};
