#pragma once
// The AAC bitstream as far as a lossless loudness change needs it: the
// decoder configuration of an MP4 track, the walk of one raw data block (one
// MP4 sample, or an ADTS frame without its header) down to every channel
// stream's 8-bit global_gain, and the change of those fields in place.
//
//   AacAudioConfig config;
//   parseAudioSpecificConfig(esdsBytes, esdsSize, config, error);
//   std::vector<GlobalGainField> fields;
//   if (findGlobalGains(block, size, config, fields, error) == BlockParse::Ok &&
//       applyStepChange(block, fields, steps, GainChannels::Both, error)) { ... }
//
// One step changes a channel's level by 2^(1/4), 1.5 dB. The block keeps its
// size and every bit but the global_gain fields changed. Only the AAC-LC core
// is parsed: HE-AAC's SBR data rides in fill elements, which are skipped; its
// band energies are absolute, not relative to the core's global_gain, so a
// change of the core alone would leave the high band as it was, and
// applyStepChange refuses blocks that carry SBR data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// From the MP4 track's esds AudioSpecificConfig.
struct AacAudioConfig {
    // 2 = AAC-LC; 5 or 29 = HE-AAC or HE-AACv2 (an LC core; SBR and PS ride in
    // fill elements).
    int audioObjectType = 0;
    // Of the core; an explicit frequency maps to the index whose bands it uses.
    int samplingFrequencyIndex = 0;
    int channelConfiguration = 0;
    // 960-sample frames.
    bool frameLengthFlag = false;
};

// Reads an AudioSpecificConfig. False, with the reason, when the bytes are no
// well-formed configuration; a well-formed configuration of a kind the walk
// does not handle (AAC Main, SSR, LTP, the error-resilient types) reads as it
// is and findGlobalGains answers Unsupported. For HE-AAC whose core is not
// AAC-LC, audioObjectType holds the core's type.
bool parseAudioSpecificConfig(const std::uint8_t* bytes, std::size_t size, AacAudioConfig& config,
                              std::string& error);

struct GlobalGainField {
    // From the start of the block.
    std::size_t bitOffset;
    // 0..255.
    int value;
    // 0 = the first channel of its element (left or mid), 1 = the second
    // (right or side); 0 for a single channel or LFE element.
    int channel;
    // It belongs to a channel pair element.
    bool pairedChannel;
    // Its pair codes some band as mid/side (ms_mask_present 2, or 1 with a
    // band's bit set).
    bool midSide;
    // Its pair codes some band as intensity stereo: the second channel takes
    // that band from the first.
    bool intensityStereo;
    // Its block carries SBR data (HE-AAC) in a fill element.
    bool blockHasSbr;
    // The step changes this channel stream takes with its global_gain, every
    // band's scale factor (0..255) and every noise energy (-100..155, where
    // decoders keep it) in range: a change n is valid when
    // lowestStep <= n <= highestStep.
    int lowestStep;
    int highestStep;
};

enum class BlockParse { Ok, Unsupported, Damaged };

// Walks one raw data block (one MP4 sample) to every channel stream's
// global_gain, in bitstream order. Ok only when the walk ends at the end
// element inside the block with fewer than 8 bits left over; never reads
// past size.
BlockParse findGlobalGains(const std::uint8_t* block, std::size_t size,
                           const AacAudioConfig& config, std::vector<GlobalGainField>& fields,
                           std::string& error);

void writeGlobalGain(std::uint8_t* block, std::size_t bitOffset, int value);

// Which channel streams a change touches: every one, or the first (left) or
// second (right) channel of every channel pair.
enum class GainChannels { Both, First, Second };

// Checks a change of steps on the fields of one block: empty when it can be
// made, otherwise why not: a field would leave its range; the block carries
// SBR data; a one-channel change of a block with a single channel or LFE
// element (as for mono MP3), or of a pair coded as mid/side or intensity
// stereo, where it would change both channels or neither cleanly.
std::string checkStepChange(const std::vector<GlobalGainField>& fields, int steps,
                            GainChannels channels);

// Changes the chosen global_gain fields by steps when checkStepChange allows
// it; otherwise writes nothing and gives the reason.
bool applyStepChange(std::uint8_t* block, const std::vector<GlobalGainField>& fields, int steps,
                     GainChannels channels, std::string& error);
