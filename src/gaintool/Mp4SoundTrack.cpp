#include "Mp4SoundTrack.h"

#include "ByteSource.h"
#include "Mp4Boxes.h"

#include <array>
#include <vector>

namespace {

// Object types of an MP4 decoder configuration.
constexpr int kMpeg4Audio = 0x40;
constexpr int kMpeg2AacLowComplexity = 0x67;
// Audio object types of an AudioSpecificConfig.
constexpr int kAacLowComplexity = 2;
constexpr int kSpectralBandReplication = 5;
constexpr int kParametricStereo = 29;

// Enough of an esds box for its descriptors up to the decoder configuration.
constexpr std::size_t kDecoderConfigBytes = 512;

struct TrackKinds {
    int soundTracks = 0;
    bool video = false;
    std::optional<Mp4Box> soundDescription; // the stsd box of the sound track
};

std::optional<Mp4Box> findPath(ByteSource& file, const Mp4Box& from,
                               std::initializer_list<std::uint32_t> types) {
    std::optional<Mp4Box> box = from;
    for (std::uint32_t type : types) {
        box = findMp4Box(file, box->payload, box->end(), type);
        if (!box) {
            return std::nullopt;
        }
    }
    return box;
}

std::uint32_t readFourCc(ByteSource& file, std::uint64_t offset) {
    std::array<std::uint8_t, 4> bytes{};
    if (file.readAt(offset, bytes) != bytes.size()) {
        return 0;
    }
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
           std::uint32_t(bytes[2]) << 8 | bytes[3];
}

void noteTrack(ByteSource& file, const Mp4Box& trak, TrackKinds& kinds) {
    std::optional<Mp4Box> handler = findPath(file, trak, {fourCc("mdia"), fourCc("hdlr")});
    // The handler type follows the version, flags and a predefined field.
    const std::uint32_t type = handler ? readFourCc(file, handler->payload + 8) : 0;
    if (type == fourCc("vide")) {
        kinds.video = true;
    } else if (type == fourCc("soun")) {
        ++kinds.soundTracks;
        kinds.soundDescription =
            findPath(file, trak, {fourCc("mdia"), fourCc("minf"), fourCc("stbl"), fourCc("stsd")});
    }
}

// Reads bits of an AudioSpecificConfig, most significant first; reads past its
// end give zeros.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes(bytes) {}
    int read(int count) {
        int value = 0;
        for (int i = 0; i < count; ++i, ++position) {
            const std::size_t byte = position / 8;
            const int bit = byte < bytes.size() ? (bytes[byte] >> (7 - position % 8)) & 1 : 0;
            value = (value << 1) | bit;
        }
        return value;
    }

private:
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int readAudioObjectType(BitReader& bits) {
    const int type = bits.read(5);
    return type == 31 ? 32 + bits.read(6) : type;
}

void skipSamplingFrequency(BitReader& bits) {
    if (bits.read(4) == 15) {
        bits.read(24);
    }
}

// The object type of the AAC core: HE-AAC names SBR (or PS) first and its
// core after the extension's sampling frequency.
int coreAudioObjectType(std::span<const std::uint8_t> config) {
    BitReader bits(config);
    int type = readAudioObjectType(bits);
    if (type == kSpectralBandReplication || type == kParametricStereo) {
        skipSamplingFrequency(bits);
        bits.read(4); // channel configuration
        skipSamplingFrequency(bits);
        type = readAudioObjectType(bits);
    }
    return type;
}

// An MPEG-4 descriptor in bytes at position: its tag, and its body's bounds.
struct Descriptor {
    int tag = 0;
    std::size_t body = 0;
    std::size_t end = 0;
};

std::optional<Descriptor> readDescriptor(std::span<const std::uint8_t> bytes,
                                         std::size_t position) {
    if (position >= bytes.size()) {
        return std::nullopt;
    }
    Descriptor descriptor;
    descriptor.tag = bytes[position++];
    std::size_t length = 0;
    for (int i = 0; i < 4; ++i) {
        if (position >= bytes.size()) {
            return std::nullopt;
        }
        const std::uint8_t byte = bytes[position++];
        length = (length << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) {
            break;
        }
    }
    descriptor.body = position;
    descriptor.end = position + length;
    if (descriptor.end > bytes.size()) {
        return std::nullopt;
    }
    return descriptor;
}

std::optional<Descriptor> findDescriptor(std::span<const std::uint8_t> bytes, std::size_t begin,
                                         std::size_t end, int tag) {
    for (std::size_t position = begin; position < end;) {
        std::optional<Descriptor> descriptor = readDescriptor(bytes, position);
        if (!descriptor || descriptor->end > end) {
            return std::nullopt;
        }
        if (descriptor->tag == tag) {
            return descriptor;
        }
        position = descriptor->end;
    }
    return std::nullopt;
}

// Whether an esds box describes AAC that the gain tools can change: MPEG-4
// audio whose core is AAC-LC (plain or HE-AAC), or MPEG-2 AAC-LC.
bool describesChangeableAac(ByteSource& file, const Mp4Box& esds) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(
        std::min<std::uint64_t>(esds.end() - esds.payload, kDecoderConfigBytes)));
    bytes.resize(file.readAt(esds.payload, bytes));
    constexpr std::size_t kAfterVersionAndFlags = 4;
    std::optional<Descriptor> stream =
        findDescriptor(bytes, kAfterVersionAndFlags, bytes.size(), 3);
    if (!stream || stream->end - stream->body < 3) {
        return false;
    }
    // ES_ID, then flags that announce optional fields.
    const std::uint8_t flags = bytes[stream->body + 2];
    std::size_t position = stream->body + 3;
    if (flags & 0x80) {
        position += 2; // the stream it depends on
    }
    if (flags & 0x40) {
        position += position < stream->end ? 1 + bytes[position] : 0; // a URL
    }
    if (flags & 0x20) {
        position += 2; // the OCR stream
    }
    std::optional<Descriptor> decoder = findDescriptor(bytes, position, stream->end, 4);
    constexpr std::size_t kDecoderConfigFields = 13;
    if (!decoder || decoder->end - decoder->body < kDecoderConfigFields) {
        return false;
    }
    const int objectType = bytes[decoder->body];
    if (objectType == kMpeg2AacLowComplexity) {
        return true;
    }
    if (objectType != kMpeg4Audio) {
        return false;
    }
    std::optional<Descriptor> specific =
        findDescriptor(bytes, decoder->body + kDecoderConfigFields, decoder->end, 5);
    if (!specific || specific->end == specific->body) {
        return false;
    }
    const auto config = std::span(bytes).subspan(specific->body, specific->end - specific->body);
    return coreAudioObjectType(config) == kAacLowComplexity;
}

// The boxes inside an audio sample entry begin after its fixed fields, whose
// length depends on the entry's version (QuickTime adds fields in 1 and 2).
std::uint64_t sampleEntryChildren(ByteSource& file, const Mp4Box& entry) {
    std::array<std::uint8_t, 2> version{};
    file.readAt(entry.payload + 8, version);
    const int extra = version[1] == 1 ? 16 : version[1] == 2 ? 36 : 0;
    return entry.payload + 28 + extra;
}

AudioFormat classifySampleEntry(ByteSource& file, const Mp4Box& entry) {
    switch (entry.type) {
    case fourCc("alac"):
        return AudioFormat::AppleLossless;
    case fourCc("drms"):
    case fourCc("enca"):
        return AudioFormat::ProtectedAudio;
    case fourCc("mp4a"):
        break;
    default:
        return AudioFormat::Mp4OtherAudio;
    }
    const std::uint64_t children = sampleEntryChildren(file, entry);
    if (children >= entry.end()) {
        return AudioFormat::Mp4OtherAudio;
    }
    std::optional<Mp4Box> esds = findMp4Box(file, children, entry.end(), fourCc("esds"));
    if (!esds) {
        // QuickTime keeps it inside a wave box.
        if (std::optional<Mp4Box> wave = findMp4Box(file, children, entry.end(), fourCc("wave"))) {
            esds = findMp4Box(file, wave->payload, wave->end(), fourCc("esds"));
        }
    }
    return esds && describesChangeableAac(file, *esds) ? AudioFormat::AacInMp4
                                                       : AudioFormat::Mp4OtherAudio;
}

AudioFormat classifySoundDescription(ByteSource& file, const Mp4Box& stsd) {
    // Version and flags, then the number of entries; the first entry follows.
    const std::uint64_t entries = stsd.payload + 8;
    if (entries >= stsd.end()) {
        return AudioFormat::Mp4Unusable;
    }
    std::optional<Mp4Box> entry;
    if (!forEachMp4Box(file, entries, stsd.end(),
                       [&](const Mp4Box& box) {
                           entry = box;
                           return false;
                       }) ||
        !entry) {
        return AudioFormat::Mp4Unusable;
    }
    return classifySampleEntry(file, *entry);
}

} // namespace

AudioFormat classifyMp4(ByteSource& file) {
    std::optional<Mp4Box> movie;
    int movies = 0;
    bool fragmented = false;
    const bool whole = forEachMp4Box(file, 0, file.size(), [&](const Mp4Box& box) {
        if (box.type == fourCc("moov")) {
            movie = box;
            ++movies;
        } else if (box.type == fourCc("moof")) {
            fragmented = true;
        }
        return true;
    });
    if (!whole || movies != 1 || fragmented) {
        return AudioFormat::Mp4Unusable;
    }
    TrackKinds kinds;
    const bool tracksRead =
        forEachMp4Box(file, movie->payload, movie->end(), [&](const Mp4Box& box) {
            if (box.type == fourCc("trak")) {
                noteTrack(file, box, kinds);
            }
            return true;
        });
    if (!tracksRead) {
        return AudioFormat::Mp4Unusable;
    }
    if (kinds.video) {
        return AudioFormat::Mp4Video;
    }
    if (kinds.soundTracks > 1) {
        return AudioFormat::Mp4OtherAudio;
    }
    if (kinds.soundTracks == 0 || !kinds.soundDescription) {
        return AudioFormat::Mp4Unusable;
    }
    return classifySoundDescription(file, *kinds.soundDescription);
}
