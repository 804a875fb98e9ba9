#include "JobReport.h"

#include "VeltoDatabase.h"

#include <algorithm>

namespace {

// A text as one field of a line: tabs and line ends become blanks.
std::wstring asField(std::wstring text) {
    std::replace_if(
        text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; },
        L' ');
    return text;
}

} // namespace

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
    add(std::move(entry));
}

void JobReport::noteFile(const std::wstring& fileName, Kind kind, const std::wstring& what) {
    add(Entry{-1, fileName, {}, kind, what});
}

void JobReport::add(Entry entry) {
    const std::wstring key =
        entry.trackId >= 0 ? L"#" + std::to_wstring(entry.trackId) : L"/" + entry.song;
    std::lock_guard guard(lock);
    auto [position, added] = positions.try_emplace({key, entry.kind}, noted.size());
    if (added) {
        noted.push_back(std::move(entry));
    } else {
        noted[position->second].what = entry.what;
    }
}

// In the order of the tracks, whatever order several tool runs at once noted
// them in; names the tool gave that Velto does not know come last.
std::vector<JobReport::Entry> JobReport::entries() const {
    std::vector<Entry> sorted;
    {
        std::lock_guard guard(lock);
        sorted = noted;
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
        return static_cast<unsigned>(a.trackId) < static_cast<unsigned>(b.trackId);
    });
    return sorted;
}

std::wstring JobReport::asText(const std::vector<Entry>& entries, const std::wstring& songHeader,
                               const std::wstring& artistHeader, const std::wstring& whatHeader) {
    std::wstring text = songHeader + L'\t' + artistHeader + L'\t' + whatHeader + L"\r\n";
    for (const Entry& entry : entries) {
        text += asField(entry.song) + L'\t' + asField(entry.artist) + L'\t' + asField(entry.what) +
                L"\r\n";
    }
    return text;
}
