#include "AdtsTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

namespace {

const char* const kLeft = "0.3*sin(2*PI*220*t)+0.3*sin(2*PI*1760*t)*lt(mod(t,0.7),0.08)"
                          "+0.08*(random(0)-0.5)";
const char* const kRight = "0.2*sin(2*PI*330*t)+0.15*sin(2*PI*2500*t)+0.6*(0.3*sin(2*PI*220*t))"
                           "+0.08*(random(1)-0.5)";

} // namespace

std::string testSignal(const std::string& channelExpressions, int rate, int seconds, int repeats) {
    std::string loop = repeats == 0 ? ""
                                    : ",aloop=loop=" + std::to_string(repeats) +
                                          ":size=" + std::to_string(rate * seconds);
    return "-f lavfi -i \"aevalsrc=exprs='" + channelExpressions + "':s=" + std::to_string(rate) +
           ":d=" + std::to_string(seconds) + loop + "\"";
}

std::string stereoSignal(int rate, int seconds, int repeats) {
    return testSignal(std::string(kLeft) + "|" + kRight, rate, seconds, repeats);
}

std::string monoSignal(int rate, int seconds) {
    return testSignal(kLeft, rate, seconds);
}

std::string alikeStereoSignal(int rate, int seconds) {
    return testSignal(std::string(kLeft) + "|" + kLeft, rate, seconds);
}

fs::path scratchPath(const std::string& name) {
    fs::create_directories(VELTO_AAC_TEST_DIR);
    return fs::path(VELTO_AAC_TEST_DIR) / (std::to_string(getpid()) + "-" + name);
}

fs::path encodeAdts(const std::string& input, const std::string& encoderOptions) {
    std::string arguments = input + " -c:a aac " + encoderOptions;
    std::ostringstream name;
    name << std::hex << std::hash<std::string>{}(arguments) << ".aac";
    fs::path path = fs::path(VELTO_AAC_TEST_DIR) / name.str();
    if (fs::exists(path)) {
        return path;
    }
    // Made under another name and renamed: tests running at the same time
    // never see half a file.
    fs::path partial = scratchPath(name.str());
    run("ffmpeg -nostdin -v error -y " + arguments + " -f adts " + quoted(partial));
    fs::rename(partial, path);
    return path;
}

AdtsStream readAdts(const fs::path& path) {
    AdtsStream stream;
    stream.bytes = readFile(path);
    const std::vector<std::uint8_t>& b = stream.bytes;
    std::size_t at = 0;
    while (at + 7 <= b.size()) {
        if (b[at] != 0xFF || (b[at + 1] & 0xF0) != 0xF0) {
            throw std::runtime_error("no ADTS sync word in " + path.string());
        }
        std::size_t header = (b[at + 1] & 1) ? 7 : 9; // protection_absent
        std::size_t length = ((b[at + 3] & 3u) << 11) | (b[at + 4] << 3) | (b[at + 5] >> 5);
        if ((b[at + 6] & 3) != 0 || length <= header || at + length > b.size()) {
            throw std::runtime_error("an ADTS frame of " + path.string() +
                                     " is not one whole block");
        }
        stream.config.audioObjectType = (b[at + 2] >> 6) + 1;
        stream.config.samplingFrequencyIndex = (b[at + 2] >> 2) & 15;
        stream.config.channelConfiguration = ((b[at + 2] & 1) << 2) | (b[at + 3] >> 6);
        stream.blockOffsets.push_back(at + header);
        stream.blockSizes.push_back(length - header);
        at += length;
    }
    return stream;
}

void writeAdts(const fs::path& path, const AdtsStream& stream) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stream.bytes.data()),
              static_cast<std::streamsize>(stream.bytes.size()));
}

std::vector<float> decodeAdts(const fs::path& path, std::string& messages) {
    fs::path samples = scratchPath(path.filename().string() + ".f32");
    fs::path log = scratchPath(path.filename().string() + ".log");
    run("ffmpeg -nostdin -v warning -y -i " + quoted(path) + " -f f32le " + quoted(samples) +
        " 2>" + quoted(log));
    std::vector<std::uint8_t> bytes = readFile(samples);
    // ADTS has no duration; ffmpeg's guess of it is no complaint about the audio.
    std::ifstream lines(log);
    messages.clear();
    for (std::string line; std::getline(lines, line);) {
        if (line.find("Estimating duration from bitrate") == std::string::npos) {
            messages += line + "\n";
        }
    }
    fs::remove(samples);
    fs::remove(log);
    std::vector<float> values(bytes.size() / sizeof(float));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
    return values;
}

std::vector<std::vector<GlobalGainField>> findAllGlobalGains(AdtsStream& stream) {
    std::vector<std::vector<GlobalGainField>> all(stream.blockCount());
    for (std::size_t i = 0; i < stream.blockCount(); ++i) {
        std::string error;
        BlockParse result =
            findGlobalGains(stream.block(i), stream.blockSizes[i], stream.config, all[i], error);
        EXPECT_EQ(result, BlockParse::Ok) << "block " << i << ": " << error;
    }
    return all;
}
