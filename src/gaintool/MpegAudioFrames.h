#pragma once

#include <cstdint>
#include <optional>
#include <span>

class ByteSource;

// The header of one MPEG audio frame.
struct MpegAudioHeader {
    int version = 0;     // 10 for MPEG-1, 20 for MPEG-2, 25 for MPEG-2.5
    int layer = 0;       // 1, 2 or 3
    int sampleRate = 0;  // Hz
    int bitrate = 0;     // bit/s
    int frameLength = 0; // bytes, header included
};

// The frame header in the first four bytes, or nothing when they are not one
// with a known bitrate and sample rate (a free-format frame has no length).
std::optional<MpegAudioHeader> parseMpegAudioHeader(std::span<const std::uint8_t> bytes);

// So many Layer III frames must follow one another, each header exactly where
// the one before ends, before bytes count as MP3: audio of other formats holds
// chance frame headers, rarely two in a row.
inline constexpr int kLayer3ChainLength = 4;

// The offset of the first of kLayer3ChainLength Layer III frames with the same
// version and sample rate, each beginning where the one before ends, starting
// at from or within window bytes after it; nothing when there are none.
std::optional<std::uint64_t> findLayer3Frames(ByteSource& file, std::uint64_t from,
                                              std::uint64_t window);

// Where the audio of a file begins after the ID3v2 tags at its start (0 when
// it has none).
std::uint64_t skipId3v2Tags(ByteSource& file);
