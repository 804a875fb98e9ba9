#pragma once
// Where each audio sample (one AAC raw data block) lies in the file, from a
// track's sample table: sizes (stsz or stz2), chunk offsets (stco or co64)
// and samples per chunk (stsc).

#include "Mp4Box.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct Mp4Sample {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

class Mp4SampleTable {
public:
    // False, with a reason, when a table is missing, inconsistent or points
    // outside the file.
    bool read(std::span<const std::uint8_t> bytes, const Mp4Box& stbl, std::string& error);

    const std::vector<Mp4Sample>& samples() const { return samples_; }

private:
    bool readSizes(std::span<const std::uint8_t> bytes, const std::vector<Mp4Box>& boxes,
                   std::string& error);
    bool readChunkOffsets(std::span<const std::uint8_t> bytes, const std::vector<Mp4Box>& boxes,
                          std::string& error);
    bool placeSamples(std::span<const std::uint8_t> bytes, const Mp4Box& stsc,
                      std::uint64_t fileSize, std::string& error);

    std::vector<std::uint32_t> sizes_;
    std::vector<std::uint64_t> chunkOffsets_;
    std::vector<Mp4Sample> samples_;
};
