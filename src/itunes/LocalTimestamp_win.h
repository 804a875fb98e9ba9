#pragma once

#include <windows.h>

#include <string>

// The comment timestamp for a moment: the prefix, the date in the user's short
// date format, one space, the time in the user's time format, then ">".
std::wstring formatTimestamp(const std::wstring& prefix, const SYSTEMTIME& time);

// The same for the current local time.
std::wstring localTimestamp(const std::wstring& prefix);
