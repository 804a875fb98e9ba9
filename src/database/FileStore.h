#pragma once

#include <optional>
#include <string>

// The few file operations the database needs, so that the platform's file API
// stays in one place and tests can put a failing store in its place.
class FileStore {
public:
    virtual ~FileStore() = default;

    virtual bool exists(const std::wstring& path) = 0;
    // The file's bytes, or nothing when it cannot be opened or read.
    virtual std::optional<std::string> readAll(const std::wstring& path) = 0;
    // Writes bytes to a new file beside path, flushes it to the disk and then
    // puts it in the place of path in one step. On failure path is untouched.
    virtual bool replaceWith(const std::wstring& path, const std::string& bytes) = 0;
};
