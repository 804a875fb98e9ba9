#pragma once
// AAC test audio made at test time by Debian's ffmpeg (its native AAC
// encoder), written as ADTS so that each frame's raw data block can be cut out
// without a container, and decoded by ffmpeg again to compare samples.
#include "AacGlobalGain.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct AdtsStream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> blockOffsets; // of each frame's raw data block in bytes
    std::vector<std::size_t> blockSizes;
    AacAudioConfig config;

    std::size_t blockCount() const { return blockOffsets.size(); }
    std::uint8_t* block(std::size_t i) { return bytes.data() + blockOffsets[i]; }
};

// ffmpeg's lavfi source of music-like test signals: tones, bursts that make
// the encoder switch to short windows, and noise that it codes as noise
// bands. The left and right channels share a tone, so that the encoder codes
// some bands as intensity stereo. The signal is played repeats more times.
std::string testSignal(const std::string& channelExpressions, int rate, int seconds,
                       int repeats = 0);
std::string stereoSignal(int rate, int seconds, int repeats = 0);
std::string monoSignal(int rate, int seconds);
// Both channels alike: the encoder codes them as mid and side.
std::string alikeStereoSignal(int rate, int seconds);

// Encodes ffmpeg's input (lavfi source options, e.g. "-f lavfi -i sine=d=3")
// with the encoder options into an ADTS file in the build tree, made once and
// named after the whole command.
std::filesystem::path encodeAdts(const std::string& input, const std::string& encoderOptions);

AdtsStream readAdts(const std::filesystem::path& path);
void writeAdts(const std::filesystem::path& path, const AdtsStream& stream);

// The interleaved samples ffmpeg decodes from the file, as its decoder's own
// floats; what ffmpeg says on the way (warnings and errors) goes to messages.
std::vector<float> decodeAdts(const std::filesystem::path& path, std::string& messages);

// The global_gain fields of every block; fails the test on a block that is not Ok.
std::vector<std::vector<GlobalGainField>> findAllGlobalGains(AdtsStream& stream);

// A scratch file beside the cached audio, unique to this process.
std::filesystem::path scratchPath(const std::string& name);
