#include "JobReport.h"

#include "VeltoDatabase.h"

#include <algorithm>

void JobReport::note(const VeltoDatabase& database, int trackId, Kind kind,
                     const std::wstring& what) {
    Entry entry{trackId, {}, {}, kind, what};
    {
        VeltoDatabase::ReadLock tables = database.readLock();
        if (const TrackRecord* track = database.findTrack(trackId)) {
            entry.song = track->name.value_or(std::wstring());
            entry.artist = track->artist.value_or(std::wstring());
        }
    }
    std::lock_guard guard(lock);
    auto [position, added] = positions.try_emplace({trackId, kind}, noted.size());
    if (added) {
        noted.push_back(std::move(entry));
    } else {
        noted[position->second].what = what;
    }
}

std::vector<JobReport::Entry> JobReport::entries() const {
    std::lock_guard guard(lock);
    return noted;
}

int JobReport::count(Kind kind) const {
    std::lock_guard guard(lock);
    return static_cast<int>(std::count_if(noted.begin(), noted.end(),
                                          [&](const Entry& entry) { return entry.kind == kind; }));
}
