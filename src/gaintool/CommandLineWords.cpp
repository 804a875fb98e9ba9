#include "CommandLineWords.h"

namespace {

bool isSeparator(wchar_t c) {
    return c == L' ' || c == L'\t';
}

} // namespace

std::vector<std::wstring> splitCommandLine(std::wstring_view commandLine) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    const std::size_t length = commandLine.size();
    while (true) {
        while (i < length && isSeparator(commandLine[i])) {
            ++i;
        }
        if (i >= length) {
            return words;
        }
        std::wstring word;
        bool quoted = false;
        while (i < length && (quoted || !isSeparator(commandLine[i]))) {
            std::size_t backslashes = 0;
            while (i < length && commandLine[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            if (i < length && commandLine[i] == L'"') {
                word.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    word += L'"';
                } else if (quoted && i + 1 < length && commandLine[i + 1] == L'"') {
                    // A doubled quote inside quotes is one literal quote.
                    word += L'"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            word.append(backslashes, L'\\');
            if (i < length && (quoted || !isSeparator(commandLine[i]))) {
                word += commandLine[i];
                ++i;
            }
        }
        words.push_back(std::move(word));
    }
}
