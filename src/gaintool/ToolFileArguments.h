#pragma once

#include <functional>
#include <optional>
#include <string>

// How a file's path is written on the gain tool's command line. A tool that
// speaks UTF-8 (every tool Velto builds) is given the path as it is. A tool
// that speaks only the ANSI code page (a user's own build) would see every
// character outside that code page as '?': it gets such a path in its short
// (8.3) form when the file system keeps one, and cannot be given it otherwise.
// A path of 260 characters or more goes to either kind of tool in its short
// form when there is one (the tools open no longer path for changing), and
// as it is otherwise.
//
//   const ToolFileArguments arguments = ToolFileArguments::forTool(toolPath);
//   if (std::optional<std::wstring> argument = arguments.argumentFor(path)) ...
class ToolFileArguments {
public:
    // What the system tells about paths, for a tool that speaks the ANSI code page.
    struct System {
        // The ANSI code page writes the text exactly.
        std::function<bool(const std::wstring&)> inCodePage;
        // The path's short form, when the file system has one.
        std::function<std::optional<std::wstring>(const std::wstring&)> shortForm;
    };

    ToolFileArguments(bool toolSpeaksUtf8, System system);
    // For the tool at toolPath, as this platform runs it: on Windows the tool
    // speaks UTF-8 when its manifest sets UTF-8 as its code page; elsewhere
    // every tool takes the path's bytes as they are.
    static ToolFileArguments forTool(const std::wstring& toolPath);

    // The text that names the file to the tool; none when the tool cannot be
    // given it.
    std::optional<std::wstring> argumentFor(const std::wstring& path) const;

    // Every command line has the tool write a changed file to a temporary one,
    // delete the file and rename the new one to the name it was given: a file
    // given by its short form is then called by that. After the tool has
    // ended, gives the file at path, given as argument, its own name again;
    // false when the file is neither under its name nor under the argument.
    static bool restoreName(const std::wstring& path, const std::wstring& argument);
    bool toolSpeaksUtf8() const { return speaksUtf8; }

private:
    bool speaksUtf8;
    System system;
};
