#include "RunAACGain.h"
#include "ToolStartFailure.h"
#include "GainToolTestSupport.h"
#include "ParseAACGain.h"
#include "RecordingReporter.h"

#include "Exception.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The fake tool reads its script from its last file argument.
class FakeToolRun : public ::testing::Test {
protected:
    std::wstring scriptArgs(const FakeToolScript& script) {
        script.write(dir / L"script.txt");
        return quotedPath(dir / L"script.txt");
    }

    std::vector<LineKind> readAll(ParseAACGain& parser) {
        std::vector<LineKind> kinds;
        while (LineKind kind = parser.nextLine()) {
            kinds.push_back(kind);
        }
        return kinds;
    }

    TempDir dir;
    std::wstring toolPath = fakeToolPath();
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

TEST_F(FakeToolRun, StandardOutputAndStandardErrorArriveInOneStreamInOrder) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(OpAnalyze, 0,
                                 scriptArgs(FakeToolScript()
                                                .out("File\tMP3 gain\tdB gain\tMax Amplitude\tMax "
                                                     "global_gain\tMin global_gain\r\n")
                                                .err("[1/1] 50% of 10 bytes analyzed\r")
                                                .err("Can't open x.mp3 for reading\r\n")
                                                .out("a.mp3\t4\t5.63\t3114.5\t210\t124\r\n")),
                                 0));
    EXPECT_EQ(readAll(parser),
              (std::vector<LineKind>{HeaderRow, ProgressLine, ErrorLine, DataRow}));
    tool.terminate();
    tool.close();
}

TEST_F(FakeToolRun, TheToolsBytesReachTheParserUnchanged) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(OpAnalyze, 0,
                                 scriptArgs(FakeToolScript()
                                                .out("row\t1\r\n")
                                                .out("[1/1] 5% of 10 bytes\r")
                                                .out("ctrl-z \x1a and DEL \x7f\n")
                                                .err("last")),
                                 0));
    std::vector<std::wstring> lines;
    while (parser.readLine()) {
        lines.push_back(parser.getLine());
    }
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"row\t1\r\n", L"[1/1] 5% of 10 bytes\r",
                                                L"ctrl-z \x1a and DEL \x7f\n", L"last\xFFFF"}));
}

TEST_F(FakeToolRun, AToolThatWritesOnlyToStandardErrorStillReachesTheParser) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(
        tool.run(OpUndo, 0, scriptArgs(FakeToolScript().err("only on stderr\n")), 0));
    ASSERT_EQ(parser.nextLine(), ErrorLine);
    EXPECT_EQ(parser.getFields()[0], L"only on stderr\n");
    EXPECT_EQ(parser.nextLine(), EndOfOutput);
}

TEST_F(FakeToolRun, TheToolGetsTheWordsOfItsCommandLineWithQuotedPathsWhole) {
    const std::wstring withBlank = (dir / L"my song.mp3").wstring();
    RunAACGain tool(toolPath);
    std::FILE* stream = tool.run(
        OpApply, -2, quotedPath(withBlank) + L" " + scriptArgs(FakeToolScript().args()) + L" ", 1);
    ParseAACGain parser(stream);
    std::vector<std::wstring> words;
    while (parser.nextLine() != EndOfOutput) {
        words.push_back(parser.getFields()[0]);
    }
    const std::vector<std::wstring> expected = {L"[aacgain]\n",
                                                L"[/o]\n",
                                                L"[/t]\n",
                                                L"[/c]\n",
                                                L"[/l]\n",
                                                L"[0]\n",
                                                L"[-2]\n",
                                                L"[" + withBlank + L"]\n",
                                                L"[" + (dir / L"script.txt").wstring() + L"]\n"};
    EXPECT_EQ(words, expected);
}

TEST(Runner, ANonAsciiPathEchoedByTheToolReadsAsTheSameText) {
    TempDir dir;
    const std::wstring folder = toText(dir.path()) + kSeparator + L"d\u00e9j\u00e0";
    std::filesystem::create_directory(toPath(folder));
    const std::wstring script = folder + L"/script.txt";
    FakeToolScript().args().write(toPath(script));
    const std::wstring toolPath = fakeToolPath();
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(OpAnalyze, 0, quotedPath(script), 0));
    std::wstring last;
    while (parser.nextLine() != EndOfOutput) {
        last = parser.getFields()[0];
    }
    EXPECT_EQ(last, L"[" + script + L"]\n");
}

TEST_F(FakeToolRun, CancelInTheMiddleOfAnAlbumTerminatesTheToolAndLeavesNoChild) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(OpAnalyze, 0,
                                 L"\"1.mp3\" \"2.mp3\" " +
                                     scriptArgs(FakeToolScript()
                                                    .out("[1/3] 10% of 100 bytes analyzed\r")
                                                    .out("[1/3] 90% of 100 bytes analyzed\r")
                                                    .out("1.mp3\t4\t5.63\t3114.5\t210\t124\r\n")
                                                    .out("[2/3] 10% of 100 bytes analyzed\r")
                                                    .out("[2/3] 20% of 100 bytes analyzed\r")
                                                    .sleep(30000)
                                                    .out("2.mp3\t4\t5.63\t3114.5\t210\t124\r\n")),
                                 0));
    ASSERT_TRUE(tool.hasChild());
    ProcessWatch watch(tool.processId());
    const Clock::time_point start = Clock::now();
    // The cancel request arrives while the first file's row is read: reading
    // stops after the next line.
    LineKind kind = EndOfOutput;
    do {
        kind = parser.nextLine();
    } while (kind != DataRow && kind != EndOfOutput);
    ASSERT_EQ(kind, DataRow);
    EXPECT_EQ(parser.nextLine(), ProgressLine);
    tool.terminate();
    tool.close();
    EXPECT_LT(secondsSince(start), 10.0);
    EXPECT_FALSE(tool.hasChild());
    EXPECT_EQ(tool.processId(), 0u);
    EXPECT_TRUE(watch.hasEnded());
    if (std::optional<unsigned long> exitCode = watch.exitCode()) {
        EXPECT_EQ(*exitCode, 2u);
    }
}

TEST_F(FakeToolRun, AToolThatStopsInTheMiddleOfALineEndsTheOutputWithTheEndMarker) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(
        OpAnalyze, 0,
        scriptArgs(
            FakeToolScript().out("[1/1] 40% of 100 bytes analyzed\r").out("a.mp3\t-3").exit(3)),
        0));
    EXPECT_EQ(readAll(parser), (std::vector<LineKind>{ProgressLine, ErrorLine}));
    EXPECT_EQ(parser.getFields()[0], L"a.mp3\t-3\xFFFF");
    EXPECT_EQ(parser.getPercent(), 40);
    tool.terminate();
    tool.close();
}

TEST_F(FakeToolRun, AToolThatHasEndedIsClosedWithoutTerminating) {
    RunAACGain tool(toolPath);
    ParseAACGain parser(tool.run(OpAnalyze, 0, scriptArgs(FakeToolScript().out("done\n")), 0));
    ProcessWatch watch(tool.processId());
    EXPECT_EQ(readAll(parser), (std::vector<LineKind>{DoneLine}));
    tool.close();
    EXPECT_TRUE(watch.hasEnded());
    if (std::optional<unsigned long> exitCode = watch.exitCode()) {
        EXPECT_EQ(*exitCode, 0u);
    }
    tool.terminate();
    tool.close();
}

TEST_F(FakeToolRun, DestroyingTheRunnerNeverLeavesAChildBehind) {
    std::unique_ptr<ProcessWatch> watch;
    const Clock::time_point start = Clock::now();
    {
        RunAACGain tool(toolPath);
        tool.run(OpAnalyze, 0, scriptArgs(FakeToolScript().sleep(30000)), 0);
        watch = std::make_unique<ProcessWatch>(tool.processId());
    }
    EXPECT_LT(secondsSince(start), 10.0);
    EXPECT_TRUE(watch->hasEnded());
}

TEST(Runner, CloseAndTerminateWithoutAChildAreSafe) {
    const std::wstring toolPath = fakeToolPath();
    RunAACGain tool(toolPath);
    tool.close();
    tool.terminate();
    tool.close();
    EXPECT_FALSE(tool.hasChild());
    EXPECT_EQ(tool.processId(), 0u);
}

// Not the fatal box: the job that meets it ends and the program stays.
TEST(Runner, AToolThatWillNotStartRaisesToolStartFailureAndHoldsNoChild) {
    RecordingReporter reporter;
    TempDir dir;
    const std::wstring missing = (dir / L"aacgain.exe").wstring();
    RunAACGain tool(missing);
    try {
        tool.run(OpAnalyze, 0, L"\"a.mp3\"", 0);
        ADD_FAILURE() << "the tool started";
    } catch (const ToolStartFailure& failure) {
        EXPECT_EQ(failure.error(), 2); // ENOENT, ERROR_FILE_NOT_FOUND
        EXPECT_FALSE(failure.text().empty());
    }
    EXPECT_TRUE(reporter.shown.empty());
    EXPECT_FALSE(tool.hasChild());
    tool.terminate();
}
