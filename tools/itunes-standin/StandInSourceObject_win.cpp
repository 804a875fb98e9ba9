#include "StandInSourceObject_win.h"

#include "StandInCollection_win.h"

#include <array>

namespace {

enum : DISPID { kName = 1, kKind, kPlaylists };

} // namespace

StandInSourceObject::StandInSourceObject(std::shared_ptr<StandInState> state, int32_t sourceId)
    : StandInObject(std::move(state)), sourceId(sourceId) {}

std::span<const StandInObject::Member> StandInSourceObject::members() const {
    static constexpr std::array<Member, 3> table{
        {{L"Name", kName}, {L"Kind", kKind}, {L"Playlists", kPlaylists}}};
    return table;
}

HRESULT StandInSourceObject::invoke(DISPID member, WORD, const DISPPARAMS&, VARIANT* result) {
    const StandInSource* source = state->library.findSource(sourceId);
    if (!source) {
        return kObjectDeleted;
    }
    switch (member) {
    case kName:
        return answerText(result, source->name);
    case kKind:
        return answerInt(result, source->kind);
    case kPlaylists: {
        std::vector<int32_t> ids;
        for (const StandInPlaylist& playlist : source->playlists) {
            ids.push_back(playlist.id);
        }
        return answerObject(result, makeStandIn<StandInCollection>(
                                        state, StandInCollection::Kind::Playlists, ids, sourceId));
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
