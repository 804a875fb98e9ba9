#pragma once
// Decodes AAC raw data blocks to float samples with libfaad2.
//   AacDecoder decoder;
//   if (decoder.open(asc, error)) decoder.decode(block, size, frame, error);

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedFrame {
    const float* samples = nullptr; // interleaved, full scale is 1.0
    std::size_t frames = 0;         // samples per channel
    int channels = 0;
    unsigned long sampleRate = 0;
};

class AacDecoder {
public:
    AacDecoder();
    ~AacDecoder();
    AacDecoder(const AacDecoder&) = delete;
    AacDecoder& operator=(const AacDecoder&) = delete;

    // Starts decoding a stream with this AudioSpecificConfig. More than two
    // channels are mixed down to two.
    bool open(const std::vector<std::uint8_t>& decoderConfig, std::string& error);

    // The samples stay valid until the next call.
    bool decode(const std::uint8_t* block, std::size_t size, DecodedFrame& frame,
                std::string& error);

private:
    void* handle_ = nullptr; // NeAACDecHandle
};
