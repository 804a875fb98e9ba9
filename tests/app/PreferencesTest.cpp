#include "Preferences.h"

#include "FileStore.h"
#include "VeltoDatabase.h"
#include "database/MemoryFileStore.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Preferences need no file: the store only ever serves a database that stays in memory.
class NoFiles : public FileStore {
public:
    bool exists(const std::wstring&) override { return false; }
    std::optional<std::string> readAll(const std::wstring&) override { return std::nullopt; }
    bool replaceWith(const std::wstring&, const std::string&) override { return false; }
};

class PreferencesTest : public ::testing::Test {
protected:
    NoFiles files;
    VeltoDatabase database{files};
    Preferences preferences{database};
};

} // namespace

TEST_F(PreferencesTest, AFirstStartHasTheDefaultsAndNoneOfTheFourWithout) {
    preferences.fillMissingDefaults();
    EXPECT_EQ(database.preferenceTable(),
              (std::map<std::wstring, std::wstring>{
                  {L"AlbumColumnWidths", L"162,162,65,85,65,65,77"},
                  {L"AlbumUndo", L"0"},
                  {L"DontClip", L"0"},
                  {L"LastPlaylist", L"-1"},
                  {L"RemoveTagsUndo", L"0"},
                  {L"TimestampComments", L"0"},
                  {L"TrackColumnWidths", L"131,131,49,53,51,44,79,70,70"},
                  {L"Volume", L"89"},
              }));
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::Volume), 89);
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::LastPlaylist), -1);
    EXPECT_EQ(preferences.getPref(PrefIndex::WindowPlacement), std::nullopt);
    EXPECT_LT(preferences.getPrefListItem(PrefIndex::WindowPlacement, 4), 0);
}

TEST_F(PreferencesTest, FillMissingDefaultsKeepsWhatIsStored) {
    preferences.setPref(PrefIndex::Volume, L"93");
    preferences.setPrefBool(PrefIndex::DontClip, true);
    preferences.setPref(PrefIndex::DontAskComments, L"0");
    preferences.fillMissingDefaults();
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::Volume), 93);
    EXPECT_TRUE(preferences.getPrefBool(PrefIndex::DontClip));
    EXPECT_EQ(preferences.getPref(PrefIndex::DontAskComments), L"0") << "presence counts";
}

TEST_F(PreferencesTest, SetDefaultsRestoresDefaultsAndRemovesTheOthers) {
    preferences.setPrefList(PrefIndex::WindowPlacement, {10, 20, 810, 620, 1});
    preferences.setPref(PrefIndex::DontAskComments, L"1");
    preferences.setPref(PrefIndex::DontAskAlbumUndo, L"1");
    preferences.setPref(PrefIndex::DontAskRemoveTagsUndo, L"1");
    preferences.setPrefInt(PrefIndex::LastPlaylist, 3);
    preferences.setPrefBool(PrefIndex::AlbumUndo, true);
    preferences.setPref(PrefIndex::TrackColumnWidths, L"1,2");
    database.setPreference(L"SomethingElse", L"kept");

    preferences.setDefaults();
    for (PrefIndex removed : {PrefIndex::WindowPlacement, PrefIndex::DontAskComments,
                              PrefIndex::DontAskAlbumUndo, PrefIndex::DontAskRemoveTagsUndo}) {
        EXPECT_EQ(preferences.getPref(removed), std::nullopt) << Preferences::nameOf(removed);
    }
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::LastPlaylist), -1);
    EXPECT_FALSE(preferences.getPrefBool(PrefIndex::AlbumUndo));
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::TrackColumnWidths, 8), 70);
    EXPECT_EQ(database.getPreference(L"SomethingElse"), L"kept");
}

TEST_F(PreferencesTest, FlagsAreTrueOnlyForATextBeginningWithOne) {
    EXPECT_FALSE(preferences.getPrefBool(PrefIndex::TimestampComments));
    for (const auto& [text, expected] : std::map<std::wstring, bool>{{L"1", true},
                                                                     {L"10", true},
                                                                     {L"1x", true},
                                                                     {L"0", false},
                                                                     {L"", false},
                                                                     {L" 1", false},
                                                                     {L"yes", false},
                                                                     {L"2", false}}) {
        preferences.setPref(PrefIndex::TimestampComments, text);
        EXPECT_EQ(preferences.getPrefBool(PrefIndex::TimestampComments), expected) << text;
    }
    // Toggling twice gives back the text it had.
    preferences.setPrefBool(PrefIndex::DontClip, false);
    for (int i = 0; i < 2; ++i) {
        preferences.setPrefBool(PrefIndex::DontClip, !preferences.getPrefBool(PrefIndex::DontClip));
    }
    EXPECT_EQ(preferences.getPref(PrefIndex::DontClip), L"0");
}

TEST_F(PreferencesTest, IntegersReadAsTheLeadingNumberOfTheText) {
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::Volume), 0) << "absent";
    for (const auto& [text, expected] :
         std::map<std::wstring, int>{{L"89", 89},
                                     {L"  -12abc", -12},
                                     {L"+7", 7},
                                     {L"abc", 0},
                                     {L"", 0},
                                     {L"99999999999", 2147483647},
                                     {L"-99999999999", -2147483647 - 1}}) {
        preferences.setPref(PrefIndex::Volume, text);
        EXPECT_EQ(preferences.getPrefInt(PrefIndex::Volume), expected) << text;
    }
    preferences.setPrefInt(PrefIndex::LastPlaylist, -2147483647 - 1);
    EXPECT_EQ(preferences.getPref(PrefIndex::LastPlaylist), L"-2147483648");
}

TEST_F(PreferencesTest, ListsAreJoinedWithCommasAndReadItemByItem) {
    preferences.setPrefList(PrefIndex::WindowPlacement, {10, 20, 810, 620, 1});
    EXPECT_EQ(preferences.getPref(PrefIndex::WindowPlacement), L"10,20,810,620,1");
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::WindowPlacement, 2), 810);
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::WindowPlacement, 4), 1);
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::WindowPlacement, 5), -1);

    preferences.setPrefList(PrefIndex::AlbumColumnWidths, {-5});
    EXPECT_EQ(preferences.getPref(PrefIndex::AlbumColumnWidths), L"-5");
    preferences.setPrefList(PrefIndex::AlbumColumnWidths, {});
    EXPECT_EQ(database.getPreference(L"AlbumColumnWidths"), L"");
    EXPECT_EQ(preferences.getPref(PrefIndex::AlbumColumnWidths), std::nullopt)
        << "an empty text reads as absent";

    preferences.fillMissingDefaults();
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::TrackColumnWidths, 0), 131);
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::TrackColumnWidths, 8), 70);
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::TrackColumnWidths, 9), -1);
    // A short placement list: the missing items are -1.
    preferences.setPref(PrefIndex::WindowPlacement, L"1,2");
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::WindowPlacement, 1), 2);
    EXPECT_EQ(preferences.getPrefListItem(PrefIndex::WindowPlacement, 4), -1);
}

TEST_F(PreferencesTest, AllFourteenTravelInTheOptionLineInCodeUnitOrder) {
    preferences.fillMissingDefaults();
    for (PrefIndex index :
         {PrefIndex::WindowPlacement, PrefIndex::DontAskComments, PrefIndex::DontAskAlbumUndo,
          PrefIndex::DontAskRemoveTagsUndo, PrefIndex::ToolRuns, PrefIndex::OverviewPlacement}) {
        preferences.setPref(index, L"1");
    }
    EXPECT_EQ(database.serialize(),
              "OAlbumColumnWidths\t162,162,65,85,65,65,77\t"
              "OAlbumUndo\t0\tODontAskAlbumUndo\t1\tODontAskComments\t1\t"
              "ODontAskRemoveTagsUndo\t1\tODontClip\t0\tOLastPlaylist\t-1\t"
              "OOverviewPlacement\t1\tORemoveTagsUndo\t0\tOTimestampComments\t0\tOToolRuns\t1\t"
              "OTrackColumnWidths\t131,131,49,53,51,44,79,70,70\t"
              "OVolume\t89\tOWindowPlacement\t1\t\r\n");
}

// The file writes an absent text as an empty field: reading an empty option
// text as a present preference would start with the target volume at 0 and
// suppress a question nobody was asked.
TEST(PreferencesFromFile, AnEmptyOptionTextIsAnAbsentPreference) {
    MemoryFileStore files;
    files.files[L"Velto.db"] = "OVolume\t\tODontAskComments\t\tODontClip\t1\t\r\n";
    VeltoDatabase database(files);
    ASSERT_TRUE(database.setPath(L"Velto.db"));
    database.loadPreferences();
    Preferences preferences(database);

    EXPECT_EQ(preferences.getPref(PrefIndex::DontAskComments), std::nullopt);
    EXPECT_EQ(preferences.getPref(PrefIndex::Volume), std::nullopt);
    preferences.fillMissingDefaults();
    EXPECT_EQ(preferences.getPrefInt(PrefIndex::Volume), 89);
    EXPECT_EQ(preferences.getPref(PrefIndex::DontAskComments), std::nullopt);
    EXPECT_TRUE(preferences.getPrefBool(PrefIndex::DontClip)) << "a present text is kept";
}
