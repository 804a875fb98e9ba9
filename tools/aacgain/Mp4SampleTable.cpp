#include "Mp4SampleTable.h"

#include "BigEndian.h"

namespace {

constexpr std::uint64_t kFullBoxHeader = 4;

// The payload of a full box after its version and flags, when it holds at
// least minimum bytes.
bool fullBoxPayload(const Mp4Box& box, std::uint64_t minimum, std::uint64_t& at,
                    std::uint64_t& length) {
    std::uint64_t payload = box.size - box.headerSize;
    if (payload < kFullBoxHeader + minimum) {
        return false;
    }
    at = box.payload() + kFullBoxHeader;
    length = payload - kFullBoxHeader;
    return true;
}

} // namespace

bool Mp4SampleTable::read(std::span<const std::uint8_t> bytes, const Mp4Box& stbl,
                          std::string& error) {
    std::vector<Mp4Box> boxes;
    if (!readChildren(bytes, stbl, boxes)) {
        error = "its sample table is damaged";
        return false;
    }
    const Mp4Box* stsc = findBox(boxes, fourCC("stsc"));
    if (stsc == nullptr) {
        error = "its sample table has no samples-per-chunk table";
        return false;
    }
    return readSizes(bytes, boxes, error) && readChunkOffsets(bytes, boxes, error) &&
           placeSamples(bytes, *stsc, bytes.size(), error);
}

bool Mp4SampleTable::readSizes(std::span<const std::uint8_t> bytes,
                               const std::vector<Mp4Box>& boxes, std::string& error) {
    std::uint64_t at = 0;
    std::uint64_t length = 0;
    error = "its sample size table is damaged";
    if (const Mp4Box* stsz = findBox(boxes, fourCC("stsz"))) {
        if (!fullBoxPayload(*stsz, 8, at, length)) {
            return false;
        }
        std::uint32_t fixedSize = readBigEndian32(bytes.data() + at);
        std::uint64_t count = readBigEndian32(bytes.data() + at + 4);
        if (fixedSize != 0) {
            // Samples of one size: more than the file can hold is damage.
            if (count > bytes.size() / fixedSize) {
                return false;
            }
            sizes_.assign(count, fixedSize);
            return true;
        }
        if (count > (length - 8) / 4) {
            return false;
        }
        sizes_.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            sizes_.push_back(readBigEndian32(bytes.data() + at + 8 + 4 * i));
        }
        return true;
    }
    if (const Mp4Box* stz2 = findBox(boxes, fourCC("stz2"))) {
        if (!fullBoxPayload(*stz2, 8, at, length)) {
            return false;
        }
        unsigned fieldBits = bytes[at + 3];
        std::uint64_t count = readBigEndian32(bytes.data() + at + 4);
        if ((fieldBits != 4 && fieldBits != 8 && fieldBits != 16) ||
            count > (length - 8) * 8 / fieldBits) {
            return false;
        }
        const std::uint8_t* table = bytes.data() + at + 8;
        sizes_.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            if (fieldBits == 16) {
                sizes_.push_back(readBigEndian16(table + 2 * i));
            } else if (fieldBits == 8) {
                sizes_.push_back(table[i]);
            } else {
                sizes_.push_back(i % 2 == 0 ? table[i / 2] >> 4 : table[i / 2] & 0x0f);
            }
        }
        return true;
    }
    error = "its sample table has no sample sizes";
    return false;
}

bool Mp4SampleTable::readChunkOffsets(std::span<const std::uint8_t> bytes,
                                      const std::vector<Mp4Box>& boxes, std::string& error) {
    const Mp4Box* stco = findBox(boxes, fourCC("stco"));
    const Mp4Box* co64 = findBox(boxes, fourCC("co64"));
    const Mp4Box* table = stco != nullptr ? stco : co64;
    std::uint64_t entryBytes = stco != nullptr ? 4 : 8;
    std::uint64_t at = 0;
    std::uint64_t length = 0;
    error = "its chunk offset table is damaged";
    if (table == nullptr) {
        error = "its sample table has no chunk offsets";
        return false;
    }
    if (!fullBoxPayload(*table, 4, at, length)) {
        return false;
    }
    std::uint64_t count = readBigEndian32(bytes.data() + at);
    if (count > (length - 4) / entryBytes) {
        return false;
    }
    chunkOffsets_.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes.data() + at + 4 + entryBytes * i;
        chunkOffsets_.push_back(entryBytes == 4 ? readBigEndian32(entry) : readBigEndian64(entry));
    }
    return true;
}

bool Mp4SampleTable::placeSamples(std::span<const std::uint8_t> bytes, const Mp4Box& stsc,
                                  std::uint64_t fileSize, std::string& error) {
    std::uint64_t at = 0;
    std::uint64_t length = 0;
    error = "its samples-per-chunk table is damaged";
    if (!fullBoxPayload(stsc, 4, at, length)) {
        return false;
    }
    std::uint64_t runs = readBigEndian32(bytes.data() + at);
    if (runs > (length - 4) / 12) {
        return false;
    }
    samples_.reserve(sizes_.size());
    std::size_t sample = 0;
    for (std::uint64_t run = 0; run < runs && sample < sizes_.size(); ++run) {
        const std::uint8_t* entry = bytes.data() + at + 4 + 12 * run;
        std::uint64_t firstChunk = readBigEndian32(entry);
        std::uint64_t perChunk = readBigEndian32(entry + 4);
        std::uint64_t nextFirst =
            run + 1 < runs ? readBigEndian32(entry + 12) : chunkOffsets_.size() + 1;
        if (firstChunk == 0 || nextFirst <= firstChunk || nextFirst > chunkOffsets_.size() + 1) {
            return false;
        }
        for (std::uint64_t chunk = firstChunk; chunk < nextFirst && sample < sizes_.size();
             ++chunk) {
            std::uint64_t offset = chunkOffsets_[chunk - 1];
            for (std::uint64_t i = 0; i < perChunk && sample < sizes_.size(); ++i) {
                std::uint32_t size = sizes_[sample++];
                if (offset > fileSize || size > fileSize - offset) {
                    error = "its audio data is cut short or lies outside the file";
                    return false;
                }
                samples_.push_back({offset, size});
                offset += size;
            }
        }
    }
    if (samples_.size() != sizes_.size()) {
        error = "its sample table places fewer samples than it counts";
        return false;
    }
    error.clear();
    return true;
}
