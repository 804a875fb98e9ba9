// How long the main window takes with big playlists, under Wine (run by hand):
//   tools/wine-run build/windows build/windows/tests/app/VeltoWindowTiming.exe
// Showing a playlist of 50,000 tracks and switching to a small one; starting
// with a Velto.db of 20,000 tracks until "Ready", and switching between the
// albums and the tracks view on it. Each should take under a second.
//
// With --sync (tests/app/run-window-sync-timing registers the iTunes stand-in's
// server): a sync from the menu through the real window, of 1,000 tracks in
// the library and 9 playlists more, against the same sync made with a host
// that only records what it is asked; the difference is the window's share.

#include "ITunesAPI_win.h"
#include "PlaylistSync.h"
#include "Preferences.h"
#include "RecordingJobHost.h"
#include "ResourceIds.h"
#include "VeltoDatabase.h"
#include "VeltoWindowTestSupport_win.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

double secondsOf(const std::function<void()>& step) {
    auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, double seconds) {
    std::printf("%-58s %7.3f s\n", what, seconds);
    std::fflush(stdout);
}

// Playlists of n tracks each, tracks in albums of ten, every file analysed.
void writeDatabase(const TestFolder& folder, const std::vector<int>& playlistSizes) {
    VeltoDatabase database;
    database.setPath(folder.databasePath());
    int number = 0;
    for (size_t p = 0; p < playlistSizes.size(); ++p) {
        database.addPlaylist(L"Playlist " + std::to_wstring(p), playlistSizes[p], p == 0,
                             static_cast<int>(500 + p));
        for (int i = 0; i < playlistSizes[p]; ++i, ++number) {
            std::wstring path = L"C:\\Music\\Artist " + std::to_wstring(number / 100) +
                                L"\\Track " + std::to_wstring(number) + L".mp3";
            database.addTrack(static_cast<int>(p), path, L"Track " + std::to_wstring(number),
                              L"Artist " + std::to_wstring(number / 100),
                              L"Album " + std::to_wstring(number / 10));
            database.setTrackResult(path, 12000.0 + number % 20000, (number % 30) / 3.0 - 5.0);
        }
    }
    Preferences(database).fillMissingDefaults();
    database.save();
}

bool waitLoaded(RunningVelto& velto, int rows) {
    return waitUntil(
        [&] {
            return velto.enabled(IDM_EXIT) && velto.status(0) == L"Ready" &&
                   velto.rowCount() == rows;
        },
        120000);
}

void bigPlaylist() {
    TestFolder folder(L"timing-big-playlist");
    writeDatabase(folder, {35, 50000});
    RunningVelto velto;
    if (!waitLoaded(velto, 35)) {
        std::printf("the program did not start\n");
        return;
    }
    report("show the playlist of 50,000 tracks", secondsOf([&] { velto.choosePlaylist(1); }));
    report("switch from it to a playlist of 35", secondsOf([&] { velto.choosePlaylist(0); }));
    report("show the playlist of 50,000 tracks again", secondsOf([&] { velto.choosePlaylist(1); }));
    report("select all 50,000", secondsOf([&] { velto.command(IDM_SELECT_ALL); }));
    report("select none of 50,000", secondsOf([&] { velto.command(IDM_SELECT_NONE); }));
    velto.command(IDM_SELECT_ALL);
    report("switch from 50,000 selected to a playlist of 35",
           secondsOf([&] { velto.choosePlaylist(0); }));
}

void startAndViews() {
    TestFolder folder(L"timing-start");
    writeDatabase(folder, {20000});
    double start = 0;
    {
        auto begin = std::chrono::steady_clock::now();
        RunningVelto velto;
        if (!waitLoaded(velto, 20000)) {
            std::printf("the program did not start\n");
            return;
        }
        start = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        report("start to Ready with a Velto.db of 20,000 tracks", start);
        report("tracks view to albums view (2,000 albums)",
               secondsOf([&] { velto.command(IDM_VIEW_ALBUMS); }));
        report("albums view to tracks view (20,000 tracks)",
               secondsOf([&] { velto.command(IDM_VIEW_TRACKS); }));
        report("sort 20,000 tracks by volume (a header click)", secondsOf([&] {
                   HWND header = reinterpret_cast<HWND>(
                       SendMessageW(velto.item(IDC_MAIN_LIST), LVM_GETHEADER, 0, 0));
                   NMHEADERW click{};
                   click.hdr.hwndFrom = header;
                   click.hdr.idFrom = 0;
                   click.hdr.code = HDN_ITEMCLICKW;
                   click.iItem = 2;
                   SendMessageW(velto.window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
               }));
    }
}

// The same sync as the window's, with a host that records and draws nothing.
double recordingHostSync() {
    FakeLibrary noLibrary;
    RecordingJobHost host(noLibrary);
    VeltoDatabase database;
    std::atomic<bool> cancelRequested{false};
    PlaylistSync sync(host, database, cancelRequested);
    return secondsOf([&] {
        ITunesAPI connection(nullptr, true);
        sync.begin();
        connection.enumeratePlaylists(sync);
        sync.readTracks(connection);
    });
}

void syncThroughTheWindow(int trackCount, int playlistCount) {
    TestFolder folder(L"timing-sync");
    std::vector<LibraryTrack> tracks;
    for (int i = 0; i < trackCount; ++i) {
        tracks.push_back({L"Song " + std::to_wstring(i), L"Artist " + std::to_wstring(i / 12),
                          L"Album " + std::to_wstring(i / 12),
                          L"C:\\Music\\" + std::to_wstring(i) + L".mp3"});
    }
    // The library, and playlists more that share its tracks out.
    std::vector<LibraryPlaylist> playlists(static_cast<size_t>(playlistCount - 1));
    for (int i = 0; i < trackCount; ++i) {
        LibraryPlaylist& playlist = playlists[static_cast<size_t>(i % (playlistCount - 1))];
        playlist.name = L"Playlist " + std::to_wstring(i % (playlistCount - 1) + 1);
        playlist.tracks.push_back(i);
    }
    writeLibraryXml(folder.libraryPath(), tracks, playlists);
    StandInServer standIn(folder.libraryPath());

    RunningVelto velto;
    if (!waitLoaded(velto, trackCount)) {
        std::printf("the program did not start\n");
        return;
    }
    double best = 1e9;
    double bestRecording = 1e9;
    for (int round = 0; round < 3; ++round) {
        best = std::min(best, secondsOf([&] {
                            velto.command(IDM_SYNC);
                            waitLoaded(velto, trackCount);
                        }));
        bestRecording = std::min(bestRecording, recordingHostSync());
    }
    std::printf("%d tracks in %d playlists (best of 3):\n", trackCount, playlistCount);
    report("sync through the window, Sync to Ready", best);
    report("the same sync with a recording host", bestRecording);
    std::printf("%-58s %7.1f %%\n", "the window's share", (best - bestRecording) / best * 100);
}

} // namespace

int main(int argc, char** argv) {
    RecordingReporter reporter;
    if (argc > 1 && std::strcmp(argv[1], "--sync") == 0) {
        syncThroughTheWindow(argc > 2 ? std::atoi(argv[2]) : 1000, 10);
    } else {
        bigPlaylist();
        startAndViews();
    }
    for (const RecordingReporter::Shown& shown : reporter.shown) {
        std::printf("message: %ls\n", shown.text.c_str());
    }
    return 0;
}
