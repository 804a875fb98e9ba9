#include "AacRawBlockParser.h"

#include "AacHuffman.h"

#include <algorithm>
#include <utility>

namespace {

enum ElementId { kSingle, kPair, kCoupling, kLfe, kDataStream, kProgramConfig, kFill, kEnd };
enum Book {
    kZeroBook = 0,
    kReservedBook = 12,
    kNoiseBook = 13,
    kIntensityBook2 = 14,
    kIntensityBook = 15
};

constexpr int kEightShortSequence = 2;
constexpr int kScaleFactorZero = 60;
constexpr int kNoiseOffset = 90;
constexpr int kNoiseStartBits = 9;
constexpr int kNoiseStartZero = 256;
// The range in which decoders keep a noise band's energy (ffmpeg clips it
// there and says so), and that of every other scale factor.
constexpr int kLowestNoiseEnergy = -100;
constexpr int kHighestNoiseEnergy = 155;
constexpr int kHighestScaleFactor = 255;
constexpr int kMaxTnsOrderLong = 12;
constexpr int kMaxTnsOrderShort = 7;
constexpr int kSbrData = 13;
constexpr int kSbrDataWithCrc = 14;

bool isIntensityBook(int book) {
    return book == kIntensityBook || book == kIntensityBook2;
}

bool hasSpectralData(int book) {
    return book >= AacHuffman::kFirstSpectralBook && book <= AacHuffman::kLastSpectralBook;
}

} // namespace

AacRawBlockParser::AacRawBlockParser(const std::uint8_t* block, std::size_t size,
                                     const AacBandTables& bands)
    : reader_(block, size), bands_(bands) {}

BlockParse AacRawBlockParser::parse(std::vector<GlobalGainField>& fields, std::string& error) {
    fields.clear();
    if (!parseElements(fields)) {
        error = error_;
        fields.clear();
        return status_;
    }
    return BlockParse::Ok;
}

bool AacRawBlockParser::fail(BlockParse status, std::string reason) {
    status_ = status;
    error_ = std::move(reason);
    return false;
}

// After each piece of the walk: bits past the end read as zeros, so whatever
// was read after the end is meaningless and the block is cut short.
bool AacRawBlockParser::checkInside(const char* what) {
    if (reader_.overrun()) {
        return fail(BlockParse::Damaged, std::string("the block ends inside its ") + what);
    }
    return true;
}

bool AacRawBlockParser::parseElements(std::vector<GlobalGainField>& fields) {
    bool sbr = false;
    for (;;) {
        int id = static_cast<int>(reader_.read(3));
        if (!checkInside("element ids")) {
            return false;
        }
        bool parsed = true;
        switch (id) {
        case kSingle:
        case kLfe:
            parsed = parseSingleChannel(fields);
            break;
        case kPair:
            parsed = parseChannelPair(fields);
            break;
        case kCoupling:
            return fail(BlockParse::Unsupported, "coupling channel elements are not supported");
        case kDataStream:
            parsed = skipDataStream();
            break;
        case kProgramConfig:
            skipProgramConfig(reader_);
            parsed = checkInside("program config element");
            break;
        case kFill:
            parsed = skipFill(sbr);
            break;
        case kEnd: {
            std::size_t left = reader_.bitsLeft();
            if (left >= 8) {
                return fail(BlockParse::Damaged,
                            std::to_string(left) + " bits follow the end element");
            }
            for (GlobalGainField& field : fields) {
                field.blockHasSbr = sbr;
            }
            return true;
        }
        }
        if (!parsed) {
            return false;
        }
    }
}

bool AacRawBlockParser::parseSingleChannel(std::vector<GlobalGainField>& fields) {
    reader_.skip(4); // element_instance_tag
    ChannelStream stream;
    GlobalGainField field{};
    if (!parseChannelStream(false, stream, field)) {
        return false;
    }
    fields.push_back(field);
    return true;
}

bool AacRawBlockParser::parseChannelPair(std::vector<GlobalGainField>& fields) {
    reader_.skip(4); // element_instance_tag
    bool commonWindow = reader_.readBit();
    ChannelStream streams[2];
    bool midSide = false;
    if (commonWindow) {
        if (!parseIcsInfo(streams[0].info) || !parseMidSideMask(streams[0].info, midSide)) {
            return false;
        }
        streams[1].info = streams[0].info;
    }
    GlobalGainField pair[2] = {};
    for (int channel = 0; channel < 2; ++channel) {
        if (!parseChannelStream(commonWindow, streams[channel], pair[channel])) {
            return false;
        }
    }
    bool intensity = streams[0].intensity || streams[1].intensity;
    for (int channel = 0; channel < 2; ++channel) {
        pair[channel].channel = channel;
        pair[channel].pairedChannel = true;
        pair[channel].midSide = midSide;
        pair[channel].intensityStereo = intensity;
        fields.push_back(pair[channel]);
    }
    return true;
}

bool AacRawBlockParser::parseIcsInfo(IcsInfo& info) {
    reader_.skip(1); // ics_reserved_bit
    int windowSequence = static_cast<int>(reader_.read(2));
    reader_.skip(1); // window_shape
    info.shortWindows = windowSequence == kEightShortSequence;
    info.groupCount = 1;
    info.groupLength[0] = 1;
    if (info.shortWindows) {
        info.maxSfb = static_cast<int>(reader_.read(4));
        int grouping = static_cast<int>(reader_.read(7));
        for (int window = 1; window < 8; ++window) {
            if (grouping & (1 << (7 - window))) {
                ++info.groupLength[info.groupCount - 1];
            } else {
                info.groupLength[info.groupCount++] = 1;
            }
        }
    } else {
        info.maxSfb = static_cast<int>(reader_.read(6));
        if (reader_.readBit()) {
            return fail(BlockParse::Damaged, "an AAC-LC channel has predictor data");
        }
    }
    if (info.maxSfb > bandCount(info)) {
        return fail(BlockParse::Damaged, "max_sfb " + std::to_string(info.maxSfb) +
                                             " exceeds the " + std::to_string(bandCount(info)) +
                                             " bands of the window");
    }
    return checkInside("ics_info");
}

// ms_mask_present: 0 none, 1 a bit per band, 2 every band, 3 reserved.
bool AacRawBlockParser::parseMidSideMask(const IcsInfo& info, bool& midSide) {
    int present = static_cast<int>(reader_.read(2));
    if (present == 3) {
        return fail(BlockParse::Damaged, "ms_mask_present has its reserved value");
    }
    midSide = present == 2;
    if (present == 1) {
        for (int i = 0; i < info.groupCount * info.maxSfb; ++i) {
            midSide = reader_.readBit() || midSide;
        }
    }
    return checkInside("mid/side mask");
}

bool AacRawBlockParser::parseChannelStream(bool commonWindow, ChannelStream& stream,
                                           GlobalGainField& field) {
    field.bitOffset = reader_.position();
    field.value = static_cast<int>(reader_.read(8));
    if (!commonWindow && !parseIcsInfo(stream.info)) {
        return false;
    }
    if (!parseSectionData(stream) || !parseScaleFactors(stream, field)) {
        return false;
    }
    if (reader_.readBit() && !parsePulseData(stream.info)) {
        return false;
    }
    if (reader_.readBit() && !parseTnsData(stream.info)) {
        return false;
    }
    if (reader_.readBit()) {
        return fail(BlockParse::Unsupported, "gain control data (AAC SSR) is not supported");
    }
    return checkInside("channel stream") && parseSpectralData(stream);
}

bool AacRawBlockParser::parseSectionData(ChannelStream& stream) {
    const IcsInfo& info = stream.info;
    int lengthBits = info.shortWindows ? 3 : 5;
    unsigned escape = (1u << lengthBits) - 1;
    for (int group = 0; group < info.groupCount; ++group) {
        int band = 0;
        while (band < info.maxSfb) {
            int book = static_cast<int>(reader_.read(4));
            if (book == kReservedBook) {
                return fail(BlockParse::Damaged, "a section uses the reserved codebook 12");
            }
            int length = 0;
            unsigned increment;
            while ((increment = reader_.read(lengthBits)) == escape && !reader_.overrun()) {
                length += static_cast<int>(escape);
            }
            length += static_cast<int>(increment);
            if (!checkInside("section data")) {
                return false;
            }
            if (band + length > info.maxSfb) {
                return fail(BlockParse::Damaged, "a section runs past max_sfb");
            }
            std::fill(stream.books[group] + band, stream.books[group] + band + length,
                      static_cast<std::uint8_t>(book));
            stream.intensity = stream.intensity || (length > 0 && isIntensityBook(book));
            band += length;
        }
    }
    return true;
}

// Scale factors, intensity positions and noise energies are each coded as
// differences from the one before; the scale factors and noise energies start
// from global_gain, so a change of global_gain moves them all.
bool AacRawBlockParser::parseScaleFactors(const ChannelStream& stream, GlobalGainField& field) {
    int scaleFactor = field.value;
    int noiseEnergy = field.value - kNoiseOffset;
    bool firstNoise = true;
    // The lowest and highest step change that keeps every value in range.
    int lowest = -kHighestScaleFactor;
    int highest = kHighestScaleFactor;
    auto keepInRange = [&](int value, int low, int high) {
        lowest = std::max(lowest, low - value);
        highest = std::min(highest, high - value);
    };
    keepInRange(field.value, 0, kHighestScaleFactor);
    for (int group = 0; group < stream.info.groupCount; ++group) {
        for (int band = 0; band < stream.info.maxSfb; ++band) {
            int book = stream.books[group][band];
            if (book == kZeroBook) {
                continue;
            }
            int delta;
            if (book == kNoiseBook && firstNoise) {
                firstNoise = false;
                delta = static_cast<int>(reader_.read(kNoiseStartBits)) - kNoiseStartZero;
            } else {
                int code = AacHuffman::readScaleFactorCode(reader_);
                if (code < 0) {
                    return fail(BlockParse::Damaged, "a scale factor has no valid code");
                }
                delta = code - kScaleFactorZero;
            }
            if (book == kNoiseBook) {
                noiseEnergy += delta;
                keepInRange(noiseEnergy, kLowestNoiseEnergy, kHighestNoiseEnergy);
            } else if (!isIntensityBook(book)) {
                scaleFactor += delta;
                if (scaleFactor < 0 || scaleFactor > kHighestScaleFactor) {
                    return fail(BlockParse::Damaged, "a scale factor leaves 0..255");
                }
                keepInRange(scaleFactor, 0, kHighestScaleFactor);
            }
        }
    }
    field.lowestStep = lowest;
    field.highestStep = highest;
    return checkInside("scale factors");
}

bool AacRawBlockParser::parsePulseData(const IcsInfo& info) {
    if (info.shortWindows) {
        return fail(BlockParse::Damaged, "pulse data in short windows");
    }
    int pulses = static_cast<int>(reader_.read(2)) + 1;
    int startBand = static_cast<int>(reader_.read(6));
    if (startBand >= bandCount(info)) {
        return fail(BlockParse::Damaged, "pulse data starts past the last band");
    }
    int line = bandStart(info, startBand);
    for (int i = 0; i < pulses; ++i) {
        line += static_cast<int>(reader_.read(5));
        reader_.skip(4); // pulse_amp
        if (line >= bandStart(info, bandCount(info))) {
            return fail(BlockParse::Damaged, "a pulse lies past the last spectral line");
        }
    }
    return checkInside("pulse data");
}

bool AacRawBlockParser::parseTnsData(const IcsInfo& info) {
    int windows = info.shortWindows ? 8 : 1;
    int filterCountBits = info.shortWindows ? 1 : 2;
    int lengthBits = info.shortWindows ? 4 : 6;
    int orderBits = info.shortWindows ? 3 : 5;
    int maxOrder = info.shortWindows ? kMaxTnsOrderShort : kMaxTnsOrderLong;
    for (int window = 0; window < windows; ++window) {
        int filters = static_cast<int>(reader_.read(filterCountBits));
        if (filters == 0) {
            continue;
        }
        int coefficientResolution = static_cast<int>(reader_.read(1));
        for (int filter = 0; filter < filters; ++filter) {
            reader_.skip(static_cast<std::size_t>(lengthBits));
            int order = static_cast<int>(reader_.read(orderBits));
            if (order > maxOrder) {
                return fail(BlockParse::Damaged, "a TNS filter's order exceeds AAC-LC's maximum");
            }
            if (order == 0) {
                continue;
            }
            reader_.skip(1); // direction
            int compress = static_cast<int>(reader_.read(1));
            int coefficientBits = 3 + coefficientResolution - compress;
            reader_.skip(static_cast<std::size_t>(order * coefficientBits));
        }
    }
    return checkInside("TNS data");
}

bool AacRawBlockParser::parseSpectralData(const ChannelStream& stream) {
    const IcsInfo& info = stream.info;
    int values[4];
    for (int group = 0; group < info.groupCount; ++group) {
        int band = 0;
        while (band < info.maxSfb) {
            int book = stream.books[group][band];
            int end = band + 1;
            while (end < info.maxSfb && stream.books[group][end] == book) {
                ++end;
            }
            if (hasSpectralData(book)) {
                int lines =
                    (bandStart(info, end) - bandStart(info, band)) * info.groupLength[group];
                int codewords = lines / AacHuffman::valuesPerCodeword(book);
                for (int i = 0; i < codewords; ++i) {
                    if (!AacHuffman::readSpectralCodeword(reader_, book, values)) {
                        return fail(BlockParse::Damaged, "spectral data holds an invalid code");
                    }
                }
                if (!checkInside("spectral data")) {
                    return false;
                }
            }
            band = end;
        }
    }
    return true;
}

bool AacRawBlockParser::skipDataStream() {
    reader_.skip(4); // element_instance_tag
    bool align = reader_.readBit();
    std::size_t count = reader_.read(8);
    if (count == 255) {
        count += reader_.read(8);
    }
    if (align) {
        reader_.byteAlign();
    }
    reader_.skip(count * 8);
    return checkInside("data stream element");
}

void AacRawBlockParser::skipProgramConfig(AacBitReader& reader) {
    reader.skip(4 + 2 + 4); // element_instance_tag, object_type, sampling_frequency_index
    int front = static_cast<int>(reader.read(4));
    int side = static_cast<int>(reader.read(4));
    int back = static_cast<int>(reader.read(4));
    int lfe = static_cast<int>(reader.read(2));
    int data = static_cast<int>(reader.read(3));
    int coupling = static_cast<int>(reader.read(4));
    for (int mixdown = 0; mixdown < 2; ++mixdown) { // mono, then stereo
        if (reader.readBit()) {
            reader.skip(4);
        }
    }
    if (reader.readBit()) { // matrix_mixdown_idx_present
        reader.skip(3);
    }
    reader.skip(
        static_cast<std::size_t>((front + side + back) * 5 + lfe * 4 + data * 4 + coupling * 5));
    reader.byteAlign();
    std::size_t commentBytes = reader.read(8);
    reader.skip(commentBytes * 8);
}

// A fill element's payload is skipped whole; an SBR payload says so in its
// first four bits (extension_type).
bool AacRawBlockParser::skipFill(bool& sbr) {
    std::size_t count = reader_.read(4);
    if (count == 15) {
        count = 14 + reader_.read(8); // 15 + esc_count - 1
    }
    if (count > 0) {
        int type = static_cast<int>(reader_.peek(4));
        sbr = sbr || type == kSbrData || type == kSbrDataWithCrc;
    }
    reader_.skip(count * 8);
    return checkInside("fill element");
}

int AacRawBlockParser::bandStart(const IcsInfo& info, int band) const {
    return info.shortWindows ? bands_.shortBandStart(band) : bands_.longBandStart(band);
}

int AacRawBlockParser::bandCount(const IcsInfo& info) const {
    return info.shortWindows ? bands_.shortBandCount() : bands_.longBandCount();
}
