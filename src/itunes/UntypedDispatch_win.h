#pragma once

#include "ComObject_win.h"

#include <oaidl.h>

// An IDispatch of ours that has no type information: callers bind by member
// name or DISPID. Answers IDispatch besides what the object adds.
class UntypedDispatch : public ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) {
            *info = nullptr;
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDispatch); }
};
