#pragma once

#include <optional>
#include <string_view>

// Numbers in the gain tool's output, read the way the C run-time's _wtof and
// _wtoi read them: leading white space skipped, the longest prefix that is a
// decimal number taken, and 0 when there is none ("NA" reads as 0).
double toolReal(std::wstring_view text);
int toolInt(std::wstring_view text);

// The same reading for a field that may hold no number at all: nothing when
// the text (after leading white space) does not begin with a decimal number,
// as the tool's "NA" for a file without values.
std::optional<double> toolRealIfNumber(std::wstring_view text);
