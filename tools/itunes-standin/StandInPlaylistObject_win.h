#pragma once

#include "StandInObject_win.h"

// A playlist (IITPlaylist), found by its source's and its own id.
class StandInPlaylistObject : public StandInObject {
public:
    StandInPlaylistObject(std::shared_ptr<StandInState> state, int32_t sourceId,
                          int32_t playlistId);

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;
    bool answers(REFIID iid) const override;

private:
    HRESULT search(const StandInPlaylist& playlist, const DISPPARAMS& params, VARIANT* result);

    int32_t sourceId;
    int32_t playlistId;
};
