// What the package tests need to ask or do inside Wine, one command per run:
//
//   folder music|programs         prints the user's music folder or Start-menu programs folder
//   shortcut-target LINK          prints the program a shortcut (.lnk) starts
//   uninstall-value NAME          prints a value of Velto's uninstall entry; exit 1 if none
//   run COMMAND_LINE              runs a command line as typed at a prompt; exits with its code
//   run-uninstaller [COMMAND_LINE]
//                                 runs the entry's quiet uninstall command (or the one
//                                 given) as Windows would and waits for the copy of itself
//                                 that an NSIS uninstaller hands over to; exits with that
//                                 copy's code
//   hold FILE READY RELEASE       opens FILE with no sharing (as a program that reads
//                                 it would), creates READY, and holds it until RELEASE exists
//   cancel-setup TITLE            waits for the setup window TITLE and presses its Cancel
//   expect-message PROGRAM TEXT   starts PROGRAM, waits for its message box, checks that it
//                                 says TEXT, presses OK and waits for the program's end
//   sync-and-exit PROGRAM         starts Velto, waits until its first sync has listed the
//                                 playlists, chooses File > Exit, waits for the end
#include "ComRef_win.h"
#include "ScopedHandle_win.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using OwnedHandle = ScopedHandle<HANDLE, CloseHandle>;

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velto";
constexpr DWORD kPatienceMs = 120000;

void printLine(const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

int fail(const std::wstring& what) {
    printLine(L"PackageTestHelper: " + what);
    return 2;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int folder(const std::wstring& name) {
    const int id = name == L"music" ? CSIDL_MYMUSIC : name == L"programs" ? CSIDL_PROGRAMS : -1;
    wchar_t path[MAX_PATH];
    if (id < 0 || FAILED(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return fail(L"no folder " + name);
    }
    printLine(path);
    return 0;
}

int shortcutTarget(const std::wstring& link) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return fail(L"CoInitializeEx failed");
    }
    int result = 1;
    {
        ComRef<IShellLinkW> shortcut;
        ComRef<IPersistFile> file;
        wchar_t target[MAX_PATH] = L"";
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, shortcut.putVoid())) &&
            SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, file.putVoid())) &&
            SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shortcut->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            printLine(target);
            result = 0;
        } else {
            fail(L"cannot read the shortcut " + link);
        }
    }
    CoUninitialize();
    return result;
}

bool readUninstallValue(const std::wstring& name, std::wstring& value) {
    DWORD size = 0;
    const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_DWORD;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name.c_str(), types, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<BYTE> data(size + sizeof(wchar_t));
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name.c_str(), types, &type, data.data(),
                     &size) != ERROR_SUCCESS) {
        return false;
    }
    value = type == REG_DWORD ? std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()))
                              : std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
    return true;
}

int uninstallValue(const std::wstring& name) {
    std::wstring value;
    if (!readUninstallValue(name, value)) {
        return 1;
    }
    printLine(value);
    return 0;
}

DWORD waitAndGetExitCode(HANDLE process) {
    if (WaitForSingleObject(process, kPatienceMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

// The processes that one process started, still running or not yet reaped.
std::vector<DWORD> childrenOf(DWORD parent) {
    std::vector<DWORD> children;
    const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == parent && entry.th32ProcessID != parent) {
            children.push_back(entry.th32ProcessID);
        }
    }
    return children;
}

bool startProcess(std::wstring commandLine, PROCESS_INFORMATION& started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started);
}

// As typed, unquoted parts and all: NSIS's /D= takes the rest of the line,
// blanks included, and refuses quotes.
int run(const std::wstring& commandLine) {
    PROCESS_INFORMATION started{};
    if (!startProcess(commandLine, started)) {
        return fail(L"cannot start " + commandLine);
    }
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    return static_cast<int>(waitAndGetExitCode(process.get()));
}

// An NSIS uninstaller copies itself to the temporary folder, starts the copy
// and ends at once; the copy does the work. Holding the first process's
// handle keeps its id from being reused while its children are looked up.
int runUninstaller(std::wstring command) {
    if (command.empty() && !readUninstallValue(L"QuietUninstallString", command)) {
        return fail(L"no QuietUninstallString in the uninstall entry");
    }
    PROCESS_INFORMATION started{};
    if (!startProcess(command, started)) {
        return fail(L"cannot start " + command);
    }
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    DWORD code = waitAndGetExitCode(process.get());
    for (DWORD child : childrenOf(started.dwProcessId)) {
        const OwnedHandle copy(
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child));
        if (copy) {
            code = waitAndGetExitCode(copy.get());
        }
    }
    return static_cast<int>(code);
}

int hold(const std::wstring& path, const std::wstring& ready, const std::wstring& release) {
    const OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return fail(L"cannot open " + path);
    }
    const OwnedHandle readyFile(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    for (DWORD waited = 0; !fileExists(release); waited += 100) {
        if (waited > kPatienceMs) {
            return fail(L"nobody released " + path);
        }
        Sleep(100);
    }
    return 0;
}

struct WindowSearch {
    std::wstring title;
    HWND found = nullptr;
};

// The window's title without the blank that NSIS's pages add to it.
BOOL CALLBACK matchTitle(HWND window, LPARAM search) {
    auto& wanted = *reinterpret_cast<WindowSearch*>(search);
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    std::wstring title(text);
    title.erase(title.find_last_not_of(L' ') + 1);
    if (title == wanted.title && IsWindowVisible(window)) {
        wanted.found = window;
        return FALSE;
    }
    return TRUE;
}

// The Cancel button of NSIS's window is IDCANCEL; a click reaches the window
// as WM_COMMAND from that button.
int cancelSetup(const std::wstring& title) {
    for (DWORD waited = 0; waited <= kPatienceMs; waited += 100) {
        WindowSearch search{title};
        EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
        HWND cancel = search.found ? GetDlgItem(search.found, IDCANCEL) : nullptr;
        if (cancel && IsWindowEnabled(cancel)) {
            PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        Sleep(100);
    }
    return fail(L"no window " + title);
}

// --- Velto itself -----------------------------------------------------------

constexpr int kExitCommand = 105;
constexpr int kExitButton = 1008;
constexpr int kPlaylistDropDown = 1009;
constexpr int kMessageTextId = 0xFFFF;

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindowOf(HWND window, LPARAM search) {
    auto& windows = *reinterpret_cast<ProcessWindows*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows.processId && IsWindowVisible(window)) {
        windows.found.push_back(window);
    }
    return TRUE;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// The main window is a dialog with a menu; a message box is one without.
HWND findWindowOf(DWORD processId, bool withMenu) {
    ProcessWindows windows{processId, {}};
    EnumWindows(collectWindowOf, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows.found) {
        if (classOf(window) == L"#32770" && (GetMenu(window) != nullptr) == withMenu) {
            return window;
        }
    }
    return nullptr;
}

std::wstring messageBoxText(HWND box) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(box, kMessageTextId, text, 512);
    return text;
}

// A program started as the Start menu starts it: in its own folder.
class StartedProgram {
public:
    explicit StartedProgram(const std::wstring& path) {
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &started)) {
            process.reset(started.hProcess);
            CloseHandle(started.hThread);
            id = started.dwProcessId;
        }
    }
    ~StartedProgram() {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.get(), 99);
        }
    }
    bool started() const { return static_cast<bool>(process); }
    DWORD processId() const { return id; }
    bool ended() const { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }
    DWORD exitCode() { return waitAndGetExitCode(process.get()); }

private:
    OwnedHandle process;
    DWORD id = 0;
};

// Polls until the condition holds, the program ends or the patience runs out.
bool waitFor(StartedProgram& program, const std::function<bool()>& condition) {
    for (DWORD waited = 0; waited <= kPatienceMs; waited += 100) {
        if (condition()) {
            return true;
        }
        if (program.ended()) {
            return false;
        }
        Sleep(100);
    }
    return false;
}

int expectMessage(const std::wstring& path, const std::wstring& expected) {
    StartedProgram program(path);
    if (!program.started()) {
        return fail(L"cannot start " + path);
    }
    HWND box = nullptr;
    if (!waitFor(program,
                 [&] { return (box = findWindowOf(program.processId(), false)) != nullptr; })) {
        return fail(L"no message box from " + path);
    }
    const std::wstring shown = messageBoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (shown != expected) {
        return fail(L"the message box says \"" + shown + L"\"");
    }
    if (program.exitCode() == STILL_ACTIVE) {
        return fail(L"the program did not end after its message");
    }
    return 0;
}

int syncAndExit(const std::wstring& path) {
    StartedProgram program(path);
    if (!program.started()) {
        return fail(L"cannot start " + path);
    }
    // Idle after the first sync: the playlists are listed and Exit, grayed
    // while the sync runs, is usable again.
    HWND window = nullptr;
    const bool ready = waitFor(program, [&] {
        window = findWindowOf(program.processId(), true);
        return window &&
               SendMessageW(GetDlgItem(window, kPlaylistDropDown), CB_GETCOUNT, 0, 0) > 0 &&
               IsWindowEnabled(GetDlgItem(window, kExitButton));
    });
    if (HWND box = findWindowOf(program.processId(), false)) {
        return fail(L"the program says \"" + messageBoxText(box) + L"\"");
    }
    if (!ready) {
        return fail(L"the program never became ready");
    }
    PostMessageW(window, WM_COMMAND, kExitCommand, 0);
    const DWORD code = program.exitCode();
    if (code == STILL_ACTIVE) {
        return fail(L"the program did not end on File > Exit");
    }
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const std::wstring command = args.empty() ? L"" : args[0];
    if (command == L"folder" && args.size() == 2) {
        return folder(args[1]);
    }
    if (command == L"shortcut-target" && args.size() == 2) {
        return shortcutTarget(args[1]);
    }
    if (command == L"uninstall-value" && args.size() == 2) {
        return uninstallValue(args[1]);
    }
    if (command == L"run" && args.size() == 2) {
        return run(args[1]);
    }
    if (command == L"run-uninstaller" && args.size() <= 2) {
        return runUninstaller(args.size() == 2 ? args[1] : L"");
    }
    if (command == L"hold" && args.size() == 4) {
        return hold(args[1], args[2], args[3]);
    }
    if (command == L"cancel-setup" && args.size() == 2) {
        return cancelSetup(args[1]);
    }
    if (command == L"expect-message" && args.size() == 3) {
        return expectMessage(args[1], args[2]);
    }
    if (command == L"sync-and-exit" && args.size() == 2) {
        return syncAndExit(args[1]);
    }
    return fail(L"unknown command; see the comment at the top of PackageTestHelper_win.cpp");
}
