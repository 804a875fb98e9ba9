#include "JobFixture.h"
#include "LoudnessOverview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
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

// The same with four tool runs at once.
class FourRunsTest : public JobTest {
protected:
    FourRunsTest() { preferences.setPrefInt(PrefIndex::ToolRuns, 4); }

    // Tracks whose analysis reports progress every tenth of a second for a
    // minute (a cancel has lines to stop at), each logging its run and id.
    std::vector<std::wstring> slowTracks(int count) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < count; ++i) {
            FakeToolScript script;
            script.log().processId();
            for (int tick = 0; tick < 600; ++tick) {
                script.out(" 1%\r").sleep(100);
            }
            paths.push_back(scriptedTrack(L"slow" + std::to_wstring(i) + L".mp3", script));
        }
        return paths;
    }
    // Tracks analysed after a second, in ten lines of progress.
    std::vector<std::wstring> quickTracks(int first, int count) {
        std::vector<std::wstring> paths;
        for (int i = first; i < first + count; ++i) {
            const std::wstring name = L"quick" + std::to_wstring(i) + L".mp3";
            FakeToolScript script;
            script.log();
            for (int tick = 0; tick < 10; ++tick) {
                script.out(" 10%\r").sleep(100);
            }
            paths.push_back(
                scriptedTrack(name, script.out(analysisRow(toText(dir / name), "1.0", "9000"))));
        }
        return paths;
    }
    // Starts an Analyze of every track; true once four runs are going.
    bool analyseWithFourInFlight(const std::vector<std::wstring>& paths) {
        std::set<int> rows;
        for (int row = 0; row < static_cast<int>(paths.size()); ++row) {
            rows.insert(row);
        }
        host.select(rows);
        jobs.startJob(JobKind::Analyze, JobScope::TracksView);
        return waitFor([&] { return processIds(paths).size() == 4; });
    }
    int started(const std::vector<std::wstring>& paths) const {
        return static_cast<int>(std::count_if(
            paths.begin(), paths.end(), [&](const auto& path) { return !runsOf(path).empty(); }));
    }
    std::vector<unsigned long> processIds(const std::vector<std::wstring>& paths) const {
        std::vector<unsigned long> ids;
        for (const std::wstring& path : paths) {
            std::ifstream file(toPath(path + L".pid"));
            for (unsigned long id = 0; file >> id;) {
                ids.push_back(id);
            }
        }
        return ids;
    }
    static bool waitFor(const std::function<bool()>& condition,
                        Clock::duration longest = std::chrono::seconds(30)) {
        const Clock::time_point begun = Clock::now();
        while (!condition()) {
            if (Clock::now() - begun > longest) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    void expectEveryChildEnded(const std::vector<std::wstring>& paths) const {
        // Windows ends a terminated process a moment after it is told to.
        for (unsigned long id : processIds(paths)) {
            const ProcessWatch watch(id);
            EXPECT_TRUE(waitFor([&] { return watch.hasEnded(); }, std::chrono::seconds(5)))
                << "the tool's process " << id;
        }
    }
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

// The loudness overview asks which playlist is current while a sync starts
// again and again, each time naming the library current: both read the same
// state (ThreadSanitizer finds an unguarded read here).
TEST_F(JobConcurrencyTest, TheOverviewRedrawsWhileSyncsNameTheLibraryCurrent) {
    std::atomic<bool> stop{false};
    std::atomic<int> redraws{0};
    std::thread painter([&] {
        LoudnessOverview overview(database);
        while (!stop) {
            redraws += overview.refresh(89, false) ? 1 : 0;
        }
    });
    // Enough syncs that the two overlap, however the threads are scheduled.
    for (int sync = 0; sync < 2000 || redraws < 50; ++sync) {
        database.resetForSync();
        database.addPlaylist(std::wstring(L"Library"), 0, true, 1);
        database.addPlaylist(std::wstring(L"Mix"), 0, false, 2);
    }
    stop = true;
    painter.join();
    EXPECT_EQ(database.currentPlaylist(), 0);
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

// Cancel with four runs in flight: each stops at its next line, no other
// starts, and every row not done stays selected.
TEST_F(FourRunsTest, ACancelStopsEveryRunningItemAndLeavesEveryUnfinishedRowSelected) {
    const auto paths = slowTracks(6);
    ASSERT_TRUE(analyseWithFourInFlight(paths));
    const Clock::time_point cancelled = Clock::now();
    jobs.requestCancel();
    host.waitForWorkers();
    EXPECT_LT(Clock::now() - cancelled, std::chrono::seconds(5));
    EXPECT_EQ(started(paths), 4);
    EXPECT_EQ(host.selection(), (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(host.calls().back(), "leave");
    expectEveryChildEnded(paths);
}

// The tool's error box is open for one item while the other runs go on and
// finish; Yes lets the job end normally.
TEST_F(FourRunsTest, TheOtherRunsGoOnWhileTheErrorBoxIsOpen) {
    scriptedTrack(L"bad.mp3", FakeToolScript().log().out("Can't open bad.mp3\r\n"));
    const auto quick = quickTracks(1, 3);
    std::atomic<bool> othersDoneWhileAsking{false};
    host.onCall = [&](const std::string& call) {
        if (call.rfind("ask ", 0) == 0) {
            othersDoneWhileAsking = waitFor([&] { return host.selection() == std::set<int>{0}; });
        }
    };
    runJob(JobKind::Analyze, JobScope::TracksView, {0, 1, 2, 3});
    EXPECT_TRUE(othersDoneWhileAsking);
    EXPECT_EQ(host.callsOf("ask ").size(), 1u);
    for (const std::wstring& path : quick) {
        EXPECT_EQ(fileOf(path).trackGain.value, 1.0);
    }
    EXPECT_TRUE(host.selection().empty());
}

// No in the error box: the runs going on finish, and no other item starts.
TEST_F(FourRunsTest, NoLetsTheRunningItemsFinishAndStartsNoOther) {
    scriptedTrack(L"bad.mp3", FakeToolScript().log().out("Can't open bad.mp3\r\n"));
    const auto quick = quickTracks(1, 7);
    host.answers = {false};
    host.onCall = [&](const std::string& call) {
        if (call.rfind("ask ", 0) == 0) {
            waitFor([&] { return started(quick) == 3; });
        }
    };
    runJob(JobKind::Analyze, JobScope::TracksView, {0, 1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(started(quick), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fileOf(quick[i]).trackGain.value, 1.0);
    }
    EXPECT_EQ(host.selection(), (std::set<int>{4, 5, 6, 7}));
    EXPECT_EQ(host.callsOf("ask ").size(), 1u);
}

// Closing the window with four runs in flight ends every child at once.
TEST_F(FourRunsTest, ClosingTheWindowEndsEveryRunningChild) {
    const auto paths = slowTracks(6);
    ASSERT_TRUE(analyseWithFourInFlight(paths));
    const Clock::time_point closed = Clock::now();
    jobs.abandonWork();
    host.waitForWorkers();
    EXPECT_LT(Clock::now() - closed, std::chrono::seconds(5));
    EXPECT_EQ(started(paths), 4);
    expectEveryChildEnded(paths);
}
