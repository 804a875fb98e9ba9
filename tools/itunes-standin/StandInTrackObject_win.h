#pragma once

#include "StandInObject_win.h"

// A track (IITTrack). A file track's own IDispatch answers Location, as
// iTunes' does, unless the state says otherwise; its IITFileOrCDTrack
// interface always does. Location answers S_FALSE when iTunes has lost the file.
class StandInTrackObject : public StandInObject {
public:
    // fileTrackView: the object that QueryInterface hands out for
    // IITFileOrCDTrack while the track's own IDispatch hides Location.
    StandInTrackObject(std::shared_ptr<StandInState> state, int32_t trackId,
                       bool fileTrackView = false);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;
    bool answers(REFIID iid) const override;

private:
    StandInTrack& track() const;
    HRESULT answerObjectIDs(const DISPPARAMS& params);

    int32_t trackId;
    bool fileTrackView;
};
