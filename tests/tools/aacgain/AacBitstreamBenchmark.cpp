// How fast the AAC bitstream parser walks a three-minute stereo 44.1 kHz song
// that ffmpeg encodes: blocks per second, and seconds of audio per second
// ("times real time"), for the walk alone and for the walk with a change.
#include "AacGlobalGain.h"
#include "AdtsTestFiles.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr double kSecondsPerBlock = 1024.0 / 44100.0;

AdtsStream& song(int kilobitsPerSecond) {
    static std::map<int, AdtsStream> songs;
    auto found = songs.find(kilobitsPerSecond);
    if (found == songs.end()) {
        std::string bitrate = "-b:a " + std::to_string(kilobitsPerSecond) + "k";
        found = songs
                    .emplace(kilobitsPerSecond,
                             readAdts(encodeAdts(stereoSignal(44100, 5, 35), bitrate)))
                    .first;
    }
    return found->second;
}

void reportRates(benchmark::State& state, std::size_t blocks) {
    double total = static_cast<double>(blocks) * static_cast<double>(state.iterations());
    state.counters["blocks/s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["x_real_time"] =
        benchmark::Counter(total * kSecondsPerBlock, benchmark::Counter::kIsRate);
}

void BM_FindGlobalGains(benchmark::State& state) {
    AdtsStream& stream = song(static_cast<int>(state.range(0)));
    std::vector<GlobalGainField> fields;
    std::string error;
    for (auto _ : state) {
        for (std::size_t i = 0; i < stream.blockCount(); ++i) {
            if (findGlobalGains(stream.block(i), stream.blockSizes[i], stream.config, fields,
                                error) != BlockParse::Ok) {
                state.SkipWithError(error.c_str());
                return;
            }
        }
        benchmark::DoNotOptimize(fields.data());
    }
    reportRates(state, stream.blockCount());
}

// What the tool does to each block: find the fields, then change them (a
// change of +1 and then -1, so the song stays as it was).
void BM_ChangeEveryBlock(benchmark::State& state) {
    AdtsStream& stream = song(static_cast<int>(state.range(0)));
    std::vector<GlobalGainField> fields;
    std::string error;
    int steps = 1;
    for (auto _ : state) {
        for (std::size_t i = 0; i < stream.blockCount(); ++i) {
            if (findGlobalGains(stream.block(i), stream.blockSizes[i], stream.config, fields,
                                error) != BlockParse::Ok ||
                !applyStepChange(stream.block(i), fields, steps, GainChannels::Both, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
        }
        steps = -steps;
    }
    reportRates(state, stream.blockCount());
}

} // namespace

BENCHMARK(BM_FindGlobalGains)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeEveryBlock)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
