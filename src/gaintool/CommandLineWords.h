#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a command line into the words a Windows program's C run-time gives
// it as argv: blanks and tabs separate words outside double quotes, quotes
// group and are removed, 2n backslashes before a quote give n backslashes
// (the quote then groups), 2n+1 give n backslashes and a literal quote, and
// other backslashes are plain characters. Lets the native runner pass the
// tool the same arguments it gets on Windows.
std::vector<std::wstring> splitCommandLine(std::wstring_view commandLine);
