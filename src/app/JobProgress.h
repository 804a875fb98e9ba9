#pragma once

#include <string>

// Where one item's work reports what it does: the main status with the
// item's name, the file being handled, the file bar and the total bar. A job
// that runs one item at a time passes every report on to the window; one that
// runs several at once decides which item's reports the window shows.
class JobProgress {
public:
    virtual ~JobProgress() = default;

    // Status part 0: the string followed directly by the item's name.
    virtual void itemStatus(const std::wstring& itemName, int stringId) = 0;
    // Status part 1: the file being handled (empty to clear it).
    virtual void trackStatus(const std::wstring& text) = 0;
    virtual void fileProgress(int percent) = 0;
    // Inside a tool run: the tracks counted done and the percent of the
    // current file that goes into the total bar, out of the job's total.
    virtual void totalProgress(int doneTracks, int percent, int totalTracks) = 0;
};
