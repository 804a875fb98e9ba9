#include "TrackEnumeration_win.h"

#include "DispatchInterface_win.h"
#include "ITunesBusyException.h"
#include "Variant_win.h"

#include <array>
#include <utility>

TrackEnumeration::TrackEnumeration(ComRef<IEnumVARIANT> enumerator)
    : enumerator(std::move(enumerator)) {}

bool TrackEnumeration::next(int position, ComRef<IDispatch>& track) {
    if (!enumerator || position != nextPosition) {
        return false;
    }
    if (taken == batch.size() && !ended) {
        fetch();
    }
    track = taken < batch.size() ? std::move(batch[taken++]) : ComRef<IDispatch>();
    ++nextPosition;
    return true;
}

// The batch's elements are owned as soon as Next has filled them, so that
// each is released however the read ends.
void TrackEnumeration::fetch() {
    std::array<VARIANT, kBatch> elements;
    for (VARIANT& element : elements) {
        VariantInit(&element);
    }
    batch.clear();
    batch.reserve(kBatch);
    taken = 0;
    ULONG fetched = 0;
    HRESULT hr = enumerator->Next(kBatch, elements.data(), &fetched);
    if (FAILED(hr)) {
        throw ITunesBusyException();
    }
    for (ULONG i = 0; i < fetched && i < kBatch; ++i) {
        batch.push_back(DispatchInterface::toObject(Variant::take(elements[i])));
    }
    ended = hr == S_FALSE || fetched < kBatch;
}
