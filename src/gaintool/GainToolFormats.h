#pragma once

#include "AudioFormat.h"

#include <string>

// Which files a gain tool can be given, told by the tool's program name:
// aacgain handles MP3 files and AAC in MP4 files; mp3gain, and a tool of any
// other name, MP3 files only.
class GainToolFormats {
public:
    explicit GainToolFormats(const std::wstring& toolPath);

    bool handles(AudioFormat format) const;
    // The tool's file name ("mp3gain.exe"), for messages.
    const std::wstring& toolName() const { return name; }

private:
    std::wstring name;
    bool takesAac = false;
};
