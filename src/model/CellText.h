#pragma once

#include <string>
#include <string_view>

// A number as printf's "%.1f" prints it (correctly rounded, the same in every
// build, unlike the C libraries' own wide printf).
std::wstring formatTenths(double value);

// Copies text into a list view's buffer of length characters plus the
// terminating null, cut at length characters. Does nothing without a buffer.
void copyCellText(std::wstring_view text, wchar_t* buffer, int length);
