#pragma once

#include <string>

// Shows an error message to the user and returns when the user has closed it.
// The Windows build shows a warning message box; tests put a recorder in its
// place.
class MessageReporter {
public:
    virtual ~MessageReporter() = default;

    // withOwner: the box belongs to the window that has the keyboard focus on
    // the calling thread (none on a worker thread).
    virtual void showWarning(const std::wstring& text, const std::wstring& caption,
                             bool withOwner) = 0;
};

// The platform's own reporter: a message box on Windows, standard error elsewhere.
MessageReporter& platformMessageReporter();
