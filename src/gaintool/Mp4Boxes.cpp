#include "Mp4Boxes.h"

#include "ByteSource.h"

#include <array>

namespace {

// More boxes than any real file has on one level: a damaged file can describe
// millions of tiny ones.
constexpr int kMostBoxesOnALevel = 4096;

std::uint64_t bigEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

std::optional<Mp4Box> readBoxHeader(ByteSource& file, std::uint64_t offset, std::uint64_t end) {
    std::array<std::uint8_t, 16> header{};
    if (end - offset < 8 || file.readAt(offset, std::span(header).first(8)) != 8) {
        return std::nullopt;
    }
    Mp4Box box;
    box.type = static_cast<std::uint32_t>(bigEndian(&header[4], 4));
    box.offset = offset;
    box.size = bigEndian(&header[0], 4);
    box.payload = offset + 8;
    if (box.size == 1) {
        // The size follows as 64 bits.
        if (end - offset < 16 || file.readAt(offset + 8, std::span(header).subspan(8, 8)) != 8) {
            return std::nullopt;
        }
        box.size = bigEndian(&header[8], 8);
        box.payload = offset + 16;
    } else if (box.size == 0) {
        box.size = end - offset; // to the end of its parent (or of the file)
    }
    if (box.size < box.payload - offset || box.size > end - offset) {
        return std::nullopt;
    }
    return box;
}

} // namespace

bool forEachMp4Box(ByteSource& file, std::uint64_t begin, std::uint64_t end,
                   const std::function<bool(const Mp4Box&)>& visit) {
    std::uint64_t offset = begin;
    for (int count = 0; offset < end; ++count) {
        std::optional<Mp4Box> box = readBoxHeader(file, offset, end);
        if (!box || count == kMostBoxesOnALevel) {
            return false;
        }
        if (!visit(*box)) {
            return true;
        }
        offset = box->end();
    }
    return true;
}

std::optional<Mp4Box> findMp4Box(ByteSource& file, std::uint64_t begin, std::uint64_t end,
                                 std::uint32_t type) {
    std::optional<Mp4Box> found;
    forEachMp4Box(file, begin, end, [&](const Mp4Box& box) {
        if (box.type == type) {
            found = box;
        }
        return !found;
    });
    return found;
}
