#include "StandInObject_win.h"

#include <utility>

StandInObject::StandInObject(std::shared_ptr<StandInState> state) : state(std::move(state)) {
    this->state->objectCreated();
}

StandInObject::~StandInObject() {
    state->objectDestroyed();
}

HRESULT StandInObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) {
        return E_INVALIDARG;
    }
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    for (const Member& member : members()) {
        if (CompareStringOrdinal(names[0], -1, member.name, -1, TRUE) == CSTR_EQUAL) {
            ids[0] = member.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT StandInObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT*) {
    if (member < kFirstControl) {
        state->callStarting();
        if (state->refusing()) {
            return StandInState::kRefusal;
        }
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT ignored;
    VariantInit(&ignored);
    if (result) {
        VariantInit(result);
    }
    try {
        HRESULT hr = invoke(member, flags, params ? *params : none, result ? result : &ignored);
        VariantClear(&ignored);
        return hr;
    } catch (const Failure& failure) {
        VariantClear(&ignored);
        return failure.result;
    } catch (...) {
        VariantClear(&ignored);
        return E_UNEXPECTED;
    }
}

const VARIANT& StandInObject::argument(const DISPPARAMS& params, UINT index) {
    if (index >= params.cArgs) {
        throw Failure{DISP_E_BADPARAMCOUNT};
    }
    return params.rgvarg[params.cArgs - 1 - index];
}

int StandInObject::intArgument(const DISPPARAMS& params, UINT index) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(
            VariantChangeType(&value, const_cast<VARIANT*>(&argument(params, index)), 0, VT_I4))) {
        throw Failure{DISP_E_TYPEMISMATCH};
    }
    return value.lVal;
}

std::wstring StandInObject::textArgument(const DISPPARAMS& params, UINT index) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantChangeType(&value, const_cast<VARIANT*>(&argument(params, index)), 0,
                                 VT_BSTR))) {
        throw Failure{DISP_E_TYPEMISMATCH};
    }
    std::wstring text =
        value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : std::wstring();
    VariantClear(&value);
    return text;
}

HRESULT StandInObject::answerInt(VARIANT* result, int value) {
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
}

HRESULT StandInObject::answerText(VARIANT* result, const std::optional<std::wstring>& text) {
    result->vt = VT_BSTR;
    result->bstrVal =
        text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
    return text && !result->bstrVal ? E_OUTOFMEMORY : S_OK;
}

HRESULT StandInObject::answerObject(VARIANT* result, IDispatch* object) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    return S_OK;
}
