#include "AacToolTestSupport.h"

#include "AacGainTags.h"
#include "Mp4File.h"
#include "Mp4Metadata.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace aactest {

ToolRun run(const std::string& command) {
    ToolRun result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const fs::path& path) {
    std::string text = "'";
    for (char c : path.string()) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

ToolRun aacgain(const std::string& switches, const std::vector<fs::path>& files) {
    std::string command = std::string(VELTO_AACGAIN) + " " + switches;
    for (const fs::path& file : files) {
        command += " " + quoted(file);
    }
    return run(command);
}

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

fs::path testFile(const std::string& name) {
    return fs::path(VELTO_AAC_TEST_AUDIO_DIR) / name;
}

Scratch::Scratch() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name) {
        c = c == '/' ? '-' : c;
    }
    path_ = fs::temp_directory_path() / ("velto-aacgain-" + name);
    fs::remove_all(path_);
    fs::create_directories(path_);
}

Scratch::~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path Scratch::copyOf(const std::string& name, const std::string& as) {
    fs::path copy = path_ / (as.empty() ? name : as);
    fs::copy_file(testFile(name), copy, fs::copy_options::overwrite_existing);
    return copy;
}

std::vector<float> decoded(const fs::path& path) {
    fs::path raw = path.string() + ".f32";
    run("ffmpeg -nostdin -v error -y -i " + quoted(path) + " -f f32le " + quoted(raw));
    std::vector<std::uint8_t> bytes = bytesOf(raw);
    fs::remove(raw);
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

std::string decodeComplaints(const fs::path& path) {
    return run("ffmpeg -nostdin -v warning -i " + quoted(path) + " -f null -").output;
}

namespace {

struct Parsed {
    std::vector<std::uint8_t> bytes;
    Mp4File file;
};

Parsed parsed(const fs::path& path) {
    Parsed result{bytesOf(path), {}};
    EXPECT_EQ(result.file.parse(result.bytes), Mp4Refusal::None) << path;
    return result;
}

std::vector<Mp4Box> ilstChildren(const Parsed& p) {
    std::vector<Mp4Box> children;
    if (p.file.ilst) {
        readChildren(p.bytes, *p.file.ilst, children);
    }
    return children;
}

} // namespace

std::vector<std::vector<std::uint8_t>> audioBlocks(const fs::path& path) {
    Parsed p = parsed(path);
    std::vector<std::vector<std::uint8_t>> blocks;
    for (const Mp4Sample& sample : p.file.samples()) {
        auto begin = p.bytes.begin() + std::ptrdiff_t(sample.offset);
        blocks.emplace_back(begin, begin + sample.size);
    }
    return blocks;
}

std::vector<std::vector<std::uint8_t>> otherMetadataItems(const fs::path& path) {
    Parsed p = parsed(path);
    std::vector<std::vector<std::uint8_t>> items;
    for (const Mp4Box& child : ilstChildren(p)) {
        std::optional<std::string> name = Mp4Metadata::freeformName(p.bytes, child);
        if (!name || !AacGainTags::isToolItem(*name)) {
            items.emplace_back(p.bytes.begin() + std::ptrdiff_t(child.offset),
                               p.bytes.begin() + std::ptrdiff_t(child.end()));
        }
    }
    return items;
}

std::vector<std::string> toolItemNames(const fs::path& path) {
    Parsed p = parsed(path);
    std::vector<std::string> names;
    for (const FreeformItem& item : Mp4Metadata::readFreeformItems(p.bytes, p.file.ilst)) {
        if (AacGainTags::isToolItem(item.name)) {
            names.push_back(item.name);
        }
    }
    return names;
}

namespace {

std::vector<std::string> linesOf(const std::string& output) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : output) {
        if (c == '\n' || c == '\r') {
            if (line.find_first_not_of(' ') != std::string::npos) {
                lines.push_back(line);
            }
            line.clear();
        } else {
            line += c;
        }
    }
    if (line.find_first_not_of(' ') != std::string::npos) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) {
        fields.push_back(field);
    }
    return fields;
}

} // namespace

std::vector<std::string> errorLines(const std::string& output) {
    std::vector<std::string> errors;
    for (const std::string& line : linesOf(output)) {
        bool row = fieldsOf(line).size() >= 3;
        bool progress = line.find("% of ") != std::string::npos;
        bool chatter = line.rfind("Applying", 0) == 0 || line.rfind("done", 0) == 0 ||
                       line.rfind("No changes", 0) == 0;
        if (!row && !progress && !chatter) {
            errors.push_back(line);
        }
    }
    return errors;
}

std::vector<std::string> rowFor(const std::string& output, const std::string& name) {
    for (const std::string& line : linesOf(output)) {
        std::vector<std::string> fields = fieldsOf(line);
        if (!fields.empty() && (fields[0] == name || fs::path(fields[0]).filename() == name)) {
            return fields;
        }
    }
    return {};
}

} // namespace aactest
