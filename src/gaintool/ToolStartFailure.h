#pragma once

#include <string>

// The gain tool could not be started, even after a few tries: the system's
// error number and its text. It shows nothing itself (it is not the
// program's Exception): a job that meets it ends, and the program stays.
class ToolStartFailure {
public:
    ToolStartFailure(int error, std::wstring text)
        : errorNumber(error), errorText(std::move(text)) {}

    int error() const { return errorNumber; }
    // The system's own words for the error.
    const std::wstring& text() const { return errorText; }

private:
    int errorNumber;
    std::wstring errorText;
};
