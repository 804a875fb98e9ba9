#include "ITunesBusyException.h"
#include "JobFixture.h"
#include "TimeLeft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

using Calls = std::vector<std::string>;

namespace {

// The job frame's cases run with one tool run at a time and with four.
class JobFrameTest : public JobTest, public ::testing::WithParamInterface<int> {
protected:
    JobFrameTest() { preferences.setPrefInt(PrefIndex::ToolRuns, GetParam()); }
    bool oneAtATime() const { return GetParam() == 1; }

    // Tracks the tool analyses as gain 1.0; each logs its runs.
    std::vector<std::wstring> tracks(int count) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < count; ++i) {
            const std::wstring path = toText(dir / (L"t" + std::to_wstring(i) + L".mp3"));
            scriptedTrack(path.substr(path.size() - 6),
                          FakeToolScript().log().out(analysisRow(path, "1.0", "9000")));
            paths.push_back(path);
        }
        return paths;
    }
    // The last call of each of these kinds, in the order they came.
    Calls lastOf(std::initializer_list<const char*> prefixes) {
        Calls last;
        for (const char* prefix : prefixes) {
            Calls all = host.callsOf(prefix);
            last.push_back(all.empty() ? "" : all.back());
        }
        return last;
    }
    bool runs(const std::wstring& path) { return !runsOf(path).empty(); }
};

} // namespace

TEST_P(JobFrameTest, ACancelDuringTheFifthOfTenTracksLeavesTheFifthToTenthSelected) {
    const auto paths = tracks(10);
    host.onCall = [&](const std::string& call) {
        if (call.rfind("item 152", 0) == 0 && call.find("t4.mp3") != std::string::npos) {
            jobs.requestCancel();
        }
    };
    runJob(JobKind::Analyze, JobScope::TracksView, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    if (oneAtATime()) {
        EXPECT_EQ(host.selection(), (std::set<int>{4, 5, 6, 7, 8, 9}));
        EXPECT_FALSE(runs(paths[5]));
    } else {
        // The items running with the fifth stop with it and stay selected;
        // the fifth began when one of the four before it was done.
        const std::set<int> selected = host.selection();
        const std::set<int> notDone{4, 5, 6, 7, 8, 9};
        EXPECT_TRUE(
            std::includes(selected.begin(), selected.end(), notDone.begin(), notDone.end()));
        EXPECT_LT(selected.size(), 10u);
    }
    EXPECT_TRUE(runs(paths[4]));
    EXPECT_EQ(host.callsOf("total ").back(), "total 0");
    EXPECT_EQ(lastOf({"file ", "status ", "menu "}), (Calls{"file 0", "status 147", "menu on"}));
    EXPECT_EQ(jobs.currentJob(), JobKind::NoJob);
    EXPECT_TRUE(host.called("enter 722"));
    EXPECT_EQ(host.calls().back(), "leave");
}

TEST_P(JobFrameTest, TheSelectionAsAlbumRunsItsBodyOnceForAllSelectedRows) {
    const auto paths = tracks(3);
    runJob(JobKind::Analyze, JobScope::SelectionAsAlbum, {0, 1, 2});
    EXPECT_EQ(runsOf(paths[2]), (Calls{"analyze", "/s c"}));
    EXPECT_EQ(host.callsOf("item "), Calls{"item 152 Selected items"});
    EXPECT_TRUE(host.callsOf("deselect ").empty());
    EXPECT_EQ(host.callsOf("total ").front(), "total 33");
}

TEST_P(JobFrameTest, TheTotalBarOfAnAlbumsJobCountsTheAlbumsTracks) {
    for (auto [album, count] : {std::pair{L"five", 5}, {L"seven", 7}, {L"eight", 8}}) {
        for (int i = 0; i < count; ++i) {
            addTrack(std::wstring(L"/music/") + album + std::to_wstring(i) + L".mp3", album);
        }
    }
    runJob(JobKind::ClearData, JobScope::AlbumsView, {0, 1, 2});
    EXPECT_EQ(host.callsOf("total "), (Calls{"total 25", "total 60", "total 100", "total 0"}));
    EXPECT_EQ(host.callsOf("deselect "), (Calls{"deselect 0", "deselect 1", "deselect 2"}));
}

// Also an item without files: a selection of which no row could be loaded.
TEST_P(JobFrameTest, RowsThatCannotBeLoadedAreSkippedWithoutATool) {
    database.addTrack(0, std::nullopt, std::wstring(L"No file"), std::nullopt, std::nullopt);
    runJob(JobKind::Analyze, JobScope::SelectionAsAlbum, {0});
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_TRUE(host.callsOf("item ").empty());
    EXPECT_EQ(host.callsOf("refresh").size(), 0u);
    EXPECT_EQ(host.callsOf("status 147").size(), 2u);
}

TEST_P(JobFrameTest, ITunesBusyDuringAJobShowsTheMessageAndTheProgramStaysOpen) {
    preferences.setPrefBool(PrefIndex::TimestampComments, true);
    library.refuseStamps = true;
    const auto paths = tracks(2);
    database.setTrackResult(paths[0], 9000.0, 3.0);
    FakeToolScript()
        .log()
        .when("apply")
        .out(applyingLines(paths[0], 2))
        .when("check")
        .out(tagsRow(paths[0], "0.0", "9000"))
        .write(toPath(paths[0]));
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1});
    EXPECT_TRUE(host.called("status 146"));
    EXPECT_TRUE(host.called("connect"));
    EXPECT_TRUE(host.called("message 165"));
    EXPECT_FALSE(host.called("close"));
    // With several runs at once the first row is done before its stamp is
    // made, and the second may be done too.
    if (oneAtATime()) {
        EXPECT_EQ(host.selection(), (std::set<int>{0, 1}));
    }
    EXPECT_EQ(lastOf({"total ", "status ", "menu "}), (Calls{"total 0", "status 147", "menu on"}));
}

// After such an error the window is going away: nothing more is shown.
TEST_P(JobFrameTest, AProgramErrorEndsTheProgram) {
    tracks(1);
    runJob(static_cast<JobKind>(9), JobScope::TracksView, {0});
    EXPECT_NE(reporter.lastText().find(L"File .\\MainDialog, Line 942, result -1"),
              std::wstring::npos);
    EXPECT_EQ(lastOf({"close", "leave"}), (Calls{"close", "leave"}));
    EXPECT_FALSE(host.called("fatal"));
    EXPECT_FALSE(host.called("status 147"));
    EXPECT_EQ(jobs.currentJob(), JobKind::NoJob);
}

TEST_P(JobFrameTest, AFailureOfAnotherKindSaysFatalErrorOccurredAndEndsTheProgram) {
    tracks(1);
    host.onCall = [](const std::string& call) {
        if (call == "enter 722") {
            throw std::runtime_error("no apartment");
        }
    };
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_EQ(host.calls(), (Calls{"menu off", "enter 722", "fatal", "close"}));
}

TEST_P(JobFrameTest, NoSecondWorkerStartsWhileOneRuns) {
    const auto paths = tracks(1);
    FakeToolScript().sleep(300).write(toPath(paths[0]));
    host.select({0});
    jobs.startJob(JobKind::Analyze, JobScope::TracksView);
    jobs.startJob(JobKind::Analyze, JobScope::TracksView);
    jobs.startSync();
    host.waitForWorkers();
    EXPECT_EQ(host.callsOf("enter "), Calls{"enter 722"});
    EXPECT_FALSE(jobs.workerRunning());
}

INSTANTIATE_TEST_SUITE_P(ToolRuns, JobFrameTest, ::testing::Values(1, 4), runsAtOnceName);

namespace {

class MissingToolJobTest : public JobTest {
protected:
    MissingToolJobTest() : JobTest(toText(TempDir().path() / "mp3gain")) {}
};

} // namespace

// Windows can refuse to start a program for a moment; a tool that still will
// not start ends the job, not the program, after the job's save.
TEST_F(MissingToolJobTest, AToolThatWillNotStartEndsTheJobAfterItsSaveAndTheProgramStays) {
    const std::wstring first = scriptedTrack(L"a.mp3", FakeToolScript());
    scriptedTrack(L"b.mp3", FakeToolScript());
    database.setTrackResult(first, 9000.0, 3.0);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1});
    const auto messages = host.callsOf("message Velto could not start the gain tool " +
                                       RecordingJobHost::narrow(toolPath) + ":");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(host.called("close"));
    EXPECT_EQ(host.selection(), (std::set<int>{0, 1}));
    EXPECT_EQ(jobs.currentJob(), JobKind::NoJob);
    EXPECT_TRUE(jobs.controlsEnabled());
    // The change's values were forgotten before the run, and the file says so.
    EXPECT_TRUE(files.exists(L"Velto.db"));
    EXPECT_FALSE(fileOf(first).trackGain.present);
}

// One tool run at a time (the half of a job is then a known point of it).
using SequentialJobTest = JobTest;

// Runs at once note their failures in the order they happen; the summary
// lists them in the tracks' order, unknown names last.
TEST_F(SequentialJobTest, TheSummaryListsTheTracksInTheirOrderWhateverOrderTheyFailedIn) {
    for (int i = 0; i < 3; ++i) {
        addTrack(L"/music/song" + std::to_wstring(i) + L".mp3");
    }
    const std::vector<int> ids = database.playlistAt(0).trackIds;
    JobReport report;
    report.note(database, ids[2], JobReport::Kind::Failed, L"third");
    report.noteFile(L"stranger.mp3", JobReport::Kind::Failed, L"unknown");
    report.note(database, ids[0], JobReport::Kind::Skipped, L"first");
    report.note(database, ids[1], JobReport::Kind::Failed, L"second");
    std::vector<std::wstring> order;
    for (const JobReport::Entry& entry : report.entries()) {
        order.push_back(entry.what);
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"first", L"second", L"third", L"unknown"}));
}

TEST(TimeLeft, SaysNothingBeforeThreeItemsAndTenSecondsThenGoesByTheTimePerTrack) {
    TimeLeft timeLeft(20);
    EXPECT_FALSE(timeLeft.afterItem(5, 30.0)); // an album of five: one item
    EXPECT_FALSE(timeLeft.afterItem(6, 36.0));
    EXPECT_EQ(timeLeft.afterItem(10, 60.0), 60.0); // 6 s a track, 10 to go
    TimeLeft quick(100);
    quick.afterItem(1, 1.0);
    quick.afterItem(2, 2.0);
    EXPECT_FALSE(quick.afterItem(3, 3.0)); // three items, but three seconds
    EXPECT_EQ(quick.afterItem(50, 10.0), 10.0);
}

#ifndef _WIN32
// A job of six tracks at about three and a half seconds each: the estimate
// shown at the half (the first one, after three items and ten seconds) lies
// within a quarter of the time the job then really took.
TEST_F(SequentialJobTest, TheTimeLeftShownAtTheHalfOfALongJobIsWithinAQuarterOfTheTruth) {
    std::set<int> rows;
    for (int i = 0; i < 6; ++i) {
        const std::wstring name = L"slow" + std::to_wstring(i) + L".mp3";
        const std::wstring path = toText(dir / name);
        scriptedTrack(name, FakeToolScript().when("analyze").sleep(3500).out(
                                analysisRow(path, "1.0", "9000")));
        rows.insert(i);
    }
    runJob(JobKind::Analyze, JobScope::TracksView, rows);
    const auto end = std::chrono::steady_clock::now();
    const auto shown = host.timesLeft();
    ASSERT_EQ(shown.size(), 3u); // after the third, fourth and fifth items
    const auto& [when, text] = shown[0];
    const double truth = std::chrono::duration<double>(end - when).count();
    const double estimate = std::stod(RecordingJobHost::narrow(text.substr(6))); // "About N s left"
    EXPECT_NEAR(estimate, truth, truth * 0.25) << RecordingJobHost::narrow(text);
    EXPECT_EQ(host.callsOf("left ").back(), "left ");
}
#endif
