#pragma once

#include "MessageFormat.h"

#include <string>
#include <vector>

class StringTable;
class MessageReporter;

// The program's error: making one shows its message at once, then the caller
// throws it, so that a catch site only decides what happens next.
//
//   throw Exception(160, path);
class Exception {
public:
    // Called once by the program's entry, before any other thread starts.
    static void initialize(const StringTable& strings, int fatalStringId, int captionStringId);
    // Returns to the uninitialised state (for tests).
    static void uninitialize();
    // Replaces where messages are shown; nullptr restores the platform's own.
    static void setReporter(MessageReporter* reporter);

    static bool isInitialized();
    static int fatalStringId();
    // The caption of every message box (string 141 once initialised).
    static const std::wstring& caption();

    template <typename... Inserts> explicit Exception(int stringId, const Inserts&... inserts) {
        show(stringId, std::vector<MessageInsert>{toInsert(inserts)...});
    }

private:
    static MessageInsert toInsert(const std::wstring& text) { return text; }
    static MessageInsert toInsert(const wchar_t* text) { return std::wstring(text); }
    static MessageInsert toInsert(int number) { return number; }
    static MessageInsert toInsert(long number) { return static_cast<int>(number); }
    static MessageInsert toInsert(unsigned long number) { return static_cast<int>(number); }
    static MessageInsert toInsert(unsigned number) { return static_cast<int>(number); }

    static void show(int stringId, const std::vector<MessageInsert>& inserts);
};

// The fatal check: nothing when result is 0; otherwise shows the fatal message
// (source file, line, result) and throws Exception. Every nonzero result
// counts, success codes such as S_FALSE included.
void checkResult(int result, const wchar_t* sourceFile, int line);

// "Fatal error occurred." in a warning box captioned "Velto": the message for a
// failure that is not the program's own Exception, before the program ends.
void showFatalErrorOccurred();
