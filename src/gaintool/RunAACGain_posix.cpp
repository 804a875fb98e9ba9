#include "RunAACGain.h"

#include "CommandLine.h"
#include "CommandLineWords.h"
#include "Exception.h"
#include "ScopedFd_posix.h"
#include "ToolStartFailure.h"
#include "Utf8_posix.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr const wchar_t* kSourceFile = L".\\RunAACGain";
constexpr int kCreatePipeLine = 79;
constexpr int kCloseWriteEndLine = 119;
constexpr int kOpenStreamLine = 127;
// A start the system refuses is tried again a few times, after a pause: a
// program just written or being scanned can be refused for a moment.
constexpr int kStartAttempts = 4;
constexpr auto kPauseBetweenStarts = std::chrono::milliseconds(250);

void checkErrno(int line) {
    checkResult(errno ? errno : -1, kSourceFile, line);
}

class SpawnFileActions {
public:
    SpawnFileActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    posix_spawn_file_actions_t* get() { return &actions; }

private:
    posix_spawn_file_actions_t actions;
};

} // namespace

struct RunAACGain::Child {
    pid_t pid = 0;
};

RunAACGain::RunAACGain(const std::wstring& toolPath) : toolPath(toolPath) {}

RunAACGain::~RunAACGain() {
    terminate();
}

bool RunAACGain::hasChild() const {
    return child != nullptr;
}

unsigned long RunAACGain::processId() const {
    return child ? static_cast<unsigned long>(child->pid) : 0;
}

std::FILE* RunAACGain::run(ToolOp op, int steps, const std::wstring& fileArgs, int channel) {
    if (child) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    // The tool gets the words its Windows build would get from this command line.
    std::vector<std::string> words;
    for (const std::wstring& word :
         splitCommandLine(buildCommandLine(op, steps, fileArgs, channel))) {
        words.push_back(toUtf8(word));
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    // Close-on-exec: the child gets only the duplicates on its standard output
    // and error, so the pipe ends when the child does.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        checkErrno(kCreatePipeLine);
    }
    ScopedFd readEnd(ends[0]);
    ScopedFd writeEnd(ends[1]);

    SpawnFileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDERR_FILENO);
    const std::string program = toUtf8(toolPath);
    auto started = std::make_unique<Child>();
    int spawnError = 0;
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        spawnError = posix_spawn(&started->pid, program.c_str(), actions.get(), nullptr,
                                 argv.data(), environ);
        if (spawnError == 0) {
            break;
        }
        if (attempt < kStartAttempts) {
            std::this_thread::sleep_for(kPauseBetweenStarts);
        }
    }
    if (spawnError != 0) {
        const char* text = std::strerror(spawnError);
        throw ToolStartFailure(spawnError, std::wstring(text, text + std::strlen(text)));
    }
    adopt(std::move(started));
    if (::close(writeEnd.release()) != 0) {
        checkErrno(kCloseWriteEndLine);
    }

    stream = fdopen(readEnd.get(), "rb");
    if (!stream) {
        checkErrno(kOpenStreamLine);
    }
    readEnd.release();
    return stream;
}

void RunAACGain::adopt(std::unique_ptr<Child> started) {
    std::lock_guard lock(childLock);
    child = std::move(started);
    if (interrupted) {
        kill(child->pid, SIGKILL);
    }
}

// Until release reaps it, the ended child stays a zombie whose id no other
// process can take, so a kill under the lock always reaches our child.
void RunAACGain::interrupt() {
    std::lock_guard lock(childLock);
    interrupted = true;
    if (child) {
        kill(child->pid, SIGKILL);
    }
}

// SIGKILL is the counterpart of TerminateProcess: the tool cannot refuse it.
// (A POSIX child ended by a signal has no exit code; nothing reads it anyway.)
void RunAACGain::terminate() {
    if (child) {
        kill(child->pid, SIGKILL);
    }
    close();
}

void RunAACGain::close() {
    if (!child) {
        return;
    }
    if (stream) {
        std::fclose(stream);
        stream = nullptr;
    }
    // Waits without reaping (WNOWAIT), so that interrupt may still kill by id.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(child->pid), &info, WEXITED | WNOWAIT) == -1 &&
           errno == EINTR) {
    }
    release();
}

void RunAACGain::release() {
    std::lock_guard lock(childLock);
    int status = 0;
    while (waitpid(child->pid, &status, 0) == -1 && errno == EINTR) {
    }
    child.reset();
}
