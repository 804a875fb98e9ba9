#include "DatabaseTestData.h"
#include "MemoryFileStore.h"
#include "RecordingReporter.h"

#include "Exception.h"
#include "VeltoDatabase.h"

#include <gtest/gtest.h>

TEST(DatabaseQueries, WithoutAValidCurrentPlaylistThereAreNoRows) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    EXPECT_EQ(database.currentPlaylist(), -1);
    EXPECT_EQ(database.currentTrackCount(), 0);
    EXPECT_EQ(database.currentAlbumCount(), 0);
    EXPECT_EQ(database.currentTrackAt(0), nullptr);
    EXPECT_EQ(database.currentAlbumAt(0), nullptr);

    loadFrom(database, store, kExampleFile);
    EXPECT_EQ(database.currentTrackAt(-1), nullptr);
    EXPECT_EQ(database.currentTrackAt(2), nullptr);
    EXPECT_EQ(database.currentAlbumAt(1), nullptr);
    database.setCurrentPlaylist(1);
    EXPECT_EQ(database.currentTrackCount(), 0);
    EXPECT_EQ(database.findTrack(3), nullptr);
}

TEST(DatabaseQueries, OnlyAnM4pExtensionInAnyCaseMarksAFileProtected) {
    auto isProtected = [](const wchar_t* path) {
        AACGainRecord record;
        record.path = path;
        return VeltoDatabase::isProtected(record);
    };
    EXPECT_TRUE(isProtected(L"C:\\song.M4P"));
    EXPECT_TRUE(isProtected(L"C:\\song.m4p"));
    EXPECT_TRUE(isProtected(L"a.M4p"));
    EXPECT_FALSE(isProtected(L"C:\\song.m4a"));
    EXPECT_FALSE(isProtected(L".m4p"));
    EXPECT_FALSE(isProtected(L"m4p"));
}

TEST(DatabaseQueries, AnalysisValuesAreSetAndClearedByFileName) {
    RecordingReporter reporter;
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    const AACGainRecord& a = database.contents().aacgainRecords.at(1);

    database.setAlbumResult(L"C:\\Music\\a.m4a", 32000.0, -2.0);
    EXPECT_EQ(a.albumGain, OptionalReal::of(-2.0));
    database.clearAlbumResult(L"C:\\Music\\a.m4a");
    EXPECT_EQ(a.albumGain, OptionalReal::absent());
    EXPECT_EQ(a.albumMaxAmplitude, OptionalReal::absent());
    EXPECT_EQ(a.trackGain, OptionalReal::of(-3.25)) << "track values are left alone";

    // Unknown files: the album operations ignore them, the track result is fatal.
    database.setAlbumResult(L"c:\\music\\a.m4a", 1.0, 1.0);
    database.clearAlbumResult(L"C:\\nowhere.m4a");
    EXPECT_TRUE(reporter.shown.empty());
    EXPECT_THROW(database.setTrackResult(L"C:\\nowhere.m4a", 1.0, 1.0), Exception);
    EXPECT_NE(reporter.lastText().find(L"File .\\VeltoDatabase"), std::wstring::npos);

    // Clearing keeps the numbers but marks them absent; the file writes "N".
    const AACGainRecord* cleared = database.clearTrackValues(*database.currentTrackAt(0));
    ASSERT_EQ(cleared, &a);
    EXPECT_FALSE(a.trackGain.present);
    EXPECT_EQ(a.trackGain.value, -3.25);
    EXPECT_NE(database.serialize().find("G1\tC:\\Music\\a.m4a\tN\tN\tN\tN\r"), std::string::npos);
}

TEST(DatabaseQueries, ClearAllValuesForgetsEveryValueButKeepsTheTables) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    database.setAlbumResult(L"C:\\Music\\b.m4a", 3.0, 4.0);
    database.clearAllValues();
    for (const auto& [id, record] : database.contents().aacgainRecords) {
        EXPECT_FALSE(record.maxAmplitude.present || record.trackGain.present ||
                     record.albumMaxAmplitude.present || record.albumGain.present);
    }
    EXPECT_EQ(database.contents().tracks.size(), 2u);
    EXPECT_EQ(database.currentAlbumCount(), 1);
}

TEST(DatabaseQueries, ThePreferenceTableInsertsReplacesAndRemoves) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    EXPECT_EQ(database.getPreference(L"Volume"), std::nullopt);
    database.setPreference(L"Volume", L"89");
    database.setPreference(L"Volume", L"95");
    EXPECT_EQ(database.getPreference(L"Volume"), L"95");
    database.removePreference(L"Volume");
    database.removePreference(L"NeverThere");
    EXPECT_EQ(database.getPreference(L"Volume"), std::nullopt);
}
