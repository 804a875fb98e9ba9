#include "ParseAACGain.h"

#include "Exception.h"
#include "StreamInput.h"
#include "ToolNumbers.h"
#include "ToolOutputText.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr wchar_t kTab = L'\t';

bool beginsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::wstring_view withoutLineEnd(std::wstring_view token) {
    while (!token.empty() && (token.back() == L'\r' || token.back() == L'\n')) {
        token.remove_suffix(1);
    }
    return token;
}

} // namespace

ParseAACGain::ParseAACGain(std::FILE* stream) : stream(stream) {}

// The next bytes of the output, chunk by chunk; false at its end. A read error
// ends the output too, rather than being retried for ever.
bool ParseAACGain::fillInput() {
    if (input.empty()) {
        input.resize(kInputChunk);
    }
    const long count = readAvailable(stream, input.data(), input.size());
    if (count <= 0) {
        streamEnded = true;
        return false;
    }
    inputPos = 0;
    inputEnd = static_cast<std::size_t>(count);
    return true;
}

void ParseAACGain::appendToLine(const char* first, std::size_t count) {
    if (lineLength + count > bytes.size()) {
        bytes.resize(std::max(bytes.size() * 2, lineLength + count));
    }
    std::memcpy(bytes.data() + lineLength, first, count);
    lineLength += count;
}

// Reads the bytes up to and including CR, LF or CR LF. After a CR the next byte
// is looked at: an LF belongs to the line, anything else to the next one.
bool ParseAACGain::readRawLine() {
    if (streamEnded) {
        return false;
    }
    lineLength = 0;
    lineEndedWithStream = false;
    int highBits = 0;
    while (true) {
        if (inputPos == inputEnd && !fillInput()) {
            lineEndedWithStream = true;
            break;
        }
        const char* begin = input.data() + inputPos;
        const char* end = input.data() + inputEnd;
        const char* stop = begin;
        while (stop != end && *stop != '\r' && *stop != '\n') {
            highBits |= static_cast<unsigned char>(*stop);
            ++stop;
        }
        const bool lineEnds = stop != end;
        const std::size_t count = static_cast<std::size_t>(stop - begin) + (lineEnds ? 1 : 0);
        appendToLine(begin, count);
        inputPos += count;
        if (!lineEnds) {
            continue;
        }
        if (*stop == '\r' && (inputPos < inputEnd || fillInput()) && input[inputPos] == '\n') {
            appendToLine(input.data() + inputPos, 1);
            ++inputPos;
        }
        break;
    }
    lineIsAscii = highBits < 0x80;
    return true;
}

// Blank: nothing but blanks and CRs before the last character, so empty lines,
// the tool's progress-erasing lines and a lone end marker are never reported.
// Decoding keeps blanks and CRs as they are, so the bytes tell.
bool ParseAACGain::isBlankLine() const {
    const std::size_t checked = lineEndedWithStream ? lineLength : lineLength - 1;
    for (std::size_t i = 0; i < checked; ++i) {
        if (bytes[i] != ' ' && bytes[i] != '\r') {
            return false;
        }
    }
    return true;
}

void ParseAACGain::decodeLine() {
    const std::string_view line(bytes.data(), lineLength);
    if (lineIsAscii) {
        buf.assign(line.begin(), line.end());
    } else {
        buf = decodeToolOutput(line);
    }
    if (lineEndedWithStream) {
        buf += kEndMarker;
    }
}

bool ParseAACGain::readLine() {
    while (readRawLine()) {
        if (!isBlankLine()) {
            decodeLine();
            return true;
        }
    }
    return false;
}

void ParseAACGain::forgetLastLine() {
    fieldCount = 0;
    firstToken.clear();
    for (std::wstring& field : fields) {
        field.clear();
    }
}

LineKind ParseAACGain::nextLine() {
    if (!readLine()) {
        return EndOfOutput;
    }
    forgetLastLine();
    if (buf.back() == L'\r') {
        return classifyProgressLine();
    }
    splitIntoFields();
    if (fieldCount == 2) {
        return beginsWith(fields[0], L"left global_gain change") ? HeaderRow : UndoRow;
    }
    if (fieldCount < 5) {
        return classifyShortLine();
    }
    return beginsWith(fields[3], L"Max") ? HeaderRow : DataRow;
}

// A progress line such as "[1/2] 17% of 960887 bytes analyzed" + CR: the
// percent is the number between the first blank and the first '%'.
LineKind ParseAACGain::classifyProgressLine() {
    fields[0] = buf;
    const std::size_t percentSign = buf.find(L'%');
    if (percentSign == std::wstring::npos || percentSign == 0) {
        return ErrorLine;
    }
    std::size_t numberStart = buf.find(L' ');
    numberStart =
        (numberStart == std::wstring::npos || numberStart > percentSign) ? 0 : numberStart + 1;
    percent = toolInt(std::wstring_view(buf).substr(numberStart, percentSign - numberStart));
    return ProgressLine;
}

// Tab-separated tokens; runs of tabs count as one separator, so empty tokens
// never appear. The first token is kept exactly, line end included when the
// line has no tab.
void ParseAACGain::splitIntoFields() {
    const std::wstring_view line(buf);
    std::size_t position = 0;
    bool first = true;
    while (true) {
        position = line.find_first_not_of(kTab, position);
        if (position == std::wstring_view::npos) {
            return;
        }
        std::size_t end = line.find(kTab, position);
        if (end == std::wstring_view::npos) {
            end = line.size();
        }
        const std::wstring_view token = line.substr(position, end - position);
        position = end;
        if (first) {
            firstToken.assign(token);
            first = false;
        } else {
            storeField(withoutLineEnd(token));
        }
    }
}

void ParseAACGain::storeField(std::wstring_view token) {
    if (fieldCount == kMaxFields) {
        throw Exception(148, kMaxFields + 1, std::wstring(token));
    }
    fields[static_cast<std::size_t>(fieldCount)].assign(token);
    ++fieldCount;
}

LineKind ParseAACGain::classifyShortLine() {
    if (beginsWith(buf, L"Applying")) {
        return ApplyingLine;
    }
    if (beginsWith(buf, L"No changes")) {
        return NoChangesLine;
    }
    if (beginsWith(buf, L"done")) {
        return DoneLine;
    }
    fields[0] = buf;
    return ErrorLine;
}
