#include "PlatformFileStore.h"

#include "ScopedFd_posix.h"
#include "Utf8_posix.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += size_t(n);
    }
    return true;
}

// Makes the rename itself durable.
void syncDirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    ScopedFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY));
    if (dir.valid()) {
        ::fsync(dir.get());
    }
}

} // namespace

bool PlatformFileStore::exists(const std::wstring& path) {
    struct stat status;
    return ::stat(toUtf8(path).c_str(), &status) == 0;
}

std::optional<std::string> PlatformFileStore::readAll(const std::wstring& path) {
    ScopedFd file(::open(toUtf8(path).c_str(), O_RDONLY));
    if (!file.valid()) {
        return std::nullopt;
    }
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(size_t(status.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, size_t(n));
    }
}

bool PlatformFileStore::replaceWith(const std::wstring& path, const std::string& bytes) {
    std::string target = toUtf8(path);
    std::string temporary = toUtf8(temporaryPathFor(path));
    ScopedFd file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666));
    if (!file.valid()) {
        return false;
    }
    bool complete = writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    complete = file.close() && complete;
    if (!complete || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(target);
    return true;
}
