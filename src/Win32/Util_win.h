#pragma once

#include <optional>
#include <string>

// The running program's directory, ending in a backslash. Read once.
const std::wstring& moduleDirectory();

// The current path of a shell folder (a CSIDL value such as CSIDL_MYMUSIC),
// ending in a backslash; nothing when the system cannot tell it.
std::optional<std::wstring> specialFolderPath(int folderId);
