#pragma once

#include "FileStore.h"

#include <map>
#include <string>

// Files held in memory, with switches that make reading or replacing fail.
class MemoryFileStore : public FileStore {
public:
    bool exists(const std::wstring& path) override { return files.count(path) != 0; }

    std::optional<std::string> readAll(const std::wstring& path) override {
        auto found = files.find(path);
        if (failReads || found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    bool replaceWith(const std::wstring& path, const std::string& bytes) override {
        if (failReplace) {
            return false;
        }
        files[path] = bytes;
        return true;
    }

    std::map<std::wstring, std::string> files;
    bool failReads = false;
    bool failReplace = false;
};
