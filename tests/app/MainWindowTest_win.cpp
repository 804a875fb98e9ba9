// The main window as a user meets it: the real window of the program's own
// code, the iTunes stand-in in a process of its own, and the real mp3gain.exe
// beside the test program.

#include "VeltoWindowTestSupport_win.h"

#include "Preferences.h"
#include "ResourceIds.h"
#include "Util_win.h"
#include "VeltoDatabase.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <functional>
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

// A Velto.db as an earlier session left it: one library playlist of these
// tracks, the default preferences, and what configure adds.
void prepareDatabase(const TestFolder& folder, const std::vector<LibraryTrack>& tracks,
                     const std::function<void(VeltoDatabase&, Preferences&)>& configure = {}) {
    VeltoDatabase database;
    database.setPath(folder.databasePath());
    database.addPlaylist(std::wstring(L"Library"), static_cast<int>(tracks.size()), true, 500);
    for (const LibraryTrack& track : tracks) {
        database.addTrack(0, track.path, track.name, track.artist, track.album);
    }
    Preferences preferences(database);
    preferences.fillMissingDefaults();
    if (configure) {
        configure(database, preferences);
    }
    database.save();
}

// The menu items that the window leaves usable.
std::vector<int> usableMenuItems(RunningVelto& velto) {
    static const int kItems[] = {IDM_CLEAR_DATABASE,
                                 IDM_SYNC,
                                 IDM_CANCEL,
                                 IDM_EXIT,
                                 IDM_SELECT_ALL,
                                 IDM_SELECT_NONE,
                                 IDM_VIEW_TRACKS,
                                 IDM_VIEW_ALBUMS,
                                 IDM_TRACKS_IN_ALBUM,
                                 IDM_ANALYZE,
                                 IDM_APPLY_GAIN,
                                 IDM_APPLY_CONSTANT_GAIN,
                                 IDM_ANALYZE_SELECTION_AS_ALBUM,
                                 IDM_APPLY_ALBUM_GAIN_TO_SELECTION,
                                 IDM_CLEAR_DATA,
                                 IDM_UNDO_GAIN,
                                 IDM_REMOVE_TAGS,
                                 IDM_DONT_CLIP,
                                 IDM_TIMESTAMP_COMMENTS,
                                 IDM_ALBUM_UNDO,
                                 IDM_REMOVE_TAGS_UNDO,
                                 IDM_SET_DEFAULTS,
                                 IDM_HELP_CONTENTS,
                                 IDM_LICENSE,
                                 IDM_ABOUT};
    std::vector<int> usable;
    for (int item : kItems) {
        if (velto.enabled(item)) {
            usable.push_back(item);
        }
    }
    return usable;
}

bool toolbarButtonEnabled(RunningVelto& velto, int command) {
    HWND toolbar = FindWindowExW(velto.window(), nullptr, TOOLBARCLASSNAMEW, nullptr);
    return SendMessageW(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0;
}

// Mp3gain.exe processes that this test program's Velto started.
int ownGainToolChildren() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"mp3gain.exe") == 0 &&
            entry.th32ParentProcessID == GetCurrentProcessId()) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
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
    // The gain tool beside the program is mp3gain.exe alone.
    ASSERT_EQ(GetFileAttributesW((moduleDirectory() + L"aacgain.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);

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

// Whether the server answers as iTunes does (a track's Location on its own
// IDispatch, collections with enumerators) or not, the first start and a sync
// from the menu read every playlist, and Exit keeps the files' paths.
TEST(MainWindow, SyncsReadEveryPlaylistFromEitherKindOfServer) {
    for (bool likeITunes : {true, false}) {
        RecordingReporter reporter;
        TestFolder folder(likeITunes ? L"sync-like-itunes" : L"sync-plain-server");
        std::vector<LibraryTrack> tracks{
            {L"One", L"Band", L"First", folder.path() + L"one.mp3"},
            {L"Two", L"Band", L"First", folder.path() + L"two.mp3"},
            {L"Three", L"Other", L"Second", folder.path() + L"three.mp3"},
        };
        writeLibraryXml(folder.libraryPath(), tracks, {{L"Mix", {2, 0}}});
        StandInServer standIn(folder.libraryPath(), likeITunes);
        RunningVelto velto;
        ASSERT_TRUE(waitLoaded(velto, 3)) << likeITunes;
        velto.command(IDM_SYNC);
        ASSERT_TRUE(waitLoaded(velto, 3)) << likeITunes;
        EXPECT_EQ(velto.playlistEntries(), (Texts{L"Library", L"Mix"})) << likeITunes;
        velto.choosePlaylist(1);
        ASSERT_TRUE(waitUntil([&] { return velto.rowCount() == 2; })) << likeITunes;
        EXPECT_EQ(velto.cell(0, 0), L"Three");
        EXPECT_EQ(velto.cell(1, 0), L"One");
        velto.post(IDM_EXIT);
        EXPECT_EQ(velto.waitForEnd(), 0);
        std::optional<std::string> saved = folder.readDatabase();
        ASSERT_TRUE(saved);
        EXPECT_NE(saved->find("three.mp3"), std::string::npos) << likeITunes;
        EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
    }
}

// Six tracks: the first clips, the second is fine, then two albums of two.
std::vector<LibraryTrack> sixTracks(const TestFolder& folder) {
    std::vector<LibraryTrack> tracks;
    const wchar_t* albums[] = {L"Single A", L"Single B", L"Pair One",
                               L"Pair One", L"Pair Two", L"Pair Two"};
    for (int i = 0; i < 6; ++i) {
        std::wstring name = L"Song " + std::to_wstring(i);
        tracks.push_back({name, L"Band", albums[i], folder.path() + name + L".mp3"});
    }
    return tracks;
}

TEST(MainWindow, TheListAndTheMenuFollowTheSelectionAndTheView) {
    RecordingReporter reporter;
    TestFolder folder(L"list-and-menu");
    std::vector<LibraryTrack> tracks = sixTracks(folder);
    prepareDatabase(folder, tracks, [&](VeltoDatabase& database, Preferences&) {
        database.setTrackResult(tracks[0].path, 40000.0, 2.0); // clips: a red row
        database.setTrackResult(tracks[1].path, 20000.0, -1.0);
    });
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 6));
    EXPECT_EQ(velto.status(2), L"0 of 6 selected");

    // One red row selected, the first of the list: it says why.
    velto.clickRow(0);
    ASSERT_TRUE(waitUntil([&] { return velto.status(0) == L"Clipping"; }));
    EXPECT_EQ(velto.status(2), L"1 of 6 selected");
    EXPECT_EQ(usableMenuItems(velto), (std::vector<int>{IDM_CLEAR_DATABASE,
                                                        IDM_SYNC,
                                                        IDM_EXIT,
                                                        IDM_SELECT_ALL,
                                                        IDM_SELECT_NONE,
                                                        IDM_VIEW_ALBUMS,
                                                        IDM_ANALYZE,
                                                        IDM_APPLY_GAIN,
                                                        IDM_APPLY_CONSTANT_GAIN,
                                                        IDM_CLEAR_DATA,
                                                        IDM_UNDO_GAIN,
                                                        IDM_REMOVE_TAGS,
                                                        IDM_DONT_CLIP,
                                                        IDM_TIMESTAMP_COMMENTS,
                                                        IDM_ALBUM_UNDO,
                                                        IDM_REMOVE_TAGS_UNDO,
                                                        IDM_SET_DEFAULTS,
                                                        IDM_HELP_CONTENTS,
                                                        IDM_LICENSE,
                                                        IDM_ABOUT}));
    EXPECT_TRUE(toolbarButtonEnabled(velto, IDM_ANALYZE));
    EXPECT_FALSE(toolbarButtonEnabled(velto, IDM_VIEW_TRACKS));

    // iTunes refusing calls suspends the main status; what was set meanwhile comes back.
    SendMessageW(velto.window(), 0x8003, 0, 0);
    EXPECT_EQ(velto.status(0), L"Waiting for iTunes...");
    velto.clickRow(1, true);
    ASSERT_TRUE(waitUntil([&] { return velto.status(2) == L"2 of 6 selected"; }));
    EXPECT_EQ(velto.status(0), L"Waiting for iTunes...");
    SendMessageW(velto.window(), 0x8003, 1, 0);
    EXPECT_EQ(velto.status(0), L"Ready") << "two rows: Ready, whatever their colours";
    EXPECT_TRUE(velto.enabled(IDM_ANALYZE_SELECTION_AS_ALBUM));
    EXPECT_TRUE(velto.enabled(IDM_APPLY_ALBUM_GAIN_TO_SELECTION));
    EXPECT_FALSE(velto.enabled(IDM_TRACKS_IN_ALBUM));

    velto.doubleClickRow(2);
    EXPECT_TRUE(velto.noDialogAppears()) << "a double click in the tracks view does nothing";

    velto.command(IDM_VIEW_ALBUMS);
    EXPECT_TRUE(velto.checked(IDM_VIEW_ALBUMS));
    EXPECT_FALSE(velto.checked(IDM_VIEW_TRACKS));
    ASSERT_EQ(velto.rowCount(), 2);
    EXPECT_EQ(velto.cell(0, 0), L"Pair One");
    EXPECT_EQ(velto.status(2), L"0 of 2 selected");
    velto.clickRow(0);
    velto.clickRow(1, true);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 2; }));
    EXPECT_EQ(usableMenuItems(velto),
              (std::vector<int>{IDM_CLEAR_DATABASE, IDM_SYNC, IDM_EXIT, IDM_SELECT_ALL,
                                IDM_SELECT_NONE, IDM_VIEW_TRACKS, IDM_TRACKS_IN_ALBUM, IDM_ANALYZE,
                                IDM_APPLY_GAIN, IDM_CLEAR_DATA, IDM_UNDO_GAIN, IDM_DONT_CLIP,
                                IDM_TIMESTAMP_COMMENTS, IDM_ALBUM_UNDO, IDM_REMOVE_TAGS_UNDO,
                                IDM_SET_DEFAULTS, IDM_HELP_CONTENTS, IDM_LICENSE, IDM_ABOUT}))
        << "Select All stays: 2 rows selected of 6 tracks";

    // Tracks in Album lists the selected albums' tracks, album after album.
    velto.post(IDM_TRACKS_IN_ALBUM);
    HWND dialog = velto.waitForDialog(L"Tracks in Album");
    ASSERT_NE(dialog, nullptr);
    HWND albumList = GetDlgItem(dialog, IDC_TRACKS_IN_ALBUM_LIST);
    ASSERT_EQ(SendMessageW(albumList, LVM_GETITEMCOUNT, 0, 0), 4);
    std::vector<std::wstring> names;
    for (int row = 0; row < 4; ++row) {
        wchar_t text[64] = {};
        LVITEMW cellItem{};
        cellItem.pszText = text;
        cellItem.cchTextMax = 64;
        SendMessageW(albumList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&cellItem));
        names.push_back(text);
    }
    EXPECT_EQ(names, (Texts{L"Song 2", L"Song 3", L"Song 4", L"Song 5"}));
    clickButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));

    // A double click on an album opens it (the click has made it the only one selected).
    velto.doubleClickRow(1);
    dialog = velto.waitForDialog(L"Tracks in Album");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_TRACKS_IN_ALBUM_LIST), LVM_GETITEMCOUNT, 0, 0),
              2);
    clickButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));

    velto.post(IDM_ABOUT);
    dialog = velto.waitForDialog(L"About");
    ASSERT_NE(dialog, nullptr);
    clickButton(dialog, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

TEST(MainWindow, ColumnWidthsAreKeptAtOnceAndSetDefaultsBringsThemBack) {
    RecordingReporter reporter;
    TestFolder folder(L"columns");
    prepareDatabase(folder, sixTracks(folder), [](VeltoDatabase&, Preferences& preferences) {
        preferences.setPrefInt(PrefIndex::Volume, 150); // a hand-edited file
    });
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 6));
    EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"99") << "the target stays on the trackbar";
    velto.dragColumnWidth(4, 80); // "Gain"
    ASSERT_TRUE(waitUntil([&] { return velto.columnWidth(4) == 80; }));
    velto.command(IDM_DONT_CLIP);
    EXPECT_TRUE(velto.checked(IDM_DONT_CLIP));
    velto.moveTrackbar(95);

    velto.command(IDM_SET_DEFAULTS);
    EXPECT_EQ(velto.columnWidth(4), 51);
    EXPECT_FALSE(velto.checked(IDM_DONT_CLIP));
    EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"89");

    velto.dragColumnWidth(4, 80);
    ASSERT_TRUE(waitUntil([&] { return velto.columnWidth(4) == 80; }));
    velto.post(IDM_EXIT);
    EXPECT_EQ(velto.waitForEnd(), 0);
    EXPECT_EQ(preference(folder, PrefIndex::TrackColumnWidths), L"131,131,49,53,80,44,79,70,70");
    EXPECT_EQ(preference(folder, PrefIndex::DontClip), L"0");
}

// Two audio files and a Velto.db that knows them, unanalysed; the stand-in
// serves the same tracks, for the timestamps.
struct TwoSongs {
    explicit TwoSongs(const std::wstring& name) : folder(name) {
        tracks = {{L"Quiet", L"Band", L"One", folder.copyAudio(L"quiet", L"quiet.mp3")},
                  {L"Loud", L"Band", L"Two", folder.copyAudio(L"loud", L"loud.mp3")},
                  {L"Third", L"Band", L"Three", folder.copyAudio(L"album2", L"third.mp3")}};
        writeLibraryXml(folder.libraryPath(), tracks, {});
        prepareDatabase(folder, tracks);
    }
    TestFolder folder;
    std::vector<LibraryTrack> tracks;
};

HWND waitForQuestion(RunningVelto& velto) {
    HWND box = velto.waitForDialog(L"Velto");
    if (box && !GetDlgItem(box, IDC_QUESTION_DONT_ASK)) {
        ADD_FAILURE() << "not the question box: " << messageBoxText(box);
    }
    return box;
}

TEST(MainWindow, ApplyGainAsksAboutTimestampsUnlessToldNotToUntilSetDefaults) {
    RecordingReporter reporter;
    TwoSongs songs(L"questions");
    StandInServer standIn(songs.folder.libraryPath());
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 3));

    // Cancel starts nothing.
    velto.clickRow(0);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
    velto.post(IDM_APPLY_GAIN);
    HWND box = waitForQuestion(velto);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(dialogItemText(box, IDC_QUESTION_TEXT)
                    .starts_with(L"Do you want Velto to store a timestamp in the iTunes Comment"));
    clickButton(box, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    Sleep(300);
    EXPECT_EQ(velto.cell(0, 2), L"") << "no job ran";
    EXPECT_EQ(velto.selectedCount(), 1);

    // No with "Don't ask me this again.": the job runs without timestamps.
    velto.post(IDM_APPLY_GAIN);
    box = waitForQuestion(velto);
    ASSERT_NE(box, nullptr);
    clickButton(box, IDC_QUESTION_DONT_ASK);
    ASSERT_TRUE(
        waitUntil([&] { return IsDlgButtonChecked(box, IDC_QUESTION_DONT_ASK) == BST_CHECKED; }));
    clickButton(box, IDNO);
    ASSERT_TRUE(waitUntil([&] { return !velto.cell(0, 2).empty(); }, 60000));
    ASSERT_TRUE(waitReady(velto));
    EXPECT_FALSE(velto.checked(IDM_TIMESTAMP_COMMENTS));

    // Asked nothing next time.
    velto.clickRow(1);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
    velto.post(IDM_APPLY_GAIN);
    ASSERT_TRUE(waitUntil([&] { return !velto.cell(1, 2).empty(); }, 60000));
    EXPECT_TRUE(velto.noDialogAppears(100));
    ASSERT_TRUE(waitReady(velto));
    EXPECT_EQ(libraryComments(songs.folder.libraryPath(), 3), (Texts{L"", L"", L""}));

    // Set Defaults: asked again; Yes stores timestamps for the changed track.
    velto.command(IDM_SET_DEFAULTS);
    velto.clickRow(2);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
    velto.post(IDM_APPLY_GAIN);
    box = waitForQuestion(velto);
    ASSERT_NE(box, nullptr);
    clickButton(box, IDYES);
    ASSERT_TRUE(waitUntil([&] { return !velto.cell(2, 2).empty(); }, 60000));
    ASSERT_TRUE(waitReady(velto));
    EXPECT_TRUE(velto.checked(IDM_TIMESTAMP_COMMENTS));
    Texts comments = libraryComments(songs.folder.libraryPath(), 3);
    EXPECT_EQ(comments[0], L"");
    EXPECT_TRUE(comments[2].starts_with(L"<Velto ")) << comments[2];
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

TEST(MainWindow, ConstantGainOfZeroStartsNothingAndOtherwiseGoesToTheChosenChannel) {
    RecordingReporter reporter;
    TestFolder folder(L"constant-gain");
    // Plain stereo: the tool changes one channel of it (not of a joint stereo file).
    std::vector<LibraryTrack> tracks{
        {L"Unequal", L"Band", L"One", folder.copyAudio(L"unequal", L"unequal.mp3")}};
    prepareDatabase(folder, tracks);
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 1));
    velto.clickRow(0);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));

    velto.post(IDM_APPLY_CONSTANT_GAIN);
    HWND dialog = velto.waitForDialog(L"Constant Gain Change");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialogItemText(dialog, IDC_CONSTANT_GAIN_VALUE), L"0");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONSTANT_GAIN_BOTH), BST_CHECKED);
    clickButton(dialog, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(velto.noDialogAppears()) << "no question for a gain of 0";
    EXPECT_EQ(velto.selectedCount(), 1) << "no job ran";

    velto.post(IDM_APPLY_CONSTANT_GAIN);
    dialog = velto.waitForDialog(L"Constant Gain Change");
    ASSERT_NE(dialog, nullptr);
    HWND trackbar = GetDlgItem(dialog, IDC_CONSTANT_GAIN_TRACKBAR);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, -3);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                 reinterpret_cast<LPARAM>(trackbar));
    EXPECT_EQ(dialogItemText(dialog, IDC_CONSTANT_GAIN_VALUE), L"-4.5");
    clickButton(dialog, IDC_CONSTANT_GAIN_LEFT);
    ASSERT_TRUE(waitUntil(
        [&] { return IsDlgButtonChecked(dialog, IDC_CONSTANT_GAIN_LEFT) == BST_CHECKED; }));
    clickButton(dialog, IDOK);
    HWND box = waitForQuestion(velto);
    ASSERT_NE(box, nullptr);
    clickButton(box, IDNO);
    // The job ends with the row done, and no error from the tool.
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 0; }, 60000));
    ASSERT_TRUE(waitReady(velto));
    EXPECT_TRUE(velto.noDialogAppears(100));
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

TEST(MainWindow, CommandsWhoseRuleDoesNotHoldStartNothingWhateverPathTheyTake) {
    RecordingReporter reporter;
    TestFolder folder(L"rules");
    std::vector<LibraryTrack> tracks{
        {L"Broken", L"Band", L"One", folder.writeDamagedMp3(L"broken.mp3")},
        {L"Quiet", L"Band", L"One", folder.copyAudio(L"quiet", L"quiet.mp3")},
        {L"Known", L"Band", L"Two", folder.path() + L"known.mp3"},
    };
    // One tool run at a time: with No the job stops after the broken file.
    prepareDatabase(folder, tracks, [&](VeltoDatabase& database, Preferences& preferences) {
        database.setTrackResult(tracks[2].path, 20000.0, -1.0);
        preferences.setPrefInt(PrefIndex::ToolRuns, 1);
    });
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 3));
    std::wstring knownVolume = velto.cell(2, 2);
    ASSERT_FALSE(knownVolume.empty());

    // The job waits for the answer to the tool's error about the first file.
    velto.command(IDM_SELECT_ALL);
    ASSERT_EQ(velto.selectedCount(), 3);
    velto.command(IDM_ANALYZE);
    HWND error = velto.waitForDialog(L"Velto", 60000);
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(messageBoxText(error).starts_with(L"AACGain returned the following error message:"))
        << messageBoxText(error);

    EXPECT_EQ(usableMenuItems(velto),
              (std::vector<int>{IDM_CANCEL, IDM_HELP_CONTENTS, IDM_LICENSE, IDM_ABOUT}));
    EXPECT_FALSE(toolbarButtonEnabled(velto, IDM_ANALYZE));
    EXPECT_FALSE(IsWindowEnabled(velto.item(IDC_MAIN_EXIT)));
    EXPECT_TRUE(IsWindowEnabled(velto.item(IDC_MAIN_CANCEL)));

    // Accelerators (1 in the high word), the toolbar and plain messages alike.
    HWND toolbar = FindWindowExW(velto.window(), nullptr, TOOLBARCLASSNAMEW, nullptr);
    SendMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDM_SELECT_NONE, 1), 0);
    SendMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDM_VIEW_ALBUMS, 1), 0);
    SendMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDM_ANALYZE, 0),
                 reinterpret_cast<LPARAM>(toolbar));
    velto.command(IDM_CLEAR_DATABASE);
    velto.command(IDM_DONT_CLIP);
    velto.command(IDM_SET_DEFAULTS);
    EXPECT_EQ(velto.selectedCount(), 3);
    EXPECT_TRUE(velto.checked(IDM_VIEW_TRACKS));
    EXPECT_EQ(velto.cell(2, 2), knownVolume) << "Clear Database ran during the job";
    EXPECT_FALSE(velto.checked(IDM_DONT_CLIP));
    // Exit would wait for the job, which waits for the answer: both would hang.
    velto.command(IDM_EXIT);
    SendMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_EXIT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(velto.item(IDC_MAIN_EXIT)));
    EXPECT_TRUE(IsWindow(velto.window()));
    EXPECT_FALSE(velto.ended());

    // No: the job stops after the broken file; the rest stays selected, and
    // the summary names the file.
    clickButton(error, IDNO);
    HWND summary = velto.waitForDialog(L"Job Summary", 60000);
    ASSERT_NE(summary, nullptr);
    clickButton(summary, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return velto.enabled(IDM_EXIT); }, 60000));
    EXPECT_EQ(velto.selectedCount(), 3);
    EXPECT_EQ(velto.cell(1, 2), L"") << "the job went on after No";

    // Nothing selected: Ctrl+P and Constant Gain from anywhere start nothing.
    velto.command(IDM_SELECT_NONE);
    ASSERT_EQ(velto.selectedCount(), 0);
    SendMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDM_APPLY_GAIN, 1), 0);
    PostMessageW(velto.window(), WM_COMMAND, MAKEWPARAM(IDM_APPLY_GAIN, 0),
                 reinterpret_cast<LPARAM>(toolbar));
    velto.post(IDM_APPLY_CONSTANT_GAIN);
    velto.post(IDM_TRACKS_IN_ALBUM);
    EXPECT_TRUE(velto.noDialogAppears(800));
    EXPECT_EQ(velto.status(0), L"Ready");
    EXPECT_EQ(reporter.shown.size(), 0u) << reporter.lastText();
}

TEST(MainWindow, TheCloseBoxLosesAnAnalysisAndExitKeepsIt) {
    RecordingReporter reporter;
    TwoSongs songs(L"close-box");
    std::optional<std::string> before = songs.folder.readDatabase();
    {
        RunningVelto velto;
        ASSERT_TRUE(waitLoaded(velto, 3));
        velto.clickRow(0);
        ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
        velto.command(IDM_ANALYZE);
        ASSERT_TRUE(waitUntil([&] { return !velto.cell(0, 2).empty(); }, 60000));
        ASSERT_TRUE(waitReady(velto));
        velto.moveTrackbar(80);
        PostMessageW(velto.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(velto.waitForEnd(), 0);
    }
    EXPECT_EQ(songs.folder.readDatabase(), before) << "the close box saved something";
    {
        RunningVelto velto;
        ASSERT_TRUE(waitLoaded(velto, 3));
        EXPECT_EQ(velto.cell(0, 2), L"");
        EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"89");
        velto.clickRow(0);
        ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
        velto.command(IDM_ANALYZE);
        ASSERT_TRUE(waitUntil([&] { return !velto.cell(0, 2).empty(); }, 60000));
        ASSERT_TRUE(waitReady(velto));
        velto.post(IDM_EXIT);
        EXPECT_EQ(velto.waitForEnd(), 0);
    }
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 3));
    EXPECT_NE(velto.cell(0, 2), L"") << "Exit lost the analysis";
    // iTunes quitting (WM_APP_CLOSE) ends the program without saving either.
    SendMessageW(velto.window(), 0x8001, 0, 0);
    EXPECT_EQ(velto.waitForEnd(), 0);
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

TEST(MainWindow, ClosingDuringAJobStopsTheToolAndWaitsForTheWorker) {
    RecordingReporter reporter;
    TestFolder folder(L"close-during-job");
    std::vector<LibraryTrack> tracks;
    for (int i = 0; i < 8; ++i) {
        std::wstring name = L"song" + std::to_wstring(i) + L".mp3";
        tracks.push_back({name, L"Band", L"Album", folder.copyAudio(L"album3", name)});
    }
    prepareDatabase(folder, tracks);
    std::optional<std::string> before = folder.readDatabase();
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 8));
    velto.command(IDM_SELECT_ALL);
    velto.command(IDM_ANALYZE);
    ASSERT_TRUE(waitUntil([&] { return velto.status(0).starts_with(L"Analyzing: "); }, 20000));
    PostMessageW(velto.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(velto.waitForEnd(20000), 0);
    EXPECT_EQ(ownGainToolChildren(), 0);
    EXPECT_EQ(folder.readDatabase(), before) << "an analysis changes no file: nothing to save";
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

TEST(MainWindow, AHandEditedFileWithThePlacementOffScreenAndAnEmptyVolumeStillShowsTheWindow) {
    RecordingReporter reporter;
    TestFolder folder(L"hand-edited");
    prepareDatabase(
        folder, sixTracks(folder), [](VeltoDatabase& database, Preferences& preferences) {
            // Off every monitor, and hidden.
            preferences.setPrefList(PrefIndex::WindowPlacement, {5000, 5000, 5600, 5400, 0});
            database.setPreference(L"Volume", L"");
            database.setPreference(L"DontAskComments", L"");
        });
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 6));
    EXPECT_TRUE(IsWindowVisible(velto.window()));
    RECT rect{};
    GetWindowRect(velto.window(), &rect);
    EXPECT_EQ(
        (std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
        (std::vector<LONG>{0, 0, 600, 400}));
    EXPECT_EQ(velto.itemText(IDC_MAIN_VOLUME_VALUE), L"89");
    velto.clickRow(0);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
    velto.post(IDM_APPLY_GAIN);
    HWND box = waitForQuestion(velto);
    ASSERT_NE(box, nullptr) << "an empty DontAskComments kept the question away";
    clickButton(box, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
}

TEST(MainWindow, ADatabaseThatCannotBeReadEndsTheProgramAndStaysAsItWas) {
    RecordingReporter reporter;
    TestFolder folder(L"unreadable");
    const std::string damaged = "OVolume\t89\tOLastPlaylist\t-1"; // no complete option line
    {
        std::ofstream file(std::filesystem::path(folder.databasePath()), std::ios::binary);
        file << damaged;
    }
    RunningVelto velto;
    EXPECT_EQ(velto.waitForEnd(), 0);
    EXPECT_FALSE(IsWindowVisible(velto.window()));
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_TRUE(reporter.shown[0].text.starts_with(L"Fatal error.")) << reporter.shown[0].text;
    EXPECT_EQ(folder.readDatabase(), damaged);
}

// The help viewer's windows on the program's window thread.
std::vector<HWND> helpWindows(RunningVelto& velto) {
    std::vector<HWND> found;
    EnumThreadWindows(
        velto.threadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (windowClass(window) == L"HH Parent" && IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void closeHelp(RunningVelto& velto) {
    for (HWND window : helpWindows(velto)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(waitUntil([&] { return helpWindows(velto).empty(); }));
}

TEST(MainWindow, F1AndTheHelpMenuOpenTheHelpFile) {
    RecordingReporter reporter;
    TestFolder folder(L"help");
    prepareDatabase(folder, sixTracks(folder));
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 6));
    ASSERT_TRUE(helpWindows(velto).empty());

    // F1 pressed in the window: the system turns it into WM_HELP.
    SetForegroundWindow(velto.window());
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_F1;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(waitUntil([&] { return !helpWindows(velto).empty(); })) << "F1";
    closeHelp(velto);

    velto.command(IDM_HELP_CONTENTS);
    EXPECT_TRUE(waitUntil([&] { return !helpWindows(velto).empty(); })) << "Help > Contents";
    closeHelp(velto);

    velto.command(IDM_LICENSE);
    EXPECT_TRUE(waitUntil([&] { return !helpWindows(velto).empty(); })) << "Help > License";
    closeHelp(velto);
}

} // namespace

namespace {

// The job has ended: the controls are back and the status begins with "Ready".
bool waitJobEnded(RunningVelto& velto) {
    return waitUntil(
        [&] { return velto.enabled(IDM_EXIT) && velto.status(0).starts_with(L"Ready"); }, 60000);
}

std::vector<Texts> listRows(HWND list) {
    std::vector<Texts> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        Texts cells;
        for (int column = 0; column < 3; ++column) {
            wchar_t text[400] = L"";
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 400;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

std::wstring clipboardText() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

} // namespace

// Ten songs, four of them damaged and one gone: one question, answered with
// "Don't ask again during this job"; the job analyses the other five and its
// summary lists all five with what happened. Without the check box every
// error is asked; a job without a failure ends without a summary.
TEST(MainWindow, AJobAsksOnceWhenToldAndSummarisesWhatItCouldNotDo) {
    RecordingReporter reporter;
    TestFolder folder(L"summary");
    std::vector<LibraryTrack> tracks;
    const std::vector<std::wstring> generated = {L"quiet", L"loud", L"album1", L"album2",
                                                 L"album3"};
    for (int i = 0; i < 10; ++i) {
        const std::wstring name = L"Song " + std::to_wstring(i);
        const std::wstring file = L"song" + std::to_wstring(i) + L".mp3";
        std::wstring path = i % 2 == 0 ? folder.copyAudio(generated[i / 2], file)
                            : i < 9    ? folder.writeDamagedMp3(file)
                                       : folder.path() + file;
        tracks.push_back({name, L"Band", L"Album " + std::to_wstring(i), path});
    }
    prepareDatabase(folder, tracks);
    RunningVelto velto;
    ASSERT_TRUE(waitLoaded(velto, 10));

    velto.command(IDM_SELECT_ALL);
    velto.post(IDM_ANALYZE);
    HWND error = velto.waitForDialog(L"Velto", 60000);
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(
        messageBoxText(error).starts_with(L"AACGain returned the following error message:"));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(error, IDNO)));
    clickButton(error, IDC_TOOL_ERROR_DONT_ASK);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(GetDlgItem(error, IDNO)); }));
    clickButton(error, IDYES);

    HWND summary = velto.waitForDialog(L"Job Summary", 120000);
    ASSERT_NE(summary, nullptr);
    const std::vector<Texts> rows = listRows(GetDlgItem(summary, IDC_JOB_SUMMARY_LIST));
    ASSERT_EQ(rows.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i][0], L"Song " + std::to_wstring(2 * i + 1));
        EXPECT_EQ(rows[i][1], L"Band");
        EXPECT_FALSE(rows[i][2].empty());
    }
    EXPECT_EQ(rows[4][0], L"Song 9");
    EXPECT_EQ(rows[4][2], L"File not found");
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    clickButton(summary, IDC_JOB_SUMMARY_COPY);
    std::wstring copied;
    waitUntil([&] { return !(copied = clipboardText()).empty(); });
    EXPECT_TRUE(copied.starts_with(L"Song\tArtist\tWhat happened\r\n")) << copied.substr(0, 60);
    EXPECT_NE(copied.find(L"Song 9\tBand\tFile not found\r\n"), std::wstring::npos);
    clickButton(summary, IDCANCEL);
    ASSERT_TRUE(waitJobEnded(velto));
    EXPECT_EQ(velto.status(0), L"Ready. 5 analysed, 5 not done");
    for (int i = 0; i < 10; ++i) {
        const std::wstring expected = i == 9 ? L"Missing" : i % 2 ? L"Failed" : L"";
        EXPECT_EQ(velto.cell(i, 3), expected) << i;
    }
    EXPECT_FALSE(velto.cell(0, 2).empty());

    // Without the check box: a question after every failing run. The tool
    // wrote its tags into the damaged files, from which it would answer now:
    // they are made anew. (Clear Data deselects every row as it finishes it.)
    for (int i : {1, 3, 5, 7}) {
        folder.writeDamagedMp3(L"song" + std::to_wstring(i) + L".mp3");
    }
    velto.command(IDM_SELECT_ALL);
    velto.command(IDM_CLEAR_DATA);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 0 && velto.enabled(IDM_EXIT); }));
    velto.command(IDM_SELECT_ALL);
    velto.post(IDM_ANALYZE);
    for (int asked = 0; asked < 4; ++asked) {
        error = velto.waitForDialog(L"Velto", 60000);
        ASSERT_NE(error, nullptr) << asked;
        clickButton(error, IDYES);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(error); }));
    }
    summary = velto.waitForDialog(L"Job Summary", 60000);
    ASSERT_NE(summary, nullptr);
    clickButton(summary, IDCANCEL);
    ASSERT_TRUE(waitJobEnded(velto));

    // The good songs alone: no question and no summary.
    velto.command(IDM_SELECT_NONE);
    auto selectTheGoodSongs = [&] {
        for (int i : {0, 2, 4, 6, 8}) {
            velto.clickRow(i, true);
        }
        return waitUntil([&] { return velto.selectedCount() == 5; });
    };
    ASSERT_TRUE(selectTheGoodSongs());
    velto.command(IDM_CLEAR_DATA);
    ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 0 && velto.enabled(IDM_EXIT); }));
    ASSERT_TRUE(selectTheGoodSongs());
    velto.command(IDM_ANALYZE);
    ASSERT_TRUE(
        waitUntil([&] { return velto.selectedCount() == 0 && velto.enabled(IDM_EXIT); }, 60000));
    EXPECT_TRUE(velto.noDialogAppears(800));
    EXPECT_EQ(velto.status(0), L"Ready");
    EXPECT_FALSE(velto.cell(8, 2).empty());
    EXPECT_EQ(reporter.shown.size(), 0u) << reporter.lastText();
}

// The same songs levelled one tool run at a time and four at once (chosen in
// the Options menu) end with the same table.
TEST(MainWindow, ApplyGainWithFourRunsAtOnceEndsWithTheTableOfOneAtATime) {
    RecordingReporter reporter;
    const std::vector<std::wstring> generated = {L"quiet",  L"loud",    L"album1",  L"album2",
                                                 L"album3", L"unequal", L"clipping"};
    std::vector<std::vector<Texts>> tables;
    for (int choice : {IDM_TOOL_RUNS_1, IDM_TOOL_RUNS_4}) {
        TestFolder folder(choice == IDM_TOOL_RUNS_1 ? L"one-run" : L"four-runs");
        std::vector<LibraryTrack> tracks;
        for (std::size_t i = 0; i < generated.size(); ++i) {
            const std::wstring name = L"Song " + std::to_wstring(i);
            tracks.push_back({name, L"Band", i >= 2 && i <= 4 ? L"Album" : name,
                              folder.copyAudio(generated[i], name + L".mp3")});
        }
        prepareDatabase(folder, tracks);
        RunningVelto velto;
        ASSERT_TRUE(waitLoaded(velto, 7));
        velto.command(choice);
        EXPECT_TRUE(velto.checked(choice));
        EXPECT_FALSE(velto.checked(IDM_TOOL_RUNS_PER_PROCESSOR));
        velto.command(IDM_SELECT_ALL);
        velto.post(IDM_APPLY_GAIN);
        HWND box = waitForQuestion(velto);
        ASSERT_NE(box, nullptr);
        clickButton(box, IDNO); // no timestamps: no iTunes needed
        ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 0 && velto.enabled(IDM_EXIT); },
                              120000));
        ASSERT_TRUE(waitJobEnded(velto));
        std::vector<Texts> table;
        for (int row = 0; row < 7; ++row) {
            Texts cells;
            for (int column = 0; column < 5; ++column) {
                cells.push_back(velto.cell(row, column));
            }
            table.push_back(cells);
        }
        EXPECT_FALSE(table[0][2].empty());
        tables.push_back(table);
    }
    EXPECT_EQ(tables[0], tables[1]);
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}

namespace {

// The x of the overview's red target line in the left (now) histogram, from
// the picture the window draws when asked to print its client area; -1
// without one.
int targetLineX(HWND overview) {
    RECT client{};
    GetClientRect(overview, &client);
    HDC windowDc = GetDC(overview);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SendMessageW(overview, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    int found = -1;
    for (int x = 0; x < client.right / 2 && found < 0; ++x) {
        if (GetPixel(memory, x, client.bottom / 2) == RGB(220, 0, 0)) {
            found = x;
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(overview, windowDc);
    return found;
}

} // namespace

TEST(MainWindow, TheLoudnessOverviewFollowsTheTargetThePlaylistAndAJob) {
    RecordingReporter reporter;
    TestFolder folder(L"overview");
    std::vector<LibraryTrack> tracks{
        {L"Even", L"Band", L"A", folder.path() + L"even.mp3"},
        {L"Hot", L"Band", L"B", folder.path() + L"hot.mp3"},
        {L"Quiet", L"Band", L"C", folder.path() + L"quiet.mp3"},
        {L"Fresh", L"Band", L"D", folder.copyAudio(L"quiet", L"fresh.mp3")},
        {L"Gone", L"Band", L"E", folder.path() + L"gone.mp3"},
    };
    prepareDatabase(folder, tracks, [&](VeltoDatabase& database, Preferences&) {
        database.setTrackResult(tracks[0].path, 10000.0, 0.0);  // 89 dB
        database.setTrackResult(tracks[1].path, 40000.0, -3.2); // 92.2 dB, clips
        database.setTrackResult(tracks[2].path, 20000.0, 6.0);  // 83 dB, +4 steps clip
        database.addPlaylist(std::wstring(L"Short"), 1, false, 501);
        database.addTrack(1, tracks[0].path, tracks[0].name, tracks[0].artist, tracks[0].album);
    });
    {
        RunningVelto velto;
        ASSERT_TRUE(waitLoaded(velto, 5));
        velto.command(IDM_LOUDNESS_OVERVIEW);
        HWND overview = velto.waitForDialog(L"Loudness Overview");
        ASSERT_NE(overview, nullptr);
        auto countsAre = [&](const std::wstring& expected) {
            std::wstring shown;
            bool same = waitUntil([&] {
                return (shown = dialogItemText(overview, IDC_OVERVIEW_COUNTS)) == expected;
            });
            EXPECT_EQ(shown, expected);
            return same;
        };
        countsAre(L"3 analysed, 2 not analysed, 1 clipping now, 1 would clip after");
        const int lineAt89 = targetLineX(overview);
        EXPECT_GT(lineAt89, 0);

        velto.moveTrackbar(95);
        countsAre(L"3 analysed, 2 not analysed, 1 clipping now, 2 would clip after");
        EXPECT_GT(targetLineX(overview), lineAt89);
        velto.command(IDM_DONT_CLIP);
        countsAre(L"3 analysed, 2 not analysed, 1 clipping now, 0 would clip after; "
                  L"Don't Clip limits 2");
        velto.choosePlaylist(1);
        countsAre(L"1 analysed, 0 not analysed, 0 clipping now, 0 would clip after");

        // A job's stored values reach the open window.
        velto.choosePlaylist(0);
        ASSERT_TRUE(waitLoaded(velto, 5));
        velto.clickRow(3);
        ASSERT_TRUE(waitUntil([&] { return velto.selectedCount() == 1; }));
        velto.command(IDM_ANALYZE);
        ASSERT_TRUE(waitReady(velto));
        EXPECT_TRUE(
            dialogItemText(overview, IDC_OVERVIEW_COUNTS).starts_with(L"4 analysed, 1 not"));

        // Closed and opened again, it comes back where the user left it.
        SetWindowPos(overview, nullptr, 40, 50, 500, 300, SWP_NOZORDER);
        PostMessageW(overview, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(overview); }));
        velto.command(IDM_LOUDNESS_OVERVIEW);
        overview = velto.waitForDialog(L"Loudness Overview");
        ASSERT_NE(overview, nullptr);
        RECT rect{};
        GetWindowRect(overview, &rect);
        EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
                  (std::vector<LONG>{40, 50, 540, 350}));
        velto.post(IDM_EXIT);
        EXPECT_EQ(velto.waitForEnd(), 0);
    }
    EXPECT_EQ(preference(folder, PrefIndex::OverviewPlacement), L"40,50,540,350,1");
    EXPECT_TRUE(reporter.shown.empty()) << reporter.lastText();
}
