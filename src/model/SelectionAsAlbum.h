#pragma once

#include "ItemSource.h"
#include "TrackSource.h"

#include <string>
#include <vector>

// The tracks selected in the list, treated as one album: a single item whose
// files and track ids are fixed when it is made, so a job processes exactly
// the rows that were selected and loadable when it started. Rows that cannot
// be loaded (no file record, protected) are left out.
class SelectionAsAlbum : public ItemSource {
public:
    SelectionAsAlbum(ItemListView& list, const TrackSource& tracksView);
    SelectionAsAlbum(const SelectionAsAlbum&) = delete;
    SelectionAsAlbum& operator=(const SelectionAsAlbum&) = delete;

    int getCount() override { return 1; }
    void setupColumns(ItemListView&) override {}
    void getCellText(int, int, wchar_t*, int, CellColour&) override {}
    int compareRows(int, int, int) override { return 0; }
    void reset() override {}
    void setColumnWidth(int, int) override {}
    // Only row 0 exists; any other is an internal error (fatal check).
    bool selectRow(int row) override;
    const std::wstring& getName() override { return name; }
    const std::wstring& getFileArgs() override { return fileArgs; }
    bool getGlobalGainAdjust(int& steps) override;
    bool getMaxNoClipGlobalGainAdjust(int& steps) override;
    bool getWillClip(bool& willClip) override;
    void clearData() override {}
    const std::vector<int>& getTrackIds() override { return trackIds; }

private:
    ItemListView& list;
    TrackSource cursor;
    std::wstring name;
    std::wstring fileArgs;
    std::vector<int> trackIds;
};
