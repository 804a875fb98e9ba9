#include "AlbumTrackSource.h"

#include "VeltoDatabase.h"

namespace {
constexpr int kNoTrack = -1;
}

void AlbumTrackSource::appendTrackIds(const std::vector<int>& ids) {
    forgetSortKeys();
    rowTrackIds.insert(rowTrackIds.end(), ids.begin(), ids.end());
}

int AlbumTrackSource::getCount() {
    VeltoDatabase::ReadLock lock = database.readLock();
    forgetSortKeys();
    return static_cast<int>(rowTrackIds.size());
}

int AlbumTrackSource::trackIdAt(int row) const {
    bool listed = row >= 0 && static_cast<std::size_t>(row) < rowTrackIds.size();
    return listed ? rowTrackIds[row] : kNoTrack;
}

void AlbumTrackSource::getCellText(int row, int column, wchar_t* buffer, int length,
                                   CellColour& colour) {
    VeltoDatabase::ReadLock lock = database.readLock();
    bool loaded = selectTrack(trackIdAt(row));
    writeCell(loaded, column, buffer, length, colour);
}

const TrackRecord* AlbumTrackSource::comparedTrackAt(int row) {
    return database.findTrack(trackIdAt(row));
}

int AlbumTrackSource::comparedRowCount() {
    return static_cast<int>(rowTrackIds.size());
}
