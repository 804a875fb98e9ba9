#include "AudioFormat.h"

#include "ByteSource.h"
#include "Mp4SoundTrack.h"
#include "MpegAudioFrames.h"

#include <array>
#include <cstring>
#include <optional>

namespace {

// How far after its tags an MP3 file's first frame may lie: some files carry
// padding or junk there.
constexpr std::uint64_t kFirstFrameWindow = 64 * 1024;

bool startsWith(const std::array<std::uint8_t, 12>& head, std::size_t at, const char* text) {
    return std::memcmp(head.data() + at, text, std::strlen(text)) == 0;
}

// Formats known by their first bytes.
std::optional<AudioFormat> formatByMagic(const std::array<std::uint8_t, 12>& head) {
    if (startsWith(head, 4, "ftyp")) {
        return std::nullopt; // MP4: its box tree tells more
    }
    if ((startsWith(head, 0, "RIFF") || startsWith(head, 0, "RF64")) &&
        startsWith(head, 8, "WAVE")) {
        return AudioFormat::Wav;
    }
    if (startsWith(head, 0, "FORM") &&
        (startsWith(head, 8, "AIFF") || startsWith(head, 8, "AIFC"))) {
        return AudioFormat::Aiff;
    }
    if (startsWith(head, 0, "fLaC")) {
        return AudioFormat::Flac;
    }
    if (startsWith(head, 0, "OggS")) {
        return AudioFormat::Ogg;
    }
    return AudioFormat::Unknown;
}

} // namespace

AudioFormat detectAudioFormat(ByteSource& file) {
    if (file.size() == 0) {
        return AudioFormat::Empty;
    }
    std::array<std::uint8_t, 12> head{};
    file.readAt(0, head);
    std::optional<AudioFormat> byMagic = formatByMagic(head);
    if (!byMagic) {
        return classifyMp4(file);
    }
    if (*byMagic != AudioFormat::Unknown) {
        return *byMagic;
    }
    const std::uint64_t audio = skipId3v2Tags(file);
    if (audio != 0) {
        // A tag may also stand before FLAC.
        std::array<std::uint8_t, 4> after{};
        if (file.readAt(audio, after) == after.size() &&
            std::memcmp(after.data(), "fLaC", 4) == 0) {
            return AudioFormat::Flac;
        }
    }
    return findLayer3Frames(file, audio, kFirstFrameWindow) ? AudioFormat::Mp3
                                                            : AudioFormat::Unknown;
}
