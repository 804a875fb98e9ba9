#include "AacFile.h"

#include "AacDecoder.h"
#include "Mp4Rewriter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kBlocksPerProgressStep = 200;

int percentThrough(const Mp4Sample& sample, std::size_t fileSize) {
    return fileSize == 0 ? 0 : int(double(sample.offset) * 100.0 / double(fileSize));
}

// The ilst children other than the tool's items, byte for byte in order.
std::vector<std::vector<std::uint8_t>> otherItems(std::span<const std::uint8_t> bytes,
                                                  const Mp4File& file) {
    std::vector<std::vector<std::uint8_t>> items;
    std::vector<Mp4Box> children;
    if (!file.ilst || !readChildren(bytes, *file.ilst, children)) {
        return items;
    }
    for (const Mp4Box& child : children) {
        std::optional<std::string> name = Mp4Metadata::freeformName(bytes, child);
        if (!name || !AacGainTags::isToolItem(*name)) {
            items.emplace_back(bytes.begin() + std::ptrdiff_t(child.offset),
                               bytes.begin() + std::ptrdiff_t(child.end()));
        }
    }
    return items;
}

std::vector<FreeformItem> toolItems(std::span<const std::uint8_t> bytes, const Mp4File& file) {
    std::vector<FreeformItem> items = Mp4Metadata::readFreeformItems(bytes, file.ilst);
    std::erase_if(items,
                  [](const FreeformItem& item) { return !AacGainTags::isToolItem(item.name); });
    return items;
}

} // namespace

Mp4Refusal AacFile::open() {
    if (!FileReplace::read(path_, bytes_)) {
        detail_ = "it cannot be read";
        return Mp4Refusal::NotMp4;
    }
    Mp4Refusal why = file_.parse(bytes_);
    detail_ = file_.detail();
    return why;
}

AacGainTags AacFile::tags() const {
    return AacGainTags::fromItems(Mp4Metadata::readFreeformItems(bytes_, file_.ilst));
}

bool AacFile::readGains(std::string& error) {
    if (gains_) {
        return true;
    }
    AacFrameGains gains;
    if (!gains.read(bytes_, file_, error)) {
        return false;
    }
    gains_ = std::move(gains);
    return true;
}

bool AacFile::analyze(AnalysisSink& sink, bool decode, std::string& error) {
    if (!readGains(error)) {
        return false;
    }
    if (!decode) {
        return true;
    }
    AacDecoder decoder;
    if (!decoder.open(file_.decoderConfig(), error)) {
        return false;
    }
    const std::vector<Mp4Sample>& samples = file_.samples();
    unsigned long sampleRate = 0;
    int channels = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        DecodedFrame frame;
        if (!decoder.decode(bytes_.data() + samples[i].offset, samples[i].size, frame, error)) {
            error = "its AAC block " + std::to_string(i + 1) + " cannot be decoded: " + error;
            return false;
        }
        if (frame.frames == 0) {
            continue; // the decoder's first block primes it
        }
        if (sampleRate == 0) {
            sampleRate = frame.sampleRate;
            channels = frame.channels;
            if (!sink.begin(sampleRate, channels, error)) {
                return false;
            }
        } else if (frame.sampleRate != sampleRate || frame.channels != channels) {
            error = "its sample rate or channel count changes within the track";
            return false;
        }
        if (!sink.samples(frame, error)) {
            return false;
        }
        if ((i + 1) % kBlocksPerProgressStep == 0) {
            sink.progress(percentThrough(samples[i], bytes_.size()));
        }
    }
    return true;
}

bool AacFile::decodesCleanly(std::span<const std::uint8_t> bytes, const Mp4File& file,
                             const Progress& progress, std::string& error) const {
    AacDecoder decoder;
    if (!decoder.open(file.decoderConfig(), error)) {
        return false;
    }
    const std::vector<Mp4Sample>& samples = file.samples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        DecodedFrame frame;
        if (!decoder.decode(bytes.data() + samples[i].offset, samples[i].size, frame, error)) {
            error = "the changed AAC block " + std::to_string(i + 1) + " would not decode (" +
                    error + ")";
            return false;
        }
        if (progress && (i + 1) % kBlocksPerProgressStep == 0) {
            progress(percentThrough(samples[i], bytes.size()));
        }
    }
    return true;
}

bool AacFile::samplesEqualBut(std::span<const std::uint8_t> written, const Mp4File& file,
                              const AacFrameGains* changed) const {
    const std::vector<Mp4Sample>& before = file_.samples();
    const std::vector<Mp4Sample>& after = file.samples();
    if (before.size() != after.size()) {
        return false;
    }
    std::vector<std::uint8_t> block;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i].size != after[i].size) {
            return false;
        }
        block.assign(written.begin() + std::ptrdiff_t(after[i].offset),
                     written.begin() + std::ptrdiff_t(after[i].offset + after[i].size));
        if (changed != nullptr) {
            gains_->restoreInto(block.data(), i);
        }
        if (!std::equal(block.begin(), block.end(),
                        bytes_.begin() + std::ptrdiff_t(before[i].offset))) {
            return false;
        }
    }
    return true;
}

bool AacFile::commit(const std::vector<std::uint8_t>& bytes, const FileReplace::Verify& verify,
                     std::string& error) {
    if (!FileReplace::replace(path_, bytes, verify, error)) {
        return false;
    }
    bytes_ = bytes;
    Mp4Refusal why = file_.parse(bytes_);
    detail_ = file_.detail();
    return why == Mp4Refusal::None;
}

bool AacFile::changeGain(int left, int right, const Progress& progress, std::string& error) {
    if (!readGains(error)) {
        return false;
    }
    std::vector<std::uint8_t> changed = bytes_;
    if (!gains_->apply(changed, file_, left, right, error)) {
        return false;
    }
    AacGainTags::Undo undo = tags().undo.value_or(AacGainTags::Undo{});
    undo.left -= left;
    undo.right -= right;
    undo.wrap = false;
    AacGainTags undoOnly;
    undoOnly.undo = undo;
    std::vector<FreeformItem> undoItem = undoOnly.toItems();
    std::vector<std::uint8_t> out;
    auto isUndo = [&](std::string_view name) { return name == undoItem.front().name; };
    if (!Mp4Rewriter::rewrite(changed, file_, isUndo, undoItem, out, error)) {
        return false;
    }
    std::optional<AacFrameGains> changedGains;
    auto verify = [&](std::span<const std::uint8_t> written, std::string& why) {
        Mp4File check;
        AacFrameGains gains;
        why = "its changed copy did not check out";
        if (check.parse(written) != Mp4Refusal::None || !gains.read(written, check, why) ||
            !gains_->movedBy(gains, left, right) || !samplesEqualBut(written, check, &*gains_) ||
            otherItems(written, check) != otherItems(bytes_, file_) ||
            AacGainTags::fromItems(Mp4Metadata::readFreeformItems(written, check.ilst)).undo !=
                undo) {
            return false;
        }
        changedGains = std::move(gains);
        return decodesCleanly(written, check, progress, why);
    };
    if (!commit(out, verify, error)) {
        return false;
    }
    gains_ = std::move(changedGains);
    return true;
}

bool AacFile::writeTags(const AacGainTags& tags, std::string& error) {
    std::vector<FreeformItem> items = tags.toItems();
    if (toolItems(bytes_, file_) == items) {
        return true;
    }
    std::vector<std::uint8_t> out;
    if (!Mp4Rewriter::rewrite(bytes_, file_, AacGainTags::isToolItem, items, out, error)) {
        return false;
    }
    auto verify = [&](std::span<const std::uint8_t> written, std::string& why) {
        Mp4File check;
        why = "its rewritten copy did not check out";
        return check.parse(written) == Mp4Refusal::None &&
               samplesEqualBut(written, check, nullptr) && toolItems(written, check) == items &&
               otherItems(written, check) == otherItems(bytes_, file_);
    };
    return commit(out, verify, error);
}
