#pragma once

#include "ComObject_win.h"
#include "ComRef_win.h"
#include "StandInCollection_win.h"

#include <oaidl.h>

// The enumerator of a stand-in collection (its _NewEnum), as For Each and
// iTunes' own scripting examples walk a collection: Next hands out several
// elements in one call. Each Next counts as one iTunes call and is refused
// while the stand-in refuses calls.
class StandInEnumerator : public ComObject<IEnumVARIANT> {
public:
    explicit StandInEnumerator(ComRef<StandInCollection> collection, ULONG position = 0);

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* elements, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_IEnumVARIANT); }

private:
    ~StandInEnumerator() override;

    ComRef<StandInCollection> collection;
    ULONG position;
};
