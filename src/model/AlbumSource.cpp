#include "AlbumSource.h"

#include "CellText.h"
#include "ColumnLayout.h"
#include "Preferences.h"
#include "StringTable.h"
#include "VeltoDatabase.h"

#include <cwchar>

namespace {

constexpr int kColumnHeaders[AlbumSource::kColumnCount] = {133, 158, 159, 138, 135, 139, 140};
constexpr int kRightAlignedColumns[] = {2, 3, 5};
const ColumnLayout kColumns{PrefIndex::AlbumColumnWidths, kColumnHeaders, kRightAlignedColumns};
constexpr int kYesStringId = 149;
// How unknown numbers sort: after every known one.
constexpr double kUnknownSortsLast = 1e99;

int sign(double a, double b) {
    return a > b ? 1 : (a < b ? -1 : 0);
}

// Rows whose flag is set come first in ascending order.
int compareFlags(bool a, bool b) {
    return a == b ? 0 : (a ? -1 : 1);
}

} // namespace

AlbumSource::AlbumSource(VeltoDatabase& database, Preferences& preferences, AlbumStats& albumStats,
                         const StringTable& strings)
    : database(database), preferences(preferences), albumStats(albumStats), strings(strings) {
    columnWidths.fill(-1);
}

AlbumSource::AlbumSource(const AlbumSource& other)
    : ItemSource(other), database(other.database), preferences(other.preferences),
      albumStats(other.albumStats), strings(other.strings), columnWidths(other.columnWidths) {}

int AlbumSource::getCount() {
    VeltoDatabase::ReadLock lock = database.readLock();
    return database.currentAlbumCount();
}

void AlbumSource::setupColumns(ItemListView& list) {
    setUpColumns(list, preferences, kColumns, columnWidths);
}

void AlbumSource::getCellText(int row, int column, wchar_t* buffer, int length,
                              CellColour& colour) {
    VeltoDatabase::ReadLock lock = database.readLock();
    bool loaded = selectRow(row);
    bool withValues = loaded && album.albumValid;
    copyCellText(L"", buffer, length);
    auto writeFlag = [&](bool flag) {
        if (withValues && flag) {
            copyCellText(strings.load(kYesStringId).value_or(L""), buffer, length);
            colour = kClippingRed;
        }
    };
    switch (column) {
    case 0:
        copyCellText(album.name, buffer, length);
        if (!loaded) {
            colour = album.albumProtected ? kProtectedMagenta : kNotFoundOrange;
        } else if (album.albumValid && (album.albumClipping || album.albumWillClip)) {
            colour = kClippingRed;
        }
        break;
    case 1:
        copyCellText(album.artist, buffer, length);
        break;
    case 2:
        copyCellText(std::to_wstring(album.numTracks), buffer, length);
        break;
    case 3:
        if (withValues) {
            copyCellText(formatTenths(album.albumVolume), buffer, length);
        }
        break;
    case 4:
        writeFlag(album.albumClipping);
        break;
    case 5:
        if (withValues) {
            copyCellText(formatTenths(album.albumGainDb), buffer, length);
        }
        break;
    case 6:
        writeFlag(album.albumWillClip);
        break;
    default:
        break;
    }
}

int AlbumSource::compareRows(int rowA, int rowB, int column) {
    VeltoDatabase::ReadLock lock = database.readLock();
    switch (column) {
    case 0:
    case 1: {
        std::wstring a, b;
        if (column == 0) {
            albumStats.getAlbumName(rowA, a);
            albumStats.getAlbumName(rowB, b);
        } else {
            albumStats.getArtist(rowA, a);
            albumStats.getArtist(rowB, b);
        }
        int result = std::wcscmp(a.c_str(), b.c_str());
        return result > 0 ? 1 : (result < 0 ? -1 : 0);
    }
    case 2: {
        int a = 0, b = 0;
        albumStats.getTrackCount(rowA, a);
        albumStats.getTrackCount(rowB, b);
        return sign(a, b);
    }
    case 3:
    case 5: {
        double a = 0, b = 0;
        bool validA =
            column == 3 ? albumStats.getAlbumVolume(rowA, a) : albumStats.getAlbumGainDb(rowA, a);
        bool validB =
            column == 3 ? albumStats.getAlbumVolume(rowB, b) : albumStats.getAlbumGainDb(rowB, b);
        return sign(validA ? a : kUnknownSortsLast, validB ? b : kUnknownSortsLast);
    }
    case 4: {
        bool a = false, b = false;
        bool validA = albumStats.getAlbumClipping(rowA, a);
        bool validB = albumStats.getAlbumClipping(rowB, b);
        return compareFlags(validA && a, validB && b);
    }
    case 6: {
        bool a = false, b = false;
        bool validA = albumStats.getAlbumWillClip(albumStats.getTrackIdList(rowA), a);
        bool validB = albumStats.getAlbumWillClip(albumStats.getTrackIdList(rowB), b);
        return compareFlags(validA && a, validB && b);
    }
    default:
        return 0;
    }
}

void AlbumSource::reset() {
    currentRow = -1;
}

void AlbumSource::setColumnWidth(int column, int width) {
    rememberColumnWidth(preferences, kColumns, columnWidths, column, width);
}

bool AlbumSource::selectRow(int row) {
    if (row >= 0 && row == currentRow && loadedGeneration == database.generation()) {
        return loadResult;
    }
    currentRow = row;
    loadedGeneration = database.generation();
    loadResult = albumStats.loadAlbum(row, album);
    return loadResult;
}

const std::wstring& AlbumSource::getName() {
    return album.name;
}

const std::wstring& AlbumSource::getFileArgs() {
    albumStats.getFileArgs(currentRow, fileArgs);
    return fileArgs;
}

bool AlbumSource::getGlobalGainAdjust(int& steps) {
    return albumStats.getAlbumGlobalGainAdjust(albumStats.getTrackIdList(currentRow), steps);
}

bool AlbumSource::getMaxNoClipGlobalGainAdjust(int& steps) {
    return albumStats.getAlbumMaxNoClip(albumStats.getTrackIdList(currentRow), steps);
}

bool AlbumSource::getWillClip(bool& willClip) {
    willClip = album.albumWillClip;
    return album.albumValid;
}

void AlbumSource::clearData() {
    albumStats.clearData(currentRow);
}

const std::vector<int>& AlbumSource::getTrackIds() {
    return albumStats.getTrackIdList(currentRow);
}
