#include "StandInEnumerator_win.h"

#include <algorithm>
#include <utility>

StandInEnumerator::StandInEnumerator(ComRef<StandInCollection> collection, ULONG position)
    : collection(std::move(collection)), position(position) {
    this->collection->sharedState().objectCreated();
}

StandInEnumerator::~StandInEnumerator() {
    collection->sharedState().objectDestroyed();
}

HRESULT StandInEnumerator::Next(ULONG wanted, VARIANT* elements, ULONG* fetched) {
    if (fetched) {
        *fetched = 0;
    }
    if (!elements || (wanted > 1 && !fetched)) {
        return E_POINTER;
    }
    StandInState& state = collection->sharedState();
    state.callStarting();
    if (state.refusing()) {
        return StandInState::kRefusal;
    }
    ULONG handedOut = 0;
    for (; handedOut < wanted && position < collection->size(); ++handedOut, ++position) {
        VariantInit(&elements[handedOut]);
        elements[handedOut].vt = VT_DISPATCH;
        elements[handedOut].pdispVal = collection->elementAt(position);
    }
    if (fetched) {
        *fetched = handedOut;
    }
    return handedOut == wanted ? S_OK : S_FALSE;
}

HRESULT StandInEnumerator::Skip(ULONG count) {
    ULONG left = static_cast<ULONG>(collection->size()) - position;
    position += std::min(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT StandInEnumerator::Reset() {
    position = 0;
    return S_OK;
}

HRESULT StandInEnumerator::Clone(IEnumVARIANT** copy) {
    if (!copy) {
        return E_POINTER;
    }
    *copy = new StandInEnumerator(ComRef<StandInCollection>::share(collection.get()), position);
    return S_OK;
}
