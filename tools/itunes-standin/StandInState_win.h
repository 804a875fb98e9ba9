#pragma once

#include "ComRef_win.h"
#include "LibraryXml_win.h"
#include "ObjectIDs.h"
#include "StandInLibrary.h"

#include <oaidl.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Everything the objects of one iTunes stand-in share: the library, the
// version it claims, its event subscribers and the controls that tests use to
// make it refuse calls and fire events. Lives on one COM apartment's thread.
class StandInState {
public:
    StandInLibrary library;

    // CheckVersion answers true for versions up to this one.
    void setVersion(int major, int minor);
    bool isCompatible(int major, int minor) const;

    // While refusing, every iTunes call answers kRefusal. INFINITE refuses
    // until told otherwise, 0 stops refusing.
    static constexpr HRESULT kRefusal = RPC_E_SERVERCALL_RETRYLATER;
    void refuseCalls(DWORD milliseconds);
    bool refusing() const;
    void setUnadviseFails(bool fails) { unadviseFails = fails; }
    bool unadviseShouldFail() const { return unadviseFails || refusing(); }

    // Whether a file track's own IDispatch answers Location, as iTunes' does.
    // When false, only its IITFileOrCDTrack interface (QueryInterface) knows the
    // name, as a client that relies on late binding alone must cope with.
    bool locationOnTrack = true;
    // Whether track collections answer _NewEnum with an enumerator, as
    // iTunes' do; when false, a client must read tracks by Item.
    bool trackEnumerators = true;

    // What the class object answers instead of making an application object;
    // S_OK makes one.
    HRESULT creationFailure = S_OK;
    // Runs once, at the start of the next iTunes call, as if iTunes did
    // something (fired events, say) while the caller waits in that call.
    std::function<void()> duringNextCall;
    void callStarting();
    // iTunes calls answered so far (the stand-in's own controls not counted).
    int callCount() const { return calls; }

    // Event subscribers, by cookie.
    DWORD advise(ComRef<IDispatch> sink);
    bool unadvise(DWORD cookie);
    int sinkCount() const { return static_cast<int>(sinks.size()); }

    // Fires an event at every subscriber; answers the last subscriber's
    // result (S_OK without subscribers). Arguments are in call order.
    HRESULT fire(DISPID event, std::vector<VARIANT> arguments = {});
    // An argument of OnDatabaseChangedEvent: an N x 4 array of VARIANT, one
    // row of IDs per object. The caller clears it.
    static VARIANT objectIDRows(const std::vector<ObjectIDs>& objects);
    // OnDatabaseChangedEvent with N x 4 arrays of VARIANT.
    HRESULT fireDatabaseChanged(const std::vector<ObjectIDs>& deleted,
                                const std::vector<ObjectIDs>& changed);

    // Loads a library file in iTunes' XML format in place of the library.
    HRESULT loadLibrary(const std::wstring& path);
    // A track's comment, written back to the library file when there is one.
    void setComment(StandInTrack& track, const std::wstring& comment);

    // Live COM objects of the stand-in; called when the last one goes.
    void objectCreated() {
        ++liveObjects;
        ++madeObjects;
    }
    void objectDestroyed();
    int objectCount() const { return liveObjects; }
    // Objects made so far, each handed out to the caller once.
    int objectsMade() const { return madeObjects; }
    std::function<void()> onLastObjectGone;

private:
    int versionMajor = 1;
    int versionMinor = 13;
    ULONGLONG refuseUntil = 0;
    bool unadviseFails = false;
    DWORD nextCookie = 1;
    std::vector<std::pair<DWORD, ComRef<IDispatch>>> sinks;
    std::optional<LibraryXml> file;
    int liveObjects = 0;
    int madeObjects = 0;
    int calls = 0;
};
