#pragma once

#include <optional>
#include <string>

// Replaces, in place, every newline, carriage return and tab by a space, so
// that a text from iTunes fits on one line of a list or of the database file.
// An absent text stays absent.
void blankControlChars(std::optional<std::wstring>& text);
