#include "AacHuffman.h"

#include <cstddef>
#include <cstdint>
#include <stdint.h>

namespace {

// The types of faad2's code tables (libfaad/codebook/hcb.h). Two-step
// tables: the first bits of a codeword index the first table, which gives an
// offset into the second and how many more bits to add to it; the second
// table's entry holds the codeword's whole length and its values. Binary
// tables: a tree walked one bit at a time.
struct hcb {
    uint8_t offset;
    uint8_t extra_bits;
};
struct hcb_2_pair {
    uint8_t bits;
    int8_t x;
    int8_t y;
};
struct hcb_2_quad {
    uint8_t bits;
    int8_t x;
    int8_t y;
    int8_t v;
    int8_t w;
};
struct hcb_bin_quad {
    uint8_t is_leaf;
    int8_t data[4];
};
struct hcb_bin_pair {
    uint8_t is_leaf;
    int8_t data[2];
};

#include "hcb_1.h"
#include "hcb_10.h"
#include "hcb_11.h"
#include "hcb_2.h"
#include "hcb_3.h"
#include "hcb_4.h"
#include "hcb_5.h"
#include "hcb_6.h"
#include "hcb_7.h"
#include "hcb_8.h"
#include "hcb_9.h"
#include "hcb_sf.h"

template <typename T, std::size_t N> constexpr std::size_t countOf(T (&)[N]) {
    return N;
}

// The bits that index a first-step table of n entries.
template <std::size_t N> constexpr int indexBits() {
    static_assert((N & (N - 1)) == 0, "a first-step table has a power of two entries");
    int bits = 0;
    while ((std::size_t{1} << bits) < N) {
        ++bits;
    }
    return bits;
}

void copyValues(const hcb_2_quad& entry, int values[4]) {
    values[0] = entry.x;
    values[1] = entry.y;
    values[2] = entry.v;
    values[3] = entry.w;
}

void copyValues(const hcb_2_pair& entry, int values[4]) {
    values[0] = entry.x;
    values[1] = entry.y;
}

template <std::size_t F, typename Entry, std::size_t S>
bool readTwoStep(AacBitReader& reader, hcb (&first)[F], Entry (&second)[S], int values[4]) {
    constexpr int firstBits = indexBits<F>();
    const hcb& step = first[reader.peek(firstBits)];
    std::size_t offset = step.offset;
    if (step.extra_bits != 0) {
        offset += reader.peek(firstBits + step.extra_bits) & ((1u << step.extra_bits) - 1);
    }
    if (offset >= S || second[offset].bits == 0 ||
        (step.extra_bits != 0 && second[offset].bits <= firstBits)) {
        return false;
    }
    reader.skip(second[offset].bits);
    copyValues(second[offset], values);
    return true;
}

template <typename Node, std::size_t S>
bool readBinary(AacBitReader& reader, Node (&tree)[S], int count, int values[4]) {
    std::size_t offset = 0;
    while (!tree[offset].is_leaf) {
        int step = tree[offset].data[reader.readBit() ? 1 : 0];
        offset += static_cast<std::size_t>(step);
        if (step <= 0 || offset >= S) {
            return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        values[i] = tree[offset].data[i];
    }
    return true;
}

bool readCodeword(AacBitReader& reader, int book, int values[4]) {
    switch (book) {
    case 1:
        return readTwoStep(reader, hcb1_1, hcb1_2, values);
    case 2:
        return readTwoStep(reader, hcb2_1, hcb2_2, values);
    case 3:
        return readBinary(reader, hcb3, 4, values);
    case 4:
        return readTwoStep(reader, hcb4_1, hcb4_2, values);
    case 5:
        return readBinary(reader, hcb5, 2, values);
    case 6:
        return readTwoStep(reader, hcb6_1, hcb6_2, values);
    case 7:
        return readBinary(reader, hcb7, 2, values);
    case 8:
        return readTwoStep(reader, hcb8_1, hcb8_2, values);
    case 9:
        return readBinary(reader, hcb9, 2, values);
    case 10:
        return readTwoStep(reader, hcb10_1, hcb10_2, values);
    case 11:
        return readTwoStep(reader, hcb11_1, hcb11_2, values);
    default:
        return false;
    }
}

bool isUnsignedBook(int book) {
    return book == 3 || book == 4 || book >= 7;
}

// An escape sequence: N ones, a zero, then N + 4 bits; the value is
// 2^(N + 4) plus those bits, at most 8191, so N is at most 8.
bool readEscape(AacBitReader& reader, int& value) {
    int length = 4;
    while (reader.readBit()) {
        if (++length > 12) {
            return false;
        }
    }
    value = (1 << length) + static_cast<int>(reader.read(length));
    return true;
}

} // namespace

namespace AacHuffman {

int readScaleFactorCode(AacBitReader& reader) {
    std::size_t offset = 0;
    while (hcb_sf[offset][1] != 0) {
        int step = hcb_sf[offset][reader.readBit() ? 1 : 0];
        offset += static_cast<std::size_t>(step);
        if (step == 0 || offset >= countOf(hcb_sf)) {
            return -1;
        }
    }
    return hcb_sf[offset][0];
}

int valuesPerCodeword(int book) {
    return book < 5 ? 4 : 2;
}

bool readSpectralCodeword(AacBitReader& reader, int book, int values[4]) {
    values[0] = values[1] = values[2] = values[3] = 0;
    if (!readCodeword(reader, book, values)) {
        return false;
    }
    int count = valuesPerCodeword(book);
    if (isUnsignedBook(book)) {
        for (int i = 0; i < count; ++i) {
            if (values[i] != 0 && reader.readBit()) {
                values[i] = -values[i];
            }
        }
    }
    if (book == kEscapeBook) {
        for (int i = 0; i < count; ++i) {
            if (values[i] == 16 || values[i] == -16) {
                int escaped = 0;
                if (!readEscape(reader, escaped)) {
                    return false;
                }
                values[i] = values[i] < 0 ? -escaped : escaped;
            }
        }
    }
    return true;
}

} // namespace AacHuffman
