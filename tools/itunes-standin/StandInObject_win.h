#pragma once

#include "StandInState_win.h"
#include "UntypedDispatch_win.h"

#include <oaidl.h>

#include <memory>
#include <optional>
#include <span>
#include <string>

// The base of every object of the iTunes stand-in: late binding by member
// name (case-insensitive, as COM's name look-up is) and the refusal of calls
// that tests ask for. Members from kFirstControl up are
// the stand-in's own controls and are never refused.
class StandInObject : public UntypedDispatch {
public:
    static constexpr DISPID kFirstControl = 1000;
    // iTunes' answer for an object that no longer exists (ITUNES_E_OBJECTDELETED).
    static constexpr HRESULT kObjectDeleted = static_cast<HRESULT>(0xA0040202);

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

protected:
    struct Member {
        const wchar_t* name;
        DISPID id;
    };
    // A failure to answer the caller with.
    struct Failure {
        HRESULT result;
    };

    explicit StandInObject(std::shared_ptr<StandInState> state);
    virtual ~StandInObject();

    virtual std::span<const Member> members() const = 0;
    // May throw Failure.
    virtual HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params,
                           VARIANT* result) = 0;

    // Arguments counted from the first in call order.
    static const VARIANT& argument(const DISPPARAMS& params, UINT index);
    static int intArgument(const DISPPARAMS& params, UINT index);
    static std::wstring textArgument(const DISPPARAMS& params, UINT index);

    static HRESULT answerInt(VARIANT* result, int value);
    static HRESULT answerText(VARIANT* result, const std::optional<std::wstring>& text);
    // Takes over the object's reference; a null object answers nothing found.
    static HRESULT answerObject(VARIANT* result, IDispatch* object);

    std::shared_ptr<StandInState> state;
};

// Makes a stand-in object with one reference for the caller.
template <typename T, typename... Arguments> IDispatch* makeStandIn(Arguments&&... arguments) {
    return new T(std::forward<Arguments>(arguments)...);
}
