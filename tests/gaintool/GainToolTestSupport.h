#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return dir; }
    std::filesystem::path operator/(const std::wstring& name) const { return dir / name; }

private:
    std::filesystem::path dir;
};

// A file's path in double quotes, as an item's file arguments give it.
std::wstring quotedPath(const std::wstring& path);
std::wstring quotedPath(const std::filesystem::path& path);

inline const std::wstring
    kSeparator(1, static_cast<wchar_t>(std::filesystem::path::preferred_separator));

void writeFile(const std::filesystem::path& path, std::string_view bytes);
// Silent MP3 frames that chain as a real file's do.
std::string mp3Frames(int count = 8);
std::string readAllBytes(std::FILE* stream);
std::string readFileBytes(const std::filesystem::path& path);

// A script for the fake gain tool (see tools/fake-gain-tool).
class FakeToolScript {
public:
    FakeToolScript& out(std::string_view bytes);
    FakeToolScript& err(std::string_view bytes);
    FakeToolScript& args();
    FakeToolScript& sleep(int milliseconds);
    FakeToolScript& exit(int code);
    // The directives that follow apply only to runs of these operations
    // ("analyze", "check", "apply", "undo", "delete", "any"; comma-separated).
    FakeToolScript& when(const std::string& operations);
    // Appends the run's arguments as one line to the script's path + ".log".
    FakeToolScript& log();
    // Appends the run's process id as a line to SCRIPT.pid.
    FakeToolScript& processId();
    // Writes the script beside the file, at path + ".fake", where the fake
    // tool looks for it first; and, unless the file exists, makes it a short
    // MP3, so that the job's file screen lets it through.
    void write(const std::filesystem::path& path) const;

private:
    FakeToolScript& chunk(const char* directive, std::string_view bytes);
    std::string text;
};

// --- What differs per platform ---

// Paths and texts, also beyond ASCII (natively std::filesystem converts wide
// text only in the "C" locale's ASCII).
std::filesystem::path toPath(const std::wstring& text);
std::wstring toText(const std::filesystem::path& path);

// A program built for this platform (fake tool, mp3gain.exe) as the runner gets its path.
std::wstring toolPathOf(const char* buildPath);
// The real gain tool: Debian's mp3gain natively, the cross-built mp3gain.exe on Windows.
std::wstring realToolPath();
std::wstring fakeToolPath();
// Untagged MP3s made by make-test-audio; copy them before use, since the tool
// writes tags into the files it analyses.
std::filesystem::path pristineTestAudio();
// The files of every kind a real library holds (kind-*, see make-test-audio).
std::filesystem::path pristineTestLibrary();
// Copies a pristine test file into dir under a new name and returns its path.
std::filesystem::path freshAudio(const std::filesystem::path& dir, const std::wstring& name,
                                 const std::wstring& newName);
// The bytes the tool prints for text (its own argument echoed back).
std::string toolBytesOf(const std::wstring& text);
// Runs the tool without the runner: its standard output and error, as bytes.
std::string runToolDirectly(const std::wstring& tool, const std::wstring& arguments);

// Watches a child process by id from outside the runner.
class ProcessWatch {
public:
    explicit ProcessWatch(unsigned long processId);
    ~ProcessWatch();
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    // True when the process no longer exists, not even as a zombie (POSIX), or
    // has ended (Windows).
    bool hasEnded() const;
    // The exit code where the platform keeps it for an outside observer (Windows).
    std::optional<unsigned long> exitCode() const;

private:
    unsigned long processId;
    void* handle = nullptr;
};
