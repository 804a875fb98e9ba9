#include "StandInCollection_win.h"

#include "StandInEnumerator_win.h"
#include "StandInPlaylistObject_win.h"
#include "StandInSourceObject_win.h"
#include "StandInTrackObject_win.h"

#include <array>

namespace {

// iTunes' source, playlist and track collections are three interfaces, whose
// member ids need not agree. Count has another id in each, so that a client
// that uses an id learnt on one collection interface with another fails here.
enum : DISPID { kSourcesCount = 1, kPlaylistsCount, kTracksCount };

} // namespace

StandInCollection::StandInCollection(std::shared_ptr<StandInState> state, Kind kind,
                                     std::vector<int32_t> ids, int32_t sourceId)
    : StandInObject(std::move(state)), kind(kind), ids(std::move(ids)), sourceId(sourceId) {}

std::span<const StandInObject::Member> StandInCollection::members() const {
    static constexpr std::array<Member, 3> sources{
        {{L"Count", kSourcesCount}, {L"Item", DISPID_VALUE}, {L"_NewEnum", DISPID_NEWENUM}}};
    static constexpr std::array<Member, 3> playlists{
        {{L"Count", kPlaylistsCount}, {L"Item", DISPID_VALUE}, {L"_NewEnum", DISPID_NEWENUM}}};
    static constexpr std::array<Member, 3> tracks{
        {{L"Count", kTracksCount}, {L"Item", DISPID_VALUE}, {L"_NewEnum", DISPID_NEWENUM}}};
    switch (kind) {
    case Kind::Sources:
        return sources;
    case Kind::Playlists:
        return playlists;
    case Kind::Tracks:
        break;
    }
    return tracks;
}

HRESULT StandInCollection::invoke(DISPID member, WORD, const DISPPARAMS& params, VARIANT* result) {
    if (member == DISPID_VALUE) {
        // An index outside the collection finds nothing.
        int index = intArgument(params, 0);
        bool inside = index >= 1 && index <= static_cast<int>(ids.size());
        return answerObject(result,
                            inside ? element(ids[static_cast<size_t>(index - 1)]) : nullptr);
    }
    if (member == DISPID_NEWENUM) {
        return answerEnumerator(result);
    }
    if (member == members().front().id) {
        return answerInt(result, static_cast<int>(ids.size()));
    }
    return DISP_E_MEMBERNOTFOUND;
}

// A server without enumerators on its track collections answers as a member
// it does not have.
HRESULT StandInCollection::answerEnumerator(VARIANT* result) {
    if (kind == Kind::Tracks && !state->trackEnumerators) {
        return DISP_E_MEMBERNOTFOUND;
    }
    result->vt = VT_UNKNOWN;
    result->punkVal = new StandInEnumerator(ComRef<StandInCollection>::share(this));
    return S_OK;
}

IDispatch* StandInCollection::element(int32_t id) const {
    switch (kind) {
    case Kind::Sources:
        return makeStandIn<StandInSourceObject>(state, id);
    case Kind::Playlists:
        return makeStandIn<StandInPlaylistObject>(state, sourceId, id);
    case Kind::Tracks:
        return makeStandIn<StandInTrackObject>(state, id);
    }
    return nullptr;
}
