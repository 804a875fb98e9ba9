#include "Mp4File.h"

#include "BigEndian.h"
#include "Mp4AudioEntry.h"

namespace {

constexpr std::uint64_t kFullBoxHeader = 4;

// The child of that type, read into child; false when there is none or the
// box's children are damaged.
bool findChild(std::span<const std::uint8_t> bytes, const Mp4Box& parent, std::uint32_t type,
               Mp4Box& child, std::uint64_t skip = 0) {
    std::vector<Mp4Box> children;
    if (!readChildren(bytes, parent, children, skip)) {
        return false;
    }
    const Mp4Box* found = findBox(children, type);
    if (found == nullptr) {
        return false;
    }
    child = *found;
    return true;
}

// The handler type of a track's media ('soun' for audio).
std::uint32_t handlerType(std::span<const std::uint8_t> bytes, const Mp4Box& mdia) {
    Mp4Box hdlr;
    if (!findChild(bytes, mdia, fourCC("hdlr"), hdlr) ||
        hdlr.size - hdlr.headerSize < kFullBoxHeader + 8) {
        return 0;
    }
    return readBigEndian32(bytes.data() + hdlr.payload() + kFullBoxHeader + 4);
}

} // namespace

bool Mp4File::startsLikeMp4(std::span<const std::uint8_t> head) {
    return head.size() >= 8 && readBigEndian32(head.data() + 4) == fourCC("ftyp") &&
           readBigEndian32(head.data()) >= 8;
}

Mp4Refusal Mp4File::refuse(Mp4Refusal why, std::string detail) {
    detail_ = std::move(detail);
    return why;
}

Mp4Refusal Mp4File::parse(std::span<const std::uint8_t> bytes) {
    if (!startsLikeMp4(bytes)) {
        return refuse(Mp4Refusal::NotMp4, "it is not an MP4 file");
    }
    std::vector<Mp4Box> top;
    if (!readBoxes(bytes, 0, bytes.size(), top)) {
        return refuse(Mp4Refusal::Damaged, "its box structure is damaged or cut short");
    }
    const Mp4Box* moov = findBox(top, fourCC("moov"));
    if (moov == nullptr) {
        return refuse(Mp4Refusal::Damaged, "it has no movie box (moov)");
    }
    if (findBox(top, fourCC("moof")) != nullptr) {
        return refuse(Mp4Refusal::Fragmented, "it is a fragmented MP4 file");
    }
    moov_ = *moov;
    std::vector<Mp4Box> moovChildren;
    if (!readChildren(bytes, moov_, moovChildren)) {
        return refuse(Mp4Refusal::Damaged, "its movie box is damaged");
    }
    if (findBox(moovChildren, fourCC("mvex")) != nullptr) {
        return refuse(Mp4Refusal::Fragmented, "it is a fragmented MP4 file");
    }
    if (!findMetadata(bytes, moovChildren)) {
        return refuse(Mp4Refusal::Damaged, "its metadata boxes are damaged");
    }
    return findAudioTrack(bytes, moovChildren);
}

Mp4Refusal Mp4File::findAudioTrack(std::span<const std::uint8_t> bytes,
                                   const std::vector<Mp4Box>& moovChildren) {
    for (const Mp4Box& trak : moovChildren) {
        Mp4Box mdia;
        Mp4Box minf;
        Mp4Box stbl;
        if (trak.type != fourCC("trak") || !findChild(bytes, trak, fourCC("mdia"), mdia) ||
            handlerType(bytes, mdia) != fourCC("soun")) {
            continue;
        }
        if (!findChild(bytes, mdia, fourCC("minf"), minf) ||
            !findChild(bytes, minf, fourCC("stbl"), stbl)) {
            return refuse(Mp4Refusal::Damaged, "its audio track has no sample table");
        }
        return readAudioTrack(bytes, stbl);
    }
    return refuse(Mp4Refusal::NoAudioTrack, "it has no audio track");
}

Mp4Refusal Mp4File::readAudioTrack(std::span<const std::uint8_t> bytes, const Mp4Box& stbl) {
    Mp4Box stsd;
    if (!findChild(bytes, stbl, fourCC("stsd"), stsd)) {
        return refuse(Mp4Refusal::Damaged, "its audio track has no sample description");
    }
    Mp4AudioEntry entry;
    std::string detail;
    if (Mp4Refusal why = entry.read(bytes, stsd, detail); why != Mp4Refusal::None) {
        return refuse(why, detail);
    }
    Mp4SampleTable table;
    if (!table.read(bytes, stbl, detail)) {
        return refuse(Mp4Refusal::Damaged, detail);
    }
    if (table.samples().empty()) {
        return refuse(Mp4Refusal::Damaged, "its audio track holds no samples");
    }
    // Audio inside the movie box would change with the metadata.
    for (const Mp4Sample& sample : table.samples()) {
        if (sample.offset < moov_.end() && sample.offset + sample.size > moov_.offset) {
            return refuse(Mp4Refusal::Damaged, "its sample table points into its movie box");
        }
    }
    samples_ = table.samples();
    decoderConfig_ = entry.decoderConfig();
    audioConfig_ = entry.config();
    detail_.clear();
    return Mp4Refusal::None;
}

bool Mp4File::findMetadata(std::span<const std::uint8_t> bytes,
                           const std::vector<Mp4Box>& moovChildren) {
    const Mp4Box* udtaBox = findBox(moovChildren, fourCC("udta"));
    if (udtaBox == nullptr) {
        return true;
    }
    udta = *udtaBox;
    std::vector<Mp4Box> children;
    if (!readChildren(bytes, *udta, children)) {
        return false;
    }
    const Mp4Box* metaBox = findBox(children, fourCC("meta"));
    if (metaBox == nullptr) {
        return true;
    }
    meta = *metaBox;
    // A full box starts with version and flags, all zero; a box size there
    // means children follow at once.
    metaIsFullBox = meta->size - meta->headerSize >= kFullBoxHeader &&
                    readBigEndian32(bytes.data() + meta->payload()) == 0;
    children.clear();
    if (!readChildren(bytes, *meta, children, metaIsFullBox ? kFullBoxHeader : 0)) {
        return false;
    }
    if (const Mp4Box* ilstBox = findBox(children, fourCC("ilst"))) {
        ilst = *ilstBox;
        children.clear();
        return readChildren(bytes, *ilst, children);
    }
    return true;
}
