#pragma once

#include "StandInObject_win.h"

// A track (IITTrack); a file track also answers IITFileOrCDTrack, whose
// Location answers S_FALSE when iTunes has lost the file.
class StandInTrackObject : public StandInObject {
public:
    StandInTrackObject(std::shared_ptr<StandInState> state, int32_t trackId);

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;
    bool answers(REFIID iid) const override;

private:
    StandInTrack& track() const;

    int32_t trackId;
};
