#include "SortKeyCache.h"

#include <cwchar>

int compareSortKeys(const SortKey& a, const SortKey& b) {
    if (a.isText) {
        if (!a.text || !b.text) {
            return 0;
        }
        int result = std::wcscmp(a.text->c_str(), b.text->c_str());
        return result > 0 ? 1 : (result < 0 ? -1 : 0);
    }
    return a.number > b.number ? 1 : (a.number < b.number ? -1 : 0);
}

void SortKeyCache::keepFor(int newColumn, int newTargetVolume, int rows,
                           std::uint64_t newGeneration) {
    if (rowCount == rows && column == newColumn && targetVolume == newTargetVolume &&
        generation == newGeneration) {
        return;
    }
    rowCount = rows;
    generation = newGeneration;
    column = newColumn;
    targetVolume = newTargetVolume;
    keys.assign(static_cast<std::size_t>(rows < 0 ? 0 : rows), std::nullopt);
}

SortKey* SortKeyCache::find(int row) {
    if (row < 0 || row >= rowCount || !keys[row]) {
        return nullptr;
    }
    return &*keys[row];
}

void SortKeyCache::store(int row, SortKey key) {
    if (row >= 0 && row < rowCount) {
        keys[row] = std::move(key);
    }
}
