#pragma once

#include <string>

// The timestamp that Velto writes into the iTunes comment of a track whose
// file it changed, e.g. "<Velto 1/15/2006 3:45:07 PM>". Its prefix ("<" + the
// program name + " ") is how an earlier stamp is found again.
std::wstring timestampPrefix(const std::wstring& programName);

// The comment with the stamp merged in: the first earlier stamp (from the
// prefix through the next ">") is replaced; without one the stamp is appended,
// after one space when the comment is not empty.
std::wstring mergeTimestamp(const std::wstring& comment, const std::wstring& prefix,
                            const std::wstring& timestamp);
