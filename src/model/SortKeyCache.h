#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a comparison by one column reads of a row: a text (an absent text
// compares equal to any other), or a number (an unknown value counted as
// +1e99, a set flag as -1, so that known values and "Yes" come first).
struct SortKey {
    bool isText = false;
    std::optional<std::wstring> text;
    double number = 0;
};

int compareSortKeys(const SortKey& a, const SortKey& b);

// The sort keys of the rows compared since the list last asked for anything
// else. A list sorts a large playlist with about a million comparisons in one
// burst; keeping each row's key for the burst turns two database look-ups per
// comparison into two per row. Holds copies, never references into the
// database, and its owner forgets it on every other call it gets.
class SortKeyCache {
public:
    void forget() { rowCount = -1; }

    // Keeps the keys when they were made for the same column, target volume,
    // number of rows and database generation; otherwise starts afresh.
    void keepFor(int column, int targetVolume, int rows, std::uint64_t generation);

    // The cached key of a row, or nullptr when it has none yet.
    SortKey* find(int row);
    void store(int row, SortKey key);

private:
    int rowCount = -1;
    int column = -1;
    int targetVolume = 0;
    std::uint64_t generation = 0;
    std::vector<std::optional<SortKey>> keys;
};
