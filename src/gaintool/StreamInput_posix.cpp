#include "StreamInput.h"

#include <cerrno>
#include <unistd.h>

long readAvailable(std::FILE* stream, char* buffer, std::size_t size) {
    ssize_t count;
    do {
        count = read(fileno(stream), buffer, size);
    } while (count < 0 && errno == EINTR);
    return static_cast<long>(count);
}
