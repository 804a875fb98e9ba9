#include "StandInApp_win.h"

#include "ITunesIdentifiers_win.h"
#include "StandInCollection_win.h"
#include "StandInConnectionPoint_win.h"
#include "StandInPlaylistObject_win.h"
#include "StandInTrackObject_win.h"

#include <array>

namespace {

enum : DISPID {
    kCheckVersion = 1,
    kLibraryPlaylist,
    kSources,
    kGetITObjectByID,
    kRefuseCalls = StandInObject::kFirstControl + 1,
    kFireEvent,
    kFireDatabaseChanged,
    kSetVersion,
    kLoadLibrary,
    kFailUnadvise,
    kSinkCount,
    kObjectCount,
    kCallCount,
    kObjectsMade,
    kLocationOnTrack,
    kTrackEnumerators,
};

} // namespace

StandInApp::StandInApp(std::shared_ptr<StandInState> state) : StandInObject(std::move(state)) {}

std::span<const StandInObject::Member> StandInApp::members() const {
    static constexpr std::array<Member, 16> table{{
        {L"CheckVersion", kCheckVersion},
        {L"LibraryPlaylist", kLibraryPlaylist},
        {L"Sources", kSources},
        {L"GetITObjectByID", kGetITObjectByID},
        {L"StandInRefuseCalls", kRefuseCalls},
        {L"StandInFireEvent", kFireEvent},
        {L"StandInFireDatabaseChanged", kFireDatabaseChanged},
        {L"StandInSetVersion", kSetVersion},
        {L"StandInLoadLibrary", kLoadLibrary},
        {L"StandInFailUnadvise", kFailUnadvise},
        {L"StandInSinkCount", kSinkCount},
        {L"StandInObjectCount", kObjectCount},
        {L"StandInCallCount", kCallCount},
        {L"StandInObjectsMade", kObjectsMade},
        {L"StandInLocationOnTrack", kLocationOnTrack},
        {L"StandInTrackEnumerators", kTrackEnumerators},
    }};
    return table;
}

bool StandInApp::answers(REFIID iid) const {
    return UntypedDispatch::answers(iid) || IsEqualIID(iid, IID_IiTunes);
}

HRESULT StandInApp::QueryInterface(REFIID iid, void** object) {
    if (object && IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *object = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    return StandInObject::QueryInterface(iid, object);
}

HRESULT StandInApp::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) {
        *points = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT StandInApp::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) {
        return E_POINTER;
    }
    *point = nullptr;
    if (!IsEqualIID(iid, DIID__IiTunesEvents)) {
        return CONNECT_E_NOCONNECTION;
    }
    *point = new StandInConnectionPoint(state, this);
    return S_OK;
}

HRESULT StandInApp::invoke(DISPID member, WORD, const DISPPARAMS& params, VARIANT* result) {
    if (member >= kFirstControl) {
        return control(member, params, result);
    }
    const StandInPlaylist& library = state->library.libraryPlaylist();
    switch (member) {
    case kCheckVersion:
        result->vt = VT_BOOL;
        result->boolVal = state->isCompatible(intArgument(params, 0), intArgument(params, 1))
                              ? VARIANT_TRUE
                              : VARIANT_FALSE;
        return S_OK;
    case kLibraryPlaylist:
        return answerObject(result, makeStandIn<StandInPlaylistObject>(
                                        state, state->library.librarySource().id, library.id));
    case kSources: {
        std::vector<int32_t> ids;
        for (const StandInSource& source : state->library.sources) {
            ids.push_back(source.id);
        }
        return answerObject(
            result, makeStandIn<StandInCollection>(state, StandInCollection::Kind::Sources, ids));
    }
    case kGetITObjectByID:
        return objectByIDs(params, result);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// A playlist when trackID is 0, else a track; S_FALSE when there is none.
HRESULT StandInApp::objectByIDs(const DISPPARAMS& params, VARIANT* result) {
    int32_t sourceId = intArgument(params, 0);
    int32_t playlistId = intArgument(params, 1);
    int32_t trackId = intArgument(params, 2);
    if (trackId == 0) {
        if (!state->library.findPlaylist(sourceId, playlistId)) {
            return S_FALSE;
        }
        return answerObject(result,
                            makeStandIn<StandInPlaylistObject>(state, sourceId, playlistId));
    }
    if (!state->library.findTrack(trackId)) {
        return S_FALSE;
    }
    return answerObject(result, makeStandIn<StandInTrackObject>(state, trackId));
}

HRESULT StandInApp::control(DISPID member, const DISPPARAMS& params, VARIANT* result) {
    switch (member) {
    case kRefuseCalls: {
        int milliseconds = intArgument(params, 0);
        state->refuseCalls(milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds));
        return S_OK;
    }
    case kFireEvent:
        return answerInt(result, state->fire(intArgument(params, 0)));
    case kFireDatabaseChanged:
        return answerInt(
            result, state->fire(kDatabaseChangedEvent, {argument(params, 0), argument(params, 1)}));
    case kSetVersion:
        state->setVersion(intArgument(params, 0), intArgument(params, 1));
        return S_OK;
    case kLoadLibrary:
        return answerInt(result, state->loadLibrary(textArgument(params, 0)));
    case kFailUnadvise:
        state->setUnadviseFails(intArgument(params, 0) != 0);
        return S_OK;
    case kSinkCount:
        return answerInt(result, state->sinkCount());
    case kObjectCount:
        return answerInt(result, state->objectCount());
    case kCallCount:
        return answerInt(result, state->callCount());
    case kObjectsMade:
        return answerInt(result, state->objectsMade());
    case kLocationOnTrack:
        state->locationOnTrack = intArgument(params, 0) != 0;
        return S_OK;
    case kTrackEnumerators:
        state->trackEnumerators = intArgument(params, 0) != 0;
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
