#include "StandInTrackObject_win.h"

#include "ITunesIdentifiers_win.h"

#include <array>

namespace {

enum : DISPID {
    kName = 1,
    kArtist,
    kAlbum,
    kKind,
    kComment,
    kTrackID,
    kDatabaseID,
    kObjectIDs,
    kLocation,
};

// Writes a number into an argument passed by reference; false for one that is not.
bool putByReference(const VARIANT& argument, int value) {
    if (argument.vt == (VT_BYREF | VT_I4) && argument.plVal) {
        *argument.plVal = value;
        return true;
    }
    if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal) {
        VariantClear(argument.pvarVal);
        argument.pvarVal->vt = VT_I4;
        argument.pvarVal->lVal = value;
        return true;
    }
    return false;
}

} // namespace

StandInTrackObject::StandInTrackObject(std::shared_ptr<StandInState> state, int32_t trackId,
                                       bool fileTrackView)
    : StandInObject(std::move(state)), trackId(trackId), fileTrackView(fileTrackView) {}

std::span<const StandInObject::Member> StandInTrackObject::members() const {
    // Location comes last, so that the table without it is a prefix.
    static constexpr std::array<Member, 9> table{{{L"Name", kName},
                                                  {L"Artist", kArtist},
                                                  {L"Album", kAlbum},
                                                  {L"Kind", kKind},
                                                  {L"Comment", kComment},
                                                  {L"TrackID", kTrackID},
                                                  {L"TrackDatabaseID", kDatabaseID},
                                                  {L"GetITObjectIDs", kObjectIDs},
                                                  {L"Location", kLocation}}};
    std::span<const Member> all(table);
    return fileTrackView || state->locationOnTrack ? all : all.first(table.size() - 1);
}

// Called by QueryInterface, so it throws nothing: a deleted track is no file track.
bool StandInTrackObject::answers(REFIID iid) const {
    if (UntypedDispatch::answers(iid)) {
        return true;
    }
    const StandInTrack* found = state->library.findTrack(trackId);
    return IsEqualIID(iid, IID_IITFileOrCDTrack) && found && found->kind == StandInTrack::kFile;
}

// While the track's IDispatch hides Location, IITFileOrCDTrack is another
// object that knows it.
HRESULT StandInTrackObject::QueryInterface(REFIID iid, void** object) {
    if (object && !fileTrackView && !state->locationOnTrack &&
        IsEqualIID(iid, IID_IITFileOrCDTrack) && answers(iid)) {
        *object = static_cast<IDispatch*>(new StandInTrackObject(state, trackId, true));
        return S_OK;
    }
    return StandInObject::QueryInterface(iid, object);
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
        if (data.kind != StandInTrack::kFile || !(fileTrackView || state->locationOnTrack)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!data.location) {
            return S_FALSE;
        }
        return answerText(result, data.location);
    case kTrackID:
    case kDatabaseID:
        return answerInt(result, data.id);
    case kObjectIDs:
        return answerObjectIDs(params);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// GetITObjectIDs(sourceID, playlistID, trackID, databaseID), all four out.
// The stand-in keeps one id per track, which serves as both track ids.
HRESULT StandInTrackObject::answerObjectIDs(const DISPPARAMS& params) {
    const int values[] = {state->library.librarySource().id, state->library.libraryPlaylist().id,
                          trackId, trackId};
    for (UINT i = 0; i < 4; ++i) {
        if (!putByReference(argument(params, i), values[i])) {
            return DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}
