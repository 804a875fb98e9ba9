#include "StandInPlaylistObject_win.h"

#include "ITunesIdentifiers_win.h"
#include "StandInCollection_win.h"

#include <array>

namespace {

enum : DISPID { kName = 1, kKind, kDuration, kPlaylistID, kSourceID, kTracks, kSearch };

} // namespace

StandInPlaylistObject::StandInPlaylistObject(std::shared_ptr<StandInState> state, int32_t sourceId,
                                             int32_t playlistId)
    : StandInObject(std::move(state)), sourceId(sourceId), playlistId(playlistId) {}

std::span<const StandInObject::Member> StandInPlaylistObject::members() const {
    static constexpr std::array<Member, 7> table{{{L"Name", kName},
                                                  {L"Kind", kKind},
                                                  {L"Duration", kDuration},
                                                  {L"PlaylistID", kPlaylistID},
                                                  {L"SourceID", kSourceID},
                                                  {L"Tracks", kTracks},
                                                  {L"Search", kSearch}}};
    return table;
}

bool StandInPlaylistObject::answers(REFIID iid) const {
    return UntypedDispatch::answers(iid) || IsEqualIID(iid, IID_IITPlaylist);
}

HRESULT StandInPlaylistObject::invoke(DISPID member, WORD, const DISPPARAMS& params,
                                      VARIANT* result) {
    const StandInPlaylist* playlist = state->library.findPlaylist(sourceId, playlistId);
    if (!playlist) {
        return kObjectDeleted;
    }
    switch (member) {
    case kName:
        return answerText(result, playlist->name);
    case kKind:
        return answerInt(result, playlist->kind);
    case kDuration:
        return answerInt(result, state->library.durationSeconds(*playlist));
    case kPlaylistID:
        return answerInt(result, playlist->id);
    case kSourceID:
        return answerInt(result, sourceId);
    case kTracks:
        return answerObject(result,
                            makeStandIn<StandInCollection>(state, StandInCollection::Kind::Tracks,
                                                           playlist->trackIds));
    case kSearch:
        return search(*playlist, params, result);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// Only the search among song names is offered; like iTunes, a search that
// finds nothing answers no collection.
HRESULT StandInPlaylistObject::search(const StandInPlaylist& playlist, const DISPPARAMS& params,
                                      VARIANT* result) {
    std::wstring text = textArgument(params, 0);
    if (intArgument(params, 1) != kITPlaylistSearchFieldSongNames) {
        return E_INVALIDARG;
    }
    std::vector<int32_t> found = state->library.searchSongNames(playlist, text);
    if (found.empty()) {
        return answerObject(result, nullptr);
    }
    return answerObject(result, makeStandIn<StandInCollection>(
                                    state, StandInCollection::Kind::Tracks, std::move(found)));
}
