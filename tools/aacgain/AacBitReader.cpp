#include "AacBitReader.h"

#include <bit>
#include <cstring>

AacBitReader::AacBitReader(const std::uint8_t* data, std::size_t size)
    : data_(data), size_(size), sizeInBits_(size * 8) {}

// The 64 bits from the current byte on, zero past the end of the data.
std::uint64_t AacBitReader::peek64() const {
    std::size_t byte = position_ / 8;
    std::uint64_t word = 0;
    if (byte + 8 <= size_) {
        std::memcpy(&word, data_ + byte, 8);
        if constexpr (std::endian::native == std::endian::little) {
            word = __builtin_bswap64(word);
        }
        return word;
    }
    for (int i = 0; i < 8; ++i) {
        word <<= 8;
        if (byte + i < size_) {
            word |= data_[byte + i];
        }
    }
    return word;
}

std::uint32_t AacBitReader::peek(int count) const {
    if (count == 0 || position_ >= sizeInBits_) {
        return 0;
    }
    // At most 7 bits of the first byte come before the count bits: 7 + 32 < 64.
    std::uint64_t word = peek64() << (position_ % 8);
    return static_cast<std::uint32_t>(word >> (64 - count));
}

std::uint32_t AacBitReader::read(int count) {
    std::uint32_t value = peek(count);
    skip(static_cast<std::size_t>(count));
    return value;
}

void AacBitReader::skip(std::size_t count) {
    // Past the end the position only needs to stay past it, one bit is enough.
    std::size_t limit = sizeInBits_ + 1;
    position_ = count >= limit - position_ ? limit : position_ + count;
}

void AacBitReader::byteAlign() {
    skip((8 - position_ % 8) % 8);
}
