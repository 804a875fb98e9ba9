#pragma once

#include "StandInObject_win.h"

// A source (IITSource): the library, or a device with playlists of its own.
class StandInSourceObject : public StandInObject {
public:
    StandInSourceObject(std::shared_ptr<StandInState> state, int32_t sourceId);

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;

private:
    int32_t sourceId;
};
