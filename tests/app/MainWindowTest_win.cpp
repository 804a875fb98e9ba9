// The main window as a user meets it: the real window of the program's own
// code, the iTunes stand-in in a process of its own, and the real mp3gain.exe
// beside the test program.

#include "VeltoWindowTestSupport_win.h"

#include "Preferences.h"
#include "ResourceIds.h"
#include "VeltoDatabase.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

// Waits until no load, job or sync runs: the controls are back and say so.
bool waitReady(RunningVelto& velto) {
    return waitUntil([&] { return velto.enabled(IDM_EXIT) && velto.status(0) == L"Ready"; }, 60000);
}

// The end of the load: the tracks view comes into the list last.
bool waitLoaded(RunningVelto& velto, int rows) {
    return waitReady(velto) && waitUntil([&] { return velto.rowCount() == rows; });
}

std::wstring preference(const TestFolder& folder, PrefIndex index) {
    VeltoDatabase database;
    if (!database.setPath(folder.databasePath())) {
        return L"(no file)";
    }
    database.loadPreferences();
    return Preferences(database).getPref(index).value_or(L"(absent)");
}

TEST(MainWindow, FirstStartSynchronisesWithITunesAndTheNextStartShowsWhatExitSaved) {
    RecordingReporter reporter;
    TestFolder folder(L"first-start");
    std::vector<LibraryTrack> tracks{
        {L"Quiet Song", L"Artist", L"Album A", folder.copyAudio(L"quiet", L"quiet.mp3")},
        {L"Loud Song", L"Artist", L"Album A", folder.copyAudio(L"loud", L"loud.mp3")},
        {L"\u00c9t\u00e9 Indien", L"Les \u00c9toiles", L"Album B",
         folder.copyAudio(L"clipping", L"\u00e9t\u00e9.mp3")},
    };
    writeLibraryXml(folder.libraryPath(), tracks, {{L"Favourites", {1}}, {L"Empty", {}}});
    StandInServer standIn(folder.libraryPath());

    std::wstring analysedVolume;
    {
        RunningVelto velto;
        ASSERT_TRUE(velto.waitVisible());
        ASSERT_TRUE(waitLoaded(velto, 3));
        EXPECT_EQ(velto.playlistEntries(), (Texts{L"Favourites", L"Library"}))
            << "the empty playlist is not listed";
        EXPECT_EQ(velto.selectedPlaylist(), L"Library");
        ASSERT_EQ(velto.rowCount(), 3);
        EXPECT_EQ(velto.cell(2, 0), L"\u00c9t\u00e9 Indien");
        EXPECT_EQ(velto.cell(0, 1), L"Album A");
        EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"89");
        EXPECT_EQ(velto.status(2), L"0 of 3 selected");
        EXPECT_TRUE(velto.checked(IDM_VIEW_TRACKS));
        EXPECT_FALSE(folder.readDatabase()) << "nothing is written before Exit";

        // What the user changes: the target, a column, the window, an analysis.
        velto.moveTrackbar(92);
        EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"92");
        velto.dragColumnWidth(4, 80);
        EXPECT_TRUE(waitUntil([&] { return velto.columnWidth(4) == 80; }));
        SetWindowPos(velto.window(), nullptr, 30, 40, 720, 520, SWP_NOZORDER);
        velto.clickRow(1);
        ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
        velto.command(IDM_ANALYZE);
        ASSERT_TRUE(waitUntil([&] { return !velto.cell(1, 2).empty(); }, 60000));
        ASSERT_TRUE(waitReady(velto));
        analysedVolume = velto.cell(1, 2);

        velto.post(IDM_EXIT);
        EXPECT_EQ(velto.waitForEnd(), 0);
    }
    EXPECT_EQ(preference(folder, PrefIndex::Volume), L"92");
    EXPECT_EQ(preference(folder, PrefIndex::TrackColumnWidths), L"131,131,49,53,80,44,79,70,70");
    EXPECT_EQ(preference(folder, PrefIndex::WindowPlacement), L"30,40,750,560,1");

    RunningVelto again;
    ASSERT_TRUE(again.waitVisible());
    ASSERT_TRUE(waitLoaded(again, 3));
    EXPECT_EQ(again.playlistEntries(), (Texts{L"Favourites", L"Library"}));
    EXPECT_EQ(again.selectedPlaylist(), L"Library");
    ASSERT_EQ(again.rowCount(), 3);
    EXPECT_EQ(again.cell(1, 0), L"Loud Song");
    EXPECT_EQ(again.cell(1, 2), analysedVolume);
    EXPECT_EQ(again.itemText(IDC_MAIN_VOLUME_VALUE), L"92");
    EXPECT_EQ(again.columnWidth(4), 80);
    RECT rect{};
    GetWindowRect(again.window(), &rect);
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{30, 40, 750, 560}));
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

} // namespace
