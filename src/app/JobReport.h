#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class VeltoDatabase;

// What a job could not do as asked, for its end: the tracks it held back from
// the gain tool, those the tool failed on, and those Don't Clip limited. One
// entry per track and kind, in the order they first came; a later note of the
// same kind for a track replaces the text. Safe to use from several threads.
class JobReport {
public:
    enum class Kind { Skipped, Failed, Limited };

    struct Entry {
        int trackId = -1; // -1 for a file the database does not know
        std::wstring song;
        std::wstring artist;
        Kind kind = Kind::Skipped;
        std::wstring what;
    };

    void note(const VeltoDatabase& database, int trackId, Kind kind, const std::wstring& what);
    // A failure on a file the database has no track for: the file names the entry.
    void noteFile(const std::wstring& fileName, Kind kind, const std::wstring& what);

    std::vector<Entry> entries() const;

    // The entries as text for the clipboard: a line of column headers, then a
    // line per entry, fields separated by tabs, lines by CR LF.
    static std::wstring asText(const std::vector<Entry>& entries, const std::wstring& songHeader,
                               const std::wstring& artistHeader, const std::wstring& whatHeader);

private:
    void add(Entry entry);

    mutable std::mutex lock;
    std::vector<Entry> noted;
    std::map<std::pair<std::wstring, Kind>, std::size_t>
        positions; // of each entry, by key and kind
};
