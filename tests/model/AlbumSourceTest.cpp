#include "ModelFixture.h"

#include "AlbumSource.h"
#include "AlbumStats.h"
#include "GainArithmetic.h"
#include "RecordingReporter.h"
#include "SelectionAsAlbum.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

// The albums view over the library playlist of ModelTest.
class AlbumTest : public ModelTest {
protected:
    // A track of an album analysed as a whole.
    int addAlbumTrack(const std::wstring& album, const std::wstring& path, double maxAmplitude,
                      double albumGain, const std::wstring& artist = L"Artist") {
        database.addTrack(0, path, L"Song " + path, artist, album);
        database.setTrackResult(path, maxAmplitude, albumGain);
        database.setAlbumResult(path, maxAmplitude, albumGain);
        return database.playlistAt(0).trackIds.back();
    }

    Cell albumCell(int row, int column) { return cellOf(albums, row, column); }

    AlbumStats albumStats{database, tracks};
    AlbumSource albums{database, preferences, albumStats, strings};
};

TEST_F(AlbumTest, AlbumAnalysedTogetherGetsOneStepCountForAllItsFiles) {
    addAlbumTrack(L"Together", L"C:\\1.mp3", 20000, 4.0);
    addAlbumTrack(L"Together", L"C:\\2.mp3", 26000, 4.0);
    ASSERT_EQ(albums.getCount(), 1);

    EXPECT_EQ(albumCell(0, 0).text, L"Together");
    EXPECT_EQ(albumCell(0, 1).text, L"Artist");
    EXPECT_EQ(albumCell(0, 2).text, L"2");
    EXPECT_EQ(albumCell(0, 3).text, L"85.0");
    EXPECT_EQ(albumCell(0, 4).text, L"");
    EXPECT_EQ(albumCell(0, 5).text, L"4.5"); // c = 2.66: 3 steps
    // 2^0.75 x 20000 = 33636 and 2^0.75 x 26000 = 43727 both clip.
    EXPECT_EQ(albumCell(0, 6).text, L"Yes");
    EXPECT_EQ(albumCell(0, 6).colour, kClippingRed);
    EXPECT_EQ(albumCell(0, 0).colour, kClippingRed);

    ASSERT_TRUE(albums.selectRow(0));
    int steps = 0;
    EXPECT_TRUE(albums.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(albums.getMaxNoClipGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 1); // the limits are 2 and 1: Don't Clip gives the album 1 step
    bool willClip = false;
    EXPECT_TRUE(albums.getWillClip(willClip));
    EXPECT_TRUE(willClip);
    EXPECT_EQ(albums.getName(), L"Together");
    EXPECT_EQ(albums.getFileArgs(), L"\"C:\\1.mp3\" \"C:\\2.mp3\" ");
    EXPECT_EQ(albums.getTrackIds(), database.playlistAt(0).trackIds);

    // One track analysed alone afterwards: the album has no consistent result.
    database.clearAlbumResult(L"C:\\2.mp3");
    albums.reset();
    for (int column = 3; column <= 6; ++column) {
        EXPECT_EQ(albumCell(0, column).text, L"") << column;
    }
    EXPECT_EQ(albumCell(0, 0).colour, kNormalColour);
    EXPECT_TRUE(albums.selectRow(0));
    EXPECT_FALSE(albums.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, -99999999);
    EXPECT_FALSE(albums.getWillClip(willClip));
}

TEST_F(AlbumTest, StepCountsCanAgreeWhereVolumesDoNot) {
    addAlbumTrack(L"Nearly", L"C:\\1.mp3", 1000, 4.0);
    addAlbumTrack(L"Nearly", L"C:\\2.mp3", 1000, 4.0000001);
    addAlbumTrack(L"Nearly", L"C:\\3.mp3", 1000, 4.0);

    EXPECT_EQ(albumCell(0, 3).text, L"");
    EXPECT_EQ(albumCell(0, 5).text, L"");
    ASSERT_TRUE(albums.selectRow(0));
    int steps = 0;
    EXPECT_TRUE(albums.getGlobalGainAdjust(steps)); // Apply Gain still applies 3 steps
    EXPECT_EQ(steps, 3);
    EXPECT_FALSE(albums.getMaxNoClipGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 0);
    double volume = 0;
    EXPECT_FALSE(albumStats.getAlbumVolume(0, volume));
    double gain = 0;
    EXPECT_TRUE(albumStats.getAlbumGainDb(0, gain));
    EXPECT_DOUBLE_EQ(gain, 3 * kGainStepDb);
}

TEST_F(AlbumTest, UnloadableTracksMakeTheAlbumOrangeOrMagenta) {
    // Second track protected, third loadable: magenta.
    addAlbumTrack(L"Bought", L"C:\\1.mp3", 1000, 2.0);
    database.addTrack(0, std::wstring(L"C:\\2.m4p"), L"Song 2", L"Artist", L"Bought");
    addAlbumTrack(L"Bought", L"C:\\3.mp3", 1000, 2.0);
    // Second track without a file: orange.
    addAlbumTrack(L"Lost", L"C:\\4.mp3", 1000, 2.0);
    database.addTrack(0, std::nullopt, L"Song 5", L"Artist", L"Lost");
    addAlbumTrack(L"Lost", L"C:\\6.mp3", 1000, 2.0);

    EXPECT_FALSE(albums.selectRow(0));
    EXPECT_EQ(albumCell(0, 0).colour, kProtectedMagenta);
    EXPECT_EQ(albumCell(0, 0).text, L"Bought");
    EXPECT_EQ(albumCell(0, 2).text, L"3");
    EXPECT_EQ(albumCell(0, 3).text, L"");

    EXPECT_FALSE(albums.selectRow(1));
    EXPECT_EQ(albumCell(1, 0).colour, kNotFoundOrange);
    EXPECT_EQ(albumCell(1, 2).text, L"3");
}

TEST_F(AlbumTest, WalkStopsWhereTheFirstTrackHasNoAlbumResult) {
    addAnalysedTrack(L"Song 1", L"C:\\1.mp3", 1000, 2.0, L"Half");
    database.addTrack(0, std::wstring(L"C:\\2.m4p"), L"Song 2", L"Artist", L"Half");
    addAnalysedTrack(L"Song 3", L"C:\\3.mp3", 1000, 2.0, L"Half");

    // Only the first track is examined, so the album counts as loaded.
    EXPECT_TRUE(albums.selectRow(0));
    EXPECT_EQ(albumCell(0, 0).colour, kNormalColour);
    EXPECT_EQ(albumCell(0, 3).text, L"");
    // A job on it gets only the first file: the walk for arguments stops at the .m4p.
    std::wstring args;
    EXPECT_FALSE(albumStats.getFileArgs(0, args));
    EXPECT_EQ(args, L"\"C:\\1.mp3\" ");
    EXPECT_EQ(albums.getFileArgs(), L"\"C:\\1.mp3\" ");
}

TEST_F(AlbumTest, NoClipLimitPassesOverTracksWithoutAnAmplitude) {
    addAlbumTrack(L"Mixed", L"C:\\1.mp3", 18000, 3.0); // limit 3
    database.addTrack(0, std::wstring(L"C:\\2.mp3"), L"Song 2", L"Artist", L"Mixed");
    database.setAlbumResult(L"C:\\2.mp3", 18000, 3.0); // album value, no amplitude
    addAlbumTrack(L"Mixed", L"C:\\3.mp3", 25000, 3.0); // limit 1

    int steps = 0;
    EXPECT_TRUE(albumStats.getAlbumMaxNoClip(albumStats.getTrackIdList(0), steps));
    EXPECT_EQ(steps, 1);
    // The amplitude-less track has its own will-clip answer false, not unknown.
    bool willClip = false;
    EXPECT_TRUE(albumStats.getAlbumWillClip(albumStats.getTrackIdList(0), willClip));
    EXPECT_TRUE(willClip); // 2 steps on 25000
}

TEST_F(AlbumTest, ClippingOfAnyTrackMarksTheAlbum) {
    addAlbumTrack(L"Hot", L"C:\\1.mp3", 1000, 0.0);
    addAlbumTrack(L"Hot", L"C:\\2.mp3", 40000, 0.0);
    EXPECT_EQ(albumCell(0, 4).text, L"Yes");
    EXPECT_EQ(albumCell(0, 4).colour, kClippingRed);
    EXPECT_EQ(albumCell(0, 6).text, L"Yes"); // still too loud after 0 steps
    EXPECT_EQ(albumCell(0, 0).colour, kClippingRed);
    bool clipping = false;
    EXPECT_TRUE(albumStats.getAlbumClipping(0, clipping));
    EXPECT_TRUE(clipping);
}

TEST_F(AlbumTest, ColumnsComeWithHeadersWidthsAndAlignment) {
    RecordingListView list;
    albums.setupColumns(list);
    EXPECT_EQ(list.headers, (std::vector<int>{133, 158, 159, 138, 135, 139, 140}));
    EXPECT_EQ(list.widths, (std::vector<int>{162, 162, 65, 85, 65, 65, 77}));
    EXPECT_EQ(list.alignments, (std::vector<int>{0, 0, 2, 2, 0, 2, 0}));
    albums.setColumnWidth(6, 80);
    EXPECT_EQ(preferences.getPref(PrefIndex::AlbumColumnWidths),
              std::wstring(L"162,162,65,85,65,65,80"));
}

TEST_F(AlbumTest, SortingByTracksVolumeAndClip) {
    for (int i = 0; i < 3; ++i) { // row 0: 3 tracks, not analysed
        database.addTrack(0, L"C:\\a" + std::to_wstring(i) + L".mp3", L"s", L"Zed", L"Aa");
    }
    addAlbumTrack(L"Bb", L"C:\\b1.mp3", 30000, 4.0, L"Abe"); // row 1: 85.0, clips at 3 steps
    addAlbumTrack(L"Bb", L"C:\\b2.mp3", 1000, 4.0, L"Abe");
    addAlbumTrack(L"Cc", L"C:\\c1.mp3", 1000, -2.0, L"Moe"); // row 2: 91.0
    addAlbumTrack(L"Cc", L"C:\\c2.mp3", 1000, -2.0, L"Moe");
    ASSERT_EQ(albums.getCount(), 3);
    ASSERT_TRUE(albums.selectRow(1));

    EXPECT_EQ(sortedRows(albums, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(sortedRows(albums, 1), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(sortedRows(albums, 2), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(sortedRows(albums, 3), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(sortedRows(albums, 5), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(sortedRows(albums, 6), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(albums.compareRows(0, 2, 2), 1);
    EXPECT_EQ(albums.compareRows(0, 1, 7), 0);

    // The loaded row is not disturbed by sorting.
    EXPECT_EQ(albums.getName(), L"Bb");
    EXPECT_EQ(albums.getFileArgs(), L"\"C:\\b1.mp3\" \"C:\\b2.mp3\" ");
}

// An album whose first track record is gone can only come from a damaged file.
TEST(AlbumSourceFromFile, AlbumWithoutItsFirstTrackIsNamedByTheNextAndShownNotFound) {
    ModelFromFile model("\r\n"
                        "G1\tC:\\2.mp3\t1000.000000\t2.000000\t1000.000000\t2.000000\r"
                        "G2\tC:\\3.mp3\t1000.000000\t2.000000\t1000.000000\t2.000000\r"
                        "A1\t3\t9\t2\t3\t\r"
                        "T2\t1\tSong 2\tDamaged\tArtist\r"
                        "T3\t2\tSong 3\tDamaged\tArtist\r"
                        "P1\tLibrary\t2\t2\t3\t1\t1\t1\tArtist\tDamaged\t1\r");
    AlbumStats albumStats(model.database, model.tracks);
    AlbumSource albums(model.database, model.preferences, albumStats, model.strings);

    ASSERT_EQ(albums.getCount(), 1);
    EXPECT_FALSE(albums.selectRow(0)); // jobs skip it
    Cell name = cellOf(albums, 0, 0);
    EXPECT_EQ(name.text, L"Damaged");
    EXPECT_EQ(name.colour, kNotFoundOrange);
    EXPECT_EQ(cellOf(albums, 0, 1).text, L"Artist");
    EXPECT_EQ(cellOf(albums, 0, 2).text, L"3");
    EXPECT_EQ(cellOf(albums, 0, 3).text, L"");
    std::wstring text;
    EXPECT_TRUE(albumStats.getAlbumName(0, text));
    EXPECT_EQ(text, L"Damaged");
}

TEST_F(AlbumTest, SelectionAsAlbumTakesTheLoadableSelectedRows) {
    addAlbumTrack(L"X", L"C:\\1.mp3", 20000, 4.0);
    addAlbumTrack(L"X", L"C:\\2.mp3", 26000, 4.0);
    database.addTrack(0, std::wstring(L"C:\\3.m4p"), L"Song 3", L"Artist", L"X");
    addAlbumTrack(L"X", L"C:\\4.mp3", 20000, 4.0);
    addAlbumTrack(L"X", L"C:\\5.mp3", 20000, 4.0);
    addTrack(L"Unselected", std::wstring(L"C:\\6.mp3"));
    const std::vector<int>& ids = database.playlistAt(0).trackIds;

    RecordingListView list;
    list.selectedKeys = {4, 2, 0, 3, 1};
    SelectionAsAlbum selection(list, tracks);
    EXPECT_EQ(selection.getName(), L"Selected items");
    EXPECT_EQ(selection.getFileArgs(), L"\"C:\\5.mp3\" \"C:\\1.mp3\" \"C:\\4.mp3\" \"C:\\2.mp3\" ");
    EXPECT_EQ(selection.getTrackIds(), (std::vector<int>{ids[4], ids[0], ids[3], ids[1]}));
    EXPECT_EQ(selection.getCount(), 1);
    EXPECT_TRUE(selection.selectRow(0));

    int steps = 0;
    EXPECT_TRUE(selection.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(selection.getMaxNoClipGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 1);
    bool willClip = false;
    EXPECT_TRUE(selection.getWillClip(willClip));
    EXPECT_TRUE(willClip);
}

TEST_F(AlbumTest, SelectionAsAlbumHasOnlyRowZero) {
    RecordingReporter reporter;
    RecordingListView list;
    SelectionAsAlbum selection(list, tracks);
    EXPECT_TRUE(selection.getTrackIds().empty());
    int steps = 0;
    EXPECT_FALSE(selection.getGlobalGainAdjust(steps)); // an empty selection has no gain

    EXPECT_THROW(selection.selectRow(1), Exception);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_NE(reporter.lastText().find(L"File .\\SelectionAsAlbum, Line 55, result 1. "),
              std::wstring::npos);
}

TEST_F(AlbumTest, AJobAndTheAlbumsViewNeverMoveEachOthersCursor) {
    addAlbumTrack(L"First", L"C:\\1.mp3", 1000, 2.0);
    addAlbumTrack(L"First", L"C:\\2.mp3", 1000, 2.0);
    addAlbumTrack(L"Second", L"C:\\3.mp3", 1000, 3.0);
    addAlbumTrack(L"Second", L"C:\\4.mp3", 1000, 3.0);

    // The job thread builds an album's file list while the UI thread repaints
    // the other album: the list must only ever name the job's album's files.
    std::atomic<bool> started = false;
    std::atomic<bool> done = false;
    std::thread painter([&] {
        AlbumValues values;
        started = true;
        while (!done) {
            albumStats.loadAlbum(0, values);
        }
    });
    while (!started) {
        std::this_thread::yield();
    }
    int wrongLists = 0;
    for (int i = 0; i < 200000; ++i) {
        std::wstring args;
        albumStats.getFileArgs(1, args);
        wrongLists += args != L"\"C:\\3.mp3\" \"C:\\4.mp3\" ";
    }
    done = true;
    painter.join();
    EXPECT_EQ(wrongLists, 0);
}

TEST(AlbumSourceFromFile, AlbumValuesAfterAReloadComeFromTheNewTables) {
    ModelFromFile model("\r\n"
                        "G1\tC:\\1.mp3\t1000.000000\t2.000000\t1000.000000\t2.000000\r"
                        "G2\tC:\\2.mp3\t1000.000000\t2.000000\t1000.000000\t2.000000\r"
                        "A1\t2\t1\t2\t\r"
                        "T1\t1\tSong 1\tAlbum\tArtist\r"
                        "T2\t2\tSong 2\tAlbum\tArtist\r"
                        "P1\tLibrary\t2\t1\t2\t1\t1\t1\tArtist\tAlbum\t1\r");
    AlbumStats albumStats(model.database, model.tracks);

    double volume = 0;
    ASSERT_TRUE(albumStats.getAlbumVolume(0, volume));
    // The same ids come back in new records: nothing may still point at the old
    // ones, not even for the track that the last walk ended on.
    ASSERT_TRUE(model.database.reload());
    int limit = 0;
    EXPECT_TRUE(albumStats.getAlbumMaxNoClip(std::vector<int>{2, 1}, limit));
    EXPECT_EQ(limit, 20);
    EXPECT_TRUE(albumStats.getAlbumVolume(0, volume));
    EXPECT_EQ(volume, 87.0);
    std::wstring args;
    EXPECT_TRUE(albumStats.getFileArgs(0, args));
    EXPECT_EQ(args, L"\"C:\\1.mp3\" \"C:\\2.mp3\" ");
}

// An album of MP3s and a WAV, levelled with a tool that takes only MP3s: the
// last job marked the WAV, and the album is what its MP3s are, so that Apply
// Gain still levels them together.
TEST_F(AlbumTest, ATrackTheToolCouldNotTakeIsPassedOverByTheAlbumsValues) {
    addAlbumTrack(L"Mixed", L"C:\\1.mp3", 20000, 4.0);
    database.addTrack(0, std::wstring(L"C:\\2.wav"), L"Song 2", L"Artist", L"Mixed");
    addAlbumTrack(L"Mixed", L"C:\\3.mp3", 26000, 4.0);
    ASSERT_TRUE(albums.selectRow(0));
    int steps = 0;
    EXPECT_FALSE(albums.getGlobalGainAdjust(steps));

    database.setFileProblem(L"C:\\2.wav", FileProblem::NotHandled);
    albums.reset();
    EXPECT_EQ(albumCell(0, 3).text, L"85.0");
    EXPECT_EQ(albumCell(0, 2).text, L"3");
    ASSERT_TRUE(albums.selectRow(0));
    EXPECT_TRUE(albums.getGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(albums.getMaxNoClipGlobalGainAdjust(steps));
    EXPECT_EQ(steps, 1);

    // With every track passed over there are no album values at all.
    database.setFileProblem(L"C:\\1.mp3", FileProblem::Missing);
    database.setFileProblem(L"C:\\3.mp3", FileProblem::ToolFailed);
    albums.reset();
    EXPECT_EQ(albumCell(0, 3).text, L"");
    ASSERT_TRUE(albums.selectRow(0));
    EXPECT_FALSE(albums.getGlobalGainAdjust(steps));
}
