#include "StreamInput.h"

#include <io.h>

long readAvailable(std::FILE* stream, char* buffer, std::size_t size) {
    return _read(_fileno(stream), buffer, static_cast<unsigned>(size));
}
