// Parsing speed on recorded tool output, and what the runner adds to one run of
// the real tool compared with starting the tool directly on the same files.
#include "CommandLine.h"
#include "GainToolTestSupport.h"
#include "ParseAACGain.h"
#include "RunAACGain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr std::size_t kRecordingSize = 10 * 1024 * 1024;

struct Setup {
    TempDir dir;
    std::vector<std::wstring> album;
    std::filesystem::path recording;

    Setup() {
        for (const wchar_t* name : {L"album1.mp3", L"album2.mp3", L"album3.mp3"}) {
            album.push_back(toText(freshAudio(dir.path(), name, name)));
        }
        // A longer file, so that the recording holds the tool's progress lines.
        const std::string longFile = (dir.path() / "long.mp3").string();
        const std::string make = "sox -V1 -n -r 44100 -c 2 -t wav - synth 60 sine 440 vol 0.3 | "
                                 "lame --quiet - '" +
                                 longFile + "'";
        if (std::system(make.c_str()) != 0) {
            throw std::runtime_error("sox or lame failed");
        }
        std::wstring allFiles = L"/o /t ";
        for (const std::wstring& path : album) {
            allFiles += quotedPath(path) + L" ";
        }
        allFiles += quotedPath(toText(dir.path() / "long.mp3"));
        const std::wstring tool = realToolPath();
        std::string oneRound = runToolDirectly(tool, allFiles);
        oneRound += runToolDirectly(tool, L"/o /t /s c " + allFiles.substr(6));
        oneRound += runToolDirectly(tool, L"/o /t /c /g  1  " + allFiles.substr(6));
        oneRound += runToolDirectly(tool, L"/o /t /u " + allFiles.substr(6));
        std::string bytes;
        while (bytes.size() < kRecordingSize) {
            bytes += oneRound;
        }
        recording = dir.path() / "recording";
        writeFile(recording, bytes);
    }
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void BM_ParseTenMegabytesOfRecordedOutput(benchmark::State& state) {
    const std::string path = setup().recording.string();
    int dataRows = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ParseAACGain parser(file);
        dataRows = 0;
        while (LineKind kind = parser.nextLine()) {
            dataRows += kind == DataRow;
        }
        std::fclose(file);
    }
    state.counters["rows"] = dataRows;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_ParseTenMegabytesOfRecordedOutput)->Unit(benchmark::kMillisecond);

// The tool started without the runner: argv built by hand, output read to its end.
void BM_CheckTagsRunDirectly(benchmark::State& state) {
    const std::string tool = toolBytesOf(realToolPath());
    std::vector<std::string> words = {"aacgain", "/o", "/t", "/s", "c"};
    for (const std::wstring& path : setup().album) {
        words.push_back(toolBytesOf(path));
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    for (auto _ : state) {
        int ends[2];
        if (pipe(ends) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        pid_t pid = 0;
        posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        char buffer[4096];
        while (read(ends[0], buffer, sizeof buffer) > 0) {
        }
        close(ends[0]);
        waitpid(pid, nullptr, 0);
    }
}
BENCHMARK(BM_CheckTagsRunDirectly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CheckTagsThroughTheRunner(benchmark::State& state) {
    const std::wstring tool = realToolPath();
    std::wstring fileArgs;
    for (const std::wstring& path : setup().album) {
        fileArgs += quotedPath(path) + L" ";
    }
    for (auto _ : state) {
        RunAACGain runner(tool);
        ParseAACGain parser(runner.run(OpCheckTags, 0, fileArgs, 0));
        while (parser.nextLine() != EndOfOutput) {
        }
        runner.terminate();
        runner.close();
    }
}
BENCHMARK(BM_CheckTagsThroughTheRunner)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
