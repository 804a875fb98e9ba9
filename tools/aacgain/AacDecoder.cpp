#include "AacDecoder.h"

#include <neaacdec.h>

AacDecoder::AacDecoder() : handle_(NeAACDecOpen()) {}

AacDecoder::~AacDecoder() {
    if (handle_ != nullptr) {
        NeAACDecClose(handle_);
    }
}

bool AacDecoder::open(const std::vector<std::uint8_t>& decoderConfig, std::string& error) {
    if (handle_ == nullptr) {
        error = "the AAC decoder could not be started";
        return false;
    }
    NeAACDecConfigurationPtr configuration = NeAACDecGetCurrentConfiguration(handle_);
    configuration->outputFormat = FAAD_FMT_FLOAT;
    configuration->downMatrix = 1;
    NeAACDecSetConfiguration(handle_, configuration);
    // libfaad reads the configuration through a non-const pointer but does not
    // change it.
    std::vector<std::uint8_t> copy = decoderConfig;
    unsigned long sampleRate = 0;
    unsigned char channels = 0;
    if (NeAACDecInit2(handle_, copy.data(), static_cast<unsigned long>(copy.size()), &sampleRate,
                      &channels) < 0) {
        error = "the AAC decoder does not accept its decoder configuration";
        return false;
    }
    return true;
}

bool AacDecoder::decode(const std::uint8_t* block, std::size_t size, DecodedFrame& frame,
                        std::string& error) {
    NeAACDecFrameInfo info{};
    void* samples = NeAACDecDecode(handle_, &info, const_cast<std::uint8_t*>(block),
                                   static_cast<unsigned long>(size));
    if (info.error != 0) {
        error = NeAACDecGetErrorMessage(info.error);
        return false;
    }
    frame.samples = static_cast<const float*>(samples);
    frame.channels = info.channels;
    frame.frames = info.channels == 0 ? 0 : info.samples / info.channels;
    frame.sampleRate = info.samplerate;
    return true;
}
