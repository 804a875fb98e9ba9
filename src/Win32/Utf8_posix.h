#pragma once

#include <string>

// File names and program arguments are handed to a POSIX system in UTF-8.
// Code points beyond Unicode's range become U+FFFD.
std::string toUtf8(const std::wstring& text);
