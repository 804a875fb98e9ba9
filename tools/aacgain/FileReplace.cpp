#include "FileReplace.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

bool FileReplace::read(const std::string& path, std::vector<std::uint8_t>& bytes) {
    ScopedFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[1 << 16];
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof buffer) {
            return std::ferror(file.get()) == 0;
        }
    }
}

bool FileReplace::writeTemporary(const std::string& path, const std::string& temporary,
                                 std::span<const std::uint8_t> bytes) {
    ScopedFile file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        return false;
    }
    copyPermissions(path, temporary);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                   std::fflush(file.get()) == 0 && syncToDisk(file.get());
    return std::fclose(file.release()) == 0 && written;
}

bool FileReplace::replace(const std::string& path, std::span<const std::uint8_t> bytes,
                          const Verify& verify, std::string& error) {
    // A file the user may not write stays as it is, as it would if it were
    // changed in place.
    if (!ScopedFile(std::fopen(path.c_str(), "r+b"))) {
        error = "it cannot be opened for modifying";
        return false;
    }
    std::string temporary = temporaryPathFor(path);
    std::vector<std::uint8_t> written;
    if (!writeTemporary(path, temporary, bytes) || !read(temporary, written) ||
        written.size() != bytes.size()) {
        std::remove(temporary.c_str());
        error = "its changed copy could not be written beside it (is the disk full?)";
        return false;
    }
    if (!verify(written, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (!renameOver(temporary, path)) {
        std::remove(temporary.c_str());
        error = "its changed copy could not take its place";
        return false;
    }
    return true;
}
