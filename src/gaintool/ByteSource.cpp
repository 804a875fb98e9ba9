#include "ByteSource.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryBytes::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) {
    if (offset >= bytes.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::uint64_t>(buffer.size(), bytes.size() - offset);
    std::memcpy(buffer.data(), bytes.data() + offset, count);
    return count;
}
