#include "ParseAACGain.h"
#include "GainToolTestSupport.h"
#include "RecordingReporter.h"

#include "Exception.h"
#include "ToolNumbers.h"
#include "ToolOutputText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Tool output replayed from a file, as the parser reads it from the pipe.
class RecordedOutput {
public:
    explicit RecordedOutput(std::string_view bytes, const char* mode = "rb") {
        writeFile(dir / L"output", bytes);
        file.reset(std::fopen((dir / L"output").string().c_str(), mode));
        parser = std::make_unique<ParseAACGain>(file.get());
    }

    std::vector<std::wstring> lines() {
        std::vector<std::wstring> result;
        while (parser->readLine()) {
            result.push_back(parser->getLine());
        }
        return result;
    }

    std::vector<LineKind> kinds() {
        std::vector<LineKind> result;
        while (LineKind kind = parser->nextLine()) {
            result.push_back(kind);
        }
        return result;
    }

    ParseAACGain& operator*() { return *parser; }
    ParseAACGain* operator->() { return parser.get(); }

private:
    TempDir dir;
    File file;
    std::unique_ptr<ParseAACGain> parser;
};

const std::wstring kEnd(1, ParseAACGain::kEndMarker);

} // namespace

TEST(ReadLine, EndsLinesAtCrCrLfAndLfAndMarksAnUnterminatedLastLine) {
    RecordedOutput output("a\rb\r\nc\nd");
    EXPECT_EQ(output.lines(), (std::vector<std::wstring>{L"a\r", L"b\r\n", L"c\n", L"d" + kEnd}));
}

TEST(ReadLine, DropsEmptyAndBlankLinesAndALoneEndMarker) {
    RecordedOutput output("\n\r\n   \r  \n  x \n\r \r\r\n \tx\nlast\n");
    EXPECT_EQ(output.lines(), (std::vector<std::wstring>{L"  x \n", L" \tx\n", L"last\n"}));
}

TEST(ReadLine, MapsEveryAsciiByteToTheSameCharacter) {
    std::string bytes;
    std::wstring expected;
    for (int c = 1; c < 0x80; ++c) {
        if (c != '\r' && c != '\n') {
            bytes += static_cast<char>(c);
            expected += static_cast<wchar_t>(c);
        }
    }
    RecordedOutput output(bytes + "\n");
    EXPECT_EQ(output.lines(), (std::vector<std::wstring>{expected + L"\n"}));
}

TEST(ReadLine, CrAtTheVeryEndIsAProgressLineWithoutMarker) {
    RecordedOutput output("[1/1] 50% of 10 bytes analyzed\r");
    EXPECT_EQ(output->nextLine(), ProgressLine);
    EXPECT_EQ(output->getPercent(), 50);
    EXPECT_EQ(output->nextLine(), EndOfOutput);
    EXPECT_EQ(output->nextLine(), EndOfOutput);
}

TEST(ReadLine, AReadErrorEndsTheOutputInsteadOfLoopingForEver) {
    RecordedOutput output("never read\n", "ab");
    EXPECT_EQ(output->nextLine(), EndOfOutput);
}

TEST(ProgressLine, PercentIsTheNumberBetweenTheFirstBlankAndThePercentSign) {
    RecordedOutput output("  23% done\r"
                          "[1/2]  8% of 960887 bytes analyzed\r"
                          "[2/2] 17% of 960887 bytes analyzed\r"
                          "100% of x\r"
                          "100%\r");
    std::vector<int> percents;
    while (output->nextLine() == ProgressLine) {
        percents.push_back(output->getPercent());
    }
    EXPECT_EQ(percents, (std::vector<int>{23, 8, 17, 100, 100}));
}

TEST(ProgressLine, WithoutAPercentAfterTheFirstCharacterItIsAnError) {
    RecordedOutput output("no percent here\r%50 at the start\r");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getFields()[0], L"no percent here\r");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getFields()[0], L"%50 at the start\r");
}

TEST(ProgressLine, ALineEndingInCrLfIsNeverAProgressLine) {
    RecordedOutput output("[1/1] 40% of 10 bytes analyzed\r\n");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getPercent(), 0);
}

TEST(NextLine, ClassifiesTheToolsLineForms) {
    RecordedOutput output(
        "File\tMP3 gain\tdB gain\tMax Amplitude\tMax global_gain\tMin global_gain\n"
        "a.mp3\t4\t5.630000\t3114.5\t210\t124\n"
        "File\tleft global_gain change\tright global_gain change\n"
        "a.mp3\t-1\t-2\n"
        "Applying gain change of 2 to a.mp3...\n"
        "done\n"
        "No changes to undo in a.mp3\n"
        "Can't open nonexist.mp3 for reading\n"
        "not done\n");
    EXPECT_EQ(output.kinds(),
              (std::vector<LineKind>{HeaderRow, DataRow, HeaderRow, UndoRow, ApplyingLine, DoneLine,
                                     NoChangesLine, ErrorLine, ErrorLine}));
}

TEST(NextLine, ADataRowGivesItsFirstTokenAndFields) {
    RecordedOutput output("C:\\Music\\a b.mp3\t-9\t-13.450000\t28034.890625\t210\t137\r\n");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFirstToken(), L"C:\\Music\\a b.mp3");
    EXPECT_EQ(output->getFieldCount(), 5);
    EXPECT_EQ(output->getFields()[1], L"-13.450000");
    EXPECT_EQ(output->getFields()[2], L"28034.890625");
    EXPECT_EQ(output->getFields()[4], L"137");
}

TEST(NextLine, EmptyFieldsVanishSoAShortRowIsAnError) {
    RecordedOutput output("a.mp3\t\t3\n\t\tb.mp3\t1\t2\t3\t4\t5\n");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getFieldCount(), 1);
    EXPECT_EQ(output->getFields()[0], L"a.mp3\t\t3\n");
    EXPECT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFirstToken(), L"b.mp3");
}

TEST(NextLine, AnErrorKeepsTheWholeLineWithItsLineEnd) {
    RecordedOutput output("x.mp3: Can't adjust single channel for mono or joint stereo\n"
                          "unterminated error");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getFirstToken(),
              L"x.mp3: Can't adjust single channel for mono or joint stereo\n");
    EXPECT_EQ(output->getFields()[0],
              L"x.mp3: Can't adjust single channel for mono or joint stereo\n");
    EXPECT_EQ(output->nextLine(), ErrorLine);
    EXPECT_EQ(output->getFields()[0], L"unterminated error" + kEnd);
}

TEST(NextLine, AnUnterminatedLastRowStillGivesItsValues) {
    RecordedOutput output("\"Album\"\t-9\t-13.45\t28034.5\t210\t124");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFirstToken(), L"\"Album\"");
    EXPECT_DOUBLE_EQ(toolReal(output->getFields()[1]), -13.45);
    EXPECT_EQ(output->getFields()[4], L"124" + kEnd);
    EXPECT_EQ(output->nextLine(), EndOfOutput);
}

TEST(NextLine, TenFieldsAreARowAndAnEleventhIsFatalWithoutOverrun) {
    RecordingReporter reporter;
    RecordedOutput output("a.mp3\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9\r\n"
                          "b.mp3\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9\tbeyond\r\n");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFields()[9], L"9");
    EXPECT_THROW(output->nextLine(), Exception);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.lastText(), L"Invalid token number11 = beyond ");
    EXPECT_EQ(output->getFields()[9], L"9");
}

// A check-tags row without album values must not show the album values of the
// row before it.
TEST(NextLine, FieldsOfAnEarlierRowDoNotLeakIntoAShorterOne) {
    RecordedOutput output("a.mp3\t4\t5.6\t3114.5\t210\t124\t-7\t-9.9\t28034.8\t210\t124\n"
                          "b.mp3\t-7\t-9.9\t28034.8\t210\t137\n");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFields()[6], L"-9.9");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFieldCount(), 5);
    EXPECT_EQ(output->getFields()[6], L"");
    EXPECT_EQ(output->getFields()[7], L"");
}

TEST(NextLine, ANonAsciiPathPrintedByTheToolReadsAsTheSameText) {
    const std::wstring path = L"Z:\\Musique\\d\u00e9j\u00e0 vu.mp3";
    RecordedOutput output(toolBytesOf(path) + "\t-6\t-8.35\t15581.95\t210\t134\r\n");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFirstToken(), path);
}

// Velto's own tools print UTF-8, a user's own tool its ANSI code page; each
// line is read in the encoding its bytes are valid in.
TEST(ToolText, AValidUtf8LineReadsAsUtf8InEveryScript) {
    const std::vector<std::wstring> names = {
        L"\u03a9\u03b4\u03ae \u03c3\u03c4\u03b7 \u03b8\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1",
        L"\u041f\u0435\u0441\u043d\u044f", L"\u6d77\u306e\u6b4c",
        L"Song \U0001F3B5 (a character beyond the BMP)"};
    for (const std::wstring& name : names) {
        const std::wstring path = L"Z:\\Music\\" + name + L".mp3";
        RecordedOutput output(toolBytesOf(path) + "\t-6\t-8.35\t15581.95\t210\t134\r\n");
        ASSERT_EQ(output->nextLine(), DataRow);
        EXPECT_EQ(output->getFirstToken(), path);
    }
    // Surrogates, overlong forms and code points beyond U+10FFFF are no UTF-8.
    for (const char* bytes : {"\xed\xa0\x80", "\xc0\xaf", "\xf4\x90\x80\x80", "\xe6\xb5"}) {
        EXPECT_FALSE(decodeUtf8(bytes)) << bytes;
    }
}

// Latin-1 and code page 1252 agree on these bytes, so natively and under Wine
// (whose code page is 1252 here) the expected text is the same.
TEST(ToolText, ALineThatIsNotUtf8ReadsInTheAnsiCodePage) {
    RecordedOutput output("Z:\\Caf\xe9\\\xc0 la plage.mp3\t-6\t-8.35\t15581.95\t210\t134\r\n");
    ASSERT_EQ(output->nextLine(), DataRow);
    EXPECT_EQ(output->getFirstToken(), L"Z:\\Caf\u00e9\\\u00c0 la plage.mp3");
}

// A stream that ends inside a character leaves a line that is not UTF-8: it is
// read byte by byte as ANSI text rather than losing or overrunning the cut
// character.
TEST(ToolText, ALineCutInsideACharacterByTheEndOfTheStreamReadsAsAnsi) {
    RecordedOutput output("Can't open Z:\\\xce\xa9\xce\xb4\xce");
    EXPECT_EQ(output.lines(),
              (std::vector<std::wstring>{L"Can't open Z:\\\u00ce\u00a9\u00ce\u00b4\u00ce" + kEnd}));
}

// The parser reads the pipe in chunks of 64 KiB: a character split between two
// chunks still reads as itself, since a line is decoded only when whole.
TEST(ToolText, ACharacterSplitBetweenTwoReadsOfThePipeStaysWhole) {
    const std::string filler(64 * 1024 - 1, 'a');
    RecordedOutput output(filler + "\xce\xa9\n");
    EXPECT_EQ(output.lines(), (std::vector<std::wstring>{
                                  std::wstring(filler.begin(), filler.end()) + L"\u03a9\n"}));
}
