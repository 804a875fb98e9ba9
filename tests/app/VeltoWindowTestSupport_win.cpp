#include "VeltoWindowTestSupport_win.h"

#include "DispatchInterface_win.h"
#include "ITunesIdentifiers_win.h"
#include "StandInState_win.h"
#include "VeltoProgram_win.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kMyMusic[] = L"My Music";

// Wine shows the Unix file system as drive Z:.
std::wstring windowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:" + fs::path(unixPath).wstring();
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path + L"\\";
}

std::wstring temporaryFolder() {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return directory;
}

std::optional<std::wstring> registryText(const wchar_t* key, const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

void setRegistryText(const wchar_t* key, const wchar_t* name,
                     const std::optional<std::wstring>& text) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open the shell folders key";
        return;
    }
    if (text) {
        RegSetValueExW(opened, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                       static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(opened, name);
    }
    RegCloseKey(opened);
}

// The music folder of the prefix before a test pointed it elsewhere.
std::optional<std::wstring>& savedMusicFolder() {
    static std::optional<std::wstring> saved;
    return saved;
}

std::string utf8(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

std::string xmlText(const std::wstring& text) {
    std::string escaped;
    for (char c : utf8(text)) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// "C:\a b\é.mp3" -> "file://localhost/C:/a%20b/%C3%A9.mp3"
std::string fileUrl(const std::wstring& path) {
    std::string url = "file://localhost/";
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : utf8(path)) {
        if (c == '\\') {
            url += '/';
        } else if (std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

constexpr int kFirstTrackId = 1001;
constexpr int kFirstPlaylistId = 500;

} // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// --- TestFolder

TestFolder::TestFolder(const std::wstring& name)
    : folder(temporaryFolder() + L"velto-window-test\\" + name + L"\\") {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(musicFolder());
    if (!savedMusicFolder()) {
        savedMusicFolder() = registryText(kShellFolders, kMyMusic);
    }
    std::wstring music = musicFolder();
    music.pop_back();
    setRegistryText(kShellFolders, kMyMusic, music);
}

TestFolder::~TestFolder() {
    setRegistryText(kShellFolders, kMyMusic, savedMusicFolder());
}

std::wstring TestFolder::copyAudio(const std::wstring& generated, const std::wstring& name) {
    std::wstring source = windowsPathOf(VELTO_TEST_AUDIO_DIR) + generated + L".mp3";
    std::wstring target = folder + name;
    EXPECT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE)) << "no test audio " << generated;
    return target;
}

std::wstring TestFolder::writeDamagedMp3(const std::wstring& name) {
    std::wstring target = folder + name;
    std::ofstream file(fs::path(target), std::ios::binary);
    std::minstd_rand noise(3);
    for (int frame = 0; frame < 40; ++frame) {
        file << "\xFF\xFB\x90" << '\0'; // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz: 417 bytes
        for (int i = 4; i < 417; ++i) {
            file.put(static_cast<char>(noise() & 0xFF));
        }
    }
    return target;
}

std::optional<std::string> TestFolder::readDatabase() const {
    std::ifstream file(fs::path(databasePath()), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// --- The iTunes library and the stand-in

void writeLibraryXml(const std::wstring& path, const std::vector<LibraryTrack>& tracks,
                     const std::vector<LibraryPlaylist>& playlists) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n"
                      "<dict>\n<key>Major Version</key><integer>1</integer>\n<key>Tracks</key>\n"
                      "<dict>\n";
    for (size_t i = 0; i < tracks.size(); ++i) {
        const LibraryTrack& track = tracks[i];
        std::string id = std::to_string(kFirstTrackId + static_cast<int>(i));
        xml += "<key>" + id + "</key><dict><key>Track ID</key><integer>" + id +
               "</integer><key>Name</key><string>" + xmlText(track.name) +
               "</string><key>Artist</key><string>" + xmlText(track.artist) +
               "</string><key>Album</key><string>" + xmlText(track.album) +
               "</string><key>Total Time</key><integer>3000</integer>"
               "<key>Location</key><string>" +
               fileUrl(track.path) + "</string></dict>\n";
    }
    xml += "</dict>\n<key>Playlists</key>\n<array>\n";
    auto playlist = [&](const std::wstring& name, const std::vector<int>& positions, int number,
                        bool master) {
        xml += "<dict><key>Name</key><string>" + xmlText(name) + "</string>";
        if (master) {
            xml += "<key>Master</key><true/>";
        }
        xml += "<key>Playlist ID</key><integer>" + std::to_string(kFirstPlaylistId + number) +
               "</integer><key>Playlist Items</key><array>";
        for (int position : positions) {
            xml += "<dict><key>Track ID</key><integer>" + std::to_string(kFirstTrackId + position) +
                   "</integer></dict>";
        }
        xml += "</array></dict>\n";
    };
    std::vector<int> all;
    for (size_t i = 0; i < tracks.size(); ++i) {
        all.push_back(static_cast<int>(i));
    }
    playlist(L"Library", all, 0, true);
    for (size_t i = 0; i < playlists.size(); ++i) {
        playlist(playlists[i].name, playlists[i].tracks, static_cast<int>(i) + 1, false);
    }
    xml += "</array>\n</dict>\n</plist>\n";
    std::ofstream(fs::path(path), std::ios::binary) << xml;
}

std::vector<std::wstring> libraryComments(const std::wstring& path, int trackCount) {
    StandInState reread;
    EXPECT_EQ(reread.loadLibrary(path), S_OK);
    std::vector<std::wstring> comments;
    for (int i = 0; i < trackCount; ++i) {
        StandInTrack* track = reread.library.findTrack(kFirstTrackId + i);
        comments.push_back(track && track->comment ? *track->comment : std::wstring());
    }
    return comments;
}

StandInServer::StandInServer(const std::wstring& libraryPath, bool likeITunes) {
    comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    HRESULT hr = CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  standIn.putVoid());
    EXPECT_HRESULT_SUCCEEDED(hr) << "the stand-in is not registered in the prefix";
    if (!standIn) {
        return;
    }
    DispatchInterface controls;
    Variant path(libraryPath);
    Variant result;
    EXPECT_HRESULT_SUCCEEDED(
        controls.tryInvoke(standIn.get(), L"StandInLoadLibrary", DISPATCH_METHOD, {&path}, result));
    Variant mode(likeITunes ? 1 : 0);
    for (const wchar_t* control : {L"StandInLocationOnTrack", L"StandInTrackEnumerators"}) {
        EXPECT_HRESULT_SUCCEEDED(
            controls.tryInvoke(standIn.get(), control, DISPATCH_METHOD, {&mode}, result));
    }
}

StandInServer::~StandInServer() {
    standIn.reset();
    if (comStarted) {
        CoUninitialize();
    }
}

// --- RunningVelto

RunningVelto::RunningVelto() {
    thread = std::thread([this] {
        uiThread = GetCurrentThreadId();
        exitCode = runVelto(GetModuleHandleW(nullptr));
        finished = true;
    });
    waitUntil([this] { return uiThread != 0; });
}

RunningVelto::~RunningVelto() {
    if (!finished && mainWindow && IsWindow(mainWindow)) {
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    }
    waitForEnd();
    if (finished) {
        thread.join();
    } else {
        ADD_FAILURE() << "the program did not end";
        thread.detach();
    }
}

HWND RunningVelto::window() {
    if (mainWindow) {
        return mainWindow;
    }
    // Created hidden: the load thread shows it once the preferences are read.
    waitUntil([this] {
        EnumThreadWindows(
            uiThread,
            [](HWND candidate, LPARAM found) -> BOOL {
                if (windowClass(candidate) == L"#32770" && GetMenu(candidate)) {
                    *reinterpret_cast<HWND*>(found) = candidate;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&mainWindow));
        return mainWindow != nullptr || finished;
    });
    return mainWindow;
}

bool RunningVelto::waitVisible() {
    return waitUntil([this] { return window() && IsWindowVisible(window()); });
}

int RunningVelto::waitForEnd(int timeoutMilliseconds) {
    if (!waitUntil([this] { return finished.load(); }, timeoutMilliseconds)) {
        return -1;
    }
    return exitCode;
}

std::wstring RunningVelto::status(int part) {
    HWND bar = FindWindowExW(window(), nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[512] = {};
    auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
    if (length >= 512) {
        return L"(too long)";
    }
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

void RunningVelto::command(int id) {
    SendMessageW(window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void RunningVelto::post(int id) {
    PostMessageW(window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool RunningVelto::enabled(int menuItem) {
    UINT state = GetMenuState(GetMenu(window()), static_cast<UINT>(menuItem), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool RunningVelto::checked(int menuItem) {
    UINT state = GetMenuState(GetMenu(window()), static_cast<UINT>(menuItem), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

HWND RunningVelto::item(int id) {
    return GetDlgItem(window(), id);
}

int RunningVelto::rowCount() {
    return static_cast<int>(SendMessageW(item(1001), LVM_GETITEMCOUNT, 0, 0));
}

int RunningVelto::selectedCount() {
    return static_cast<int>(SendMessageW(item(1001), LVM_GETSELECTEDCOUNT, 0, 0));
}

std::wstring RunningVelto::cell(int row, int column) {
    wchar_t text[260] = {};
    LVITEMW cellItem{};
    cellItem.iSubItem = column;
    cellItem.pszText = text;
    cellItem.cchTextMax = 260;
    SendMessageW(item(1001), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cellItem));
    return text;
}

namespace {

LPARAM rowPoint(HWND list, int position) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&row));
    return MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
}

} // namespace

void RunningVelto::clickRow(int position, bool addToSelection) {
    HWND list = item(1001);
    LPARAM point = rowPoint(list, position);
    WPARAM keys = MK_LBUTTON | (addToSelection ? MK_CONTROL : 0);
    PostMessageW(list, WM_LBUTTONDOWN, keys, point);
    PostMessageW(list, WM_LBUTTONUP, keys & ~MK_LBUTTON, point);
}

void RunningVelto::doubleClickRow(int position) {
    HWND list = item(1001);
    LPARAM point = rowPoint(list, position);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
}

int RunningVelto::columnWidth(int column) {
    return static_cast<int>(
        SendMessageW(item(1001), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void RunningVelto::dragColumnWidth(int column, int width) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(item(1001), LVM_GETHEADER, 0, 0));
    RECT rect{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&rect));
    int y = (rect.top + rect.bottom) / 2;
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.right, y));
    PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rect.left + width, y));
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(rect.left + width, y));
}

std::vector<std::wstring> RunningVelto::playlistEntries() {
    HWND combo = item(1009);
    std::vector<std::wstring> entries;
    auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; static_cast<LRESULT>(i) < count; ++i) {
        wchar_t text[260] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::wstring RunningVelto::selectedPlaylist() {
    HWND combo = item(1009);
    auto selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected < 0) {
        return L"(none)";
    }
    wchar_t text[260] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

void RunningVelto::choosePlaylist(int position) {
    HWND combo = item(1009);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageW(window(), WM_COMMAND, MAKEWPARAM(1009, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

std::wstring RunningVelto::itemText(int id) {
    return windowText(item(id));
}

void RunningVelto::moveTrackbar(int position) {
    HWND trackbar = item(1002);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageW(window(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                 reinterpret_cast<LPARAM>(trackbar));
}

HWND RunningVelto::waitForDialog(const std::wstring& title, int timeoutMilliseconds) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND dialog : threadDialogs(uiThread)) {
                if (dialog != mainWindow && windowText(dialog) == title) {
                    found = dialog;
                }
            }
            return found != nullptr;
        },
        timeoutMilliseconds);
    return found;
}

bool RunningVelto::noDialogAppears(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
    for (HWND dialog : threadDialogs(uiThread)) {
        if (dialog != mainWindow) {
            return false;
        }
    }
    return true;
}

std::wstring dialogItemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

void clickButton(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
