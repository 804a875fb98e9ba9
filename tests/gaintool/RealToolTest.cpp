#include "CommandLine.h"
#include "GainToolTestSupport.h"
#include "ParseAACGain.h"
#include "RunAACGain.h"
#include "ToolNumbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kStepDb = 1.50514997831991;
const std::wstring kAlbumRow = L"\"Album\"";

// What the gain operations take from one run's output.
struct ParsedRun {
    std::vector<LineKind> kinds;
    std::map<std::wstring, std::array<std::wstring, ParseAACGain::kMaxFields>> rows;
    std::vector<std::wstring> errors;
    std::string output; // the tool's own bytes when run directly, shown when a check fails

    bool has(LineKind kind) const {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    }
    double trackGain(const std::wstring& name) const { return toolReal(rows.at(name)[1]); }
    double maxAmplitude(const std::wstring& name) const { return toolReal(rows.at(name)[2]); }
};

ParsedRun parse(std::FILE* stream) {
    ParsedRun run;
    ParseAACGain parser(stream);
    while (LineKind kind = parser.nextLine()) {
        run.kinds.push_back(kind);
        if (kind == DataRow) {
            run.rows[parser.getFirstToken()] = parser.getFields();
        } else if (kind == ErrorLine) {
            run.errors.push_back(parser.getFields()[0]);
        }
    }
    return run;
}

class RealTool : public ::testing::Test {
protected:
    std::wstring fresh(const std::wstring& name) {
        return freshAudio(dir.path(), name, name).wstring();
    }

    // Runs the tool directly with the program's switches, records its output
    // and parses the recording.
    ParsedRun record(ToolOp op, int steps, const std::vector<std::wstring>& paths,
                     int channel = 0) {
        const std::wstring commandLine = buildCommandLine(op, steps, fileArgs(paths), channel);
        const std::string recording =
            runToolDirectly(tool, commandLine.substr(commandLine.find(L' ') + 1));
        writeFile(dir / L"recording", recording);
        std::FILE* file = std::fopen((dir / L"recording").string().c_str(), "rb");
        ParsedRun run = parse(file);
        std::fclose(file);
        run.output = recording;
        return run;
    }

    ParsedRun throughRunner(ToolOp op, const std::vector<std::wstring>& paths) {
        RunAACGain runner(tool);
        ParsedRun run = parse(runner.run(op, 0, fileArgs(paths), 0));
        runner.terminate();
        runner.close();
        return run;
    }

    static std::wstring fileArgs(const std::vector<std::wstring>& paths) {
        if (paths.size() == 1) {
            return quotedPath(paths[0]);
        }
        std::wstring args;
        for (const std::wstring& path : paths) {
            args += quotedPath(path) + L" ";
        }
        return args;
    }

    TempDir dir;
    std::wstring tool = realToolPath();
};

} // namespace

TEST_F(RealTool, AnalysisGivesARowPerFileAndTheAlbumRow) {
    const std::wstring quiet = fresh(L"quiet.mp3");
    const std::wstring loud = fresh(L"loud.mp3");
    const std::wstring clipping = fresh(L"clipping.mp3");
    const ParsedRun run = record(OpAnalyze, 0, {quiet, loud, clipping});
    EXPECT_TRUE(run.errors.empty()) << run.output;
    EXPECT_TRUE(run.has(HeaderRow));
    ASSERT_EQ(run.rows.size(), 4u);
    EXPECT_GT(run.trackGain(quiet), 5.0);
    EXPECT_LT(run.trackGain(loud), -5.0);
    EXPECT_LT(run.maxAmplitude(quiet), 32767.0);
    EXPECT_LT(run.maxAmplitude(loud), 32767.0);
    EXPECT_GT(run.maxAmplitude(clipping), 32767.0);
    const double loudest = std::max(run.maxAmplitude(loud), run.maxAmplitude(clipping));
    EXPECT_NEAR(run.maxAmplitude(kAlbumRow), loudest, 0.01);
    EXPECT_LE(run.trackGain(kAlbumRow), run.trackGain(quiet));
    EXPECT_GE(run.trackGain(kAlbumRow), std::min(run.trackGain(loud), run.trackGain(clipping)));
}

TEST_F(RealTool, CheckTagsReadsBackTheTrackAndAlbumValuesOfTheAnalysis) {
    const std::vector<std::wstring> album = {fresh(L"album1.mp3"), fresh(L"album2.mp3"),
                                             fresh(L"album3.mp3")};
    const ParsedRun analysis = record(OpAnalyze, 0, album);
    const ParsedRun tags = record(OpCheckTags, 0, album);
    EXPECT_TRUE(tags.errors.empty()) << tags.output;
    ASSERT_EQ(tags.rows.size(), 3u);
    for (const std::wstring& path : album) {
        const auto& fields = tags.rows.at(path);
        EXPECT_NEAR(toolReal(fields[1]), analysis.trackGain(path), 0.01);
        EXPECT_NEAR(toolReal(fields[2]), analysis.maxAmplitude(path), 1.0);
        EXPECT_NEAR(toolReal(fields[6]), analysis.trackGain(kAlbumRow), 0.01);
        EXPECT_NEAR(toolReal(fields[7]), analysis.maxAmplitude(kAlbumRow), 1.0);
    }
}

// Velto reads the gains back from the tags after every analysis and change,
// so a gain beyond 10 dB must come back whole, not as the 9.999999 dB that
// Debian's mp3gain records at most. The Windows tool is built to keep it.
TEST_F(RealTool, GainsBeyondTenDecibelsComeBackWholeFromTheTags) {
    if (!tool.ends_with(L".exe")) {
        GTEST_SKIP() << "Debian's own mp3gain records at most 9.999999 dB";
    }
    const std::wstring quiet = fresh(L"quiet.mp3");
    const std::wstring clipping = fresh(L"clipping.mp3");
    const ParsedRun analysis = record(OpAnalyze, 0, {quiet, clipping});
    ASSERT_GT(analysis.trackGain(quiet), 10.0) << analysis.output;
    ASSERT_LT(analysis.trackGain(clipping), -10.0) << analysis.output;
    const ParsedRun tags = record(OpCheckTags, 0, {quiet, clipping});
    for (const std::wstring& path : {quiet, clipping}) {
        EXPECT_NEAR(tags.trackGain(path), analysis.trackGain(path), 0.001) << tags.output;
        EXPECT_NEAR(toolReal(tags.rows.at(path)[6]), analysis.trackGain(kAlbumRow), 0.001);
    }

    const ParsedRun apply = record(OpApply, -3, {clipping});
    EXPECT_TRUE(apply.errors.empty()) << apply.output;
    EXPECT_NEAR(record(OpCheckTags, 0, {clipping}).trackGain(clipping),
                analysis.trackGain(clipping) + 3 * kStepDb, 0.01);
}

// The track is loud enough that the tags keep its gain unclipped (Debian's
// mp3gain records at most 9.999999 dB).
TEST_F(RealTool, ApplyUndoAndDeleteTagsParseAsTheirLineKinds) {
    const std::wstring track = fresh(L"album2.mp3");
    const double measured = record(OpAnalyze, 0, {track}).trackGain(track);

    const ParsedRun apply = record(OpApply, 2, {track});
    EXPECT_TRUE(apply.errors.empty()) << apply.output;
    EXPECT_TRUE(apply.has(ApplyingLine));
    EXPECT_TRUE(apply.has(DoneLine));
    EXPECT_NEAR(record(OpCheckTags, 0, {track}).trackGain(track), measured - 2 * kStepDb, 0.02);

    const ParsedRun undo = record(OpUndo, 0, {track});
    EXPECT_TRUE(undo.errors.empty()) << undo.output;
    EXPECT_TRUE(undo.has(UndoRow));
    EXPECT_TRUE(undo.rows.empty());
    EXPECT_NEAR(record(OpCheckTags, 0, {track}).trackGain(track), measured, 0.02);

    const ParsedRun deleteTags = record(OpDeleteTags, 0, {track});
    EXPECT_TRUE(deleteTags.errors.empty()) << deleteTags.output;
    EXPECT_EQ(record(OpCheckTags, 0, {track}).rows.at(track)[1], L"NA");
}

TEST_F(RealTool, AChannelChangeWorksOnStereoAndIsAnErrorOnJointStereo) {
    const std::wstring unequal = fresh(L"unequal.mp3");
    const std::wstring joint = fresh(L"loud.mp3");
    const ParsedRun change = record(OpApply, -2, {unequal}, 2);
    EXPECT_TRUE(change.errors.empty()) << change.output;
    const ParsedRun undo = record(OpUndo, 0, {unequal});
    EXPECT_TRUE(undo.has(UndoRow));

    const ParsedRun refused = record(OpApply, -1, {joint}, 1);
    ASSERT_EQ(refused.errors.size(), 1u);
    EXPECT_NE(refused.errors[0].find(L"single channel"), std::wstring::npos);
    EXPECT_EQ(refused.errors[0].rfind(joint, 0), 0u);
}

TEST_F(RealTool, ThroughTheRunnerItGivesTheSameValuesAsRunDirectly) {
    const std::vector<std::wstring> names = {L"quiet.mp3", L"loud.mp3", L"clipping.mp3",
                                             L"unequal.mp3"};
    fs::create_directory(dir / L"direct");
    fs::create_directory(dir / L"runner");
    std::vector<std::wstring> direct;
    std::vector<std::wstring> viaRunner;
    for (const std::wstring& name : names) {
        direct.push_back(freshAudio(dir / L"direct", name, name).wstring());
        viaRunner.push_back(freshAudio(dir / L"runner", name, name).wstring());
    }
    const ParsedRun expected = record(OpAnalyze, 0, direct);
    const ParsedRun actual = throughRunner(OpAnalyze, viaRunner);
    EXPECT_TRUE(actual.errors.empty()) << ::testing::PrintToString(actual.errors);
    ASSERT_EQ(actual.rows.size(), names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(actual.rows.at(viaRunner[i])[1], expected.rows.at(direct[i])[1]);
        EXPECT_EQ(actual.rows.at(viaRunner[i])[2], expected.rows.at(direct[i])[2]);
    }
    EXPECT_EQ(actual.rows.at(kAlbumRow)[1], expected.rows.at(kAlbumRow)[1]);
    EXPECT_EQ(actual.rows.at(kAlbumRow)[2], expected.rows.at(kAlbumRow)[2]);
}

TEST_F(RealTool, ANonAsciiPathComesBackFromTheToolAsTheSameText) {
    const std::wstring folder = toText(dir.path()) + kSeparator + L"d\u00e9j\u00e0 vu";
    fs::create_directory(toPath(folder));
    const std::wstring path =
        toText(freshAudio(toPath(folder), L"quiet.mp3", L"\u00e9t\u00e9.mp3"));
    const ParsedRun run = throughRunner(OpAnalyze, {path});
    EXPECT_TRUE(run.errors.empty()) << ::testing::PrintToString(run.errors);
    EXPECT_EQ(run.rows.count(path), 1u);
    EXPECT_GT(run.trackGain(path), 5.0);
}

// The tool Velto builds never changes a file that begins as another format
// does, even when it is called directly: an audiobook in which MPEG frame
// headers turn up by chance is the case that damaged files.
TEST_F(RealTool, VeltosToolRefusesFilesThatBeginAsAnotherFormat) {
    if (!tool.ends_with(L".exe")) {
        GTEST_SKIP() << "Debian's own mp3gain has no such guard";
    }
    const std::vector<std::wstring> others = {L"kind-book.m4b",  L"kind-song.m4a",
                                              L"kind-aac.mp3",   L"kind-song.wav",
                                              L"kind-song.aiff", L"kind-song.flac"};
    for (const std::wstring& name : others) {
        const fs::path path = dir / name;
        fs::copy_file(pristineTestLibrary() / name, path);
        const std::string before = readFileBytes(path);
        for (ToolOp op : {OpApply, OpAnalyze, OpUndo, OpDeleteTags}) {
            const ParsedRun run = record(op, -5, {toText(path)});
            ASSERT_EQ(run.errors.size(), 1u) << run.output;
            EXPECT_EQ(run.errors[0].find(toText(path) + L" is not an MPEG audio file"), 0u)
                << run.output;
        }
        EXPECT_TRUE(readFileBytes(path) == before) << toolBytesOf(toText(path));
    }
}
