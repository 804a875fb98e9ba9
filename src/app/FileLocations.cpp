#include "FileLocations.h"

#include "Exception.h"

namespace {
constexpr int kGainToolNotFound = 157;
}

std::wstring databaseFolder(const std::optional<std::wstring>& musicFolder,
                            const std::optional<std::wstring>& documentsFolder,
                            const PathExists& folderExists, const std::wstring& programDirectory) {
    if (musicFolder) {
        return *musicFolder;
    }
    if (documentsFolder) {
        std::wstring myMusic = *documentsFolder + L"My Music";
        if (folderExists(myMusic)) {
            return myMusic + L"\\";
        }
    }
    return programDirectory;
}

std::wstring findGainTool(const std::wstring& programDirectory, const PathExists& fileExists) {
    for (const wchar_t* name : {L"aacgain.exe", L"mp3gain.exe"}) {
        std::wstring path = programDirectory + name;
        if (fileExists(path)) {
            return path;
        }
    }
    throw Exception(kGainToolNotFound, programDirectory);
}
