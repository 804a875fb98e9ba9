#pragma once
// One box of an MP4 (ISO base media) file: where it lies in the file's bytes.
//   std::vector<Mp4Box> top;
//   if (readBoxes(bytes, 0, bytes.size(), top)) { const Mp4Box* moov = findBox(top,
//   fourCC("moov")); }

#include <cstdint>
#include <span>
#include <vector>

struct Mp4Box {
    std::uint32_t type = 0;
    std::uint64_t offset = 0;     // of the box's first byte
    std::uint64_t headerSize = 0; // 8, or 16 with a 64-bit size
    std::uint64_t size = 0;       // of the whole box, header included

    std::uint64_t payload() const { return offset + headerSize; }
    std::uint64_t end() const { return offset + size; }
};

// Reads the boxes that follow one another from begin to end. False when a box
// does not fit in that range (a damaged or cut file); boxes then holds those
// read before it.
bool readBoxes(std::span<const std::uint8_t> bytes, std::uint64_t begin, std::uint64_t end,
               std::vector<Mp4Box>& boxes);

// The first box of that type, or null.
const Mp4Box* findBox(const std::vector<Mp4Box>& boxes, std::uint32_t type);

// The children of a container box whose children start skip bytes into its
// payload (4 for a full box's version and flags). False when they do not fit.
bool readChildren(std::span<const std::uint8_t> bytes, const Mp4Box& parent,
                  std::vector<Mp4Box>& children, std::uint64_t skip = 0);
