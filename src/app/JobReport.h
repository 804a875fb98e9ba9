#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

class VeltoDatabase;

// What a job could not do, for its end: the tracks it held back from the gain
// tool. One entry per track and kind, in the order they first came; a later
// note of the same kind for a track replaces the text. Safe to use from
// several threads.
class JobReport {
public:
    enum class Kind { Skipped };

    struct Entry {
        int trackId = 0;
        std::wstring song;
        std::wstring artist;
        Kind kind = Kind::Skipped;
        std::wstring what;
    };

    void note(const VeltoDatabase& database, int trackId, Kind kind, const std::wstring& what);

    std::vector<Entry> entries() const;
    int count(Kind kind) const;

private:
    mutable std::mutex lock;
    std::vector<Entry> noted;
    std::map<std::pair<int, Kind>, std::size_t> positions; // of each track's entry of a kind
};
