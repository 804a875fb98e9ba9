#include "ReadOnlyFile.h"

#include "Utf8_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ReadOnlyFile::ReadOnlyFile(const std::wstring& path)
    : handle(::open(toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC)) {
    if (handle < 0) {
        openState = errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Unreadable;
        return;
    }
    struct stat status {};
    if (::fstat(static_cast<int>(handle), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;
    }
    fileSize = static_cast<std::uint64_t>(status.st_size);
    modifiedTime =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    openState = State::Open;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle >= 0) {
        ::close(static_cast<int>(handle));
    }
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) {
    if (openState != State::Open) {
        return 0;
    }
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t count = ::pread(static_cast<int>(handle), buffer.data() + done,
                                      buffer.size() - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return done;
}
