#pragma once

#include "AlbumStats.h"
#include "ItemSource.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class VeltoDatabase;
class Preferences;
class StringTable;

// The albums view: one row per listed album (two tracks or more) of the
// current playlist, each processed as one item. A copy shares the database,
// preferences and album statistics and starts with no row loaded. Like the
// tracks view, it reads under the database's read lock for the list and
// reloads a row the database has changed under.
class AlbumSource : public ItemSource {
public:
    static constexpr int kColumnCount = 7;

    AlbumSource(VeltoDatabase& database, Preferences& preferences, AlbumStats& albumStats,
                const StringTable& strings);
    AlbumSource(const AlbumSource& other);
    AlbumSource& operator=(const AlbumSource&) = delete;

    int getCount() override;
    void setupColumns(ItemListView& list) override;
    void getCellText(int row, int column, wchar_t* buffer, int length, CellColour& colour) override;
    int compareRows(int rowA, int rowB, int column) override;
    void reset() override;
    void setColumnWidth(int column, int width) override;
    bool selectRow(int row) override;
    const std::wstring& getName() override;
    const std::wstring& getFileArgs() override;
    bool getGlobalGainAdjust(int& steps) override;
    bool getMaxNoClipGlobalGainAdjust(int& steps) override;
    bool getWillClip(bool& willClip) override;
    void clearData() override;
    const std::vector<int>& getTrackIds() override;

private:
    VeltoDatabase& database;
    Preferences& preferences;
    AlbumStats& albumStats;
    const StringTable& strings;
    int currentRow = -1;
    std::uint64_t loadedGeneration = 0; // of the database when the row was loaded
    bool loadResult = false;
    std::wstring fileArgs;
    std::array<int, kColumnCount> columnWidths; // -1 until setupColumns reads them
    AlbumValues album;
};
