#pragma once
// Reads an AAC bitstream most significant bit first, never past its end: bits
// beyond the end read as zeros and mark the reader as overrun, so a walk over
// damaged bytes ends in a check of overrun() rather than a read out of bounds.
#include <cstddef>
#include <cstdint>

class AacBitReader {
public:
    AacBitReader(const std::uint8_t* data, std::size_t size);

    // The next count bits (0..32) without moving on.
    std::uint32_t peek(int count) const;
    std::uint32_t read(int count);
    bool readBit() { return read(1) != 0; }
    void skip(std::size_t count);
    // Moves on to the next whole byte from the start of the data.
    void byteAlign();

    std::size_t position() const { return position_; }
    std::size_t bitsLeft() const { return position_ < sizeInBits_ ? sizeInBits_ - position_ : 0; }
    bool overrun() const { return position_ > sizeInBits_; }

private:
    std::uint64_t peek64() const;

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t sizeInBits_;
    std::size_t position_ = 0;
};
