#pragma once

#include "DatabaseRecords.h"
#include "ItemSource.h"
#include "SortKeyCache.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class VeltoDatabase;
class Preferences;
class PositionSource;
class StringTable;

// The tracks view: one row per track of the database's current playlist, and
// the per-track cursor on which all gain arithmetic rests. Copies are cheap
// cursors of their own: they share the database, preferences, trackbar and
// strings and start with nothing loaded.
class TrackSource : public ItemSource {
public:
    static constexpr int kColumnCount = 9;

    // volumeTrackbar's position is the target volume, read when a row is loaded.
    TrackSource(VeltoDatabase& database, Preferences& preferences, PositionSource& volumeTrackbar,
                const StringTable& strings);
    TrackSource(const TrackSource& other);
    TrackSource& operator=(const TrackSource&) = delete;

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

    // Loads the track with this id (not by row); true when it can be processed.
    bool selectTrack(int trackId);

    // Queries on the loaded track: each answers whether its value is valid and
    // writes the value, or a placeholder when it is not.
    bool getMaxAmplitude(double& maxAmplitude) const;
    bool getClipping(bool& clipping) const;
    bool getTrackVolume(double& volume) const;
    bool getAlbumVolume(double& volume) const;
    bool getAlbumGlobalGainAdjust(int& steps) const;
    bool getTrackGainDb(double& gainDb);
    bool getAlbumGainDb(double& gainDb) const;
    bool getAlbumWillClip(bool& willClip) const;
    // The loaded file is a protected .m4p (stays false without a file record).
    bool isProtected() const { return protectedFile; }
    // Why the last job could not give the loaded file to the gain tool, or that
    // the tool failed on it; None without a file record.
    FileProblem fileProblem() const;

    // The loaded track's record, or nullptr when the last load found none.
    const TrackRecord* track() const { return trackRecord; }
    const StringTable& strings() const { return stringTable; }

protected:
    // The cell rules, for a track already loaded with the given result.
    void writeCell(bool loaded, int column, wchar_t* buffer, int length, CellColour& colour);
    // The rows that compareRows orders: the current playlist's tracks here.
    virtual const TrackRecord* comparedTrackAt(int row);
    virtual int comparedRowCount();
    // Called by every operation other than compareRows: the list is no longer
    // in the middle of a sort.
    void forgetSortKeys() { sortKeys.forget(); }

    VeltoDatabase& database;

private:
    void writeNameCell(bool loaded, wchar_t* buffer, int length, CellColour& colour);
    // The clipping column's word for a file with a problem, in its colour.
    void writeProblemCell(wchar_t* buffer, int length, CellColour& colour);
    static bool comparisonNeedsTargetVolume(int column);
    int targetVolumeNow() const;
    const SortKey& sortKeyOf(int row, int column, int targetVolume, SortKey& scratch);
    // What a comparison by column reads of the loaded track.
    SortKey sortKey(int column);
    void loadRow(int row, int targetVolume);
    void loadTrackId(int trackId, int targetVolume);
    void load(const TrackRecord* track, int volume);
    // The loaded track's pointers are still those of the database's tables.
    bool isCurrent() const;

    Preferences& preferences;
    PositionSource& volumeTrackbar;
    const StringTable& stringTable;
    int currentRow = -1;
    int currentTrackId = -1;
    std::uint64_t loadedGeneration = 0;
    int targetVolume = 0;
    bool protectedFile = false;
    bool loadResult = false;
    std::wstring fileArgs;
    std::wstring name;
    const TrackRecord* trackRecord = nullptr;
    const AACGainRecord* fileRecord = nullptr;
    std::vector<int> trackIds;
    std::array<int, kColumnCount> columnWidths; // -1 until setupColumns reads them
    SortKeyCache sortKeys;                      // not copied
};
