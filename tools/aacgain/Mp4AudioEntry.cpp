#include "Mp4AudioEntry.h"

#include "BigEndian.h"

namespace {

constexpr std::uint64_t kFullBoxHeader = 4;
// reserved, data reference index, then version, revision, vendor, channels,
// sample size, compression id, packet size and sample rate.
constexpr std::uint64_t kAudioEntryFields = 28;
constexpr std::uint64_t kQuickTimeVersion1Fields = 16;
constexpr std::uint64_t kQuickTimeVersion2Fields = 36;

// Object type indications of the decoder configuration descriptor.
constexpr unsigned kMpeg4Audio = 0x40;
constexpr unsigned kMpeg2AacMain = 0x66;
constexpr unsigned kMpeg2AacLowComplexity = 0x67;
constexpr unsigned kMpeg2AacScalableSampleRate = 0x68;
constexpr unsigned kMpeg2Layer3 = 0x69;
constexpr unsigned kMpeg1Audio = 0x6b;

// MPEG-4 audio object types the block walk handles: AAC-LC, and AAC-LC
// carrying SBR (HE-AAC) or SBR with parametric stereo (HE-AAC v2).
constexpr int kAacLowComplexity = 2;
constexpr int kSpectralBandReplication = 5;
constexpr int kParametricStereo = 29;

// A descriptor of an MPEG-4 elementary stream: tag, then a length of one to
// four bytes of seven bits each.
struct Descriptor {
    unsigned tag = 0;
    std::uint64_t at = 0; // first byte of the contents
    std::uint64_t length = 0;
};

bool readDescriptor(std::span<const std::uint8_t> bytes, std::uint64_t at, std::uint64_t end,
                    Descriptor& descriptor) {
    if (at >= end) {
        return false;
    }
    descriptor.tag = bytes[at++];
    descriptor.length = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end) {
            return false;
        }
        std::uint8_t byte = bytes[at++];
        descriptor.length = descriptor.length << 7 | (byte & 0x7f);
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    descriptor.at = at;
    return descriptor.length <= end - at;
}

} // namespace

Mp4Refusal Mp4AudioEntry::read(std::span<const std::uint8_t> bytes, const Mp4Box& stsd,
                               std::string& detail) {
    std::vector<Mp4Box> entries;
    // A full box with an entry count before the entries.
    if (!readChildren(bytes, stsd, entries, kFullBoxHeader + 4) || entries.empty()) {
        detail = "its audio track has no readable sample description";
        return Mp4Refusal::Damaged;
    }
    const Mp4Box& entry = entries.front();
    switch (entry.type) {
    case fourCC("mp4a"):
        return readMp4a(bytes, entry, detail);
    case fourCC("alac"):
        detail = "it holds Apple Lossless audio, not AAC";
        return Mp4Refusal::AppleLossless;
    case fourCC("drms"):
    case fourCC("enca"):
        detail = "its audio is protected";
        return Mp4Refusal::Protected;
    case fourCC(".mp3"):
        detail = "it holds MP3 audio inside an MP4 file";
        return Mp4Refusal::Mp3InMp4;
    default:
        detail = "its audio is not AAC";
        return Mp4Refusal::OtherCodec;
    }
}

Mp4Refusal Mp4AudioEntry::readMp4a(std::span<const std::uint8_t> bytes, const Mp4Box& entry,
                                   std::string& detail) {
    detail = "its AAC decoder configuration is damaged";
    if (entry.size - entry.headerSize < kAudioEntryFields) {
        return Mp4Refusal::Damaged;
    }
    std::uint32_t version = readBigEndian16(bytes.data() + entry.payload() + 8);
    std::uint64_t fields = kAudioEntryFields + (version == 1   ? kQuickTimeVersion1Fields
                                                : version == 2 ? kQuickTimeVersion2Fields
                                                               : 0);
    std::vector<Mp4Box> children;
    if (!readChildren(bytes, entry, children, fields)) {
        return Mp4Refusal::Damaged;
    }
    const Mp4Box* esds = findBox(children, fourCC("esds"));
    // QuickTime files keep it one level down, in a 'wave' box.
    std::vector<Mp4Box> waveChildren;
    if (const Mp4Box* wave = findBox(children, fourCC("wave"));
        esds == nullptr && wave != nullptr && readChildren(bytes, *wave, waveChildren)) {
        esds = findBox(waveChildren, fourCC("esds"));
    }
    if (esds == nullptr) {
        return Mp4Refusal::Damaged;
    }
    return readEsds(bytes, *esds, detail);
}

Mp4Refusal Mp4AudioEntry::readEsds(std::span<const std::uint8_t> bytes, const Mp4Box& esds,
                                   std::string& detail) {
    detail = "its AAC decoder configuration is damaged";
    if (esds.size - esds.headerSize < kFullBoxHeader) {
        return Mp4Refusal::Damaged;
    }
    Descriptor stream;
    if (!readDescriptor(bytes, esds.payload() + kFullBoxHeader, esds.end(), stream) ||
        stream.tag != 0x03 || stream.length < 3) {
        return Mp4Refusal::Damaged;
    }
    std::uint64_t at = stream.at + 2; // ES_ID
    std::uint64_t end = stream.at + stream.length;
    std::uint8_t flags = bytes[at++];
    if (flags & 0x80) { // stream dependence
        at += 2;
    }
    if (flags & 0x40) { // URL
        if (at >= end) {
            return Mp4Refusal::Damaged;
        }
        at += 1 + bytes[at];
    }
    if (flags & 0x20) { // OCR stream
        at += 2;
    }
    Descriptor decoder;
    if (at > end || !readDescriptor(bytes, at, end, decoder) || decoder.tag != 0x04 ||
        decoder.length < 13) {
        return Mp4Refusal::Damaged;
    }
    unsigned objectType = bytes[decoder.at];
    Descriptor specific;
    if (readDescriptor(bytes, decoder.at + 13, decoder.at + decoder.length, specific) &&
        specific.tag == 0x05) {
        decoderConfig_.assign(bytes.begin() + std::ptrdiff_t(specific.at),
                              bytes.begin() + std::ptrdiff_t(specific.at + specific.length));
    }
    switch (objectType) {
    case kMpeg4Audio:
    case kMpeg2AacLowComplexity:
        break;
    case kMpeg2AacMain:
    case kMpeg2AacScalableSampleRate:
        detail = "its AAC profile (Main or SSR) is not supported";
        return Mp4Refusal::UnsupportedAacProfile;
    case kMpeg2Layer3:
    case kMpeg1Audio:
        detail = "it holds MP3 audio inside an MP4 file";
        return Mp4Refusal::Mp3InMp4;
    default:
        detail = "its audio is not AAC";
        return Mp4Refusal::OtherCodec;
    }
    std::string error;
    if (decoderConfig_.empty() ||
        !parseAudioSpecificConfig(decoderConfig_.data(), decoderConfig_.size(), config_, error)) {
        detail = "its AAC decoder configuration is damaged" + (error.empty() ? "" : ": " + error);
        return Mp4Refusal::Damaged;
    }
    return checkObjectType(detail);
}

Mp4Refusal Mp4AudioEntry::checkObjectType(std::string& detail) const {
    switch (config_.audioObjectType) {
    case kAacLowComplexity:
    case kSpectralBandReplication:
    case kParametricStereo:
        detail.clear();
        return Mp4Refusal::None;
    case 1:
        detail = "its AAC profile (Main) is not supported";
        return Mp4Refusal::UnsupportedAacProfile;
    case 3:
        detail = "its AAC profile (SSR) is not supported";
        return Mp4Refusal::UnsupportedAacProfile;
    case 4:
        detail = "its AAC profile (LTP) is not supported";
        return Mp4Refusal::UnsupportedAacProfile;
    case 32:
    case 33:
    case 34:
        detail = "it holds MP3 or MPEG audio inside an MP4 file";
        return Mp4Refusal::Mp3InMp4;
    default:
        detail =
            "its AAC object type " + std::to_string(config_.audioObjectType) + " is not supported";
        return Mp4Refusal::UnsupportedAacProfile;
    }
}
