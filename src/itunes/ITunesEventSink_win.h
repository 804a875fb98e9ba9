#pragma once

#include "ComRef_win.h"
#include "UntypedDispatch_win.h"

#include <oaidl.h>
#include <windows.h>

#include <atomic>

class CriticalSection;

// The object that iTunes calls back with its events (_IiTunesEvents). It runs
// on the connection's thread while that thread waits in a call to iTunes, and
// tells the owner window with blocking sends.
//
// It answers IDispatch as well as the event interface: Wine's marshaller asks
// for IDispatch when events come from another process. Its references are
// counted, so that a subscription that iTunes keeps after a failed Unadvise
// never calls a deleted object; the connection detaches it instead.
class ITunesEventSink : public UntypedDispatch {
public:
    static ComRef<ITunesEventSink> create(HWND owner, CriticalSection& lock);

    bool comCallsEnabled() const { return enabled; }
    // Ends the sink's work for the connection: a block still in effect is
    // undone, and later events do nothing. Call on the connection's thread.
    void detach();

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    ITunesEventSink(HWND owner, CriticalSection& lock) : owner(owner), lock(&lock) {}

    bool answers(REFIID iid) const override;

    HRESULT databaseChanged(const DISPPARAMS& params);
    HRESULT sendObjectIDs(const VARIANT& argument, WPARAM kind);
    void callsDisabled();
    void callsEnabled();
    void send(UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner;
    CriticalSection* lock;
    std::atomic<bool> enabled{true};
};
