#pragma once
// The codec of an audio track, from its sample description (stsd): for AAC,
// the decoder configuration (AudioSpecificConfig) carried in the mp4a entry's
// esds descriptor.

#include "AacGlobalGain.h"
#include "Mp4Box.h"
#include "Mp4Refusal.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class Mp4AudioEntry {
public:
    // Mp4Refusal::None for AAC whose blocks the tool can change (AAC-LC, with
    // or without HE-AAC's SBR and PS); otherwise why not, with a detail.
    Mp4Refusal read(std::span<const std::uint8_t> bytes, const Mp4Box& stsd, std::string& detail);

    const std::vector<std::uint8_t>& decoderConfig() const { return decoderConfig_; }
    const AacAudioConfig& config() const { return config_; }

private:
    Mp4Refusal readMp4a(std::span<const std::uint8_t> bytes, const Mp4Box& entry,
                        std::string& detail);
    Mp4Refusal readEsds(std::span<const std::uint8_t> bytes, const Mp4Box& esds,
                        std::string& detail);
    Mp4Refusal checkObjectType(std::string& detail) const;

    std::vector<std::uint8_t> decoderConfig_;
    AacAudioConfig config_;
};
