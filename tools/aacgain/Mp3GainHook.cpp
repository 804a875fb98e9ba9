// mp3gain's side of the AAC path: each MP4 file named on the command line
// gets one AacFile for the run, and mp3gain's per-file steps reach it
// through the functions declared in Mp3GainHook.h.
#include "Mp3GainHook.h"

#include "AacFile.h"
#include "Mp4File.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include "apetag.h"
#include "gain_analysis.h"
#include "id3tag.h"

// mp3gain.c's globals and helpers.
extern int gSuccess;
extern int QuietMode;
extern double lastfreq;
unsigned long reportPercentAnalyzed(unsigned long percent, unsigned long bytes);
unsigned long reportPercentWritten(unsigned long percent, unsigned long bytes);
void convert_decout(float* decout, int nprocsamp, int nchan, Float_t* lsamples, Float_t* rsamples);
float find_maxsample(float* decout, int nsamples, float maxsample);
}

namespace {

// What becomes of a file: mp3gain's MP3 code, or the AAC path, which
// changes it (an MP4 with AAC audio) or refuses it (another MP4, or a WAV,
// AIFF or FLAC file, in which MP3 code would find chance frame headers).
struct Entry {
    enum class State { Mp3Code, Handled, Refused, Failed };
    State state = State::Mp3Code;
    bool reported = false;
    std::string refusal;
    std::unique_ptr<AacFile> file;
};

std::vector<std::uint8_t> headOf(const std::string& path) {
    std::vector<std::uint8_t> head(12);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return head;
}

bool beginsAsOtherFormat(const std::vector<std::uint8_t>& head) {
    auto begins = [&](const char* magic) {
        return head.size() >= 4 && std::equal(head.begin(), head.begin() + 4, magic);
    };
    return begins("RIFF") || begins("RF64") || begins("FORM") || begins("fLaC");
}

Entry& entryFor(const char* filename) {
    static std::map<std::string, Entry> entries;
    auto [found, added] = entries.try_emplace(filename);
    Entry& entry = found->second;
    if (!added) {
        return entry;
    }
    std::vector<std::uint8_t> head = headOf(filename);
    if (Mp4File::startsLikeMp4(head)) {
        entry.file = std::make_unique<AacFile>(filename);
        bool handled = entry.file->open() == Mp4Refusal::None;
        entry.state = handled ? Entry::State::Handled : Entry::State::Refused;
        entry.refusal = "cannot be handled: " + entry.file->detail();
    } else if (beginsAsOtherFormat(head)) {
        entry.state = Entry::State::Refused;
        entry.refusal = "is not an MPEG audio file (it begins as a WAV, AIFF or FLAC file does) "
                        "and is left unchanged";
    }
    return entry;
}

// One line on the error stream, after what is already on the output stream.
void errorLine(const char* filename, const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s %s\n", filename, what.c_str());
    std::fflush(stderr);
    gSuccess = 0;
}

AacFile* handled(const char* filename) {
    Entry& entry = entryFor(filename);
    return entry.state == Entry::State::Handled ? entry.file.get() : nullptr;
}

bool ownedByAacPath(const char* filename) {
    return entryFor(filename).state != Entry::State::Mp3Code;
}

AacGainTags tagsFrom(const MP3GainTagInfo& info) {
    AacGainTags tags;
    if (info.haveTrackGain) {
        tags.trackGain = info.trackGain;
    }
    if (info.haveTrackPeak) {
        tags.trackPeak = info.trackPeak;
    }
    if (info.haveAlbumGain) {
        tags.albumGain = info.albumGain;
    }
    if (info.haveAlbumPeak) {
        tags.albumPeak = info.albumPeak;
    }
    if (info.haveUndo) {
        tags.undo = AacGainTags::Undo{info.undoLeft, info.undoRight, info.undoWrap != 0};
    }
    if (info.haveMinMaxGain) {
        tags.minMax = AacGainTags::MinMax{info.minGain, info.maxGain};
    }
    if (info.haveAlbumMinMaxGain) {
        tags.albumMinMax = AacGainTags::MinMax{info.albumMinGain, info.albumMaxGain};
    }
    return tags;
}

void copyInto(const AacGainTags& tags, MP3GainTagInfo& info) {
    if (tags.trackGain) {
        info.haveTrackGain = 1;
        info.trackGain = *tags.trackGain;
    }
    if (tags.trackPeak) {
        info.haveTrackPeak = 1;
        info.trackPeak = *tags.trackPeak;
    }
    if (tags.albumGain) {
        info.haveAlbumGain = 1;
        info.albumGain = *tags.albumGain;
    }
    if (tags.albumPeak) {
        info.haveAlbumPeak = 1;
        info.albumPeak = *tags.albumPeak;
    }
    if (tags.undo) {
        info.haveUndo = 1;
        info.undoLeft = tags.undo->left;
        info.undoRight = tags.undo->right;
        info.undoWrap = tags.undo->wrap;
    }
    if (tags.minMax) {
        info.haveMinMaxGain = 1;
        info.minGain = static_cast<unsigned char>(tags.minMax->minimum);
        info.maxGain = static_cast<unsigned char>(tags.minMax->maximum);
    }
    if (tags.albumMinMax) {
        info.haveAlbumMinMaxGain = 1;
        info.albumMinGain = static_cast<unsigned char>(tags.albumMinMax->minimum);
        info.albumMaxGain = static_cast<unsigned char>(tags.albumMinMax->maximum);
    }
}

// The decoded audio into mp3gain's peak search and loudness analysis, as
// its MP3 path feeds them.
class Mp3GainAnalysis : public AnalysisSink {
public:
    Mp3GainAnalysis(bool loudness, bool initialise, double& maxsample, int& first,
                    unsigned long fileSize)
        : loudness_(loudness), initialise_(initialise), maxsample_(maxsample), first_(first),
          fileSize_(fileSize) {}

    bool begin(unsigned long sampleRate, int channels, std::string& error) override {
        if (channels < 1 || channels > 2) {
            error = "has " + std::to_string(channels) + " channels after decoding";
            return false;
        }
        if (!initialise_) {
            return true;
        }
        // mp3gain keeps the rate in kHz.
        double rate = double(sampleRate) / 1000.0;
        bool started = true;
        if (first_) {
            started = InitGainAnalysis(long(sampleRate)) == INIT_GAIN_ANALYSIS_OK;
            first_ = 0;
        } else if (rate != lastfreq) {
            started = ResetSampleFrequency(long(sampleRate)) == INIT_GAIN_ANALYSIS_OK;
        }
        lastfreq = rate;
        if (!started) {
            error = "has a sample rate of " + std::to_string(sampleRate) +
                    " Hz, which the loudness analysis does not handle";
        }
        return started;
    }

    bool samples(const DecodedFrame& frame, std::string& error) override {
        left_.resize(frame.frames);
        right_.resize(frame.frames);
        float* decoded = const_cast<float*>(frame.samples);
        int count = int(frame.frames);
        convert_decout(decoded, count, frame.channels, left_.data(), right_.data());
        maxsample_ = find_maxsample(decoded, count * frame.channels, float(maxsample_));
        if (loudness_ && AnalyzeSamples(left_.data(), right_.data(), frame.frames,
                                        frame.channels) == GAIN_ANALYSIS_ERROR) {
            error = "cannot be analysed further (the analysis ran out of time)";
            return false;
        }
        return true;
    }

    void progress(int percent) override {
        if (!QuietMode) {
            reportPercentAnalyzed(static_cast<unsigned long>(percent), fileSize_);
        }
    }

private:
    bool loudness_;
    bool initialise_;
    double& maxsample_;
    int& first_;
    unsigned long fileSize_;
    std::vector<Float_t> left_;
    std::vector<Float_t> right_;
};

long sizeOf(const char* filename) {
    std::FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) {
        return 0;
    }
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size;
}

} // namespace

extern "C" int veltoAacRefuses(char* filename) {
    Entry& entry = entryFor(filename);
    if (entry.state != Entry::State::Refused) {
        return 0;
    }
    if (!entry.reported) {
        entry.reported = true;
        errorLine(filename, entry.refusal);
    }
    return 1;
}

extern "C" int veltoAacOwns(char* filename) {
    return ownedByAacPath(filename);
}

extern "C" int veltoAacHandles(char* filename) {
    return handled(filename) != nullptr;
}

extern "C" int veltoAacAnalyze(char* filename, int decode, int loudness, int initialise,
                               double* maxsample, unsigned char* maxgain, unsigned char* mingain,
                               int* first) {
    Entry& entry = entryFor(filename);
    Mp3GainAnalysis analysis(loudness != 0, initialise != 0, *maxsample, *first,
                             static_cast<unsigned long>(sizeOf(filename)));
    std::string error;
    if (entry.state != Entry::State::Handled ||
        !entry.file->analyze(analysis, decode != 0, error)) {
        entry.state = Entry::State::Failed;
        errorLine(filename, "cannot be analysed: " + error);
        return 0;
    }
    *maxgain = static_cast<unsigned char>(entry.file->maximumGain());
    *mingain = static_cast<unsigned char>(entry.file->minimumGain());
    return 1;
}

extern "C" int veltoAacChangeGain(char* filename, int leftgainchange, int rightgainchange) {
    AacFile* file = handled(filename);
    if (file == nullptr) {
        errorLine(filename, "was not changed: it cannot be handled");
        return 1;
    }
    if (leftgainchange == 0 && rightgainchange == 0) {
        return 0;
    }
    unsigned long size = static_cast<unsigned long>(sizeOf(filename));
    auto progress = [size](int percent) {
        if (!QuietMode) {
            reportPercentWritten(static_cast<unsigned long>(percent), size);
        }
    };
    std::string error;
    if (!file->changeGain(leftgainchange, rightgainchange, progress, error)) {
        errorLine(filename, "was not changed: " + error);
        return 1;
    }
    return 0;
}

extern "C" int veltoReadTags(char* filename, MP3GainTagInfo* info, FileTagsStruct* fileTags) {
    if (!ownedByAacPath(filename)) {
        return ReadMP3GainAPETag(filename, info, fileTags);
    }
    if (AacFile* file = handled(filename)) {
        copyInto(file->tags(), *info);
    }
    return 0;
}

extern "C" int veltoWriteTags(char* filename, MP3GainTagInfo* info, FileTagsStruct* fileTags,
                              int saveTimeStamp) {
    if (!ownedByAacPath(filename)) {
        return WriteMP3GainAPETag(filename, info, fileTags, saveTimeStamp);
    }
    std::string error;
    AacFile* file = handled(filename);
    if (file != nullptr && !file->writeTags(tagsFrom(*info), error)) {
        errorLine(filename, "kept its old tags: " + error);
    }
    return 0;
}

extern "C" int veltoRemoveTags(char* filename, int saveTimeStamp) {
    if (!ownedByAacPath(filename)) {
        return RemoveMP3GainAPETag(filename, saveTimeStamp);
    }
    std::string error;
    AacFile* file = handled(filename);
    if (file != nullptr && !file->removeTags(error)) {
        errorLine(filename, "kept its tags: " + error);
    }
    return 0;
}

extern "C" int veltoReadId3Tags(char* filename, MP3GainTagInfo* info) {
    return ownedByAacPath(filename) ? 0 : ReadMP3GainID3Tag(filename, info);
}

extern "C" int veltoWriteId3Tags(char* filename, MP3GainTagInfo* info, int saveTimeStamp) {
    if (!ownedByAacPath(filename)) {
        return WriteMP3GainID3Tag(filename, info, saveTimeStamp);
    }
    veltoWriteTags(filename, info, nullptr, saveTimeStamp);
    // An MP4 keeps its values in one place: mp3gain's removal of the APE tag
    // that follows a successful ID3 write must not remove them again.
    return -1;
}

extern "C" int veltoRemoveId3Tags(char* filename, int saveTimeStamp) {
    return ownedByAacPath(filename) ? 0 : RemoveMP3GainID3Tag(filename, saveTimeStamp);
}
