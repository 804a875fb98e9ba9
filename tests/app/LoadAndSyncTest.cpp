#include "ITunesBusyException.h"
#include "JobFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using Calls = std::vector<std::string>;

namespace {

const std::wstring kFile = L"music/Velto.db";

// Starts from an empty database: the load routine fills it, from a stored
// file or by the first sync with the fake iTunes library.
class LoadAndSyncTest : public JobTest {
protected:
    LoadAndSyncTest() : JobTest(fakeToolPath(), false) {
        library.playlists = {{1, L"Library", true, FakeLibrary::tracks(L"a", 4), {}},
                             {2, L"Mix", false, FakeLibrary::tracks(L"m", 4), {}},
                             {3, L"Empty", false, {}, {}}};
    }
    // A Velto.db of two playlists, the second chosen last; the library's
    // first track is the file at trackPath.
    void storeFile(const std::wstring& trackPath = L"/music/stored.mp3") {
        VeltoDatabase stored{files};
        stored.setPath(kFile);
        stored.addPlaylist(std::wstring(L"Library"), 2, true, -1);
        stored.addPlaylist(std::wstring(L"Mix"), 1, false, -1);
        stored.addTrack(0, trackPath, std::wstring(L"Stored"), std::wstring(L"A"),
                        std::wstring(L"B"));
        stored.addTrack(0, std::wstring(L"/music/x.mp3"), std::wstring(L"X"), std::nullopt,
                        std::nullopt);
        stored.addTrack(1, trackPath, std::wstring(L"Stored"), std::wstring(L"A"),
                        std::wstring(L"B"));
        stored.setTrackResult(trackPath, 9000.0, 3.0);
        stored.setPreference(L"WindowPlacement", L"10,20,810,620,1");
        stored.setPreference(L"LastPlaylist", L"1");
        stored.save();
    }
    void load() {
        jobs.startLoad();
        host.waitForWorkers();
    }
    void syncFromMenu() {
        jobs.startSync();
        host.waitForWorkers();
    }
    std::vector<std::wstring> playlistNames() {
        std::vector<std::wstring> names;
        for (int i = 0; i < database.playlistCount(); ++i) {
            names.push_back(database.playlistAt(i).name.value_or(L""));
        }
        return names;
    }
    void cancelAtTrack(int count) {
        library.onTrackRead = [this, count](int read) {
            if (read == count) {
                jobs.requestCancel();
            }
        };
    }
};

} // namespace

TEST_F(LoadAndSyncTest, AStoredFileShowsTheWindowAtItsPlaceBeforeTheRecordsAndFillsTheList) {
    storeFile();
    load();
    EXPECT_EQ(host.calls(), (Calls{"show at 10", "checks", "entries cleared", "entry Library 0",
                                   "entry Mix 1 *", "menu on", "track ", "status 147", "attach"}));
    EXPECT_EQ(database.currentPlaylist(), 1);
    EXPECT_EQ(database.currentTrackCount(), 1);
    EXPECT_EQ(preferences.getPref(PrefIndex::Volume), L"89");
    EXPECT_TRUE(jobs.databaseExisted());
}

TEST_F(LoadAndSyncTest, AFirstStartSynchronisesOnTheLoadThreadAndWritesNoFile) {
    load();
    // The first track's values at once, each playlist's last ones at its end
    // (more only when the machine stalled for the bars' interval).
    const Calls totals = host.callsOf("total ");
    EXPECT_EQ(totals.front(), "total 12");
    EXPECT_EQ(Calls(totals.end() - 2, totals.end()), (Calls{"total 100", "total 0"}));
    EXPECT_NE(std::find(totals.begin(), totals.end(), "total 50"), totals.end());
    EXPECT_EQ(host.callsOf("item "), (Calls{"item 161 Library", "item 161 Mix"}));
    const Calls calls = host.calls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "attach"),
              std::find(calls.begin(), calls.end(), "item 161 Mix"))
        << "the list shows the library while the other playlists are read";
    EXPECT_EQ(Calls(calls.begin(), calls.begin() + 5),
              (Calls{"show", "checks", "enter 466", "status 146", "connect"}));
    EXPECT_EQ(Calls(calls.end() - 11, calls.end()),
              (Calls{"file 0", "total 0", "entries cleared", "entry Library 0 *", "entry Mix 1",
                     "menu on", "refresh reset", "track ", "status 147", "leave", "attach"}));
    EXPECT_EQ(playlistNames(), (std::vector<std::wstring>{L"Library", L"Mix"}));
    EXPECT_EQ(database.currentTrackCount(), 4);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(LoadAndSyncTest, CancellingTheFirstSyncClosesTheProgramWithoutWritingAFile) {
    cancelAtTrack(3);
    load();
    EXPECT_EQ(host.calls().back(), "leave");
    EXPECT_TRUE(host.called("close"));
    EXPECT_FALSE(host.called("status 147"));
    EXPECT_FALSE(host.called("attach"));
    EXPECT_TRUE(files.files.empty());
}

TEST_F(LoadAndSyncTest, CancellingALaterSyncGoesBackToTheStoredFileAndItsDropDownEntry) {
    storeFile();
    load();
    host.playlistPosition = 1;
    cancelAtTrack(6);
    syncFromMenu();
    EXPECT_EQ(playlistNames(), (std::vector<std::wstring>{L"Library", L"Mix"}));
    EXPECT_EQ(database.contents().tracks.size(), 3u);
    EXPECT_TRUE(host.called("select entry 1"));
    EXPECT_EQ(host.calls().back(), "leave");
    EXPECT_FALSE(host.called("close"));
}

TEST_F(LoadAndSyncTest, ITunesBusyInASyncGoesBackToTheFileOrClosesWhenThereIsNone) {
    library.refuseAfterTracks = 2;
    load();
    EXPECT_EQ(host.callsOf("message "), Calls{"message 165"});
    EXPECT_TRUE(host.called("close"));
}

TEST_F(LoadAndSyncTest, ITunesBusyInAMenuSyncShowsTheMessageAndKeepsTheProgramOpen) {
    storeFile();
    load();
    library.refuseAfterTracks = 2;
    syncFromMenu();
    EXPECT_EQ(host.callsOf("message "), Calls{"message 165"});
    EXPECT_EQ(playlistNames(), (std::vector<std::wstring>{L"Library", L"Mix"}));
    EXPECT_EQ(host.callsOf("status ").back(), "status 147");
    EXPECT_FALSE(host.called("close"));
}

// As the load thread's failures: the program's own error closes, another
// failure says "Fatal error occurred." first.
TEST_F(LoadAndSyncTest, AFailureOtherThanBusyInAMenuSyncEndsTheProgram) {
    storeFile();
    load();
    host.onCall = [](const std::string& call) {
        if (call == "connect") {
            throw std::runtime_error("no COM");
        }
    };
    syncFromMenu();
    const Calls calls = host.calls();
    EXPECT_EQ(Calls(calls.end() - 5, calls.end()),
              (Calls{"status 146", "connect", "fatal", "close", "leave"}));
}

TEST_F(LoadAndSyncTest, ASyncWhoseTracksOutnumberTheReportDividesNothingByZero) {
    library.playlists = {{1, L"Library", true, FakeLibrary::tracks(L"a", 3), 0}};
    load();
    EXPECT_EQ(host.callsOf("total "), (Calls{"total 0", "total 0"}));
    EXPECT_EQ(database.currentTrackCount(), 3);
    EXPECT_TRUE(host.called("status 147"));
}

// The file must never claim values the audio files no longer have: the next
// start would show old volumes and a second Apply Gain would change the files
// again. Changed preferences are still kept only by Exit.
TEST_F(LoadAndSyncTest, VeltoDbHoldsTheFilesValuesAfterEveryJobThatChangedThem) {
    const std::wstring path = toText(dir / L"a.mp3");
    FakeToolScript()
        .when("apply")
        .out("Applying gain change of 2\r\n")
        .when("check")
        .out(tagsRow(path, "0.0", "12000"))
        .write(toPath(path));
    storeFile(path);
    load();
    preferences.setPrefBool(PrefIndex::DontClip, true);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});

    VeltoDatabase saved{files};
    saved.setPath(kFile);
    saved.loadPreferences();
    saved.loadRecords();
    const AACGainRecord* record = saved.findAACGainRecord(saved.contents().fileIndex.at(path));
    EXPECT_EQ(record->trackGain, OptionalReal::of(0.0));
    EXPECT_EQ(saved.getPreference(L"DontClip"), std::nullopt);
    EXPECT_EQ(saved.getPreference(L"LastPlaylist"), L"1");
}

// The read-back fails (a row of eleven fields is fatal), the program ends:
// the file is saved with the changed file's values unknown.
TEST_F(LoadAndSyncTest, VeltoDbForgetsTheValuesOfAFileAChangeWasNotReadBackFrom) {
    const std::wstring path = toText(dir / L"a.mp3");
    FakeToolScript()
        .when("check")
        .out(toolBytesOf(path) + "\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\r\n")
        .write(toPath(path));
    storeFile(path);
    load();
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    EXPECT_TRUE(host.called("close"));
    VeltoDatabase saved{files};
    saved.setPath(kFile);
    saved.loadPreferences();
    saved.loadRecords();
    EXPECT_FALSE(saved.findAACGainRecord(saved.contents().fileIndex.at(path))->trackGain.present);
}
