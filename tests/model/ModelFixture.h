#pragma once

#include "CompiledStringTable.h"
#include "FileStore.h"
#include "ItemListView.h"
#include "ItemSource.h"
#include "PositionSource.h"
#include "Preferences.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The volume trackbar, counting how often the model reads it.
class FakeTrackbar : public PositionSource {
public:
    int getPosition() override {
        ++reads;
        return position;
    }
    int position = 89;
    int reads = 0;
};

// A list view that records the columns it is given and reports a fixed
// selection (row keys in list order).
class RecordingListView : public ItemListView {
public:
    void setColumns(int count, const int* widths, const int* headerStringIds) override {
        this->widths.assign(widths, widths + count);
        headers.assign(headerStringIds, headerStringIds + count);
        alignments.assign(count, AlignLeft);
    }
    void setColumnAlignment(int column, int alignment) override {
        alignments.at(column) = alignment;
    }
    bool nextSelected(int& position, int& key) override {
        int next = position + 1;
        if (next >= static_cast<int>(selectedKeys.size())) {
            return false;
        }
        position = next;
        key = selectedKeys[next];
        return true;
    }

    std::vector<int> widths;
    std::vector<int> headers;
    std::vector<int> alignments;
    std::vector<int> selectedKeys;
};

// A database file given as its bytes, for tables that only a damaged or
// hand-edited file can hold.
class FixedFile : public FileStore {
public:
    explicit FixedFile(std::string bytes) : bytes(std::move(bytes)) {}
    bool exists(const std::wstring&) override { return true; }
    std::optional<std::string> readAll(const std::wstring&) override { return bytes; }
    bool replaceWith(const std::wstring&, const std::string&) override { return false; }

private:
    std::string bytes;
};

struct Cell {
    std::wstring text;
    CellColour colour = kNormalColour;
};

inline Cell cellOf(ItemSource& source, int row, int column) {
    wchar_t buffer[260];
    Cell cell;
    source.getCellText(row, column, buffer, 259, cell.colour);
    cell.text = buffer;
    return cell;
}

// Sorting as the list view does: row keys ordered by compareRows.
inline std::vector<int> sortedRows(ItemSource& source, int column) {
    std::vector<int> rows(source.getCount());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return source.compareRows(a, b, column) < 0; });
    return rows;
}

// The model over a database loaded from the given file bytes.
struct ModelFromFile {
    explicit ModelFromFile(std::string bytes) : file(std::move(bytes)) {
        database.setPath(L"Velto.db");
        database.loadPreferences();
        database.loadRecords();
    }

    FixedFile file;
    VeltoDatabase database{file};
    Preferences preferences{database};
    FakeTrackbar trackbar;
    CompiledStringTable strings;
    TrackSource tracks{database, preferences, trackbar, strings};
};

// A real database with one library playlist (the current one), the
// preferences with their defaults, and the tracks view over them.
class ModelTest : public ::testing::Test {
protected:
    ModelTest() {
        database.addPlaylist(std::wstring(L"Library"), 0, true, 1);
        preferences.fillMissingDefaults();
    }

    // Adds a track to the library playlist; its row is the number of tracks
    // added before it. Returns its id.
    int addTrack(const std::wstring& name, const std::optional<std::wstring>& path,
                 const std::wstring& album = L"Album", const std::wstring& artist = L"Artist") {
        database.addTrack(0, path, name, artist, album);
        return database.playlistAt(0).trackIds.back();
    }

    // A track whose file was analysed on its own.
    int addAnalysedTrack(const std::wstring& name, const std::wstring& path, double maxAmplitude,
                         double trackGain, const std::wstring& album = L"Album") {
        int id = addTrack(name, path, album);
        database.setTrackResult(path, maxAmplitude, trackGain);
        return id;
    }

    Cell cell(int row, int column) { return cellOf(tracks, row, column); }

    VeltoDatabase database;
    Preferences preferences{database};
    FakeTrackbar trackbar;
    CompiledStringTable strings;
    TrackSource tracks{database, preferences, trackbar, strings};
};
