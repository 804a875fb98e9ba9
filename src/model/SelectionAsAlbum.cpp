#include "SelectionAsAlbum.h"

#include "AlbumStats.h"
#include "Exception.h"
#include "ItemListView.h"
#include "StringTable.h"

namespace {
constexpr int kSelectedItemsStringId = 163;
}

SelectionAsAlbum::SelectionAsAlbum(ItemListView& list, const TrackSource& tracksView)
    : list(list), cursor(tracksView),
      name(tracksView.strings().load(kSelectedItemsStringId).value_or(L"")) {
    int position = -1;
    int row = 0;
    while (this->list.nextSelected(position, row)) {
        if (!cursor.selectRow(row)) {
            continue;
        }
        fileArgs += cursor.getFileArgs();
        fileArgs += L' ';
        trackIds.push_back(cursor.getTrackIds().front());
    }
}

bool SelectionAsAlbum::selectRow(int row) {
    checkResult(row, L".\\SelectionAsAlbum", 55);
    return true;
}

bool SelectionAsAlbum::getGlobalGainAdjust(int& steps) {
    return AlbumStats::getAlbumGlobalGainAdjust(cursor, trackIds, steps);
}

bool SelectionAsAlbum::getMaxNoClipGlobalGainAdjust(int& steps) {
    return AlbumStats::getAlbumMaxNoClip(cursor, trackIds, steps);
}

bool SelectionAsAlbum::getWillClip(bool& willClip) {
    return AlbumStats::getAlbumWillClip(cursor, trackIds, willClip);
}
