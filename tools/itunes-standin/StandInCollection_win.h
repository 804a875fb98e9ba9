#pragma once

#include "StandInObject_win.h"

#include <vector>

// A collection of sources, of one source's playlists or of tracks, with
// Count and Item (counted from 1, the default member). It lists the elements
// that were there when iTunes handed it out.
class StandInCollection : public StandInObject {
public:
    enum class Kind { Sources, Playlists, Tracks };

    // ids: source ids, playlist ids of the source sourceId, or track ids.
    StandInCollection(std::shared_ptr<StandInState> state, Kind kind, std::vector<int32_t> ids,
                      int32_t sourceId = 0);

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;

private:
    IDispatch* element(int32_t id) const;

    Kind kind;
    std::vector<int32_t> ids;
    int32_t sourceId;
};
