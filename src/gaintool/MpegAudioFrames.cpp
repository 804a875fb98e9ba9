#include "MpegAudioFrames.h"

#include "ByteSource.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// kbit/s by bitrate index 1..14.
constexpr std::array<int, 14> kMpeg1Layer1 = {32,  64,  96,  128, 160, 192, 224,
                                              256, 288, 320, 352, 384, 416, 448};
constexpr std::array<int, 14> kMpeg1Layer2 = {32,  48,  56,  64,  80,  96,  112,
                                              128, 160, 192, 224, 256, 320, 384};
constexpr std::array<int, 14> kMpeg1Layer3 = {32,  40,  48,  56,  64,  80,  96,
                                              112, 128, 160, 192, 224, 256, 320};
constexpr std::array<int, 14> kMpeg2Layer1 = {32,  48,  56,  64,  80,  96,  112,
                                              128, 144, 160, 176, 192, 224, 256};
constexpr std::array<int, 14> kMpeg2Layers2And3 = {8,  16, 24, 32,  40,  48,  56,
                                                   64, 80, 96, 112, 128, 144, 160};

int kbitPerSecond(int version, int layer, int index) {
    if (version == 10) {
        const auto& table = layer == 1 ? kMpeg1Layer1 : layer == 2 ? kMpeg1Layer2 : kMpeg1Layer3;
        return table[index - 1];
    }
    return layer == 1 ? kMpeg2Layer1[index - 1] : kMpeg2Layers2And3[index - 1];
}

int sampleRateOf(int version, int index) {
    constexpr std::array<int, 3> kMpeg1Rates = {44100, 48000, 32000};
    const int divisor = version == 10 ? 1 : version == 20 ? 2 : 4;
    return kMpeg1Rates[index] / divisor;
}

int frameLengthOf(int version, int layer, int bitrate, int sampleRate, int padding) {
    if (layer == 1) {
        return (12 * bitrate / sampleRate + padding) * 4;
    }
    const int factor = layer == 3 && version != 10 ? 72 : 144;
    return factor * bitrate / sampleRate + padding;
}

// The longest Layer III frame: MPEG-1 at 320 kbit/s and 32 kHz, or MPEG-2.5 at
// 160 kbit/s and 8 kHz, with padding.
constexpr std::uint64_t kLongestLayer3Frame = 1441;
constexpr std::uint64_t kChainSpan = kLayer3ChainLength * kLongestLayer3Frame;
// How much of the file is read at a time while looking for the first frames.
constexpr std::uint64_t kSearchChunk = 8 * 1024;

// Whether a Layer III chain starts at bytes[at] and lies within bytes.
bool chainStartsAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::optional<MpegAudioHeader> first;
    std::size_t position = at;
    for (int i = 0; i < kLayer3ChainLength; ++i) {
        if (position + 4 > bytes.size()) {
            return false;
        }
        std::optional<MpegAudioHeader> header = parseMpegAudioHeader(bytes.subspan(position, 4));
        if (!header || header->layer != 3) {
            return false;
        }
        if (first &&
            (header->version != first->version || header->sampleRate != first->sampleRate)) {
            return false;
        }
        if (!first) {
            first = header;
        }
        position += static_cast<std::size_t>(header->frameLength);
    }
    return true;
}

} // namespace

std::optional<MpegAudioHeader> parseMpegAudioHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int versionBits = (bytes[1] >> 3) & 3;
    const int layerBits = (bytes[1] >> 1) & 3;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 3;
    const int padding = (bytes[2] >> 1) & 1;
    const int emphasis = bytes[3] & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2) {
        return std::nullopt;
    }
    MpegAudioHeader header;
    header.version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
    header.layer = 4 - layerBits;
    header.sampleRate = sampleRateOf(header.version, rateIndex);
    header.bitrate = kbitPerSecond(header.version, header.layer, bitrateIndex) * 1000;
    header.frameLength =
        frameLengthOf(header.version, header.layer, header.bitrate, header.sampleRate, padding);
    return header;
}

std::optional<std::uint64_t> findLayer3Frames(ByteSource& file, std::uint64_t from,
                                              std::uint64_t window) {
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t start = from; start <= from + window && start < file.size();
         start += kSearchChunk) {
        const std::uint64_t positions = std::min(kSearchChunk, from + window - start + 1);
        bytes.resize(static_cast<std::size_t>(positions + kChainSpan));
        bytes.resize(file.readAt(start, bytes));
        for (std::size_t i = 0; i < positions && i < bytes.size(); ++i) {
            if (bytes[i] == 0xFF && chainStartsAt(bytes, i)) {
                return start + i;
            }
        }
    }
    return std::nullopt;
}

std::uint64_t skipId3v2Tags(ByteSource& file) {
    std::uint64_t position = 0;
    std::array<std::uint8_t, 10> header{};
    // A file may carry several tags one after the other; a few are enough.
    for (int tags = 0; tags < 8; ++tags) {
        if (file.readAt(position, header) != header.size() || header[0] != 'I' ||
            header[1] != 'D' || header[2] != '3' || header[3] == 0xFF || header[4] == 0xFF) {
            return position;
        }
        std::uint64_t size = 0;
        for (int i = 6; i < 10; ++i) {
            if (header[i] & 0x80) {
                return position; // not a synchsafe size: no tag
            }
            size = (size << 7) | header[i];
        }
        const bool hasFooter = header[3] == 4 && (header[5] & 0x10);
        position += header.size() + size + (hasFooter ? 10 : 0);
    }
    return position;
}
