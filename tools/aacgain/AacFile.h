#pragma once
// One MP4 file with AAC audio, as the gain tool works on it: its recorded
// tags, its analysis (the decoded audio and its global_gain range), a
// lossless gain change, and tag changes. The file is held in memory; every
// change goes to the disk through FileReplace, checked before it replaces
// the file, and the held copy follows.

#include "AacFrameGains.h"
#include "AacGainTags.h"
#include "AnalysisSink.h"
#include "FileReplace.h"
#include "Mp4File.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class AacFile {
public:
    using Progress = std::function<void(int percent)>;

    explicit AacFile(std::string path) : path_(std::move(path)) {}

    // Reads and parses the file. Mp4Refusal::NotMp4 when it is no MP4 file
    // (or cannot be read); otherwise None or why the tool cannot change it,
    // with detail() in words.
    Mp4Refusal open();
    const std::string& detail() const { return detail_; }

    AacGainTags tags() const;

    // Walks every block's global_gain fields and, with decode, sends the
    // decoded audio to sink. False with the reason when a block is damaged.
    bool analyze(AnalysisSink& sink, bool decode, std::string& error);
    int minimumGain() const { return gains_ ? gains_->minimum() : 0; }
    int maximumGain() const { return gains_ ? gains_->maximum() : 0; }

    // Adds left and right to the global_gain fields (AacFrameGains::apply)
    // and records the change in the undo item, in one replacement of the
    // file. Nothing is written when it returns false.
    bool changeGain(int left, int right, const Progress& progress, std::string& error);

    // Replaces the tool's items by those of tags; no write when they are
    // already there.
    bool writeTags(const AacGainTags& tags, std::string& error);
    bool removeTags(std::string& error) { return writeTags(AacGainTags{}, error); }

private:
    bool readGains(std::string& error);
    bool decodesCleanly(std::span<const std::uint8_t> bytes, const Mp4File& file,
                        const Progress& progress, std::string& error) const;
    bool samplesEqualBut(std::span<const std::uint8_t> written, const Mp4File& file,
                         const AacFrameGains* changed) const;
    bool commit(const std::vector<std::uint8_t>& bytes, const FileReplace::Verify& verify,
                std::string& error);

    std::string path_;
    std::string detail_;
    std::vector<std::uint8_t> bytes_;
    Mp4File file_;
    std::optional<AacFrameGains> gains_;
};
