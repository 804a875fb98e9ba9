#include "CommandLine.h"
#include "CommandLineWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kTrack = L"\"C:\\Music\\a b.mp3\"";
const std::wstring kAlbum = L"\"C:\\Music\\1.mp3\" \"C:\\Music\\2.mp3\" ";

} // namespace

TEST(CommandLine, EveryOperationOnOneTrackHasItsExactBlanks) {
    EXPECT_EQ(buildCommandLine(OpCheckTags, 0, kTrack, 0),
              L"aacgain /o /t /s c \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpAnalyze, 0, kTrack, 0), L"aacgain /o /t  \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpUndo, 0, kTrack, 0), L"aacgain /o /t /u \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpDeleteTags, 0, kTrack, 0),
              L"aacgain /o /t /s d \"C:\\Music\\a b.mp3\"");
}

TEST(CommandLine, ApplyCarriesTheChannelSwitchAndTheSignedStepCount) {
    EXPECT_EQ(buildCommandLine(OpApply, 3, kTrack, 0),
              L"aacgain /o /t /c /g  3  \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpApply, -2, kTrack, 0),
              L"aacgain /o /t /c /g  -2  \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpApply, 4, kTrack, 1),
              L"aacgain /o /t /c /l 0 4  \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpApply, -1, kTrack, 2),
              L"aacgain /o /t /c /l 1 -1  \"C:\\Music\\a b.mp3\"");
    EXPECT_EQ(buildCommandLine(OpApply, 1, kTrack, 7),
              L"aacgain /o /t /c  1  \"C:\\Music\\a b.mp3\"");
}

TEST(CommandLine, StepsAndChannelCountOnlyForApply) {
    EXPECT_EQ(buildCommandLine(OpAnalyze, 5, kTrack, 2), buildCommandLine(OpAnalyze, 0, kTrack, 0));
    EXPECT_EQ(buildCommandLine(OpUndo, -3, kTrack, 1), buildCommandLine(OpUndo, 0, kTrack, 0));
}

TEST(CommandLine, AnAlbumGivesEveryPathAndEndsWithABlank) {
    EXPECT_EQ(buildCommandLine(OpAnalyze, 0, kAlbum, 0),
              L"aacgain /o /t  \"C:\\Music\\1.mp3\" \"C:\\Music\\2.mp3\" ");
    EXPECT_EQ(buildCommandLine(OpApply, -12, kAlbum, 0),
              L"aacgain /o /t /c /g  -12  \"C:\\Music\\1.mp3\" \"C:\\Music\\2.mp3\" ");
    EXPECT_EQ(buildCommandLine(OpCheckTags, 0, kAlbum, 0),
              L"aacgain /o /t /s c \"C:\\Music\\1.mp3\" \"C:\\Music\\2.mp3\" ");
}

TEST(CommandLineWords, QuotedPathsWithBlanksStayOneWord) {
    const std::vector<std::wstring> expected = {
        L"aacgain", L"/o", L"/t", L"/c", L"/g", L"-2", L"C:\\Music\\a b.mp3"};
    EXPECT_EQ(splitCommandLine(buildCommandLine(OpApply, -2, kTrack, 0)), expected);
    const std::vector<std::wstring> album = {
        L"aacgain", L"/o", L"/t", L"/s", L"c", L"C:\\Music\\1.mp3", L"C:\\Music\\2.mp3"};
    EXPECT_EQ(splitCommandLine(buildCommandLine(OpCheckTags, 0, kAlbum, 0)), album);
}

TEST(CommandLineWords, FollowsTheRunTimeRulesForQuotesAndBackslashes) {
    using Words = std::vector<std::wstring>;
    EXPECT_EQ(splitCommandLine(L"  a\t\tb  "), (Words{L"a", L"b"}));
    EXPECT_EQ(splitCommandLine(L"\"\" x"), (Words{L"", L"x"}));
    EXPECT_EQ(splitCommandLine(L"a\"b c\"d"), (Words{L"ab cd"}));
    EXPECT_EQ(splitCommandLine(L"C:\\dir\\ x"), (Words{L"C:\\dir\\", L"x"}));
    EXPECT_EQ(splitCommandLine(L"\"C:\\dir\\\\\" x"), (Words{L"C:\\dir\\", L"x"}));
    EXPECT_EQ(splitCommandLine(L"a\\\"b"), (Words{L"a\"b"}));
    EXPECT_EQ(splitCommandLine(L"\"a\"\"b\""), (Words{L"a\"b"}));
    EXPECT_EQ(splitCommandLine(L"\"unterminated quote"), (Words{L"unterminated quote"}));
    EXPECT_TRUE(splitCommandLine(L"   ").empty());
}
