#include "GainOperations.h"
#include "DirectProgress.h"
#include "GainToolFormats.h"
#include "JobFixture.h"
#include "JobState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using Runs = std::vector<std::string>;

namespace {

// The gain operations' cases run with one tool run at a time and with four.
class GainOperationsTest : public JobTest, public ::testing::WithParamInterface<int> {
protected:
    GainOperationsTest() { preferences.setPrefInt(PrefIndex::ToolRuns, GetParam()); }
    bool oneAtATime() const { return GetParam() == 1; }

    // The name's own text, whatever the locale.
    std::wstring pathOf(const std::wstring& name) {
        return toText(dir.path()) +
               static_cast<wchar_t>(std::filesystem::path::preferred_separator) + name;
    }
    // What the status bar shows for a file: its name after the last backslash.
    static std::string shown(const std::wstring& path) {
        return RecordingJobHost::narrow(path.substr(path.rfind(L'\\') + 1));
    }

    // A track the fake tool measures at gain and maxAmplitude, analysed or not.
    std::wstring track(const std::wstring& name, const std::string& gain,
                       const std::string& maxAmplitude, bool analysed) {
        const std::wstring path = pathOf(name);
        scriptedTrack(name, FakeToolScript()
                                .when("any")
                                .log()
                                .when("analyze")
                                .out(kHeader)
                                .out(analysisRow(path, gain, maxAmplitude))
                                .when("check")
                                .out(tagsRow(path, gain, maxAmplitude))
                                .when("apply")
                                .out(applyingLines(path, 1))
                                .when("undo")
                                .out(undoRow(path, -1, -1)));
        if (analysed) {
            database.setTrackResult(path, std::stod(maxAmplitude), std::stod(gain));
        }
        return path;
    }
    // The tracks of an album; the test writes the script into the last file.
    std::vector<std::wstring> albumTracks(const std::wstring& name, int count) {
        std::vector<std::wstring> paths;
        for (int i = 1; i <= count; ++i) {
            paths.push_back(pathOf(name + std::to_wstring(i) + L".mp3"));
            writeFile(toPath(paths.back()), mp3Frames());
            addTrack(paths.back(), name);
        }
        return paths;
    }
    void turnOn(PrefIndex preference) { preferences.setPrefBool(preference, true); }
};

} // namespace

TEST_P(GainOperationsTest, AnalyzeSkipsAnAnalysedTrackAndAnalysesItAfterClearData) {
    const std::wstring path = track(L"a.mp3", "3.5", "20000", true);
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), Runs{});
    runJob(JobKind::ClearData, JobScope::TracksView, {0});
    EXPECT_TRUE(host.called("item 154 " + shown(path)));
    EXPECT_FALSE(fileOf(path).trackGain.present);
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), (Runs{"analyze", "/s c"}));
    EXPECT_TRUE(host.called("item 152 " + shown(path)));
    EXPECT_EQ(fileOf(path).trackGain, OptionalReal::of(3.5));
}

TEST_P(GainOperationsTest, AlbumAnalyzeWithAlbumUndoGivesEveryFileTheAlbumRowsGain) {
    turnOn(PrefIndex::AlbumUndo);
    const auto paths = albumTracks(L"x", 3);
    FakeToolScript()
        .when("any")
        .log()
        .when("analyze")
        .out(analysisRow(paths[0], "2.0", "9000"))
        .out(" 60%\r 10%\r")
        .out(analysisRow(paths[1], "1.0", "8000"))
        .out(analysisRow(paths[2], "5.0", "20000"))
        .out("\"Album\"\t0\t4.0\t20000\t210\t120\r\n")
        .when("check")
        .out(tagsRow(paths[0], "2.0", "9000", "4.0", "20000"))
        .write(toPath(paths[2]));
    for (const std::wstring& path : paths) {
        database.setTrackResult(path, 9000.0, 2.0); // analysed one by one: no album values
    }
    runJob(JobKind::Analyze, JobScope::AlbumsView, {0});
    EXPECT_EQ(runsOf(paths[2]), (Runs{"/u", "analyze", "/s c"}));
    const std::string first = "track " + shown(paths[0]);
    EXPECT_EQ(host.callsOf("track "), (Runs{first, "track ", first, "track " + shown(paths[1]),
                                            "track ", first, "track "}));
    for (const std::wstring& path : paths) {
        EXPECT_EQ(fileOf(path).albumGain, OptionalReal::of(4.0));
    }
    EXPECT_EQ(fileOf(paths[1]).trackGain, OptionalReal::of(1.0));
}

// 3.0 dB is 2 steps; at 30000 a file takes no step up without clipping.
TEST_P(GainOperationsTest, DontClipWithANoClipLimitOfZeroAppliesAndStampsNothing) {
    turnOn(PrefIndex::DontClip);
    turnOn(PrefIndex::TimestampComments);
    const std::wstring path = track(L"a.mp3", "3.0", "30000", true);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), Runs{});
    EXPECT_TRUE(library.stamps.empty());
}

// At 25000 the no-clip limit is 1 step.
TEST_P(GainOperationsTest, ConstantGainIsLimitedByDontClipOnlyOnBothChannels) {
    turnOn(PrefIndex::DontClip);
    turnOn(PrefIndex::TimestampComments);
    const std::wstring path = track(L"a.mp3", "0.5", "25000", true);
    jobs.setConstantGain(0, 4);
    runJob(JobKind::ConstantGain, JobScope::TracksView, {0});
    jobs.setConstantGain(1, 4);
    runJob(JobKind::ConstantGain, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), (Runs{"/c /g 1", "/s c", "/c /l 0 4", "/s c"}));
    EXPECT_EQ(library.stamps.size(), 2u);
    EXPECT_TRUE(host.called("item 164 " + shown(path)));
}

TEST_P(GainOperationsTest, UndoReadsBackAndStampsOnlyAnItemThatHadValues) {
    turnOn(PrefIndex::TimestampComments);
    const std::wstring never = track(L"a.mp3", "1.0", "9000", false);
    const std::wstring analysed = track(L"b.mp3", "1.0", "9000", true);
    runJob(JobKind::UndoGain, JobScope::TracksView, {0, 1});
    EXPECT_EQ(runsOf(never), Runs{"/u"});
    EXPECT_EQ(runsOf(analysed), (Runs{"/u", "/s c"}));
    ASSERT_EQ(library.stamps.size(), 1u);
    EXPECT_EQ(library.stamps[0], std::vector<int32_t>{database.playlistAt(0).trackIds[1]});
}

TEST_P(GainOperationsTest, RemoveTagsUndoesFirstWhenAskedAndForgetsTheValues) {
    turnOn(PrefIndex::RemoveTagsUndo);
    const std::wstring path = track(L"a.mp3", "1.0", "9000", true);
    runJob(JobKind::RemoveTags, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), (Runs{"/u", "/s d"}));
    EXPECT_TRUE(host.called("item 156 " + shown(path)));
    EXPECT_FALSE(fileOf(path).trackGain.present);
}

// Yes goes on with the next album; No stops the job after the album, which
// stays selected with those after it. With several runs at once the three
// albums run together, one box at a time, and No lets them finish.
TEST_P(GainOperationsTest, AToolErrorIsAskedOnceAfterTheRunWithTheLastErrorText) {
    const auto first = albumTracks(L"a", 3);
    const auto second = albumTracks(L"b", 2);
    const auto third = albumTracks(L"c", 2);
    FakeToolScript()
        .when("any")
        .log()
        .out(analysisRow(first[0], "1.0", "9000"))
        .out("Can't open " + toolBytesOf(first[1]) + "\r\n")
        .out(analysisRow(first[2], "1.0", "9000"))
        .out("Can't open the last")
        .write(toPath(first[2]));
    FakeToolScript().when("any").log().out("Not an MP3\r\n").write(toPath(second[1]));
    FakeToolScript().when("any").log().write(toPath(third[1]));
    host.answers = {true, false};
    runJob(JobKind::Analyze, JobScope::AlbumsView, {0, 1, 2});
    const Runs asked = host.callsOf("ask ");
    EXPECT_EQ(std::set<std::string>(asked.begin(), asked.end()),
              (std::set<std::string>{"ask Can't open the last", "ask Not an MP3\r\n"}));
    EXPECT_EQ(runsOf(first[2]), Runs{"analyze"});
    EXPECT_EQ(runsOf(second[1]), Runs{"analyze"});
    if (oneAtATime()) {
        EXPECT_EQ(asked.front(), "ask Can't open the last");
        EXPECT_EQ(runsOf(third[1]), Runs{});
        EXPECT_EQ(host.selection(), (std::set<int>{1, 2}));
    } else {
        EXPECT_EQ(runsOf(third[1]), (Runs{"analyze", "/s c"}));
        EXPECT_TRUE(host.selection().empty());
    }
}

TEST_P(GainOperationsTest, TheTotalBarCountsFinishedFilesAndThePercentOfTheFileInAnAlbumRun) {
    const auto paths = albumTracks(L"x", 2);
    FakeToolScript().when("analyze").out(" 40%\r 90%\r 10%\r 20%\r 5%\r").write(toPath(paths[1]));
    ASSERT_TRUE(albumsView.selectRow(0));
    std::atomic<bool> cancel{false};
    ToolStopper stopper;
    const GainOperations::Context context{host,     database, preferences, tracksView,
                                          toolPath, cancel,   stopper};
    JobState state(toolPath, false);
    DirectProgress progress(host);
    for (JobKind kind : {JobKind::Analyze, JobKind::ApplyGain}) {
        GainOperations operations(context, JobParameters{kind, JobScope::AlbumsView, 0, 0}, state,
                                  progress, {});
        EXPECT_TRUE(operations.runGainTool(OpAnalyze, 0, 2, 10, albumsView));
    }
    // A third file more than the album has: still named as the last one.
    EXPECT_EQ(host.callsOf("total "),
              (Runs{"total 24", "total 29", "total 31", "total 32", "total 40", "total 20",
                    "total 20", "total 30", "total 30", "total 40"}));
    EXPECT_EQ(host.callsOf("track ").size(), 6u);
}

// A tool that speaks only the ANSI code page, on a disk that keeps no short
// names: the file it cannot be given fails before the run with what to do, and
// the album's other files go to the tool.
TEST_P(GainOperationsTest, AFileTheToolCannotBeGivenFailsBeforeTheRunAndTheOthersRun) {
    std::vector<std::wstring> paths;
    for (const std::wstring name : {L"n1.mp3", L"\u03a9\u03b4\u03ae.mp3", L"n3.mp3"}) {
        paths.push_back(pathOf(name));
        writeFile(toPath(paths.back()), mp3Frames());
        addTrack(paths.back(), L"n");
    }
    FakeToolScript()
        .when("any")
        .log()
        .out(analysisRow(paths[0], "2.0", "9000"))
        .out(analysisRow(paths[2], "3.0", "9000"))
        .out("\"Album\"\t0\t2.5\t9000\t210\t120\r\n")
        .write(toPath(paths[2]));
    const ToolFileArguments ansiWithoutShortNames(
        false, {[](const std::wstring& text) {
                    return std::all_of(text.begin(), text.end(),
                                       [](wchar_t c) { return c < 0x80; });
                },
                [](const std::wstring&) { return std::optional<std::wstring>(); }});
    std::atomic<bool> cancel{false};
    ToolStopper stopper;
    const GainOperations::Context context{host,     database, preferences, tracksView,
                                          toolPath, cancel,   stopper,     &ansiWithoutShortNames};
    JobState state(toolPath, false);
    DirectProgress progress(host);
    GainOperations operations(context, JobParameters{JobKind::Analyze, JobScope::AlbumsView, 0, 0},
                              state, progress, {});
    ASSERT_TRUE(albumsView.selectRow(0));
    EXPECT_TRUE(operations.runGainTool(OpAnalyze, 0, 0, 3, albumsView));

    std::ifstream log(toPath(paths[2] + L".log"));
    const std::string logged((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(logged.find(toolBytesOf(paths[0])), std::string::npos) << logged;
    EXPECT_EQ(logged.find(toolBytesOf(L"\u03a9\u03b4\u03ae")), std::string::npos) << logged;
    EXPECT_EQ(fileOf(paths[0]).trackGain, OptionalReal::of(2.0));
    EXPECT_EQ(fileOf(paths[2]).trackGain, OptionalReal::of(3.0));
    EXPECT_FALSE(fileOf(paths[1]).trackGain.present);
    const std::vector<JobReport::Entry> report = state.report.entries();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].kind, JobReport::Kind::Failed);
    EXPECT_NE(report[0].what.find(paths[1]), std::wstring::npos);
    EXPECT_NE(report[0].what.find(L"Rename the file"), std::wstring::npos);
    EXPECT_TRUE(host.callsOf("ask").empty());
}

// The mended faults: each of these would lose or misstate what the files hold.

TEST_P(GainOperationsTest, ARowNamingAFileTheDatabaseDoesNotKnowIsAnErrorOfThatRun) {
    const std::wstring path = pathOf(L"a.mp3");
    scriptedTrack(L"a.mp3", FakeToolScript()
                                .when("analyze")
                                .out(analysisRow(L"elsewhere.mp3", "1.0", "9000"))
                                .out(analysisRow(path, "2.0", "9000")));
    const std::wstring next = track(L"b.mp3", "3.0", "9000", false);
    runJob(JobKind::Analyze, JobScope::TracksView, {0, 1});
    EXPECT_EQ(host.callsOf("ask "),
              Runs{"ask elsewhere.mp3: this file is not in Velto's database"});
    EXPECT_FALSE(host.called("close"));
    EXPECT_EQ(fileOf(path).trackGain, OptionalReal::of(2.0));
    EXPECT_EQ(fileOf(next).trackGain, OptionalReal::of(3.0));
}

TEST_P(GainOperationsTest, AnApplyThatReportsAnErrorIsStillReadBackButNotStamped) {
    turnOn(PrefIndex::TimestampComments);
    const std::wstring path = pathOf(L"a.mp3");
    scriptedTrack(L"a.mp3", FakeToolScript()
                                .when("any")
                                .log()
                                .when("apply")
                                .out("Error writing a.mp3\r\n")
                                .when("check")
                                .out(tagsRow(path, "0.2", "9500")));
    database.setTrackResult(path, 7000.0, 3.0);
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), (Runs{"/c /g 2", "/s c"}));
    EXPECT_EQ(fileOf(path).trackGain, OptionalReal::of(0.2));
    EXPECT_TRUE(library.stamps.empty());
}

// A cancel stops the change, but what the files now hold is still read back.
TEST_P(GainOperationsTest, AChangeThatIsCancelledIsStillReadBackToTheEnd) {
    const std::wstring path = pathOf(L"a.mp3");
    scriptedTrack(L"a.mp3", FakeToolScript()
                                .when("any")
                                .log()
                                .when("apply")
                                .out("Applying gain change\r\n")
                                .out("done\r\n")
                                .when("check")
                                .out(kHeader)
                                .out(tagsRow(path, "0.2", "9500")));
    database.setTrackResult(path, 7000.0, 3.0);
    host.onCall = [&](const std::string& call) {
        if (call.rfind("item 153", 0) == 0) {
            jobs.requestCancel();
        }
    };
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0});
    EXPECT_EQ(runsOf(path), (Runs{"/c /g 2", "/s c"}));
    EXPECT_EQ(fileOf(path).trackGain, OptionalReal::of(0.2));
    EXPECT_EQ(host.selection(), std::set<int>{0});
}

TEST_P(GainOperationsTest, AFieldThatIsNotANumberStoresTheValueAsAbsent) {
    const std::wstring path = pathOf(L"a.mp3");
    scriptedTrack(L"a.mp3", FakeToolScript()
                                .when("analyze")
                                .out(analysisRow(path, "1.0", "9000"))
                                .when("check")
                                .out(tagsRow(path, "NA", "NA", "NA", "NA")));
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_FALSE(fileOf(path).trackGain.present);
    EXPECT_FALSE(fileOf(path).maxAmplitude.present);
    EXPECT_TRUE(cellOf(0, 2).empty());
}

// A real library's other files: a WAV, a file gone missing, an empty one. The
// tool is started only for what it can take, nothing is asked, the job's end
// says what was skipped and why, and the list marks the files.
TEST_P(GainOperationsTest, FilesTheToolCannotTakeNeverReachItAndAreReportedWithoutAQuestion) {
    const auto paths = albumTracks(L"k", 4);
    writeFile(toPath(paths[1]), std::string("RIFF\x10\x27\0\0WAVEfmt ", 16) + mp3Frames());
    std::filesystem::remove(toPath(paths[2]));
    writeFile(toPath(paths[3]), "");
    FakeToolScript()
        .when("any")
        .log()
        .when("analyze")
        .out(analysisRow(paths[0], "2.0", "9000"))
        .out("\"Album\"\t0\t2.0\t9000\t210\t120\r\n")
        .when("check")
        .out(tagsRow(paths[0], "2.0", "9000", "2.0", "9000"))
        .write(toPath(paths[0]));

    runJob(JobKind::Analyze, JobScope::AlbumsView, {0});
    EXPECT_EQ(runsOf(paths[0]), (Runs{"analyze", "/s c"}));
    std::ifstream log(toPath(paths[0] + L".log"));
    const std::string logged((std::istreambuf_iterator<char>(log)), {});
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(logged.find(toolBytesOf(paths[i])), std::string::npos) << i;
    }
    EXPECT_TRUE(host.callsOf("ask").empty());
    const std::wstring tool = GainToolFormats(toolPath).toolName();
    const auto summary = host.lastSummary();
    ASSERT_EQ(summary.size(), 3u);
    EXPECT_EQ(summary[0].what, tool + L" does not handle WAV audio");
    EXPECT_EQ(summary[1].what, L"File not found");
    EXPECT_EQ(summary[2].what, L"File is empty");
    EXPECT_TRUE(host.called("text Ready. 0 analysed, 1 not done"));
    EXPECT_EQ(fileOf(paths[0]).albumGain, OptionalReal::of(2.0));
    EXPECT_EQ(cellOf(1, 3), L"Not handled");
    EXPECT_EQ(cellOf(2, 3), L"Missing");
    EXPECT_EQ(cellOf(3, 3), L"Empty");

    // The file comes back as an MP3: the next job gives it to the tool.
    writeFile(toPath(paths[2]), mp3Frames());
    FakeToolScript().when("any").log().write(toPath(paths[2]));
    runJob(JobKind::ClearData, JobScope::AlbumsView, {0});
    runJob(JobKind::Analyze, JobScope::AlbumsView, {0});
    EXPECT_EQ(runsOf(paths[2]), (Runs{"analyze", "/s c"}));
    EXPECT_EQ(cellOf(2, 3), L"");
}

namespace {

// A track the tool fails to change: its apply prints the tool's error.
FakeToolScript failingApply(const std::wstring& path) {
    return FakeToolScript()
        .when("any")
        .log()
        .when("apply")
        .out("Applying gain change of 1 to " + toolBytesOf(path) + "...\r\n")
        .out("Can't open " + toolBytesOf(path) + " for modifying\r\n")
        .when("check")
        .out(tagsRow(path, "1.0", "9000"));
}

} // namespace

// Ten songs of which the tool fails on four and one is gone: one question,
// answered with "Don't ask again"; the job changes the other five, and the
// summary lists all five with what happened.
TEST_P(GainOperationsTest, DontAskAgainKeepsTheJobGoingAndTheSummaryListsEveryFailure) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 10; ++i) {
        paths.push_back(track(L"s" + std::to_wstring(i) + L".mp3", "1.6", "9000", true));
    }
    for (int i : {1, 3, 5, 7}) {
        failingApply(paths[i]).write(toPath(paths[i]));
    }
    std::filesystem::remove(toPath(paths[9]));
    host.dontAskAgain = true;
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});

    EXPECT_EQ(host.callsOf("ask ").size(), 1u);
    EXPECT_TRUE(host.selection().empty());
    for (int i : {0, 2, 4, 6, 8}) {
        EXPECT_EQ(runsOf(paths[i]), (Runs{"/c /g 1", "/s c"})) << i;
    }
    const auto summary = host.lastSummary();
    ASSERT_EQ(summary.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        const std::wstring& path = paths[static_cast<std::size_t>(2 * i + 1)];
        EXPECT_EQ(summary[i].song, L"Song " + path.substr(path.size() - 5));
        EXPECT_EQ(summary[i].artist, L"Artist");
        EXPECT_EQ(summary[i].what, L"Can't open " + path + L" for modifying");
        EXPECT_EQ(cellOf(2 * i + 1, 3), L"Failed");
    }
    EXPECT_EQ(summary[4].what, L"File not found");
    EXPECT_TRUE(host.called("text Ready. 5 changed, 5 not done"));
    // The job ends once its summary is closed: no command could start another
    // job beside it while the summary is open.
    const auto calls = host.calls();
    const auto menuOn = std::find(calls.rbegin(), calls.rend(), "menu on").base();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "summary 5"), menuOn);

    // An analysis without an error clears the mark.
    FakeToolScript()
        .when("analyze")
        .out(analysisRow(paths[1], "2.0", "9000"))
        .write(toPath(paths[1]));
    runJob(JobKind::ClearData, JobScope::TracksView, {1});
    runJob(JobKind::Analyze, JobScope::TracksView, {1});
    EXPECT_EQ(cellOf(1, 3), L"");
}

TEST_P(GainOperationsTest, WithoutDontAskAgainEveryFailureIsAskedAndAJobWithoutOneEndsQuietly) {
    const std::wstring good = track(L"a.mp3", "1.6", "9000", true);
    const std::wstring bad = track(L"b.mp3", "1.6", "9000", true);
    const std::wstring worse = track(L"c.mp3", "1.6", "9000", true);
    failingApply(bad).write(toPath(bad));
    failingApply(worse).write(toPath(worse));
    runJob(JobKind::ApplyGain, JobScope::TracksView, {0, 1, 2});
    EXPECT_EQ(host.callsOf("ask ").size(), 2u);
    EXPECT_EQ(host.callsOf("summary ").size(), 1u);

    runJob(JobKind::ClearData, JobScope::TracksView, {0});
    runJob(JobKind::Analyze, JobScope::TracksView, {0});
    EXPECT_EQ(host.callsOf("summary ").size(), 1u);
    EXPECT_EQ(host.calls().back(), "leave");
    EXPECT_EQ(host.callsOf("status ").back(), "status 147");
    (void)good;
}

// Undo stamps a track only where the tool undid something; an apply that
// failed stamps nothing; a change Don't Clip limited is listed.
TEST_P(GainOperationsTest, OnlyTheFilesTheToolChangedAreStampedAndLimitsAreListed) {
    turnOn(PrefIndex::TimestampComments);
    const std::wstring untouched = track(L"a.mp3", "1.0", "9000", true);
    const std::wstring changed = track(L"b.mp3", "1.0", "9000", true);
    FakeToolScript()
        .when("any")
        .log()
        .when("undo")
        .out(undoRow(untouched, 0, 0))
        .when("check")
        .out(tagsRow(untouched, "1.0", "9000"))
        .write(toPath(untouched));
    runJob(JobKind::UndoGain, JobScope::TracksView, {0, 1});
    ASSERT_EQ(library.stamps.size(), 1u);
    EXPECT_EQ(library.stamps[0], std::vector<int32_t>{database.playlistAt(0).trackIds[1]});

    failingApply(changed).write(toPath(changed));
    runJob(JobKind::ApplyGain, JobScope::TracksView, {1});
    EXPECT_EQ(library.stamps.size(), 1u);

    turnOn(PrefIndex::DontClip);
    const std::wstring peaky = track(L"c.mp3", "3.5", "25000", true); // +2 steps would clip
    runJob(JobKind::ApplyGain, JobScope::TracksView, {2});
    EXPECT_EQ(runsOf(peaky), (Runs{"/c /g 1", "/s c"}));
    const auto summary = host.lastSummary();
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].kind, JobReport::Kind::Limited);
    EXPECT_EQ(summary[0].what, L"limited to 1 steps by Don't Clip");
    EXPECT_EQ(host.callsOf("status ").back(), "status 147"); // a limit is no failure
}

INSTANTIATE_TEST_SUITE_P(ToolRuns, GainOperationsTest, ::testing::Values(1, 4), runsAtOnceName);
