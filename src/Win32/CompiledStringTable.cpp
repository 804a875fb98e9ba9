#include "CompiledStringTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr CompiledStringTable::Entry kEntries[] = {
#include "StringTableData.inc"
};

constexpr bool isSortedById() {
    for (std::size_t i = 1; i < std::size(kEntries); ++i) {
        if (kEntries[i - 1].id >= kEntries[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(isSortedById(), "the string table must list its ids in ascending order, once each");

} // namespace

std::optional<std::wstring> CompiledStringTable::load(int id) const {
    auto found = std::lower_bound(std::begin(kEntries), std::end(kEntries), id,
                                  [](const Entry& entry, int key) { return entry.id < key; });
    if (found == std::end(kEntries) || found->id != id) {
        return std::nullopt;
    }
    return std::wstring(found->text);
}

std::span<const CompiledStringTable::Entry> CompiledStringTable::entries() {
    return kEntries;
}
