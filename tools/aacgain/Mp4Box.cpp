#include "Mp4Box.h"

#include "BigEndian.h"

namespace {

constexpr std::uint64_t kSmallHeader = 8;
constexpr std::uint64_t kLargeHeader = 16;

} // namespace

bool readBoxes(std::span<const std::uint8_t> bytes, std::uint64_t begin, std::uint64_t end,
               std::vector<Mp4Box>& boxes) {
    if (end > bytes.size() || begin > end) {
        return false;
    }
    std::uint64_t at = begin;
    while (at < end) {
        if (end - at < kSmallHeader) {
            return false;
        }
        Mp4Box box;
        box.offset = at;
        box.type = readBigEndian32(bytes.data() + at + 4);
        box.size = readBigEndian32(bytes.data() + at);
        box.headerSize = kSmallHeader;
        if (box.size == 1) {
            if (end - at < kLargeHeader) {
                return false;
            }
            box.size = readBigEndian64(bytes.data() + at + 8);
            box.headerSize = kLargeHeader;
        } else if (box.size == 0) {
            // A box that reaches to the end of what holds it.
            box.size = end - at;
        }
        if (box.size < box.headerSize || box.size > end - at) {
            return false;
        }
        boxes.push_back(box);
        at += box.size;
    }
    return true;
}

const Mp4Box* findBox(const std::vector<Mp4Box>& boxes, std::uint32_t type) {
    for (const Mp4Box& box : boxes) {
        if (box.type == type) {
            return &box;
        }
    }
    return nullptr;
}

bool readChildren(std::span<const std::uint8_t> bytes, const Mp4Box& parent,
                  std::vector<Mp4Box>& children, std::uint64_t skip) {
    if (parent.size - parent.headerSize < skip) {
        return false;
    }
    return readBoxes(bytes, parent.payload() + skip, parent.end(), children);
}
