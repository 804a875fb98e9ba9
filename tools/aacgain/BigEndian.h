#pragma once
// Big-endian integers as MP4 stores them. The callers check the bounds.

#include <cstddef>
#include <cstdint>

inline std::uint32_t readBigEndian16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 8 | p[1];
}

inline std::uint32_t readBigEndian24(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
}

inline std::uint32_t readBigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

inline std::uint64_t readBigEndian64(const std::uint8_t* p) {
    return std::uint64_t(readBigEndian32(p)) << 32 | readBigEndian32(p + 4);
}

inline void writeBigEndian32(std::uint8_t* p, std::uint32_t value) {
    p[0] = std::uint8_t(value >> 24);
    p[1] = std::uint8_t(value >> 16);
    p[2] = std::uint8_t(value >> 8);
    p[3] = std::uint8_t(value);
}

inline void writeBigEndian64(std::uint8_t* p, std::uint64_t value) {
    writeBigEndian32(p, std::uint32_t(value >> 32));
    writeBigEndian32(p + 4, std::uint32_t(value));
}

// The four-character code of a box type as one number: fourCC("moov").
constexpr std::uint32_t fourCC(const char (&code)[5]) {
    return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16 |
           std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint8_t(code[3]);
}
