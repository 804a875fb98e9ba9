#include "PlaylistSync.h"
#include "RecordingJobHost.h"
#include "VeltoDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using Calls = std::vector<std::string>;
using namespace std::chrono_literals;

namespace {

// A sync read by PlaylistSync from the fake library, on a clock that moves
// 20 ms with every track iTunes gives.
class PlaylistSyncTest : public ::testing::Test {
protected:
    PlaylistSyncTest() {
        library.onTrackRead = [this](int) { now += 20ms; };
    }
    PlaylistSync::Outcome sync() {
        PlaylistSync reader(host, database, cancelRequested, [this] { return now; });
        reader.begin();
        FakeITunesSession session(library);
        session.enumeratePlaylists(reader);
        return reader.readTracks(session, [this] {
            host.refreshList(true);
            libraryRowsShown = database.currentTrackCount();
        });
    }
    // The calls that reach the window while tracks are read.
    Calls progressCalls() const {
        Calls found;
        for (const std::string& call : host.calls()) {
            for (const char* prefix : {"file ", "total ", "track ", "item ", "refresh"}) {
                if (call.rfind(prefix, 0) == 0) {
                    found.push_back(call);
                }
            }
        }
        return found;
    }

    FakeLibrary library;
    RecordingJobHost host{library};
    VeltoDatabase database;
    std::atomic<bool> cancelRequested{false};
    std::chrono::steady_clock::time_point now;
    int libraryRowsShown = -1;
};

} // namespace

// Every track once sent three round trips to the window's thread, which cost
// a real library's sync more than iTunes did.
TEST_F(PlaylistSyncTest, TheWindowHearsAtMostEvery50MsAndExactlyAtEachPlaylistsEnd) {
    library.playlists = {{1, L"Library", true, FakeLibrary::tracks(L"a", 10), {}},
                         {2, L"Mix", false, FakeLibrary::tracks(L"m", 4), {}}};
    ASSERT_EQ(sync(), PlaylistSync::Outcome::Completed);
    // 14 tracks: the total bar is counter * 100 / 14, the file bar (j + 1) * 100 / n.
    EXPECT_EQ(progressCalls(),
              (Calls{"item 161 Library", "file 10",  "total 7",  "track a0",      "file 40",
                     "total 28",         "track a3", "file 70",  "total 50",      "track a6",
                     "file 100",         "total 71", "track a9", "refresh reset", "item 161 Mix",
                     "file 75",          "total 92", "track m2", "file 100",      "total 100",
                     "track m3"}));
}

TEST_F(PlaylistSyncTest, TheListShowsTheLibraryBeforeTheOtherPlaylistsAreRead) {
    library.playlists = {{1, L"Library", true, FakeLibrary::tracks(L"a", 3), {}},
                         {2, L"Mix", false, FakeLibrary::tracks(L"m", 2), {}}};
    library.playlists[0].tracks[1].name = std::nullopt; // named by artist and album alone
    ASSERT_EQ(sync(), PlaylistSync::Outcome::Completed);
    EXPECT_EQ(libraryRowsShown, 3);
    const Calls calls = progressCalls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "refresh reset"),
              std::find(calls.begin(), calls.end(), "item 161 Mix"));
    EXPECT_EQ(host.callsOf("track "), (Calls{"track a0", "track a2", "track m1"}))
        << "a track without a name leaves the last name shown";
}

// The session may reuse what it read of a track only within one sync.
TEST_F(PlaylistSyncTest, TracksAreRememberedOnlyWhileASyncWithOtherPlaylistsReadsThem) {
    library.playlists = {{1, L"Library", true, FakeLibrary::tracks(L"a", 3), {}},
                         {2, L"Mix", false, FakeLibrary::tracks(L"a", 2), {}}};
    library.onTrackRead = [this](int read) { cancelRequested = read == 4; };
    EXPECT_EQ(sync(), PlaylistSync::Outcome::Cancelled);
    EXPECT_EQ(library.remembering, (std::vector<bool>{true, false}));

    library.remembering.clear();
    library.playlists.resize(1);
    cancelRequested = false;
    library.onTrackRead = nullptr;
    EXPECT_EQ(sync(), PlaylistSync::Outcome::Completed);
    EXPECT_EQ(library.remembering, (std::vector<bool>{false, false}));
}
