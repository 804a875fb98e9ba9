#pragma once

#include <cstdint>

class ByteSource;

// What a file holds, told from its content, never from its name.
enum class AudioFormat : std::uint8_t {
    Empty,          // no bytes at all
    Mp3,            // MPEG audio Layer III frames, after an optional ID3v2 tag
    AacInMp4,       // AAC-LC or HE-AAC, the one sound track of an MP4 file (.m4a, .m4b)
    AppleLossless,  // Apple Lossless in an MP4 file
    ProtectedAudio, // encrypted audio in an MP4 file (.m4p)
    Mp4Video,       // an MP4 file with a video track
    Mp4OtherAudio,  // an MP4 file whose sound is neither of the above (MPEG audio, AAC Main, ...)
    Mp4Unusable,    // an MP4 file whose box tree is cut, damaged, fragmented or has no sound
    Wav,
    Aiff,
    Flac,
    Ogg,
    Unknown, // nothing the gain tools could take
};

// Reads the head of the file (and an MP4 file's box tree, never its audio)
// to tell its format. A short or failing read counts as the end of the file.
AudioFormat detectAudioFormat(ByteSource& file);
