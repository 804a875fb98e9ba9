#include "Mp4Rewriter.h"

#include "BigEndian.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr std::uint64_t kFullBoxHeader = 4;

std::vector<std::uint8_t> boxWith(std::uint32_t type, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> box(8 + payload.size());
    writeBigEndian32(box.data(), std::uint32_t(box.size()));
    writeBigEndian32(box.data() + 4, type);
    std::copy(payload.begin(), payload.end(), box.begin() + 8);
    return box;
}

void appendBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes,
                 std::uint64_t begin, std::uint64_t end) {
    out.insert(out.end(), bytes.begin() + std::ptrdiff_t(begin),
               bytes.begin() + std::ptrdiff_t(end));
}

// A child box copied as it is, except that a size of 0 ("to the end of the
// parent") becomes the box's real size: a box added after it would
// otherwise be taken for part of it.
void appendChild(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes,
                 const Mp4Box& child) {
    std::size_t at = out.size();
    appendBytes(out, bytes, child.offset, child.end());
    if (child.headerSize == 8 && readBigEndian32(out.data() + at) == 0) {
        writeBigEndian32(out.data() + at, std::uint32_t(child.size));
    }
}

// A container box rebuilt with one child replaced by replacement, or the
// replacement appended when there was no such child. The skip bytes at the
// start of its payload (a full box's version and flags) are kept.
std::vector<std::uint8_t> withChild(std::span<const std::uint8_t> bytes, const Mp4Box& parent,
                                    std::uint64_t skip, const std::optional<Mp4Box>& old,
                                    const std::vector<std::uint8_t>& replacement) {
    std::vector<std::uint8_t> payload;
    appendBytes(payload, bytes, parent.payload(), parent.payload() + skip);
    std::vector<Mp4Box> children;
    readChildren(bytes, parent, children, skip); // Mp4File checked them
    for (const Mp4Box& child : children) {
        if (old && child.offset == old->offset) {
            payload.insert(payload.end(), replacement.begin(), replacement.end());
        } else {
            appendChild(payload, bytes, child);
        }
    }
    if (!old) {
        payload.insert(payload.end(), replacement.begin(), replacement.end());
    }
    return boxWith(parent.type, payload);
}

// A new meta box as iTunes writes it: a full box with the metadata handler
// ('mdir', made by 'appl') before the list.
std::vector<std::uint8_t> newMeta(const std::vector<std::uint8_t>& ilst) {
    std::vector<std::uint8_t> hdlr(kFullBoxHeader + 4 + 4 + 12 + 1, 0);
    writeBigEndian32(hdlr.data() + kFullBoxHeader + 4, fourCC("mdir"));
    writeBigEndian32(hdlr.data() + kFullBoxHeader + 8, fourCC("appl"));
    std::vector<std::uint8_t> payload(kFullBoxHeader, 0);
    std::vector<std::uint8_t> handler = boxWith(fourCC("hdlr"), hdlr);
    payload.insert(payload.end(), handler.begin(), handler.end());
    payload.insert(payload.end(), ilst.begin(), ilst.end());
    return boxWith(fourCC("meta"), payload);
}

// Calls visit for each chunk offset table (stco or co64) in a movie box.
template <typename Visit>
void forEachChunkOffsetTable(std::span<const std::uint8_t> moov, Visit visit) {
    std::vector<Mp4Box> top;
    std::vector<Mp4Box> tracks;
    if (!readBoxes(moov, 0, moov.size(), top) || top.size() != 1 ||
        !readChildren(moov, top[0], tracks)) {
        return;
    }
    for (const Mp4Box& trak : tracks) {
        std::vector<Mp4Box> level{trak};
        for (std::uint32_t type : {fourCC("mdia"), fourCC("minf"), fourCC("stbl")}) {
            std::vector<Mp4Box> children;
            const Mp4Box* next = nullptr;
            if (level.size() == 1 && readChildren(moov, level[0], children)) {
                next = findBox(children, type);
            }
            level = next ? std::vector<Mp4Box>{*next} : std::vector<Mp4Box>{};
        }
        std::vector<Mp4Box> tables;
        if (trak.type != fourCC("trak") || level.size() != 1 ||
            !readChildren(moov, level[0], tables)) {
            continue;
        }
        for (const Mp4Box& table : tables) {
            if (table.type == fourCC("stco") || table.type == fourCC("co64")) {
                visit(table);
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> Mp4Rewriter::newIlst(std::span<const std::uint8_t> bytes,
                                               const Mp4File& file, const NamePredicate& replaced,
                                               const std::vector<FreeformItem>& items) {
    std::vector<std::uint8_t> payload;
    std::vector<Mp4Box> children;
    if (file.ilst && readChildren(bytes, *file.ilst, children)) {
        for (const Mp4Box& child : children) {
            std::optional<std::string> name = Mp4Metadata::freeformName(bytes, child);
            if (!name || !replaced(*name)) {
                appendChild(payload, bytes, child);
            }
        }
    }
    for (const FreeformItem& item : items) {
        std::vector<std::uint8_t> encoded = Mp4Metadata::encode(item);
        payload.insert(payload.end(), encoded.begin(), encoded.end());
    }
    return boxWith(fourCC("ilst"), payload);
}

std::vector<std::uint8_t> Mp4Rewriter::newMoov(std::span<const std::uint8_t> bytes,
                                               const Mp4File& file,
                                               const std::vector<std::uint8_t>& ilst) {
    std::vector<std::uint8_t> meta =
        file.meta
            ? withChild(bytes, *file.meta, file.metaIsFullBox ? kFullBoxHeader : 0, file.ilst, ilst)
            : newMeta(ilst);
    std::vector<std::uint8_t> udta = file.udta ? withChild(bytes, *file.udta, 0, file.meta, meta)
                                               : boxWith(fourCC("udta"), meta);
    return withChild(bytes, file.moov(), 0, file.udta, udta);
}

bool Mp4Rewriter::moveChunkOffsets(std::vector<std::uint8_t>& moov, std::uint64_t movedFrom,
                                   std::int64_t delta, std::string& error) {
    bool fits = true;
    forEachChunkOffsetTable(moov, [&](const Mp4Box& table) {
        bool wide = table.type == fourCC("co64");
        std::uint64_t entryBytes = wide ? 8 : 4;
        std::uint64_t at = table.payload() + kFullBoxHeader;
        if (table.size - table.headerSize < kFullBoxHeader + 4) {
            return;
        }
        std::uint64_t count = readBigEndian32(moov.data() + at);
        count = std::min(count, (table.end() - at - 4) / entryBytes);
        for (std::uint64_t i = 0; i < count; ++i) {
            std::uint8_t* entry = moov.data() + at + 4 + entryBytes * i;
            std::uint64_t offset = wide ? readBigEndian64(entry) : readBigEndian32(entry);
            if (offset < movedFrom) {
                continue;
            }
            std::uint64_t moved = offset + std::uint64_t(delta);
            if (wide) {
                writeBigEndian64(entry, moved);
            } else if (moved > std::numeric_limits<std::uint32_t>::max()) {
                fits = false;
            } else {
                writeBigEndian32(entry, std::uint32_t(moved));
            }
        }
    });
    if (!fits) {
        error = "its audio would move past what its 32-bit chunk offsets can address";
    }
    return fits;
}

bool Mp4Rewriter::rewrite(std::span<const std::uint8_t> bytes, const Mp4File& file,
                          const NamePredicate& replaced, const std::vector<FreeformItem>& items,
                          std::vector<std::uint8_t>& out, std::string& error) {
    std::vector<std::uint8_t> moov = newMoov(bytes, file, newIlst(bytes, file, replaced, items));
    std::int64_t delta = std::int64_t(moov.size()) - std::int64_t(file.moov().size);
    if (delta != 0 && !moveChunkOffsets(moov, file.moov().end(), delta, error)) {
        return false;
    }
    out.clear();
    out.reserve(bytes.size() + moov.size());
    appendBytes(out, bytes, 0, file.moov().offset);
    out.insert(out.end(), moov.begin(), moov.end());
    appendBytes(out, bytes, file.moov().end(), bytes.size());
    return true;
}
