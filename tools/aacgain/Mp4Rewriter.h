#pragma once
// Rewrites an MP4 file with its freeform metadata items changed. The movie
// box is rebuilt around the new item list (udta, meta and ilst are made when
// missing); when it changes size, every chunk offset of every track that
// points past it moves by the same amount, so the audio stays where the
// tables say.

#include "Mp4File.h"
#include "Mp4Metadata.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Mp4Rewriter {
public:
    using NamePredicate = std::function<bool(std::string_view)>;

    // out := the file with every freeform item whose name `replaced` accepts
    // left out and `items` appended to the list. Every other item keeps its
    // bytes and its place. False, with a reason, when the offsets cannot move.
    static bool rewrite(std::span<const std::uint8_t> bytes, const Mp4File& file,
                        const NamePredicate& replaced, const std::vector<FreeformItem>& items,
                        std::vector<std::uint8_t>& out, std::string& error);

private:
    static std::vector<std::uint8_t> newIlst(std::span<const std::uint8_t> bytes,
                                             const Mp4File& file, const NamePredicate& replaced,
                                             const std::vector<FreeformItem>& items);
    static std::vector<std::uint8_t> newMoov(std::span<const std::uint8_t> bytes,
                                             const Mp4File& file,
                                             const std::vector<std::uint8_t>& ilst);
    static bool moveChunkOffsets(std::vector<std::uint8_t>& moov, std::uint64_t movedFrom,
                                 std::int64_t delta, std::string& error);
};
