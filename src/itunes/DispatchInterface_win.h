#pragma once

#include "ComRef_win.h"
#include "Variant_win.h"

#include <oaidl.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Calls the members of one iTunes interface by name through IDispatch. Each
// member's DISPID is asked of the first object once and remembered, since
// every object of an interface shares them. A call fails when it answers a
// negative HRESULT; the throwing forms raise ITunesBusyException then.
//
//   DispatchInterface track;
//   std::optional<std::wstring> name = track.getText(object, L"Name");
class DispatchInterface {
public:
    // The raw call: its HRESULT (the exception's code when the object answers
    // DISP_E_EXCEPTION). args are in call order.
    HRESULT tryInvoke(IDispatch* object, const wchar_t* member, WORD flags,
                      std::initializer_list<const Variant*> args, Variant& result);
    HRESULT tryGet(IDispatch* object, const wchar_t* member, Variant& result) {
        return tryInvoke(object, member, DISPATCH_PROPERTYGET, {}, result);
    }

    // Whether the object's interface knows the member by name. Either answer is
    // remembered as an id is; calls of an unknown member fail.
    bool knows(IDispatch* object, const wchar_t* member);

    Variant call(IDispatch* object, const wchar_t* member,
                 std::initializer_list<const Variant*> args);
    int getInt(IDispatch* object, const wchar_t* member);
    std::optional<std::wstring> getText(IDispatch* object, const wchar_t* member);
    ComRef<IDispatch> getObject(IDispatch* object, const wchar_t* member);
    void putText(IDispatch* object, const wchar_t* member, const std::wstring& text);

    // Collections: Count, and Item (counted from 1), the default member.
    int count(IDispatch* collection) { return getInt(collection, L"Count"); }
    ComRef<IDispatch> item(IDispatch* collection, int index);
    // The collection's enumerator (_NewEnum, asked by its standard DISPID as
    // For Each asks): the call's HRESULT, E_NOINTERFACE for an answer that is
    // no enumerator.
    static HRESULT enumerator(IDispatch* collection, ComRef<IEnumVARIANT>& enumerator);

    // Conversions of answers; an answer of the wrong type counts as a failed call.
    static int toInt(const Variant& value);
    static std::optional<std::wstring> toText(const Variant& value);
    static ComRef<IDispatch> toObject(const Variant& value);

private:
    DISPID id(IDispatch* object, const wchar_t* member);
    // The member's id, DISPID_UNKNOWN for a name the interface does not know.
    DISPID lookUp(IDispatch* object, const wchar_t* member);
    static HRESULT invokeId(IDispatch* object, DISPID member, WORD flags,
                            std::initializer_list<const Variant*> args, Variant& result);

    std::vector<std::pair<const wchar_t*, DISPID>> ids;
};
