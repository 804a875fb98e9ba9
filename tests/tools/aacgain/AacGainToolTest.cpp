// aacgain on generated AAC files, checked by independent programs: ffmpeg
// decodes what it changed, Debian's mp3gain and ffmpeg's replaygain filter
// measure the same audio, AtomicParsley lists the metadata it wrote.
#include "AacToolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

namespace fs = std::filesystem;
using namespace aactest;

namespace {

constexpr double kStepFactor = 1.4142135623730951; // 2^(2/4): two steps

double field(const std::vector<std::string>& row, std::size_t index) {
    return index < row.size() ? std::atof(row[index].c_str()) : NAN;
}

// Every decoded sample scaled by factor, where neither is near clipping.
void expectScaled(const std::vector<float>& before, const std::vector<float>& after,
                  double leftFactor, double rightFactor, int channels) {
    ASSERT_EQ(before.size(), after.size());
    double worst = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        double factor = channels == 2 && i % 2 == 1 ? rightFactor : leftFactor;
        double expected = before[i] * factor;
        if (std::fabs(expected) < 0.9) {
            worst = std::max(worst, std::fabs(after[i] - expected));
        }
    }
    EXPECT_LT(worst, 1e-4) << "a decoded sample is not the original's times the gain";
}

struct RoundTripCase {
    std::string file;
    int channels;
    bool hasOwnItems; // the file came with iTunes metadata
};

class AacRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

} // namespace

// Analyse, change by two steps, undo, remove the tags: the audio scales by
// 2^(2/4) and comes back byte for byte, the tool's items come and go, and
// the file's own metadata stays.
TEST_P(AacRoundTrip, ChangeUndoAndRemoveTagsKeepTheAudioAndTheFilesOwnMetadata) {
    Scratch scratch;
    fs::path song = scratch.path() / "song.m4a";
    fs::path original = scratch.copyOf(GetParam().file, "original.m4a");
    fs::copy_file(original, song);
    std::vector<std::vector<std::uint8_t>> ownItems = otherMetadataItems(original);
    EXPECT_EQ(!ownItems.empty(), GetParam().hasOwnItems);

    ToolRun analysis = aacgain("/o /t", {song});
    EXPECT_TRUE(errorLines(analysis.output).empty()) << analysis.output;
    std::vector<std::string> row = rowFor(analysis.output, song.string());
    ASSERT_EQ(row.size(), 6u) << analysis.output;
    EXPECT_GT(field(row, 3), 1000.0);        // the peak, on mp3gain's scale of 32768
    EXPECT_LE(field(row, 5), field(row, 4)); // min global_gain <= max

    ToolRun change = aacgain("/o /t /c /g 2", {song});
    EXPECT_TRUE(errorLines(change.output).empty()) << change.output;
    expectScaled(decoded(original), decoded(song), kStepFactor, kStepFactor, GetParam().channels);
    EXPECT_EQ(decodeComplaints(song), "");
    ToolRun check = aacgain("/o /t /s c", {song});
    std::vector<std::string> tags = rowFor(check.output, song.string());
    ASSERT_EQ(tags.size(), 11u) << check.output;
    EXPECT_NEAR(field(tags, 2), field(row, 2) - 2 * 1.505, 0.01); // the recorded gain follows
    std::string listed = run("AtomicParsley " + quoted(song) + " -t").output;
    EXPECT_NE(listed.find("replaygain_track_gain"), std::string::npos) << listed;

    ToolRun undo = aacgain("/o /t /u", {song});
    EXPECT_TRUE(errorLines(undo.output).empty()) << undo.output;
    EXPECT_EQ(rowFor(undo.output, song.string()),
              (std::vector<std::string>{song.string(), "-2", "-2"}));
    EXPECT_EQ(audioBlocks(song), audioBlocks(original));

    ToolRun remove = aacgain("/o /t /s d", {song});
    EXPECT_TRUE(errorLines(remove.output).empty()) << remove.output;
    EXPECT_TRUE(toolItemNames(song).empty());
    EXPECT_EQ(otherMetadataItems(song), ownItems);
    EXPECT_EQ(audioBlocks(song), audioBlocks(original));
    EXPECT_EQ(decodeComplaints(song), "");
}

INSTANTIATE_TEST_SUITE_P(Files, AacRoundTrip,
                         ::testing::Values(RoundTripCase{"stereo44.m4a", 2, true},
                                           RoundTripCase{"stereo44-front.m4a", 2, true},
                                           RoundTripCase{"stereo44-front-co64.m4a", 2, true},
                                           RoundTripCase{"stereo22.m4a", 2, true},
                                           RoundTripCase{"mono48.m4a", 1, false},
                                           RoundTripCase{"mono48-bare.m4a", 1, false}),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) {
                             std::string name =
                                 info.param.file.substr(0, info.param.file.find('.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// Every operation on a file the tool cannot handle (an MP4 it cannot change,
// a WAV, in which MP3 code would find chance frames): one error line naming
// the file, and not one byte changed.
TEST(AacGainTool, FilesItCannotHandleGetOneErrorLineAndStayAsTheyWere) {
    Scratch scratch;
    std::vector<fs::path> files = {
        scratch.copyOf("alac.m4a"),          scratch.copyOf("mp3.mp4"),
        scratch.copyOf("main.m4a"),          scratch.copyOf("ltp.m4a"),
        scratch.copyOf("protected.m4a"),     scratch.copyOf("cut.m4a"),
        scratch.copyOf("damaged-table.m4a"), scratch.copyOf("stereo44.wav")};
    for (const fs::path& file : files) {
        std::vector<std::uint8_t> before = bytesOf(file);
        for (const char* switches :
             {"/o /t", "/o /t /s c", "/o /t /c /g 2", "/o /t /l 0 2", "/o /t /u", "/o /t /s d"}) {
            ToolRun result = aacgain(switches, {file});
            std::vector<std::string> errors = errorLines(result.output);
            ASSERT_EQ(errors.size(), 1u) << switches << " " << file << "\n" << result.output;
            EXPECT_EQ(errors[0].rfind(file.string(), 0), 0u) << errors[0];
            EXPECT_TRUE(rowFor(result.output, file.string()).empty()) << result.output;
            EXPECT_EQ(bytesOf(file), before) << switches << " changed " << file;
        }
    }
}

// A change that would take a global_gain beyond 0..255, and a change of one
// channel of a mid/side pair: refused with an error line, nothing written.
TEST(AacGainTool, ChangesThatCannotBeMadeLosslesslyAreRefused) {
    Scratch scratch;
    fs::path stereo = scratch.copyOf("stereo44.m4a");
    fs::path midSide = scratch.copyOf("stereo48-ms.m4a");
    std::vector<std::uint8_t> stereoBefore = bytesOf(stereo);
    std::vector<std::uint8_t> midSideBefore = bytesOf(midSide);
    for (const char* switches : {"/o /t /c /g 200", "/o /t /c /g -200", "/o /t /l 0 300"}) {
        ToolRun result = aacgain(switches, {stereo});
        EXPECT_EQ(errorLines(result.output).size(), 1u) << switches << "\n" << result.output;
        EXPECT_EQ(bytesOf(stereo), stereoBefore) << switches;
    }
    for (const char* switches : {"/o /t /l 0 2", "/o /t /l 1 -2"}) {
        ToolRun result = aacgain(switches, {midSide});
        std::vector<std::string> errors = errorLines(result.output);
        ASSERT_EQ(errors.size(), 1u) << result.output;
        EXPECT_NE(errors[0].find("mid/side"), std::string::npos) << errors[0];
        EXPECT_EQ(bytesOf(midSide), midSideBefore);
    }
}

// One channel of a left/right pair: only that channel's audio scales, and
// undo restores it.
TEST(AacGainTool, OneChannelOfALeftRightPairChangesAlone) {
    Scratch scratch;
    fs::path original = scratch.copyOf("stereo48-lr.m4a", "original.m4a");
    fs::path song = scratch.copyOf("stereo48-lr.m4a", "song.m4a");
    ToolRun left = aacgain("/o /t /l 0 2", {song});
    EXPECT_TRUE(errorLines(left.output).empty()) << left.output;
    expectScaled(decoded(original), decoded(song), kStepFactor, 1.0, 2);
    ToolRun right = aacgain("/o /t /l 1 -2", {song});
    EXPECT_TRUE(errorLines(right.output).empty()) << right.output;
    expectScaled(decoded(original), decoded(song), kStepFactor, 1 / kStepFactor, 2);
    aacgain("/o /t /u", {song});
    EXPECT_EQ(audioBlocks(song), audioBlocks(original));
}

// The analysis of the AAC file agrees with Debian's mp3gain on the same
// audio as MP3 and with ffmpeg's replaygain filter on the decoded audio; an
// album of both kinds gets one album row, and the MP3's own row is what
// Debian's mp3gain prints for it.
TEST(AacGainTool, AnalysisAgreesWithIndependentMeasurementsAndMixesWithMp3InAnAlbum) {
    Scratch scratch;
    fs::path aac = scratch.copyOf("stereo44.m4a");
    fs::path mp3 = scratch.copyOf("stereo44.mp3");
    fs::path mp3Reference = scratch.copyOf("stereo44.mp3", "reference.mp3");

    ToolRun album = aacgain("/o /t", {aac, mp3});
    EXPECT_TRUE(errorLines(album.output).empty()) << album.output;
    std::vector<std::string> aacRow = rowFor(album.output, aac.string());
    std::vector<std::string> mp3Row = rowFor(album.output, mp3.string());
    std::vector<std::string> albumRow = rowFor(album.output, "\"Album\"");
    ASSERT_EQ(albumRow.size(), 6u) << album.output;

    ToolRun debian = run("mp3gain /o /t " + quoted(mp3Reference));
    std::vector<std::string> debianRow = rowFor(debian.output, mp3Reference.string());
    ASSERT_EQ(debianRow.size(), 6u) << debian.output;
    EXPECT_EQ(std::vector<std::string>(mp3Row.begin() + 1, mp3Row.end()),
              std::vector<std::string>(debianRow.begin() + 1, debianRow.end()));
    EXPECT_NEAR(field(aacRow, 2), field(debianRow, 2), 0.3);
    EXPECT_NEAR(field(aacRow, 3), field(debianRow, 3), 0.05 * field(debianRow, 3));
    // Both tracks hold the same audio: the album is as loud as either.
    EXPECT_NEAR(field(albumRow, 2), field(aacRow, 2), 0.3);

    std::string filter = run("ffmpeg -nostdin -hide_banner -i " + quoted(testFile("stereo44.m4a")) +
                             " -af replaygain -f null -")
                             .output;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(filter, match, std::regex("track_gain = ([-+0-9.]+) dB")))
        << filter;
    EXPECT_NEAR(field(aacRow, 2), std::stod(match[1]), 0.3);
}
