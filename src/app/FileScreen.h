#pragma once

#include "AudioFormat.h"
#include "DatabaseRecords.h"
#include "GainToolFormats.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

class StringTable;

// Decides, before every run of the gain tool, which files it may be given: a
// file that is missing, empty or unreadable, or whose format the tool does not
// handle, is held back. Formats are read from the files' content, once per
// file for a job; a file whose size or time has changed since is read again.
// Safe to call from several threads.
class FileScreen {
public:
    explicit FileScreen(const std::wstring& toolPath);

    struct Verdict {
        FileProblem problem = FileProblem::None; // None: the file may go to the tool
        AudioFormat format = AudioFormat::Unknown;
    };
    Verdict check(const std::wstring& path);
    // Why a file was held back, as the job's report tells it ("File not
    // found", "mp3gain.exe does not handle WAV audio").
    std::wstring describe(const Verdict& verdict, const StringTable& strings) const;

    const GainToolFormats& toolFormats() const { return formats; }

private:
    struct Seen {
        std::uint64_t size = 0;
        std::int64_t modified = 0;
        AudioFormat format = AudioFormat::Unknown;
    };

    std::optional<AudioFormat> knownFormat(const std::wstring& path, const Seen& now);
    void remember(const std::wstring& path, const Seen& file);

    const GainToolFormats formats;
    std::mutex seenLock;
    std::map<std::wstring, Seen> seen;
};
