#include "GainToolTestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir = fs::temp_directory_path() /
          ("velto-gaintool-" + std::to_string(random()) + "-" + std::to_string(stamp % 1000000) +
           "-" + std::to_string(counter++));
    fs::create_directories(dir);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

std::wstring quotedPath(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

std::wstring quotedPath(const fs::path& path) {
    return quotedPath(toText(path));
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string readFileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string readAllBytes(std::FILE* stream) {
    std::string bytes;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        bytes.append(buffer, count);
    }
    return bytes;
}

FakeToolScript& FakeToolScript::chunk(const char* directive, std::string_view bytes) {
    static const char hex[] = "0123456789abcdef";
    text += directive;
    text += ' ';
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += c;
        } else {
            text += "\\x";
            text += hex[byte >> 4];
            text += hex[byte & 15];
        }
    }
    text += '\n';
    return *this;
}

FakeToolScript& FakeToolScript::out(std::string_view bytes) {
    return chunk("out", bytes);
}

FakeToolScript& FakeToolScript::err(std::string_view bytes) {
    return chunk("err", bytes);
}

FakeToolScript& FakeToolScript::args() {
    text += "args\n";
    return *this;
}

FakeToolScript& FakeToolScript::sleep(int milliseconds) {
    text += "sleep " + std::to_string(milliseconds) + "\n";
    return *this;
}

FakeToolScript& FakeToolScript::when(const std::string& operations) {
    text += "when " + operations + "\n";
    return *this;
}

FakeToolScript& FakeToolScript::log() {
    text += "log\n";
    return *this;
}

FakeToolScript& FakeToolScript::processId() {
    text += "pid\n";
    return *this;
}

FakeToolScript& FakeToolScript::exit(int code) {
    text += "exit " + std::to_string(code) + "\n";
    return *this;
}

void FakeToolScript::write(const fs::path& path) const {
    writeFile(fs::path(path).concat(".fake"), text);
    if (!fs::exists(path)) {
        writeFile(path, mp3Frames());
    }
}

std::string mp3Frames(int count) {
    // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, stereo: 417 bytes a frame.
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    std::string frames;
    for (int i = 0; i < count; ++i) {
        frames += frame;
    }
    return frames;
}

std::wstring realToolPath() {
    return toolPathOf(VELTO_REAL_GAIN_TOOL);
}

std::wstring fakeToolPath() {
    return toolPathOf(VELTO_FAKE_GAIN_TOOL);
}

fs::path freshAudio(const fs::path& dir, const std::wstring& name, const std::wstring& newName) {
    const fs::path target = dir / toPath(newName);
    fs::copy_file(pristineTestAudio() / toPath(name), target, fs::copy_options::overwrite_existing);
    return target;
}
