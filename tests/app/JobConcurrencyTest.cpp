#include "JobFixture.h"
#include "LoudnessOverview.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class JobConcurrencyTest : public JobTest {
protected:
    // Reads what a painting list and the loudness overview read, as fast as
    // it can, until stopped.
    void paintUntil(const std::atomic<bool>& stop) {
        wchar_t text[100];
        LoudnessOverview overview(database);
        for (; !stop; ++screens) {
            overview.refresh(85 + screens % 8, false);
            const int rows = std::min(tracksView.getCount(), 60);
            for (int row = 0; row < rows; ++row) {
                for (int column = 0; column < TrackSource::kColumnCount; ++column) {
                    CellColour colour = 0;
                    tracksView.getCellText(row, column, text, 99, colour);
                }
            }
            tracksView.compareRows(0, rows - 1, 0);
            for (int row = 0; row < std::min(albumsView.getCount(), 10); ++row) {
                CellColour colour = 0;
                albumsView.getCellText(row, 3, text, 99, colour);
                albumsView.compareRows(0, row, 3);
            }
        }
    }

    std::atomic<int> screens{0};
};

} // namespace

// The list stays enabled for painting while a sync empties and refills the
// tables it reads from.
TEST_F(JobConcurrencyTest, TheListPaintsWhileASyncRebuildsTheTables) {
    FakeLibrary::Playlist playlist{7, L"Library", true, {}, {}};
    for (int i = 0; i < 3000; ++i) {
        std::wstring name = L"t" + std::to_wstring(i);
        playlist.tracks.push_back(
            {name, L"Artist", L"Album " + std::to_wstring(i / 10), L"/music/" + name + L".mp3"});
    }
    library.playlists = {playlist, playlist};
    library.playlists[1].id = 8;
    library.playlists[1].isLibrary = false;
    for (int i = 0; i < 100; ++i) {
        addTrack(L"/music/t" + std::to_wstring(i) + L".mp3", L"Album " + std::to_wstring(i / 10));
        database.setTrackResult(L"/music/t" + std::to_wstring(i) + L".mp3", 9000.0, i / 10.0);
    }
    std::atomic<bool> stop{false};
    std::thread painter([&] { paintUntil(stop); });
    while (screens == 0) {
        std::this_thread::yield();
    }
    jobs.startSync();
    host.waitForWorkers();
    stop = true;
    painter.join();
    EXPECT_EQ(database.currentTrackCount(), 3000);
    EXPECT_EQ(cellOf(5, 2), L"88.5");
    LoudnessOverview overview(database);
    overview.refresh(89, false);
    EXPECT_EQ(overview.picture().counts.analysed, 100);
    EXPECT_EQ(overview.picture().counts.notAnalysed, 2900);
}

// Closing the window during a gain change: the tool's child ends at once,
// no other run starts, and Velto.db no longer claims the file's old values.
TEST_F(JobConcurrencyTest, ClosingTheWindowDuringAJobEndsTheToolsChildAtOnce) {
    const std::wstring path = toText(dir / L"a.mp3");
    scriptedTrack(L"a.mp3", FakeToolScript().log().out("Applying\r\n").sleep(30000));
    database.setTrackResult(path, 9000.0, 3.0);
    host.select({0});
    jobs.startJob(JobKind::ApplyGain, JobScope::TracksView);
    // The tool has started once it has logged its run.
    const Clock::time_point begun = Clock::now();
    while (runsOf(path).empty() && Clock::now() - begun < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const Clock::time_point start = Clock::now();
    jobs.abandonWork();
    host.waitForWorkers();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(runsOf(path), std::vector<std::string>{"/c /g 2"});
    EXPECT_FALSE(host.called("status 147"));
    VeltoDatabase saved{files};
    saved.setPath(L"Velto.db");
    saved.loadPreferences();
    saved.loadRecords();
    EXPECT_FALSE(saved.findAACGainRecord(saved.contents().fileIndex.at(path))->trackGain.present);
}
