#pragma once
// Why an MP4 file is not one whose AAC audio the tool can change.

enum class Mp4Refusal {
    None,
    NotMp4,
    Damaged,
    Fragmented,
    NoAudioTrack,
    AppleLossless,
    Protected,
    Mp3InMp4,
    OtherCodec,
    UnsupportedAacProfile,
};
