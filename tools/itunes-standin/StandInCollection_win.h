#pragma once

#include "StandInObject_win.h"

#include <vector>

// A collection of sources, of one source's playlists or of tracks, with
// Count, Item (counted from 1, the default member) and _NewEnum. It lists the
// elements that were there when iTunes handed it out.
class StandInCollection : public StandInObject {
public:
    enum class Kind { Sources, Playlists, Tracks };

    // ids: source ids, playlist ids of the source sourceId, or track ids.
    StandInCollection(std::shared_ptr<StandInState> state, Kind kind, std::vector<int32_t> ids,
                      int32_t sourceId = 0);

    size_t size() const { return ids.size(); }
    // A new object for the element at the index (from 0), with one reference
    // for the caller.
    IDispatch* elementAt(size_t index) const { return element(ids.at(index)); }
    StandInState& sharedState() const { return *state; }

protected:
    std::span<const Member> members() const override;
    HRESULT invoke(DISPID member, WORD flags, const DISPPARAMS& params, VARIANT* result) override;

private:
    HRESULT answerEnumerator(VARIANT* result);
    IDispatch* element(int32_t id) const;

    Kind kind;
    std::vector<int32_t> ids;
    int32_t sourceId;
};
