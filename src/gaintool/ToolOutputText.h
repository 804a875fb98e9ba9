#pragma once

#include <string>
#include <string_view>

// How the bytes the gain tool prints become text. ASCII bytes always map to
// the character with the same code. Beyond ASCII, Windows decodes with the ANSI
// code page (the tool is an ANSI program, so a path it prints matches the path
// it was given); elsewhere the bytes are UTF-8, and a byte that is not part of
// valid UTF-8 becomes the character with its own code.
std::wstring decodeToolOutput(std::string_view bytes);
