#include "GainToolTestSupport.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <sys/types.h>

namespace fs = std::filesystem;

std::wstring toolPathOf(const char* buildPath) {
    return fs::path(buildPath).wstring();
}

fs::path toPath(const std::wstring& text) {
    return fs::path(toolBytesOf(text));
}

std::wstring toText(const fs::path& path) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const std::string bytes = path.string();
    std::wstring text;
    std::mbstate_t state{};
    for (std::size_t i = 0; i < bytes.size();) {
        wchar_t c = 0;
        const std::size_t length = std::mbrtowc(&c, bytes.data() + i, bytes.size() - i, &state);
        if (length == 0 || length > bytes.size() - i) {
            throw std::runtime_error("path not decodable");
        }
        text += c;
        i += length;
    }
    return text;
}

namespace {

fs::path madeTestAudio(const TempDir& dir, const char* what) {
    const std::string command =
        std::string("'") + VELTO_TEST_AUDIO_SCRIPT + "' '" + dir.path().string() + "' " + what;
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("make-test-audio failed (sox, lame and ffmpeg installed?)");
    }
    return dir.path();
}

} // namespace

// Made once per test program (each test case natively runs as its own program).
fs::path pristineTestAudio() {
    static const TempDir dir;
    static const fs::path made = madeTestAudio(dir, "mp3");
    return made;
}

fs::path pristineTestLibrary() {
    static const TempDir dir;
    static const fs::path made = madeTestAudio(dir, "kinds");
    return made;
}

// UTF-8, by the C library's own converter rather than the runner's.
std::string toolBytesOf(const std::wstring& text) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::string bytes;
    char buffer[MB_LEN_MAX];
    std::mbstate_t state{};
    for (wchar_t c : text) {
        const std::size_t length = std::wcrtomb(buffer, c, &state);
        if (length == static_cast<std::size_t>(-1)) {
            throw std::runtime_error("text not encodable");
        }
        bytes.append(buffer, length);
    }
    return bytes;
}

std::string runToolDirectly(const std::wstring& tool, const std::wstring& arguments) {
    const std::string command = "'" + toolBytesOf(tool) + "' " + toolBytesOf(arguments) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        throw std::runtime_error("popen failed");
    }
    std::string output = readAllBytes(pipe);
    pclose(pipe);
    return output;
}

ProcessWatch::ProcessWatch(unsigned long processId) : processId(processId) {}

ProcessWatch::~ProcessWatch() = default;

bool ProcessWatch::hasEnded() const {
    return kill(static_cast<pid_t>(processId), 0) == -1 && errno == ESRCH;
}

std::optional<unsigned long> ProcessWatch::exitCode() const {
    return std::nullopt;
}
