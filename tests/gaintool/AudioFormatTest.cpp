#include "AudioFormat.h"
#include "ByteSource.h"
#include "GainToolTestSupport.h"
#include "ReadOnlyFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

AudioFormat formatOf(const std::string& bytes) {
    MemoryBytes source(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return detectAudioFormat(source);
}

std::string bigEndian(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = bytes - 1; i >= 0; --i) {
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return text;
}

// One MPEG audio frame: its four header bytes and zeros up to its length.
std::string frame(const char (&header)[5], int length) {
    std::string bytes(static_cast<std::size_t>(length), '\0');
    bytes.replace(0, 4, header, 4);
    return bytes;
}
// MPEG-1 Layer III, 128 kbit/s at 44.1 kHz (417 bytes), and the same at 48 kHz (384 bytes).
std::string layer3At44(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += frame("\xFF\xFB\x90\x00", 417);
    }
    return bytes;
}
const std::string kLayer3At48 = frame("\xFF\xFB\x94\x00", 384);
// MPEG-1 Layer II, 128 kbit/s at 44.1 kHz.
const std::string kLayer2 = frame("\xFF\xFD\x90\x00", 417);

std::string id3v2Tag(std::size_t bodySize) {
    std::string size;
    for (int shift = 21; shift >= 0; shift -= 7) {
        size += static_cast<char>((bodySize >> shift) & 0x7F);
    }
    return std::string("ID3\x03\x00\x00", 6) + size + std::string(bodySize, 'T');
}

// --- MP4 boxes
std::string box(const char* type, const std::string& payload) {
    return bigEndian(8 + payload.size(), 4) + type + payload;
}
// A box whose size is written in the 64-bit form.
std::string largeBox(const char* type, const std::string& payload) {
    return bigEndian(1, 4) + type + bigEndian(16 + payload.size(), 8) + payload;
}
std::string descriptor(int tag, const std::string& body) {
    return std::string(1, static_cast<char>(tag)) + static_cast<char>(body.size()) + body;
}
// An AudioSpecificConfig from (bit count, value) pairs.
std::string bits(std::initializer_list<std::pair<int, int>> fields) {
    std::string bytes;
    int used = 0;
    for (auto [count, value] : fields) {
        for (int i = count - 1; i >= 0; --i, ++used) {
            if (used % 8 == 0) {
                bytes += '\0';
            }
            bytes.back() = static_cast<char>(bytes.back() | (((value >> i) & 1) << (7 - used % 8)));
        }
    }
    return bytes;
}
const std::string kAacLowComplexity = bits({{5, 2}, {4, 4}, {4, 2}, {3, 0}});
const std::string kHeAacOverLowComplexity = bits({{5, 5}, {4, 7}, {4, 2}, {4, 4}, {5, 2}});
const std::string kAacMain = bits({{5, 1}, {4, 4}, {4, 2}, {3, 0}});

std::string esds(int objectType, const std::string& audioConfig) {
    const std::string decoderConfig = std::string(1, static_cast<char>(objectType)) + "\x15" +
                                      std::string(11, '\0') + descriptor(5, audioConfig);
    const std::string stream =
        std::string("\0\1\0", 3) + descriptor(4, decoderConfig) + descriptor(6, "\x02");
    return box("esds", std::string(4, '\0') + descriptor(3, stream));
}
std::string audioEntry(const char* type, const std::string& children = "") {
    return box(type, std::string(6, '\0') + bigEndian(1, 2) + std::string(8, '\0') +
                         bigEndian(2, 2) + bigEndian(16, 2) + std::string(4, '\0') +
                         bigEndian(44100u << 16, 4) + children);
}
std::string track(const char* handler, const std::string& sampleEntry) {
    const std::string hdlr = box("hdlr", std::string(8, '\0') + handler + std::string(13, '\0'));
    const std::string stsd = box("stsd", std::string(4, '\0') + bigEndian(1, 4) + sampleEntry);
    return box("trak", box("mdia", box("mdhd", std::string(24, '\0')) + hdlr +
                                       box("minf", box("stbl", stsd))));
}
const std::string kFileType = box("ftyp", std::string("M4A ") + bigEndian(0, 4) + "M4A isom");
const std::string kAudio = box("mdat", std::string(2000, '\xFF'));

std::string mp4(const std::string& tracks) {
    return kFileType + box("moov", box("mvhd", std::string(100, '\0')) + tracks) + kAudio;
}
std::string aacTrack(const std::string& audioConfig = kAacLowComplexity) {
    return track("soun", audioEntry("mp4a", esds(0x40, audioConfig)));
}

} // namespace

TEST(AudioFormat, BytesAreAnMp3OnlyWhenLayer3FramesChain) {
    EXPECT_EQ(formatOf(layer3At44(4)), AudioFormat::Mp3);
    EXPECT_EQ(formatOf(id3v2Tag(3000) + layer3At44(6)), AudioFormat::Mp3);
    EXPECT_EQ(formatOf(std::string(700, '\0') + layer3At44(5)), AudioFormat::Mp3);

    // Chance headers in other data: too few in a row, a frame of another
    // sample rate or layer in the chain, or too far into the file.
    EXPECT_EQ(formatOf(layer3At44(3) + std::string(2000, '\x55')), AudioFormat::Unknown);
    EXPECT_EQ(formatOf(layer3At44(2) + kLayer3At48 + layer3At44(2)), AudioFormat::Unknown);
    EXPECT_EQ(formatOf(kLayer2 + kLayer2 + kLayer2 + kLayer2 + kLayer2), AudioFormat::Unknown);
    EXPECT_EQ(formatOf(std::string(80 * 1024, '\0') + layer3At44(8)), AudioFormat::Unknown);
    std::string noise(64 * 1024, '\0');
    for (std::size_t i = 0; i < noise.size(); i += 97) {
        noise.replace(i, 4, "\xFF\xFB\x90\x00"); // sync words, never where a frame ends
    }
    EXPECT_EQ(formatOf(noise), AudioFormat::Unknown);
}

TEST(AudioFormat, AnMp4IsToldByItsSoundTracksSampleDescription) {
    EXPECT_EQ(formatOf(mp4(aacTrack())), AudioFormat::AacInMp4);
    EXPECT_EQ(formatOf(mp4(aacTrack(kHeAacOverLowComplexity))), AudioFormat::AacInMp4);
    EXPECT_EQ(formatOf(mp4(track("soun", audioEntry("mp4a", esds(0x67, ""))))),
              AudioFormat::AacInMp4);
    EXPECT_EQ(formatOf(mp4(aacTrack(kAacMain))), AudioFormat::Mp4OtherAudio);
    EXPECT_EQ(formatOf(mp4(track("soun", audioEntry("mp4a", esds(0x6B, ""))))),
              AudioFormat::Mp4OtherAudio); // MP3 in an MP4 file
    EXPECT_EQ(formatOf(mp4(track("soun", audioEntry("alac")))), AudioFormat::AppleLossless);
    EXPECT_EQ(formatOf(mp4(track("soun", audioEntry("drms", esds(0x40, kAacLowComplexity))))),
              AudioFormat::ProtectedAudio);
    EXPECT_EQ(formatOf(mp4(track("vide", "") + aacTrack())), AudioFormat::Mp4Video);
    // A chapter track of text beside the sound, as audiobooks have.
    EXPECT_EQ(formatOf(mp4(track("text", "") + aacTrack())), AudioFormat::AacInMp4);

    // The movie box after the audio, or with its size in 64 bits.
    EXPECT_EQ(formatOf(kFileType + kAudio + box("moov", aacTrack())), AudioFormat::AacInMp4);
    EXPECT_EQ(formatOf(kFileType + largeBox("moov", aacTrack()) + kAudio), AudioFormat::AacInMp4);
}

TEST(AudioFormat, AnMp4WithoutAWholeBoxTreeIsUnusable) {
    const std::string whole = mp4(aacTrack());
    EXPECT_EQ(formatOf(whole.substr(0, whole.size() - 1)), AudioFormat::Mp4Unusable);
    EXPECT_EQ(formatOf(kFileType + kAudio), AudioFormat::Mp4Unusable);
    EXPECT_EQ(formatOf(mp4("")), AudioFormat::Mp4Unusable);
    EXPECT_EQ(formatOf(mp4(aacTrack()) + box("moof", "")), AudioFormat::Mp4Unusable);
    std::string tooSmall = whole;
    tooSmall.replace(kFileType.size(), 4, bigEndian(4, 4)); // moov smaller than its header
    EXPECT_EQ(formatOf(tooSmall), AudioFormat::Mp4Unusable);
}

TEST(AudioFormat, OtherFormatsAreToldByTheirFirstBytes) {
    EXPECT_EQ(formatOf(""), AudioFormat::Empty);
    EXPECT_EQ(formatOf("RIFF" + bigEndian(4000, 4) + "WAVEfmt " + layer3At44(6)), AudioFormat::Wav);
    EXPECT_EQ(formatOf("FORM" + bigEndian(4000, 4) + "AIFFCOMM" + std::string(40, '\0')),
              AudioFormat::Aiff);
    EXPECT_EQ(formatOf("fLaC" + std::string(40, '\0')), AudioFormat::Flac);
    EXPECT_EQ(formatOf(id3v2Tag(100) + "fLaC" + std::string(40, '\0')), AudioFormat::Flac);
    EXPECT_EQ(formatOf("OggS" + std::string(40, '\0')), AudioFormat::Ogg);
    EXPECT_EQ(formatOf("just some text"), AudioFormat::Unknown);
}

// The test audio holds a file of every kind a real library has, made by
// lame, sox and ffmpeg.
TEST(AudioFormat, TheFilesOfARealLibraryAreToldByTheirContentNotTheirName) {
    const std::vector<std::pair<const char*, AudioFormat>> files = {
        {"kind-song.mp3", AudioFormat::Mp3},
        {"kind-cut.mp3", AudioFormat::Mp3},
        {"kind-song.m4a", AudioFormat::AacInMp4},
        {"kind-aac.mp3", AudioFormat::AacInMp4},
        {"kind-book.m4b", AudioFormat::AacInMp4},
        {"kind-lossless.m4a", AudioFormat::AppleLossless},
        {"kind-protected.m4p", AudioFormat::ProtectedAudio},
        {"kind-cut.m4a", AudioFormat::Mp4Unusable},
        {"kind-song.wav", AudioFormat::Wav},
        {"kind-song.aiff", AudioFormat::Aiff},
        {"kind-song.flac", AudioFormat::Flac},
        {"kind-empty.mp3", AudioFormat::Empty},
    };
    for (const auto& [name, format] : files) {
        ReadOnlyFile file(toText(pristineTestLibrary() / name));
        ASSERT_EQ(file.state(), ReadOnlyFile::State::Open) << name;
        EXPECT_EQ(detectAudioFormat(file), format) << name;
    }
    EXPECT_EQ(ReadOnlyFile(toText(pristineTestLibrary() / "no-such-file.mp3")).state(),
              ReadOnlyFile::State::Missing);
}
