// Timings of the views at the size of a large library: sorting every column
// through compareRows as the list view does, and the cell texts of one screen.
#include "AlbumSource.h"
#include "AlbumStats.h"
#include "CompiledStringTable.h"
#include "ItemListView.h"
#include "PositionSource.h"
#include "Preferences.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int kTrackCount = 50000;
constexpr int kTracksPerAlbum = 10; // 5,000 albums
constexpr int kScreenRows = 50;

class FixedTrackbar : public PositionSource {
public:
    int getPosition() override { return 89; }
};

// Deterministic pseudo-random numbers, so every run sorts the same data.
class Numbers {
public:
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double between(double low, double high) { return low + (high - low) * (next() % 100000) / 1e5; }

private:
    std::uint32_t state = 12345;
};

// A library playlist of 50,000 tracks in 5,000 albums, most analysed, some
// albums analysed together, a few files missing or protected.
struct Library {
    Library() {
        database.addPlaylist(std::wstring(L"Library"), kTrackCount, true, 1);
        preferences.fillMissingDefaults();
        Numbers numbers;
        for (int i = 0; i < kTrackCount; ++i) {
            int album = i / kTracksPerAlbum;
            std::wstring artist = L"Artist " + std::to_wstring(album % 700);
            std::wstring albumName = L"Album " + std::to_wstring(numbers.next() % 100000);
            if (i % kTracksPerAlbum != 0) {
                albumName = lastAlbumName;
            }
            lastAlbumName = albumName;
            std::wstring path = L"C:\\Users\\Someone\\Music\\iTunes\\" + artist + L"\\" +
                                albumName + L"\\" + std::to_wstring(i) +
                                (i % 97 == 0 ? L" Track.m4p" : L" Track.mp3");
            std::optional<std::wstring> location;
            if (i % 101 != 0) {
                location = path;
            }
            database.addTrack(0, location, L"Song " + std::to_wstring(numbers.next() % 1000000),
                              artist, albumName);
            if (location && i % 13 != 0) {
                database.setTrackResult(path, numbers.between(2000, 40000),
                                        numbers.between(-8, 12));
            }
            if (location && album % 3 != 0) {
                database.setAlbumResult(path, 30000, 2.0 + (album % 17) * 0.37);
            }
        }
    }

    VeltoDatabase database;
    Preferences preferences{database};
    FixedTrackbar trackbar;
    CompiledStringTable strings;
    TrackSource tracks{database, preferences, trackbar, strings};
    AlbumStats albumStats{database, tracks};
    AlbumSource albums{database, preferences, albumStats, strings};

private:
    std::wstring lastAlbumName;
};

Library& library() {
    static Library instance;
    return instance;
}

void sortRows(benchmark::State& state, ItemSource& source) {
    int column = static_cast<int>(state.range(0));
    std::vector<int> rows(source.getCount());
    state.counters["rows"] = static_cast<double>(rows.size());
    for (auto _ : state) {
        source.reset(); // every sort starts cold, as after the list's last repaint
        std::iota(rows.begin(), rows.end(), 0);
        std::sort(rows.begin(), rows.end(),
                  [&](int a, int b) { return source.compareRows(a, b, column) < 0; });
        benchmark::DoNotOptimize(rows.data());
    }
}

void readScreen(benchmark::State& state, ItemSource& source, int columns) {
    wchar_t buffer[260];
    int first = 0;
    for (auto _ : state) {
        source.reset(); // as the list does before it reads its rows again
        for (int row = first; row < first + kScreenRows; ++row) {
            for (int column = 0; column < columns; ++column) {
                CellColour colour = 0;
                source.getCellText(row, column, buffer, 259, colour);
                benchmark::DoNotOptimize(buffer[0]);
                benchmark::DoNotOptimize(colour);
            }
        }
        first = (first + kScreenRows * 7) % (source.getCount() - kScreenRows);
    }
}

void BM_SortTracksByColumn(benchmark::State& state) {
    sortRows(state, library().tracks);
}
BENCHMARK(BM_SortTracksByColumn)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_TracksScreenOfCells(benchmark::State& state) {
    readScreen(state, library().tracks, TrackSource::kColumnCount);
}
BENCHMARK(BM_TracksScreenOfCells)->Unit(benchmark::kMicrosecond);

void BM_SortAlbumsByColumn(benchmark::State& state) {
    sortRows(state, library().albums);
}
BENCHMARK(BM_SortAlbumsByColumn)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

void BM_AlbumsScreenOfCells(benchmark::State& state) {
    readScreen(state, library().albums, AlbumSource::kColumnCount);
}
BENCHMARK(BM_AlbumsScreenOfCells)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
