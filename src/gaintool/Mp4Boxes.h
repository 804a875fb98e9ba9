#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class ByteSource;

// The header of one box of an MP4 (ISO base media) file.
struct Mp4Box {
    std::uint32_t type = 0;
    std::uint64_t offset = 0;  // of the box's first byte
    std::uint64_t size = 0;    // the whole box, header included
    std::uint64_t payload = 0; // offset of the first byte after the header

    std::uint64_t end() const { return offset + size; }
};

constexpr std::uint32_t fourCc(const char (&code)[5]) {
    return std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16 |
           std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3]));
}

// Walks the boxes that lie one after another from begin to end, reading only
// their headers. visit answers false to stop. Returns false when a header
// cannot be read or a box does not fit between begin and end (a cut or
// damaged file), or after too many boxes for a real file.
bool forEachMp4Box(ByteSource& file, std::uint64_t begin, std::uint64_t end,
                   const std::function<bool(const Mp4Box&)>& visit);

// The first box of the given type among those from begin to end.
std::optional<Mp4Box> findMp4Box(ByteSource& file, std::uint64_t begin, std::uint64_t end,
                                 std::uint32_t type);
