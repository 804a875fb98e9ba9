#pragma once

#include "ComRef_win.h"

#include <oaidl.h>

#include <cstddef>
#include <vector>

// Hands out the tracks of one track collection in their order through the
// collection's enumerator, a batch at a time: one round trip to iTunes brings
// as many tracks as a batch holds, where Item brings one. Only the position
// that comes next in that order is answered; any other is left to Item.
//
//   TrackEnumeration order(enumerator);
//   ComRef<IDispatch> track;
//   if (!order.next(position, track)) track = <Item (position + 1)>;
class TrackEnumeration {
public:
    static constexpr unsigned long kBatch = 100;

    TrackEnumeration() = default;
    explicit TrackEnumeration(ComRef<IEnumVARIANT> enumerator);

    // True when the position (from 0) is the next one of the enumeration; the
    // track is then that one, or none when the collection ended before it.
    // Raises ITunesBusyException when iTunes refuses to hand out a batch.
    bool next(int position, ComRef<IDispatch>& track);

private:
    void fetch();

    ComRef<IEnumVARIANT> enumerator;
    std::vector<ComRef<IDispatch>> batch;
    size_t taken = 0;
    int nextPosition = 0;
    bool ended = false;
};
