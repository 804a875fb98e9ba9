#include "DispatchInterface_win.h"

#include "ITunesBusyException.h"

#include <cwchar>

namespace {

void throwIfFailed(HRESULT result) {
    if (FAILED(result)) {
        throw ITunesBusyException();
    }
}

} // namespace

DISPID DispatchInterface::lookUp(IDispatch* object, const wchar_t* member) {
    // Members are named by string literals, so the pointer finds most of them.
    for (const auto& [name, dispid] : ids) {
        if (name == member || std::wcscmp(name, member) == 0) {
            return dispid;
        }
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (hr == DISP_E_UNKNOWNNAME) {
        dispid = DISPID_UNKNOWN;
    } else {
        throwIfFailed(hr);
    }
    ids.emplace_back(member, dispid);
    return dispid;
}

DISPID DispatchInterface::id(IDispatch* object, const wchar_t* member) {
    DISPID dispid = lookUp(object, member);
    if (dispid == DISPID_UNKNOWN) {
        throw ITunesBusyException();
    }
    return dispid;
}

bool DispatchInterface::knows(IDispatch* object, const wchar_t* member) {
    return lookUp(object, member) != DISPID_UNKNOWN;
}

HRESULT DispatchInterface::invokeId(IDispatch* object, DISPID member, WORD flags,
                                    std::initializer_list<const Variant*> args, Variant& result) {
    // IDispatch::Invoke takes the arguments last first. It only reads them.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto arg = args.end(); arg != args.begin();) {
        const Variant* value = *--arg;
        reversed.push_back(**value);
    }
    DISPID propertyPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &propertyPut;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argumentError = 0;
    HRESULT hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.put(),
                                &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (exception.scode != S_OK) {
            hr = exception.scode;
        }
    }
    return hr;
}

HRESULT DispatchInterface::tryInvoke(IDispatch* object, const wchar_t* member, WORD flags,
                                     std::initializer_list<const Variant*> args, Variant& result) {
    return invokeId(object, id(object, member), flags, args, result);
}

Variant DispatchInterface::call(IDispatch* object, const wchar_t* member,
                                std::initializer_list<const Variant*> args) {
    Variant result;
    throwIfFailed(tryInvoke(object, member, DISPATCH_METHOD, args, result));
    return result;
}

int DispatchInterface::getInt(IDispatch* object, const wchar_t* member) {
    Variant result;
    throwIfFailed(tryGet(object, member, result));
    return toInt(result);
}

std::optional<std::wstring> DispatchInterface::getText(IDispatch* object, const wchar_t* member) {
    Variant result;
    throwIfFailed(tryGet(object, member, result));
    return toText(result);
}

ComRef<IDispatch> DispatchInterface::getObject(IDispatch* object, const wchar_t* member) {
    Variant result;
    throwIfFailed(tryGet(object, member, result));
    return toObject(result);
}

void DispatchInterface::putText(IDispatch* object, const wchar_t* member,
                                const std::wstring& text) {
    Variant value(text);
    Variant result;
    throwIfFailed(tryInvoke(object, member, DISPATCH_PROPERTYPUT, {&value}, result));
}

ComRef<IDispatch> DispatchInterface::item(IDispatch* collection, int index) {
    Variant position(index);
    Variant result;
    throwIfFailed(invokeId(collection, DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                           {&position}, result));
    return toObject(result);
}

HRESULT DispatchInterface::enumerator(IDispatch* collection, ComRef<IEnumVARIANT>& enumerator) {
    enumerator.reset();
    Variant result;
    HRESULT hr =
        invokeId(collection, DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, result);
    if (FAILED(hr)) {
        return hr;
    }
    const VARIANT& answer = *result;
    IUnknown* object = answer.vt == VT_UNKNOWN    ? answer.punkVal
                       : answer.vt == VT_DISPATCH ? answer.pdispVal
                                                  : nullptr;
    return object ? object->QueryInterface(IID_IEnumVARIANT, enumerator.putVoid()) : E_NOINTERFACE;
}

int DispatchInterface::toInt(const Variant& value) {
    if (value.type() == VT_I4) {
        return (*value).lVal;
    }
    VARIANT converted;
    VariantInit(&converted);
    throwIfFailed(VariantChangeType(&converted, const_cast<VARIANT*>(&*value), 0, VT_I4));
    return converted.lVal;
}

std::optional<std::wstring> DispatchInterface::toText(const Variant& value) {
    const VARIANT& v = *value;
    if (v.vt == VT_EMPTY || v.vt == VT_NULL || (v.vt == VT_BSTR && !v.bstrVal)) {
        return std::nullopt;
    }
    if (v.vt == VT_BSTR) {
        return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    }
    Variant converted;
    throwIfFailed(VariantChangeType(converted.put(), const_cast<VARIANT*>(&v), 0, VT_BSTR));
    return toText(converted);
}

ComRef<IDispatch> DispatchInterface::toObject(const Variant& value) {
    const VARIANT& v = *value;
    if (v.vt == VT_DISPATCH) {
        return ComRef<IDispatch>::share(v.pdispVal);
    }
    ComRef<IDispatch> object;
    if (v.vt == VT_UNKNOWN && v.punkVal) {
        v.punkVal->QueryInterface(IID_IDispatch, object.putVoid());
    }
    return object;
}
