#include "ToolFileArguments.h"

// A POSIX program takes the bytes of a file's name as they are, at any length.
ToolFileArguments ToolFileArguments::forTool(const std::wstring&) {
    return ToolFileArguments(true, {[](const std::wstring&) { return true; },
                                    [](const std::wstring& path) { return std::optional(path); }});
}

// The argument is the path itself.
bool ToolFileArguments::restoreName(const std::wstring&, const std::wstring&) {
    return true;
}
