#pragma once

#include <unistd.h>

// Owns a POSIX file descriptor and closes it when it goes out of scope.
class ScopedFd {
public:
    explicit ScopedFd(int fd = -1) : fd(fd) {}
    ~ScopedFd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;

    int get() const { return fd; }
    bool valid() const { return fd >= 0; }

    // Closes now, reporting whether the close succeeded.
    bool close() {
        int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

    // Hands the descriptor over to the caller, who closes it.
    int release() {
        const int released = fd;
        fd = -1;
        return released;
    }

private:
    int fd;
};
