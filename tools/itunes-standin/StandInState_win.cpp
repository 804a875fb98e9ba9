#include "StandInState_win.h"

#include <utility>

void StandInState::setVersion(int major, int minor) {
    versionMajor = major;
    versionMinor = minor;
}

bool StandInState::isCompatible(int major, int minor) const {
    return major < versionMajor || (major == versionMajor && minor <= versionMinor);
}

void StandInState::refuseCalls(DWORD milliseconds) {
    if (milliseconds == INFINITE) {
        refuseUntil = ~0ULL;
    } else {
        refuseUntil = milliseconds ? GetTickCount64() + milliseconds : 0;
    }
}

bool StandInState::refusing() const {
    return refuseUntil != 0 && GetTickCount64() < refuseUntil;
}

void StandInState::callStarting() {
    ++calls;
    if (duringNextCall) {
        std::function<void()> action = std::move(duringNextCall);
        duringNextCall = nullptr;
        action();
    }
}

DWORD StandInState::advise(ComRef<IDispatch> sink) {
    DWORD cookie = nextCookie++;
    sinks.emplace_back(cookie, std::move(sink));
    return cookie;
}

bool StandInState::unadvise(DWORD cookie) {
    for (auto sink = sinks.begin(); sink != sinks.end(); ++sink) {
        if (sink->first == cookie) {
            sinks.erase(sink);
            return true;
        }
    }
    return false;
}

HRESULT StandInState::fire(DISPID event, std::vector<VARIANT> arguments) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    // A subscriber may unsubscribe while it handles the event.
    std::vector<ComRef<IDispatch>> targets;
    for (const auto& [cookie, sink] : sinks) {
        targets.push_back(ComRef<IDispatch>::share(sink.get()));
    }
    HRESULT result = S_OK;
    for (const ComRef<IDispatch>& sink : targets) {
        result = sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                              nullptr, nullptr, nullptr);
    }
    return result;
}

VARIANT StandInState::objectIDRows(const std::vector<ObjectIDs>& objects) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(objects.size()), 0}, {4, 0}};
    VARIANT rows;
    rows.vt = VT_ARRAY | VT_VARIANT;
    rows.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    for (LONG row = 0; rows.parray && row < static_cast<LONG>(objects.size()); ++row) {
        const ObjectIDs& ids = objects[static_cast<size_t>(row)];
        int32_t values[4] = {ids.sourceID, ids.playlistID, ids.trackID, ids.databaseID};
        for (LONG column = 0; column < 4; ++column) {
            LONG index[2] = {row, column};
            VARIANT value;
            value.vt = VT_I4;
            value.lVal = values[column];
            SafeArrayPutElement(rows.parray, index, &value);
        }
    }
    return rows;
}

HRESULT StandInState::fireDatabaseChanged(const std::vector<ObjectIDs>& deleted,
                                          const std::vector<ObjectIDs>& changed) {
    VARIANT deletedRows = objectIDRows(deleted);
    VARIANT changedRows = objectIDRows(changed);
    HRESULT result = fire(1, {deletedRows, changedRows});
    VariantClear(&deletedRows);
    VariantClear(&changedRows);
    return result;
}

HRESULT StandInState::loadLibrary(const std::wstring& path) {
    StandInLibrary loaded;
    LibraryXml xml;
    HRESULT hr = xml.load(path, loaded);
    if (FAILED(hr)) {
        return hr;
    }
    library = std::move(loaded);
    file = std::move(xml);
    return S_OK;
}

void StandInState::setComment(StandInTrack& track, const std::wstring& comment) {
    track.comment = comment;
    if (file) {
        file->writeComment(track.id, comment);
    }
}

void StandInState::objectDestroyed() {
    if (--liveObjects == 0 && onLastObjectGone) {
        onLastObjectGone();
    }
}
