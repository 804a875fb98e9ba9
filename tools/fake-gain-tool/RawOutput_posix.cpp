#include "RawOutput.h"

#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

void writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = write(fd, bytes.data() + written, bytes.size() - written);
        if (result <= 0) {
            return;
        }
        written += static_cast<std::size_t>(result);
    }
}

} // namespace

void writeStandardOutput(const std::string& bytes) {
    writeAll(STDOUT_FILENO, bytes);
}

void writeStandardError(const std::string& bytes) {
    writeAll(STDERR_FILENO, bytes);
}

void sleepMilliseconds(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

unsigned long currentProcessId() {
    return static_cast<unsigned long>(getpid());
}
