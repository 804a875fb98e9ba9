#pragma once

#include "TrackSource.h"

#include <vector>

// The tracks of the albums chosen for the Tracks in Album dialog: rows are an
// own list of track ids, looked up by id instead of the current playlist's row.
// Columns, widths and every per-track answer are the tracks view's.
class AlbumTrackSource : public TrackSource {
public:
    explicit AlbumTrackSource(const TrackSource& tracksView) : TrackSource(tracksView) {}

    // Adds an album's tracks after those already listed.
    void appendTrackIds(const std::vector<int>& ids);

    int getCount() override;
    void getCellText(int row, int column, wchar_t* buffer, int length, CellColour& colour) override;

protected:
    const TrackRecord* comparedTrackAt(int row) override;
    int comparedRowCount() override;

private:
    int trackIdAt(int row) const;

    std::vector<int> rowTrackIds;
};
