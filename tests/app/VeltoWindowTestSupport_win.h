#pragma once

#include "ComRef_win.h"
#include "RecordingReporter.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What the window tests give Velto: a folder of their own with copies of the
// generated audio, an iTunes library in iTunes' XML format, and the music
// folder where Velto.db lives (the user's music folder of the Wine prefix is
// pointed at it for the test's time).
class TestFolder {
public:
    explicit TestFolder(const std::wstring& name);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& path() const { return folder; }
    std::wstring musicFolder() const { return folder + L"music\\"; }
    std::wstring databasePath() const { return musicFolder() + L"Velto.db"; }
    std::wstring libraryPath() const { return folder + L"library.xml"; }
    // A copy of a generated audio file (quiet, loud, clipping, unequal,
    // album1..3) under a name of the test's; answers its full path.
    std::wstring copyAudio(const std::wstring& generated, const std::wstring& name);
    // An MP3 whose frames hold noise: Velto takes it for an MP3, and the gain
    // tool reports errors on every frame.
    std::wstring writeDamagedMp3(const std::wstring& name);

    std::optional<std::string> readDatabase() const;

private:
    std::wstring folder;
};

struct LibraryTrack {
    std::wstring name;
    std::wstring artist;
    std::wstring album;
    std::wstring path;
};

struct LibraryPlaylist {
    std::wstring name;
    std::vector<int> tracks; // positions in the track list
};

// Writes an iTunes XML library: a library playlist of every track, then the others.
void writeLibraryXml(const std::wstring& path, const std::vector<LibraryTrack>& tracks,
                     const std::vector<LibraryPlaylist>& playlists);
// The comments that the stand-in wrote into the library, one per track ("" for none).
std::vector<std::wstring> libraryComments(const std::wstring& path, int trackCount);

// The stand-in's server (registered in the prefix by the test fixture) serving
// a library: Velto's connections reach the same server while this holds it.
// It answers as iTunes does, or, with likeITunes false, as a server that
// knows a file track's Location only on its file-track interface and has no
// enumerators on its track collections.
class StandInServer {
public:
    explicit StandInServer(const std::wstring& libraryPath, bool likeITunes = true);
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

private:
    bool comStarted = false;
    ComRef<IDispatch> standIn;
};

// The program's own code (runVelto) on a thread of its own, as the program's
// main thread would run it; the test drives its window from the test thread
// as a user would, with messages.
class RunningVelto {
public:
    RunningVelto();
    // Closes the window if it is still open and waits for the program's end.
    ~RunningVelto();
    RunningVelto(const RunningVelto&) = delete;
    RunningVelto& operator=(const RunningVelto&) = delete;

    // The main window once it exists (it may stay hidden).
    HWND window();
    bool waitVisible();
    // Waits for the program to end; its exit code, or -1 after the timeout.
    int waitForEnd(int timeoutMilliseconds = 30000);
    bool ended() const { return finished; }
    DWORD threadId() const { return uiThread; }

    std::wstring status(int part);
    // A command as the menu gives it, handled when this returns.
    void command(int id);
    // A command that opens a modal box: posted, so that the test goes on.
    void post(int id);
    bool enabled(int menuItem);
    bool checked(int menuItem);

    HWND item(int id);
    int rowCount();
    int selectedCount();
    std::wstring cell(int row, int column);
    void clickRow(int position, bool addToSelection = false);
    void doubleClickRow(int position);
    int columnWidth(int column);
    // Drags the right edge of a column's header to make it width pixels wide.
    void dragColumnWidth(int column, int width);
    std::vector<std::wstring> playlistEntries();
    std::wstring selectedPlaylist();
    void choosePlaylist(int position);
    std::wstring itemText(int id);
    void moveTrackbar(int position);

    // A visible dialog of the program's window thread other than the main
    // window, or 0 after the timeout.
    HWND waitForDialog(const std::wstring& title, int timeoutMilliseconds = 10000);
    bool noDialogAppears(int milliseconds = 500);

private:
    std::thread thread;
    std::atomic<DWORD> uiThread{0};
    std::atomic<bool> finished{false};
    std::atomic<int> exitCode{-1};
    HWND mainWindow = nullptr;
};

// Polls until the condition holds; false after the timeout.
bool waitUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 10000);

// Text of a control of a dialog, and a click on a button of it.
std::wstring dialogItemText(HWND dialog, int id);
void clickButton(HWND dialog, int id);
