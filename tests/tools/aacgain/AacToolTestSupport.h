#pragma once
// Running aacgain and the programs that check its work (ffmpeg, Debian's
// mp3gain, AtomicParsley) on copies of the generated test files.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace aactest {

struct ToolRun {
    int exitCode = -1;
    std::string output; // standard output and standard error, as they came
};

// Runs a shell command line.
ToolRun run(const std::string& command);
// A file name quoted for the shell.
std::string quoted(const std::filesystem::path& path);
// aacgain with these switches on these files.
ToolRun aacgain(const std::string& switches, const std::vector<std::filesystem::path>& files);

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The generated test file of that name (made once per build tree).
std::filesystem::path testFile(const std::string& name);

// A fresh scratch folder per test, removed afterwards.
class Scratch {
public:
    Scratch();
    ~Scratch();
    // A copy of the named test file in the folder.
    std::filesystem::path copyOf(const std::string& name, const std::string& as = "");
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The file decoded by ffmpeg to interleaved float samples.
std::vector<float> decoded(const std::filesystem::path& path);
// ffmpeg's warnings and errors while decoding the whole file (empty: none).
std::string decodeComplaints(const std::filesystem::path& path);

// The bytes of every AAC block of the audio track, in order.
std::vector<std::vector<std::uint8_t>> audioBlocks(const std::filesystem::path& path);
// The ilst children that are not aacgain's items, byte for byte; and the
// names of aacgain's items present.
std::vector<std::vector<std::uint8_t>> otherMetadataItems(const std::filesystem::path& path);
std::vector<std::string> toolItemNames(const std::filesystem::path& path);

// The lines of output that are neither table rows, progress, nor the
// tool's "Applying"/"done" lines: its error lines.
std::vector<std::string> errorLines(const std::string& output);
// The fields of the data row for a file name (or "\"Album\""), empty when none.
std::vector<std::string> rowFor(const std::string& output, const std::string& name);

} // namespace aactest
