#include "RunAACGain.h"

#include "CommandLine.h"
#include "Exception.h"
#include "ToolStartFailure.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

namespace {

constexpr const wchar_t* kSourceFile = L".\\RunAACGain";
constexpr int kCreatePipeLine = 79;
constexpr int kDuplicateHandleLine = 88;
constexpr int kCloseWriteEndLine = 119;
constexpr int kOpenStreamLine = 127;
constexpr DWORD kTerminatedExitCode = 2;
// A start the system refuses is tried again a few times, after a pause: a
// program just written or being scanned can be refused for a moment.
constexpr int kStartAttempts = 4;
constexpr DWORD kPauseBetweenStartsMs = 250;

// The system's words for an error number, without the line end.
std::wstring systemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.pop_back();
    }
    return message;
}

// For calls that report failure by their result; never lets a failure pass
// when the system forgot to set its error.
void checkLastError(int line) {
    const DWORD error = GetLastError();
    checkResult(error ? static_cast<int>(error) : -1, kSourceFile, line);
}

// Owns a kernel handle until it is released or closed.
class ScopedHandle {
public:
    ScopedHandle() = default;
    ~ScopedHandle() {
        if (handle) {
            CloseHandle(handle);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE* out() { return &handle; }
    HANDLE get() const { return handle; }
    HANDLE release() {
        HANDLE released = handle;
        handle = nullptr;
        return released;
    }

private:
    HANDLE handle = nullptr;
};

} // namespace

struct RunAACGain::Child {
    PROCESS_INFORMATION processInformation{};

    ~Child() {
        if (processInformation.hThread) {
            CloseHandle(processInformation.hThread);
        }
        if (processInformation.hProcess) {
            CloseHandle(processInformation.hProcess);
        }
    }
};

RunAACGain::RunAACGain(const std::wstring& toolPath) : toolPath(toolPath) {}

RunAACGain::~RunAACGain() {
    terminate();
}

bool RunAACGain::hasChild() const {
    return child != nullptr;
}

unsigned long RunAACGain::processId() const {
    return child ? child->processInformation.dwProcessId : 0;
}

std::FILE* RunAACGain::run(ToolOp op, int steps, const std::wstring& fileArgs, int channel) {
    if (child) {
        checkResult(-1, kSourceFile, __LINE__);
    }
    std::wstring args = buildCommandLine(op, steps, fileArgs, channel);

    SECURITY_ATTRIBUTES saAttr{};
    saAttr.nLength = sizeof(saAttr);
    saAttr.lpSecurityDescriptor = nullptr;
    saAttr.bInheritHandle = TRUE;
    ScopedHandle hChildStdoutRd;
    ScopedHandle hChildStdoutWr;
    if (!CreatePipe(hChildStdoutRd.out(), hChildStdoutWr.out(), &saAttr, 0)) {
        checkLastError(kCreatePipeLine);
    }
    // The child must not inherit the read end, or the pipe would stay open
    // after the child's end and the stream would never reach its end.
    ScopedHandle hChildStdoutRdDup;
    if (!DuplicateHandle(GetCurrentProcess(), hChildStdoutRd.get(), GetCurrentProcess(),
                         hChildStdoutRdDup.out(), 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        checkLastError(kDuplicateHandleLine);
    }
    CloseHandle(hChildStdoutRd.release());

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hChildStdoutWr.get();
    si.hStdError = hChildStdoutWr.get();
    si.hStdInput = nullptr;
    auto started = std::make_unique<Child>();
    DWORD startError = 0;
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        if (CreateProcessW(toolPath.c_str(), args.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                           nullptr, nullptr, &si, &started->processInformation)) {
            startError = 0;
            break;
        }
        startError = GetLastError();
        if (attempt < kStartAttempts) {
            Sleep(kPauseBetweenStartsMs);
        }
    }
    if (startError != 0) {
        throw ToolStartFailure(static_cast<int>(startError), systemErrorText(startError));
    }
    adopt(std::move(started));
    if (!CloseHandle(hChildStdoutWr.release())) {
        checkLastError(kCloseWriteEndLine);
    }

    // Binary mode: CR and LF reach the parser unchanged.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(hChildStdoutRdDup.get()), 0);
    if (fd == -1) {
        checkResult(errno ? errno : -1, kSourceFile, kOpenStreamLine);
    }
    hChildStdoutRdDup.release();
    stream = _fdopen(fd, "rb");
    if (!stream) {
        const int error = errno ? errno : -1;
        _close(fd);
        checkResult(error, kSourceFile, kOpenStreamLine);
    }
    return stream;
}

void RunAACGain::adopt(std::unique_ptr<Child> started) {
    std::lock_guard lock(childLock);
    child = std::move(started);
    if (interrupted) {
        TerminateProcess(child->processInformation.hProcess, kTerminatedExitCode);
    }
}

// The process handle keeps the process object (and its id) ours until release
// closes it under the lock.
void RunAACGain::interrupt() {
    std::lock_guard lock(childLock);
    interrupted = true;
    if (child) {
        TerminateProcess(child->processInformation.hProcess, kTerminatedExitCode);
    }
}

void RunAACGain::terminate() {
    if (child) {
        TerminateProcess(child->processInformation.hProcess, kTerminatedExitCode);
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
    WaitForSingleObject(child->processInformation.hProcess, INFINITE);
    release();
}

void RunAACGain::release() {
    std::lock_guard lock(childLock);
    child.reset();
}
