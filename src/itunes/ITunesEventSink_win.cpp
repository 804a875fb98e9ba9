#include "ITunesEventSink_win.h"

#include "CriticalSection_win.h"
#include "ITunesIdentifiers_win.h"
#include "ITunesMessages.h"
#include "ObjectIDs.h"

#include <array>

ComRef<ITunesEventSink> ITunesEventSink::create(HWND owner, CriticalSection& lock) {
    return ComRef<ITunesEventSink>::attach(new ITunesEventSink(owner, lock));
}

void ITunesEventSink::detach() {
    if (lock && !enabled) {
        lock->unblock();
    }
    lock = nullptr;
    owner = nullptr;
}

bool ITunesEventSink::answers(REFIID iid) const {
    return UntypedDispatch::answers(iid) || IsEqualIID(iid, DIID__IiTunesEvents);
}

HRESULT ITunesEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_INVALIDARG;
}

HRESULT ITunesEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                EXCEPINFO*, UINT*) {
    if (!lock) {
        return S_OK;
    }
    switch (member) {
    case kDatabaseChangedEvent:
        return params ? databaseChanged(*params) : DISP_E_PARAMNOTFOUND;
    case kCOMCallsDisabledEvent:
        callsDisabled();
        return S_OK;
    case kCOMCallsEnabledEvent:
        callsEnabled();
        return S_OK;
    case kQuittingEvent:
        send(WM_APP_CLOSE, 0, 0);
        return S_OK;
    default:
        // Playing, stopping, track changes and the user interface's state
        // (2 to 5), and anything newer, do not concern Velto: in particular
        // they never block the lock, since no enabling event would follow.
        return S_OK;
    }
}

// Arguments arrive last first: position 0 holds the changed objects, position 1
// the deleted ones, so the owner hears of all changes before the deletions.
HRESULT ITunesEventSink::databaseChanged(const DISPPARAMS& params) {
    if (params.cArgs != 2 || !params.rgvarg) {
        return DISP_E_PARAMNOTFOUND;
    }
    for (UINT position = 0; position < 2; ++position) {
        HRESULT hr = sendObjectIDs(params.rgvarg[position], position);
        if (hr != S_OK) {
            return hr;
        }
    }
    return S_OK;
}

// The argument is a SAFEARRAY of VARIANT, one row of four IDs per object.
HRESULT ITunesEventSink::sendObjectIDs(const VARIANT& argument, WPARAM kind) {
    if (argument.vt != (VT_ARRAY | VT_VARIANT) || !argument.parray) {
        return DISP_E_PARAMNOTFOUND;
    }
    SAFEARRAY* rows = argument.parray;
    LONG lower = 0;
    LONG upper = 0;
    if (FAILED(SafeArrayGetLBound(rows, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(rows, 1, &upper))) {
        return DISP_E_PARAMNOTFOUND;
    }
    for (LONG row = lower; row <= upper; ++row) {
        std::array<int32_t, 4> ids{};
        for (LONG column = 0; column < 4; ++column) {
            LONG index[2] = {row, column};
            VARIANT element;
            VariantInit(&element);
            HRESULT hr = SafeArrayGetElement(rows, index, &element);
            if (SUCCEEDED(hr)) {
                hr = VariantChangeType(&element, &element, 0, VT_I4);
            }
            if (FAILED(hr)) {
                VariantClear(&element);
                return DISP_E_PARAMNOTFOUND;
            }
            ids[static_cast<size_t>(column)] = element.lVal;
        }
        ObjectIDs objectIDs{ids[0], ids[1], ids[2], ids[3]};
        send(WM_APP_DBCHANGED, kind, reinterpret_cast<LPARAM>(&objectIDs));
    }
    return S_OK;
}

// Only a change of state acts on the lock: a repeated disabling event would
// otherwise take the lock once more than the enabling event gives back, and an
// enabling event without a disabling one would release a lock it never took.
void ITunesEventSink::callsDisabled() {
    bool wasEnabled = enabled.exchange(false);
    send(WM_APP_COMCALLS, 0, 0);
    if (wasEnabled) {
        lock->block();
    }
}

void ITunesEventSink::callsEnabled() {
    bool wasEnabled = enabled.exchange(true);
    if (!wasEnabled) {
        lock->unblock();
    }
    send(WM_APP_COMCALLS, 1, 0);
}

void ITunesEventSink::send(UINT message, WPARAM wParam, LPARAM lParam) {
    if (owner) {
        SendMessageW(owner, message, wParam, lParam);
    }
}
