// libFuzzer target for the format detection: any bytes must be told without a
// crash, a hang or a read beyond them (AddressSanitizer watches the reads), and
// bytes are called MP3 only when Layer III frames chain in them, checked here
// by a frame reader of its own.
#include "AudioFormat.h"
#include "ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The length of the MPEG-1/2/2.5 Layer III frame whose header is at p, or 0.
int layer3FrameLength(const std::uint8_t* p) {
    static const int kMpeg1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kMpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int kRates[] = {44100, 48000, 32000};
    if (p[0] != 0xFF || (p[1] & 0xE6) != 0xE2 || (p[1] & 0x18) == 0x08) {
        return 0; // no sync, not Layer III, or the reserved version
    }
    const int bitrate = p[2] >> 4, rate = (p[2] >> 2) & 3;
    if (bitrate == 0 || bitrate == 15 || rate == 3 || (p[3] & 3) == 2) {
        return 0;
    }
    const bool mpeg1 = (p[1] & 0x18) == 0x18;
    const int divisor = mpeg1 ? 1 : (p[1] & 0x18) == 0x10 ? 2 : 4;
    const int kbit = mpeg1 ? kMpeg1[bitrate] : kMpeg2[bitrate];
    return (mpeg1 ? 144 : 72) * kbit * 1000 / (kRates[rate] / divisor) + ((p[2] >> 1) & 1);
}

bool fourFramesChainSomewhere(const std::uint8_t* data, std::size_t size) {
    for (std::size_t start = 0; start + 4 <= size; ++start) {
        std::size_t at = start;
        int frames = 0;
        while (frames < 4 && at + 4 <= size) {
            const int length = layer3FrameLength(data + at);
            if (length == 0) {
                break;
            }
            ++frames;
            at += static_cast<std::size_t>(length);
        }
        if (frames == 4) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryBytes bytes(std::span(data, size));
    if (detectAudioFormat(bytes) == AudioFormat::Mp3 && !fourFramesChainSomewhere(data, size)) {
        std::abort();
    }
    return 0;
}
