#pragma once

#include "LineKind.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads the gain tool's output line by line and classifies each line.
//
//   ParseAACGain parser(stream);
//   while (LineKind kind = parser.nextLine()) { ... parser.getFields()[1] ... }
class ParseAACGain {
public:
    static constexpr int kMaxFields = 10;
    // Ends an unterminated last line, where the stream's end-of-file value is kept.
    static constexpr wchar_t kEndMarker = L'\xFFFF';

    // The stream (binary mode) is not owned; the parser reads it from its file
    // descriptor, so nothing else may read it.
    explicit ParseAACGain(std::FILE* stream);

    // The next line, classified. A row with more than 10 fields after its first
    // token raises the fatal Exception of message 148.
    LineKind nextLine();

    // The next line that is not blank, with its line end (CR, LF, CR LF or
    // kEndMarker); false at the end of the output.
    bool readLine();
    const std::wstring& getLine() const { return buf; }

    // The first tab-separated token of the last row (normally a file name).
    const std::wstring& getFirstToken() const { return firstToken; }
    // The tokens after the first; for progress and error lines, element 0 holds
    // the whole line. Elements the last line did not fill are empty.
    const std::array<std::wstring, kMaxFields>& getFields() const { return fields; }
    int getFieldCount() const { return fieldCount; }
    // The number of the last progress line.
    int getPercent() const { return percent; }

private:
    bool fillInput();
    void appendToLine(const char* first, std::size_t count);
    bool readRawLine();
    bool isBlankLine() const;
    void decodeLine();
    void forgetLastLine();
    LineKind classifyProgressLine();
    void splitIntoFields();
    void storeField(std::wstring_view token);
    LineKind classifyShortLine();

    static constexpr std::size_t kInputChunk = 64 * 1024;

    std::FILE* stream;
    std::vector<char> input; // bytes read from the stream, input[inputPos, inputEnd) still unread
    std::size_t inputPos = 0;
    std::size_t inputEnd = 0;
    bool streamEnded = false;
    int fieldCount = 0;
    int percent = 0;
    std::wstring firstToken;
    std::array<std::wstring, kMaxFields> fields;
    std::string bytes; // the raw line read last, bytes[0, lineLength)
    std::size_t lineLength = 0;
    bool lineIsAscii = true;
    bool lineEndedWithStream = false;
    std::wstring buf;
};
