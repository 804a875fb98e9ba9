#include "StandInCollection_win.h"

#include "StandInPlaylistObject_win.h"
#include "StandInSourceObject_win.h"
#include "StandInTrackObject_win.h"

#include <array>

namespace {

enum : DISPID { kCount = 1 };

} // namespace

StandInCollection::StandInCollection(std::shared_ptr<StandInState> state, Kind kind,
                                     std::vector<int32_t> ids, int32_t sourceId)
    : StandInObject(std::move(state)), kind(kind), ids(std::move(ids)), sourceId(sourceId) {}

std::span<const StandInObject::Member> StandInCollection::members() const {
    static constexpr std::array<Member, 2> table{{{L"Count", kCount}, {L"Item", DISPID_VALUE}}};
    return table;
}

HRESULT StandInCollection::invoke(DISPID member, WORD, const DISPPARAMS& params, VARIANT* result) {
    switch (member) {
    case kCount:
        return answerInt(result, static_cast<int>(ids.size()));
    case DISPID_VALUE: {
        // An index outside the collection finds nothing.
        int index = intArgument(params, 0);
        bool inside = index >= 1 && index <= static_cast<int>(ids.size());
        return answerObject(result,
                            inside ? element(ids[static_cast<size_t>(index - 1)]) : nullptr);
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
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
