#pragma once

#include <optional>
#include <string>
#include <string_view>

// How the bytes of a line the gain tool prints become text. The tools Velto
// builds run with UTF-8 as their code page, a user's own tool with the ANSI
// code page: a line that is valid UTF-8 is read as UTF-8 (ASCII is both), any
// other line as the platform's narrow text (see decodeNonUtf8Line).
std::wstring decodeToolOutput(std::string_view bytes);

// The text of valid UTF-8 bytes, in UTF-16 where wchar_t has 16 bits (a
// character beyond the Basic Multilingual Plane becomes a surrogate pair);
// none when the bytes are not valid UTF-8 (overlong forms, encoded
// surrogates and a sequence cut short included).
std::optional<std::wstring> decodeUtf8(std::string_view bytes);

// A line that is not UTF-8: on Windows decoded with the ANSI code page (the
// tool then is an ANSI program, so a path it prints matches the path it was
// given); elsewhere each byte becomes the character with its own code.
std::wstring decodeNonUtf8Line(std::string_view bytes);
