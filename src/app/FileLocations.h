#pragma once

#include <functional>
#include <optional>
#include <string>

// Where the program finds its files. Folders end in a backslash; the callers
// answer for the file system, so that the rules run without one in a test.
using PathExists = std::function<bool(const std::wstring& path)>;

// The folder of Velto.db: the user's music folder; else "My Music" in the
// documents folder, when it exists; else the program's directory.
std::wstring databaseFolder(const std::optional<std::wstring>& musicFolder,
                            const std::optional<std::wstring>& documentsFolder,
                            const PathExists& folderExists, const std::wstring& programDirectory);

// The gain tool beside the program: aacgain.exe, else mp3gain.exe. Neither
// there raises Exception 157 with the directory (its message is shown).
std::wstring findGainTool(const std::wstring& programDirectory, const PathExists& fileExists);
