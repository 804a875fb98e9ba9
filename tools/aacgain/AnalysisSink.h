#pragma once
// Where AacFile::analyze sends the decoded audio: the tool's loudness
// analysis, or a test's collector.

#include "AacDecoder.h"

#include <string>

class AnalysisSink {
public:
    virtual ~AnalysisSink() = default;
    // Before the first samples, with the rate and channel count they come in.
    virtual bool begin(unsigned long sampleRate, int channels, std::string& error) = 0;
    virtual bool samples(const DecodedFrame& frame, std::string& error) = 0;
    // How far through the file the analysis is, 0..100.
    virtual void progress(int percent) = 0;
};
