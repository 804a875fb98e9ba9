// Load, save and synchronisation times of a large library: 100,000 tracks in
// 20 playlists (a library of 50,000 and 19 others), 50,000 files with values,
// about 5,000 albums. Reports the heap taken by the loaded tables.
#include "PlatformFileStore.h"
#include "VeltoDatabase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <malloc.h>
#include <optional>
#include <string>

namespace {

constexpr int kLibraryTracks = 50000;
constexpr int kOtherPlaylists = 19;
constexpr int kTracksPerAlbum = 20;

std::wstring locationOf(int file) {
    return L"C:\\Users\\someone\\Music\\iTunes\\iTunes Media\\Music\\Artist " +
           std::to_wstring(file / 200) + L"\\Album " + std::to_wstring(file / kTracksPerAlbum) +
           L"\\" + std::to_wstring(file % kTracksPerAlbum + 1) + L" Song title " +
           std::to_wstring(file) + L".m4a";
}

struct TrackText {
    std::wstring location, name, artist, album;
};

std::vector<TrackText> libraryTracks() {
    std::vector<TrackText> tracks;
    tracks.reserve(kLibraryTracks);
    for (int file = 0; file < kLibraryTracks; ++file) {
        tracks.push_back({locationOf(file), L"Song title " + std::to_wstring(file),
                          L"Artist " + std::to_wstring(file / 200),
                          L"Album " + std::to_wstring(file / kTracksPerAlbum)});
    }
    return tracks;
}

// The 19 other playlists hold 50,000 tracks between them, each a run of
// whole albums of the library, so that they add about 2,500 albums.
void synchronise(VeltoDatabase& database, const std::vector<TrackText>& tracks) {
    database.resetForSync();
    database.addPlaylist(std::wstring(L"Library"), kLibraryTracks, true, 1);
    const int perPlaylist = kLibraryTracks / kOtherPlaylists + 1;
    for (int p = 0; p < kOtherPlaylists; ++p) {
        database.addPlaylist(L"Playlist " + std::to_wstring(p), perPlaylist, false, p + 2);
    }
    for (const TrackText& track : tracks) {
        database.addTrack(0, track.location, track.name, track.artist, track.album);
    }
    for (int i = 0; i < kLibraryTracks; ++i) {
        int file = (i + 12345) % kLibraryTracks;
        const TrackText& track = tracks[size_t(file)];
        database.addTrack(1 + i / perPlaylist, track.location, track.name, track.artist,
                          track.album);
    }
}

std::wstring benchmarkPath() {
    return (std::filesystem::temp_directory_path() / "velto-benchmark.db").wstring();
}

// Writes the generated database once, with values for every file.
const std::wstring& generatedFile() {
    static const std::wstring path = [] {
        VeltoDatabase database;
        synchronise(database, libraryTracks());
        for (int file = 0; file < kLibraryTracks; ++file) {
            database.setTrackResult(locationOf(file), 20000.0 + file, -3.5 + file % 10);
            database.setAlbumResult(locationOf(file), 31000.25, -2.75);
        }
        database.setPreference(L"Volume", L"89");
        database.setPath(benchmarkPath());
        database.save();
        return benchmarkPath();
    }();
    return path;
}

void BM_Load(benchmark::State& state) {
    const std::wstring& path = generatedFile();
    size_t heap = 0;
    std::optional<VeltoDatabase> database;
    for (auto _ : state) {
        state.PauseTiming(); // the previous tables' destruction is not part of a load
        database.reset();
        size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        database.emplace();
        database->setPath(path);
        database->loadPreferences();
        database->loadRecords();
        heap = mallinfo2().uordblks - before;
        if (database->contents().tracks.size() != 2 * kLibraryTracks) {
            state.SkipWithError("wrong track count");
        }
    }
    state.counters["tables_MB"] = double(heap) / (1024.0 * 1024.0);
    state.counters["file_MB"] =
        double(std::filesystem::file_size(std::filesystem::path(path))) / (1024.0 * 1024.0);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Save(benchmark::State& state) {
    VeltoDatabase database;
    database.setPath(generatedFile());
    database.loadPreferences();
    database.loadRecords();
    for (auto _ : state) {
        database.save();
    }
    state.counters["albums"] = double(database.contents().albums.size());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(5);

// A synchronisation of the library playlist: 50,000 addTrack calls on a
// database that already knows every file.
void BM_SyncAddTrack(benchmark::State& state) {
    std::vector<TrackText> tracks = libraryTracks();
    VeltoDatabase database;
    database.setPath(generatedFile());
    database.loadPreferences();
    database.loadRecords();
    for (auto _ : state) {
        database.resetForSync();
        database.addPlaylist(std::wstring(L"Library"), kLibraryTracks, true, 1);
        for (const TrackText& track : tracks) {
            database.addTrack(0, track.location, track.name, track.artist, track.album);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kLibraryTracks);
}
BENCHMARK(BM_SyncAddTrack)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
