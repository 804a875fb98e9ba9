#include "DatabaseTestData.h"
#include "MemoryFileStore.h"
#include "RecordingReporter.h"

#include "Exception.h"
#include "VeltoDatabase.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Builds the example through the operations a synchronisation and a job use.
void buildExample(VeltoDatabase& database) {
    database.setPreference(L"Volume", L"89");
    database.setPreference(L"DontClip", L"0");
    database.addPlaylist(L"Library", 2, true, 77);
    database.addTrack(0, L"C:\\Music\\a.m4a", L"One", L"Art", L"Alb");
    database.addTrack(0, L"C:\\Music\\b.m4a", L"Two", L"Art", L"Alb");
    database.setTrackResult(L"C:\\Music\\a.m4a", 30000.5, -3.25);
}

// A byte string that may hold NUL.
template <size_t N> std::string raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

std::string roundTrip(const std::string& bytes) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, bytes);
    return database.serialize();
}

} // namespace

TEST(DatabaseFile, TheExampleIsWrittenByteForByte) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    buildExample(database);
    database.setPath(kDatabasePath);
    database.save();
    EXPECT_EQ(store.files.at(kDatabasePath), kExampleFile);
}

TEST(DatabaseFile, TheExampleReadsIntoTheTablesItDescribes) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);

    EXPECT_EQ(database.getPreference(L"DontClip"), L"0");
    EXPECT_EQ(database.getPreference(L"Volume"), L"89");
    EXPECT_EQ(database.preferenceTable().size(), 2u);

    const DatabaseTables& tables = database.contents();
    ASSERT_EQ(tables.aacgainRecords.size(), 2u);
    const AACGainRecord& a = tables.aacgainRecords.at(1);
    EXPECT_EQ(a.path, L"C:\\Music\\a.m4a");
    EXPECT_EQ(a.maxAmplitude, OptionalReal::of(30000.5));
    EXPECT_EQ(a.trackGain, OptionalReal::of(-3.25));
    EXPECT_EQ(a.albumMaxAmplitude, OptionalReal::absent());
    EXPECT_FALSE(a.orphaned);
    EXPECT_EQ(tables.fileIndex.at(L"C:\\Music\\b.m4a"), 2);

    ASSERT_EQ(database.playlistCount(), 1);
    const Playlist& library = database.playlistAt(0);
    EXPECT_EQ(library.name, L"Library");
    EXPECT_EQ(library.isLibrary, 1);
    EXPECT_EQ(library.playlistId, -1);
    EXPECT_EQ(library.trackIds, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(library.albumIds, (std::vector<int32_t>{1}));
    EXPECT_EQ(library.albumKeys.at(AlbumKey{L"Art", L"Alb"}), 1);
    EXPECT_EQ(database.currentPlaylist(), 0);

    ASSERT_EQ(database.currentTrackCount(), 2);
    const TrackRecord* two = database.currentTrackAt(1);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->name, L"Two");
    EXPECT_EQ(two->album, L"Alb");
    EXPECT_EQ(two->artist, L"Art");
    EXPECT_EQ(*database.trackFileName(*two), L"C:\\Music\\b.m4a");
    ASSERT_EQ(database.currentAlbumCount(), 1);
    EXPECT_EQ(database.currentAlbumAt(0)->trackIds, (std::vector<int32_t>{1, 2}));

    EXPECT_EQ(database.serialize(), kExampleFile);
}

TEST(DatabaseFile, EveryFieldKindSurvivesASaveAndLoad) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    database.addPlaylist(L"Mixed", 3, false, 5);
    database.addTrack(0, L"C:\\x.mp3", L"", std::nullopt, L"Solo");
    database.addTrack(0, std::nullopt, L"No file", L"Art", L"Alb");
    database.setTrackResult(L"C:\\x.mp3", 0.1234567, -12.5);
    database.setAlbumResult(L"C:\\x.mp3", 32768.0, 1e-7);
    database.setPath(kDatabasePath);
    database.save();
    std::string first = store.files.at(kDatabasePath);

    VeltoDatabase loaded(store);
    loadFrom(loaded, store, first);
    const AACGainRecord& record = loaded.contents().aacgainRecords.at(1);
    EXPECT_DOUBLE_EQ(record.maxAmplitude.value, 0.123457); // six decimals
    EXPECT_DOUBLE_EQ(record.trackGain.value, -12.5);
    EXPECT_EQ(record.albumGain, OptionalReal::of(0.0));

    const TrackRecord& withFile = loaded.contents().tracks.at(1);
    EXPECT_FALSE(withFile.name.has_value()) << "an empty text comes back absent";
    EXPECT_FALSE(withFile.artist.has_value());
    const TrackRecord& withoutFile = loaded.contents().tracks.at(2);
    EXPECT_EQ(withoutFile.aacgainId, -1);
    EXPECT_EQ(loaded.aacgainRecordOf(withoutFile), nullptr);
    EXPECT_EQ(loaded.currentPlaylist(), -1) << "no library playlist in the file";

    // Two one-track albums: written, not listed, and the playlist's keys end at CR.
    EXPECT_NE(first.find("A1\t1\t1\t\r"), std::string::npos);
    EXPECT_NE(first.find("P0\tMixed\t2\t1\t2\t0\t2\t\tSolo\t1\tArt\tAlb\t2\r"), std::string::npos);
    EXPECT_NE(first.find("T2\t-1\tNo file\tAlb\tArt\r"), std::string::npos);
    EXPECT_EQ(loaded.serialize(), first);
}

TEST(DatabaseFile, SmallCasesOfTheFormat) {
    // An empty preference table: the file begins with CR LF, and those two
    // bytes alone load to empty tables.
    MemoryFileStore store;
    VeltoDatabase empty(store);
    EXPECT_EQ(empty.serialize(), "\r\n");
    VeltoDatabase loaded(store);
    loadFrom(loaded, store, "\r\n");
    EXPECT_TRUE(loaded.preferenceTable().empty());
    EXPECT_TRUE(loaded.contents().tracks.empty());
    EXPECT_EQ(loaded.playlistCount(), 0);

    // An album without tracks and a playlist without album keys.
    EXPECT_EQ(roundTrip("\r\nA7\t0\t\rP0\tEmpty\t0\t0\t0\r"), "\r\nA7\t0\t\rP0\tEmpty\t0\t0\t0\r");
    // Any real field that begins with N is absent.
    EXPECT_EQ(roundTrip("\r\nG3\tf\tNaN\tNone\t1.5\tN\r"), "\r\nG3\tf\tN\tN\t1.500000\tN\r");
    // Numbers as _wtoi and _wtof read them.
    EXPECT_EQ(roundTrip("\r\nT 12x\t+4\tn\ta\tb\rG4\tg\t 2.5e2\t-1D1\t.5\tx\r"),
              "\r\nG4\tg\t250.000000\t-10.000000\t0.500000\t0.000000\rT12\t4\tn\ta\tb\r");
}

TEST(DatabaseFile, PreferenceNamesAreWrittenInCodeUnitOrder) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    database.setPreference(L"volume", L"1");
    database.setPreference(L"WindowPlacement", L"1,2,3,4,5");
    database.setPreference(L"AlbumUndo", L"0");
    EXPECT_EQ(database.serialize(), "OAlbumUndo\t0\tOWindowPlacement\t1,2,3,4,5\tOvolume\t1\t\r\n");
}

TEST(DatabaseFile, LoadingRaisesTheIdCountersAboveTheLargestId) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store,
             "\r\nT40\t-1\ta\tb\tc\rT3\t-1\ta\tb\tc\rA9\t0\t\rG12\tf\tN\tN\tN\tN\r");
    database.addPlaylist(L"p", 1, false, 1);
    database.addTrack(0, L"new file", L"n", L"ar", L"al");
    const DatabaseTables& tables = database.contents();
    EXPECT_EQ(tables.tracks.rbegin()->first, 41);
    EXPECT_EQ(tables.albums.rbegin()->first, 10);
    EXPECT_EQ(tables.fileIndex.at(L"new file"), 13);
}

TEST(DatabaseFile, TextsBeyondLatin1AndSeparatorsComeBackExactly) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    const std::wstring curly = L"Don\u2019t Stop \u00c9t\u00e9 \u65e5\u672c \U0001F3B5";
    const std::wstring separators = L"Tab\there\rCR\nLF\r\n";
    database.setPreference(L"Note", separators);
    database.addPlaylist(separators, 1, true, 1);
    database.addTrack(0, L"C:\\M\u00fcsic\\" + curly + L".m4a", curly, curly, curly);
    database.addPlaylist(std::wstring(L"nul\0inside", 10), 0, false, 2);
    std::string bytes = database.serialize();

    VeltoDatabase loaded(store);
    loadFrom(loaded, store, bytes);
    EXPECT_EQ(loaded.getPreference(L"Note"), separators);
    EXPECT_EQ(loaded.playlistAt(0).name, separators);
    EXPECT_EQ(loaded.playlistAt(1).name, std::wstring(L"nul\0inside", 10));
    const TrackRecord* track = loaded.currentTrackAt(0);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->name, curly);
    EXPECT_EQ(*loaded.trackFileName(*track), L"C:\\M\u00fcsic\\" + curly + L".m4a");
    EXPECT_EQ(loaded.playlistAt(0).albumKeys.begin()->first.album, curly);

    // Latin-1 stays one byte; others are NUL and the UTF-16 unit in hex.
    EXPECT_NE(bytes.find("M\xfcsic"), std::string::npos);
    EXPECT_NE(bytes.find(raw("Don\0"
                             "2019t")),
              std::string::npos);
    EXPECT_NE(bytes.find(raw("\0"
                             "D83C\0"
                             "DFB5")),
              std::string::npos);
    EXPECT_NE(bytes.find(raw("Tab\0"
                             "0009here\0"
                             "000DCR\r\nLF\0"
                             "000D\r\n")),
              std::string::npos);
}

TEST(DatabaseFile, RecordsWrittenByOthersAreReadInAnyOrderWithStrayCharacters) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store,
             "xx ODontClip\t1\tODontClip\t0\t\r\n"
             "P1\tLib\t1\t5\t0\t0\rX\nT5\t1\tFirst\t\t\rT5\t1\tSecond\t\t\r"
             "G1\tsame\t1\tN\tN\tN\rG1\tother\t2\tN\tN\tN\rG2\tsame\t3\tN\tN\tN\r"
             "A1\t1\t99\t\rA1\t0\t\rP1\tLater library\t0\t0\t0\r");
    EXPECT_EQ(database.getPreference(L"DontClip"), L"1") << "the first option wins";
    const DatabaseTables& tables = database.contents();
    EXPECT_EQ(tables.tracks.at(5).name, L"First");
    EXPECT_EQ(tables.aacgainRecords.at(1).path, L"same");
    EXPECT_EQ(tables.aacgainRecords.at(2).path, L"same") << "both records stay";
    EXPECT_EQ(tables.fileIndex.at(L"same"), 1) << "the index keeps the first id";
    EXPECT_EQ(tables.fileIndex.count(L"other"), 0u);
    EXPECT_EQ(tables.albums.at(1).trackIds, (std::vector<int32_t>{99}));
    EXPECT_EQ(database.currentPlaylist(), 1) << "the last library playlist";
    EXPECT_EQ(database.playlistCount(), 2);
}

TEST(DatabaseFile, DanglingReferencesAreToleratedByEveryLookUp) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, "\r\nT1\t42\ta\tb\tc\rP1\tLib\t2\t1\t8\t1\t9\t0\r");
    EXPECT_EQ(database.currentTrackCount(), 2);
    ASSERT_NE(database.currentTrackAt(0), nullptr);
    EXPECT_EQ(database.aacgainRecordOf(*database.currentTrackAt(0)), nullptr);
    EXPECT_EQ(database.clearTrackValues(*database.currentTrackAt(0)), nullptr);
    EXPECT_EQ(database.currentTrackAt(1), nullptr);
    EXPECT_EQ(database.currentAlbumCount(), 1);
    EXPECT_EQ(database.currentAlbumAt(0), nullptr);
    database.clearAllValues();
}

TEST(DatabaseFile, AFileThatCannotBeReadStopsTheLoadWithTheFatalCheck) {
    RecordingReporter reporter;
    for (const std::string& bytes : {std::string(), std::string("ODontClip\t0\t\r")}) {
        MemoryFileStore store;
        VeltoDatabase database(store);
        store.files[kDatabasePath] = bytes;
        ASSERT_TRUE(database.setPath(kDatabasePath));
        EXPECT_THROW(database.loadPreferences(), Exception);
        EXPECT_NE(reporter.lastText().find(L"File .\\VeltoDatabase, Line "), std::wstring::npos);
        EXPECT_NE(reporter.lastText().find(L", result -1. "), std::wstring::npos);
        EXPECT_TRUE(database.preferenceTable().empty());
    }

    MemoryFileStore store;
    VeltoDatabase database(store);
    EXPECT_FALSE(database.setPath(kDatabasePath));
    EXPECT_THROW(database.loadPreferences(), Exception);
    EXPECT_THROW(database.loadRecords(), Exception) << "records without the option line";
    EXPECT_EQ(reporter.shown.size(), 4u);
}

TEST(DatabaseFile, AFailedSaveLeavesTheOldFileAndRaisesMessage160) {
    RecordingReporter reporter;
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    database.setTrackResult(L"C:\\Music\\b.m4a", 1.0, 2.0);
    store.failReplace = true;
    EXPECT_THROW(database.save(), Exception);
    EXPECT_EQ(reporter.lastText(), L"Unable to save database file " + kDatabasePath);
    EXPECT_EQ(store.files.at(kDatabasePath), kExampleFile);

    store.failReplace = false;
    database.save();
    EXPECT_NE(store.files.at(kDatabasePath), kExampleFile);
}
