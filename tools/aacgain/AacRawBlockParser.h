#pragma once
// Walks one AAC-LC raw data block element by element and each channel stream
// through its side information, scale factors and spectral data, collecting
// the global_gain fields (AacGlobalGain.h has the public interface).
#include "AacBandTables.h"
#include "AacBitReader.h"
#include "AacGlobalGain.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AacRawBlockParser {
public:
    AacRawBlockParser(const std::uint8_t* block, std::size_t size, const AacBandTables& bands);

    BlockParse parse(std::vector<GlobalGainField>& fields, std::string& error);

    // Reads past a program_config_element (after its element id), which also
    // appears in an AudioSpecificConfig; its byte alignment counts from the
    // reader's start.
    static void skipProgramConfig(AacBitReader& reader);

private:
    static constexpr int kMaxGroups = 8;
    static constexpr int kMaxBands = 64;

    struct IcsInfo {
        bool shortWindows = false;
        int maxSfb = 0;
        int groupCount = 1;
        int groupLength[kMaxGroups] = {1};
    };
    struct ChannelStream {
        IcsInfo info;
        std::uint8_t books[kMaxGroups][kMaxBands] = {};
        bool intensity = false;
    };

    bool parseElements(std::vector<GlobalGainField>& fields);
    bool parseSingleChannel(std::vector<GlobalGainField>& fields);
    bool parseChannelPair(std::vector<GlobalGainField>& fields);
    bool parseIcsInfo(IcsInfo& info);
    bool parseMidSideMask(const IcsInfo& info, bool& midSide);
    bool parseChannelStream(bool commonWindow, ChannelStream& stream, GlobalGainField& field);
    bool parseSectionData(ChannelStream& stream);
    bool parseScaleFactors(const ChannelStream& stream, GlobalGainField& field);
    bool parsePulseData(const IcsInfo& info);
    bool parseTnsData(const IcsInfo& info);
    bool parseSpectralData(const ChannelStream& stream);
    bool skipDataStream();
    bool skipFill(bool& sbr);

    int bandStart(const IcsInfo& info, int band) const;
    int bandCount(const IcsInfo& info) const;
    bool fail(BlockParse status, std::string reason);
    bool checkInside(const char* what);

    AacBitReader reader_;
    const AacBandTables& bands_;
    BlockParse status_ = BlockParse::Ok;
    std::string error_;
};
