#include "FileLocations.h"

#include "RecordingReporter.h"

#include <gtest/gtest.h>

#include <set>

namespace {

PathExists existing(std::set<std::wstring> paths) {
    return [paths = std::move(paths)](const std::wstring& path) { return paths.count(path) != 0; };
}

const std::wstring kProgram = L"C:\\Program Files\\Velto\\";

} // namespace

TEST(FileLocations, TheDatabaseLivesInTheMusicFolderElseMyMusicElseBesideTheProgram) {
    PathExists myMusicExists = existing({L"C:\\Docs\\My Music"});
    EXPECT_EQ(databaseFolder(L"D:\\Music\\", L"C:\\Docs\\", myMusicExists, kProgram),
              L"D:\\Music\\");
    EXPECT_EQ(databaseFolder(std::nullopt, L"C:\\Docs\\", myMusicExists, kProgram),
              L"C:\\Docs\\My Music\\");
    EXPECT_EQ(databaseFolder(std::nullopt, L"C:\\Docs\\", existing({}), kProgram), kProgram)
        << "documents without My Music";
    EXPECT_EQ(databaseFolder(std::nullopt, std::nullopt, myMusicExists, kProgram), kProgram);
}

TEST(FileLocations, TheGainToolIsAacgainElseMp3gainElseTheProgramCannotStart) {
    RecordingReporter reporter;
    EXPECT_EQ(
        findGainTool(kProgram, existing({kProgram + L"aacgain.exe", kProgram + L"mp3gain.exe"})),
        kProgram + L"aacgain.exe");
    EXPECT_EQ(findGainTool(kProgram, existing({kProgram + L"mp3gain.exe"})),
              kProgram + L"mp3gain.exe");
    EXPECT_TRUE(reporter.shown.empty());

    EXPECT_THROW(findGainTool(kProgram, existing({L"C:\\elsewhere\\aacgain.exe"})), Exception);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.lastText(),
              L"aacgain.exe or mp3gain.exe not found in directory " + kProgram);
    EXPECT_EQ(reporter.shown[0].caption, L"Velto");
}
