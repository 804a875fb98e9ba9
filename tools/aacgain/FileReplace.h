#pragma once
// Reads a file whole, and replaces a file whole so that a reader (or a crash)
// only ever sees the old file or the new one: the new bytes go to a
// temporary file beside it, are read back from the disk and checked, and then
// take the file's place in one rename. Names are the C library's (UTF-8 on
// Windows with the program's UTF-8 code page).

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

class FileReplace {
public:
    using Verify = std::function<bool(std::span<const std::uint8_t> written, std::string& error)>;

    static bool read(const std::string& path, std::vector<std::uint8_t>& bytes);

    // False, with the reason, when the file cannot be written, the written
    // copy fails verify, or the rename fails; the file is then as it was and
    // the temporary file is gone.
    static bool replace(const std::string& path, std::span<const std::uint8_t> bytes,
                        const Verify& verify, std::string& error);

    static std::string temporaryPathFor(const std::string& path) { return path + ".aacgain.tmp"; }

private:
    static bool writeTemporary(const std::string& path, const std::string& temporary,
                               std::span<const std::uint8_t> bytes);
    // Platform parts: flush a written file to the disk, and rename over an
    // existing file.
    static bool syncToDisk(std::FILE* file);
    static bool renameOver(const std::string& from, const std::string& to);
    static void copyPermissions(const std::string& from, const std::string& to);
};
