#pragma once

#include <string>

// A full path in the form that Windows' wide file functions take beyond 260
// characters ("\\?\C:\..." or "\\?\UNC\server\share\..."); shorter paths and
// paths in that form already are returned as they are.
std::wstring extendedLengthPath(const std::wstring& path);
