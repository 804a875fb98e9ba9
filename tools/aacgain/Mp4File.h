#pragma once
// An MP4 file's structure as far as the gain tool needs it: its AAC audio
// track (decoder configuration and where each sample lies) and where its
// iTunes metadata (moov/udta/meta/ilst) sits. Parses bytes held in memory.

#include "AacGlobalGain.h"
#include "Mp4Box.h"
#include "Mp4Refusal.h"
#include "Mp4SampleTable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class Mp4File {
public:
    // An MP4 file begins with an ftyp box; the head of the file is enough.
    static bool startsLikeMp4(std::span<const std::uint8_t> head);

    // Mp4Refusal::None when the file's AAC audio can be analysed and changed;
    // otherwise why not, with detail() saying it in words.
    Mp4Refusal parse(std::span<const std::uint8_t> bytes);

    const std::string& detail() const { return detail_; }
    const std::vector<Mp4Sample>& samples() const { return samples_; }
    const std::vector<std::uint8_t>& decoderConfig() const { return decoderConfig_; }
    const AacAudioConfig& audioConfig() const { return audioConfig_; }
    const Mp4Box& moov() const { return moov_; }

    // The boxes on the way to the iTunes metadata list; absent ones are empty.
    std::optional<Mp4Box> udta;
    std::optional<Mp4Box> meta;
    std::optional<Mp4Box> ilst;
    // An ISO meta box is a full box (version and flags before its children);
    // some QuickTime writers leave them out.
    bool metaIsFullBox = true;

private:
    Mp4Refusal refuse(Mp4Refusal why, std::string detail);
    Mp4Refusal findAudioTrack(std::span<const std::uint8_t> bytes,
                              const std::vector<Mp4Box>& moovChildren);
    Mp4Refusal readAudioTrack(std::span<const std::uint8_t> bytes, const Mp4Box& stbl);
    bool findMetadata(std::span<const std::uint8_t> bytes, const std::vector<Mp4Box>& moovChildren);

    std::string detail_;
    Mp4Box moov_;
    std::vector<Mp4Sample> samples_;
    std::vector<std::uint8_t> decoderConfig_;
    AacAudioConfig audioConfig_;
};
