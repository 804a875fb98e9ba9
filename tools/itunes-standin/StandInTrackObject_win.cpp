#include "StandInTrackObject_win.h"

#include "ITunesIdentifiers_win.h"

#include <array>

namespace {

enum : DISPID { kName = 1, kArtist, kAlbum, kKind, kComment, kLocation, kTrackID, kDatabaseID };

} // namespace

StandInTrackObject::StandInTrackObject(std::shared_ptr<StandInState> state, int32_t trackId)
    : StandInObject(std::move(state)), trackId(trackId) {}

std::span<const StandInObject::Member> StandInTrackObject::members() const {
    static constexpr std::array<Member, 8> table{{{L"Name", kName},
                                                  {L"Artist", kArtist},
                                                  {L"Album", kAlbum},
                                                  {L"Kind", kKind},
                                                  {L"Comment", kComment},
                                                  {L"Location", kLocation},
                                                  {L"TrackID", kTrackID},
                                                  {L"TrackDatabaseID", kDatabaseID}}};
    return table;
}

bool StandInTrackObject::answers(REFIID iid) const {
    return UntypedDispatch::answers(iid) ||
           (IsEqualIID(iid, IID_IITFileOrCDTrack) && track().kind == StandInTrack::kFile);
}

StandInTrack& StandInTrackObject::track() const {
    StandInTrack* found = state->library.findTrack(trackId);
    if (!found) {
        throw Failure{kObjectDeleted};
    }
    return *found;
}

HRESULT StandInTrackObject::invoke(DISPID member, WORD flags, const DISPPARAMS& params,
                                   VARIANT* result) {
    StandInTrack& data = track();
    switch (member) {
    case kName:
        return answerText(result, data.name);
    case kArtist:
        return answerText(result, data.artist);
    case kAlbum:
        return answerText(result, data.album);
    case kKind:
        return answerInt(result, data.kind);
    case kComment:
        if (flags & DISPATCH_PROPERTYPUT) {
            state->setComment(data, textArgument(params, 0));
            return S_OK;
        }
        return answerText(result, data.comment);
    case kLocation:
        if (data.kind != StandInTrack::kFile) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!data.location) {
            return S_FALSE;
        }
        return answerText(result, data.location);
    case kTrackID:
    case kDatabaseID:
        return answerInt(result, data.id);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
