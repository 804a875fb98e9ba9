#include "ModelFixture.h"

#include "AlbumTrackSource.h"

#include <algorithm>
#include <map>
#include <numeric>

// The contract a user sees: the worked examples of the tracks view.
TEST_F(ModelTest, TracksViewShowsVolumeGainAndClipOfTheWorkedExamples) {
    addAnalysedTrack(L"Loud enough", L"C:\\Music\\a.mp3", 30000, 3.2);
    addAnalysedTrack(L"Too loud", L"C:\\Music\\b.mp3", 20000, -4.1);

    EXPECT_EQ(cell(0, 2).text, L"85.8");
    EXPECT_EQ(cell(0, 3).text, L"");
    EXPECT_EQ(cell(0, 4).text, L"3.0"); // 2 steps, shown as whole steps
    Cell clip = cell(0, 5);
    EXPECT_EQ(clip.text, L"Yes"); // 2^0.5 x 30000 > 32767
    EXPECT_EQ(clip.colour, kClippingRed);
    EXPECT_EQ(cell(0, 0).colour, kClippingRed);
    ASSERT_TRUE(tracks.selectRow(0));
    int limit = -1;
    EXPECT_TRUE(tracks.getMaxNoClipGlobalGainAdjust(limit));
    EXPECT_EQ(limit, 0);

    EXPECT_EQ(cell(1, 2).text, L"93.1");
    EXPECT_EQ(cell(1, 4).text, L"-4.5");
    EXPECT_EQ(cell(1, 5).text, L"");
    EXPECT_EQ(cell(1, 5).colour, kNormalColour);
    EXPECT_EQ(cell(1, 0).colour, kNormalColour);
    EXPECT_EQ(cell(1, 0).text, L"Too loud");
    EXPECT_EQ(cell(1, 1).text, L"Album");
    ASSERT_TRUE(tracks.selectRow(1));
    int steps = 0;
    EXPECT_TRUE(tracks.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, -3);
}

TEST_F(ModelTest, AlbumColumnsUseTheAlbumStepsWithTheTracksOwnAmplitude) {
    addAnalysedTrack(L"One", L"C:\\a.mp3", 20000, 1.0);
    database.setAlbumResult(L"C:\\a.mp3", 26000, 4.0);

    EXPECT_EQ(cell(0, 6).text, L"85.0");
    EXPECT_EQ(cell(0, 7).text, L"4.5");
    // 3 album steps with the track's own 20000 (not the album's 26000): 33636 > 32767.
    EXPECT_EQ(cell(0, 8).text, L"Yes");
    EXPECT_EQ(cell(0, 8).colour, kClippingRed);
    EXPECT_EQ(cell(0, 5).text, L""); // 1 track step: 23784
    EXPECT_EQ(cell(0, 0).colour, kClippingRed);
}

TEST_F(ModelTest, TrackThatClipsAlreadyIsMarkedRed) {
    addAnalysedTrack(L"Hot", L"C:\\hot.mp3", 40000, 0.0);
    addAnalysedTrack(L"Edge", L"C:\\edge.mp3", 32767, 0.0);

    EXPECT_EQ(cell(0, 3).text, L"Yes");
    EXPECT_EQ(cell(0, 3).colour, kClippingRed);
    EXPECT_EQ(cell(0, 0).colour, kClippingRed);
    ASSERT_TRUE(tracks.selectRow(0));
    int limit = 0;
    tracks.getMaxNoClipGlobalGainAdjust(limit);
    EXPECT_EQ(limit, -2);

    // Exactly 32767 neither clips nor will clip at 0 steps; its limit is 0.
    EXPECT_EQ(cell(1, 3).text, L"");
    EXPECT_EQ(cell(1, 5).text, L"");
    EXPECT_EQ(cell(1, 0).colour, kNormalColour);
    ASSERT_TRUE(tracks.selectRow(1));
    tracks.getMaxNoClipGlobalGainAdjust(limit);
    EXPECT_EQ(limit, 0);
}

TEST_F(ModelTest, StepCountsJustBelowOneAndAHalfRoundDown) {
    addAnalysedTrack(L"Up", L"C:\\up.mp3", 1000, 2.2577);
    addAnalysedTrack(L"Down", L"C:\\down.mp3", 1000, -2.2577);
    EXPECT_EQ(cell(0, 4).text, L"1.5");
    EXPECT_EQ(cell(1, 4).text, L"-1.5");
}

TEST_F(ModelTest, TargetVolumeIsCapturedWhenTheRowIsLoaded) {
    addAnalysedTrack(L"Song", L"C:\\song.mp3", 10000, 3.2);
    EXPECT_EQ(cell(0, 4).text, L"3.0");

    trackbar.position = 92;
    EXPECT_EQ(cell(0, 4).text, L"3.0"); // the row is still loaded with target 89
    tracks.reset();
    EXPECT_EQ(cell(0, 4).text, L"6.0"); // c = 4.119, 4 steps
    EXPECT_EQ(cell(0, 2).text, L"85.8");
}

TEST_F(ModelTest, MissingValuesLeaveCellsEmptyAndQueriesWritePlaceholders) {
    addTrack(L"No file", std::nullopt, L"Its album");
    addTrack(L"Not analysed", std::wstring(L"C:\\new.mp3"));

    // No file record: orange name, album shown normally, every value empty.
    EXPECT_EQ(cell(0, 0).text, L"No file");
    EXPECT_EQ(cell(0, 0).colour, kNotFoundOrange);
    EXPECT_EQ(cell(0, 1).text, L"Its album");
    EXPECT_EQ(cell(0, 1).colour, kNormalColour);
    for (int column = 2; column <= 8; ++column) {
        EXPECT_EQ(cell(0, column).text, L"") << column;
    }
    EXPECT_FALSE(tracks.selectRow(0));
    EXPECT_EQ(tracks.getName(), L"");
    EXPECT_EQ(tracks.getFileArgs(), L"");

    // A file never analysed: loadable, every query invalid with its placeholder.
    ASSERT_TRUE(tracks.selectRow(1));
    double value = 0;
    int steps = 0;
    bool flag = true;
    EXPECT_FALSE(tracks.getMaxAmplitude(value));
    EXPECT_EQ(value, 0.0);
    EXPECT_FALSE(tracks.getTrackVolume(value));
    EXPECT_EQ(value, -1e99);
    EXPECT_FALSE(tracks.getAlbumVolume(value));
    EXPECT_EQ(value, -1e99);
    EXPECT_FALSE(tracks.getTrackGainDb(value));
    EXPECT_EQ(value, -1e99);
    EXPECT_FALSE(tracks.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, -999999999);
    EXPECT_FALSE(tracks.getAlbumGlobalGainAdjust(steps));
    EXPECT_EQ(steps, -999999999);
    EXPECT_FALSE(tracks.getMaxNoClipGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 0);
    EXPECT_FALSE(tracks.getClipping(flag));
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_FALSE(tracks.getWillClip(flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(cell(1, 0).colour, kNormalColour);
    for (int column = 2; column <= 8; ++column) {
        EXPECT_EQ(cell(1, column).text, L"") << column;
    }

    // Rows beyond the playlist: nothing loads, nothing crashes.
    EXPECT_FALSE(tracks.selectRow(5));
    EXPECT_EQ(cell(5, 0).text, L"");
    EXPECT_EQ(cell(5, 0).colour, kNotFoundOrange);
    EXPECT_EQ(cell(0, 9).text, L"");
}

TEST_F(ModelTest, ProtectedFilesAreShownMagentaAndNotProcessed) {
    addTrack(L"Bought", std::wstring(L"C:\\Music\\song.M4P"));
    addTrack(L"Odd name", std::wstring(L".m4p"));
    addTrack(L"Plain", std::wstring(L"C:\\Music\\song.m4a"));

    EXPECT_FALSE(tracks.selectRow(0));
    EXPECT_TRUE(tracks.isProtected());
    EXPECT_EQ(cell(0, 0).colour, kProtectedMagenta);
    // The file is known: its name and arguments are still given.
    EXPECT_EQ(tracks.getName(), L"song.M4P");

    EXPECT_TRUE(tracks.selectRow(1)); // only the extension: not a protected file
    EXPECT_FALSE(tracks.isProtected());
    EXPECT_TRUE(tracks.selectRow(2));
}

TEST_F(ModelTest, SelectRowKeepsItsAnswerUntilReset) {
    addTrack(L"No file", std::nullopt);
    addAnalysedTrack(L"Song", L"C:\\Music\\Artist\\song.mp3", 1000, 1.0);

    EXPECT_FALSE(tracks.selectRow(0));
    int reads = trackbar.reads;
    EXPECT_FALSE(tracks.selectRow(0)); // answered again without loading
    EXPECT_EQ(trackbar.reads, reads);

    EXPECT_TRUE(tracks.selectRow(1));
    EXPECT_TRUE(tracks.selectRow(1));
    EXPECT_EQ(trackbar.reads, reads + 1);
    tracks.reset();
    EXPECT_TRUE(tracks.selectRow(1));
    EXPECT_EQ(trackbar.reads, reads + 2);

    EXPECT_EQ(tracks.getName(), L"song.mp3");
    EXPECT_EQ(tracks.getFileArgs(), L"\"C:\\Music\\Artist\\song.mp3\"");
    ASSERT_EQ(tracks.getTrackIds().size(), 1u);
    EXPECT_EQ(tracks.getTrackIds()[0], database.playlistAt(0).trackIds[1]);
}

TEST_F(ModelTest, NameIsTheWholePathWithoutABackslash) {
    addTrack(L"Song", std::wstring(L"song.mp3"));
    ASSERT_TRUE(tracks.selectRow(0));
    EXPECT_EQ(tracks.getName(), L"song.mp3");
}

TEST_F(ModelTest, ClearDataForgetsTheValuesOfTheTracksFile) {
    addAnalysedTrack(L"Song", L"C:\\song.mp3", 1000, 1.0);
    database.setAlbumResult(L"C:\\song.mp3", 1000, 1.0);
    ASSERT_TRUE(tracks.selectRow(0));
    tracks.clearData();
    for (int column = 2; column <= 8; ++column) {
        EXPECT_EQ(cell(0, column).text, L"") << column;
    }
    EXPECT_TRUE(tracks.selectRow(0)); // the file record itself stays
}

TEST_F(ModelTest, CopiesAreFreshCursorsOverTheSameDatabase) {
    addAnalysedTrack(L"Song", L"C:\\song.mp3", 1000, 1.0);
    ASSERT_TRUE(tracks.selectRow(0));
    TrackSource copy(tracks);
    EXPECT_EQ(copy.getName(), L"");
    EXPECT_EQ(copy.track(), nullptr);
    EXPECT_TRUE(copy.selectRow(0));
    EXPECT_EQ(copy.getName(), L"song.mp3");
}

// The program itself never stores a gain without an amplitude.
TEST(TrackSourceFromFile, GainWithoutAmplitudeShowsVolumeAndGainButNoClipping) {
    ModelFromFile model("\r\n"
                        "G1\tC:\\a.mp3\tN\t3.200000\tN\tN\r"
                        "T1\t1\tSong\tAlbum\tArtist\r"
                        "P1\tLibrary\t1\t1\t0\t0\r");
    TrackSource& tracks = model.tracks;

    ASSERT_EQ(tracks.getCount(), 1);
    EXPECT_EQ(cellOf(tracks, 0, 2).text, L"85.8");
    EXPECT_EQ(cellOf(tracks, 0, 4).text, L"3.0");
    EXPECT_EQ(cellOf(tracks, 0, 3).text, L"");
    EXPECT_EQ(cellOf(tracks, 0, 5).text, L"");
    EXPECT_EQ(cellOf(tracks, 0, 0).colour, kNormalColour);
    bool willClip = true;
    EXPECT_TRUE(tracks.getWillClip(willClip));
    EXPECT_FALSE(willClip);
}

TEST_F(ModelTest, ColumnsComeWithHeadersWidthsAndAlignment) {
    RecordingListView list;
    tracks.setupColumns(list);
    EXPECT_EQ(list.headers, (std::vector<int>{132, 133, 134, 135, 136, 137, 138, 139, 140}));
    EXPECT_EQ(list.widths, (std::vector<int>{131, 131, 49, 53, 51, 44, 79, 70, 70}));
    EXPECT_EQ(list.alignments, (std::vector<int>{0, 0, 2, 0, 2, 0, 2, 2, 0}));

    tracks.setColumnWidth(3, 60);
    EXPECT_EQ(preferences.getPref(PrefIndex::TrackColumnWidths),
              std::wstring(L"131,131,49,60,51,44,79,70,70"));

    // A short list leaves the missing widths to the list (-1).
    preferences.setPref(PrefIndex::TrackColumnWidths, L"100,90");
    tracks.setupColumns(list);
    EXPECT_EQ(list.widths, (std::vector<int>{100, 90, -1, -1, -1, -1, -1, -1, -1}));
}

TEST_F(ModelTest, SortingPutsUnknownValuesLastAndYesFirst) {
    addAnalysedTrack(L"b", L"C:\\1.mp3", 30000, 3.2); // 85.8, clip after 2 steps
    addTrack(L"c", std::wstring(L"C:\\2.mp3"));       // not analysed
    addAnalysedTrack(L"a", L"C:\\3.mp3", 1000, -4.1); // 93.1
    addTrack(L"d", std::nullopt);                     // no file

    EXPECT_EQ(sortedRows(tracks, 0), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(sortedRows(tracks, 2), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(sortedRows(tracks, 4), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(sortedRows(tracks, 5), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(tracks.compareRows(0, 2, 5), -1);
    EXPECT_EQ(tracks.compareRows(2, 0, 5), 1);
    EXPECT_EQ(tracks.compareRows(1, 3, 2), 0); // both unknown
    EXPECT_EQ(tracks.compareRows(0, 2, 9), 0);
}

TEST_F(ModelTest, AbsentNamesCompareEqualToAnything) {
    database.addTrack(0, std::wstring(L"C:\\1.mp3"), std::nullopt, std::nullopt, std::nullopt);
    addTrack(L"Song", std::wstring(L"C:\\2.mp3"));
    EXPECT_EQ(tracks.compareRows(0, 1, 0), 0);
    EXPECT_EQ(tracks.compareRows(1, 0, 1), 0);
}

TEST_F(ModelTest, ComparingNeverDisturbsTheLoadedRow) {
    addAnalysedTrack(L"a", L"C:\\1.mp3", 1000, 1.0);
    addTrack(L"b", std::nullopt);
    addAnalysedTrack(L"c", L"C:\\3.mp3", 1000, 2.0);
    ASSERT_TRUE(tracks.selectRow(0));
    for (int column = 0; column < 9; ++column) {
        tracks.compareRows(1, 2, column);
    }
    int reads = trackbar.reads;
    EXPECT_TRUE(tracks.selectRow(0));
    EXPECT_EQ(trackbar.reads, reads);
    EXPECT_EQ(tracks.getName(), L"1.mp3");
}

TEST_F(ModelTest, AlbumTrackSourceListsTracksByIdInTheOrderGiven) {
    int first = addAnalysedTrack(L"a", L"C:\\1.mp3", 30000, 3.2);
    int second = addTrack(L"b", std::nullopt);
    int third = addAnalysedTrack(L"c", L"C:\\3.mp3", 1000, -4.1);

    AlbumTrackSource dialog(tracks);
    dialog.appendTrackIds({third, first});
    dialog.appendTrackIds({second});
    ASSERT_EQ(dialog.getCount(), 3);
    EXPECT_EQ(cellOf(dialog, 0, 0).text, L"c");
    EXPECT_EQ(cellOf(dialog, 0, 2).text, L"93.1");
    EXPECT_EQ(cellOf(dialog, 1, 5).text, L"Yes");
    EXPECT_EQ(cellOf(dialog, 2, 0).colour, kNotFoundOrange);
    EXPECT_EQ(cellOf(dialog, 3, 0).text, L"");

    EXPECT_EQ(sortedRows(dialog, 0), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(sortedRows(dialog, 2), (std::vector<int>{1, 0, 2}));

    RecordingListView list;
    dialog.setupColumns(list);
    EXPECT_EQ(list.headers.size(), 9u);
}

TEST_F(ModelTest, SortingAfterAnAnalysisOrATargetChangeSeesTheNewValues) {
    addAnalysedTrack(L"a", L"C:\\1.mp3", 1000, 1.0); // 88.0, 1 step
    addAnalysedTrack(L"b", L"C:\\2.mp3", 1000, 2.0); // 87.0, 1 step
    EXPECT_EQ(tracks.compareRows(0, 1, 2), 1);
    EXPECT_EQ(tracks.compareRows(0, 1, 4), 0);

    // The list repaints the changed row before it sorts again.
    database.setTrackResult(L"C:\\1.mp3", 1000, 3.0);
    cell(0, 2);
    EXPECT_EQ(tracks.compareRows(0, 1, 2), -1);

    // A new target volume changes the step counts even within one sort.
    trackbar.position = 91; // a: 91 - 86 = 5 dB, 3 steps; b: 4 dB, 3 steps
    EXPECT_EQ(tracks.compareRows(0, 1, 4), 0);
    trackbar.position = 90; // a: 4 dB, 3 steps; b: 3 dB, 2 steps
    EXPECT_EQ(tracks.compareRows(0, 1, 4), 1);
}
