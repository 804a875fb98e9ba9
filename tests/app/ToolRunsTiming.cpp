// Timings of jobs that run several gain tool processes at once, run by hand
// through tests/app/run-tool-runs-timing (natively with the system's mp3gain,
// under Wine with Velto's mp3gain.exe):
//   ToolRunsTiming AUDIO_DIR [ROUNDS]
// AUDIO_DIR holds the tracks to analyse (track00.mp3 ... track39.mp3). Each
// round analyses fresh copies of them with 1, 2, 4 and 8 runs at once, in the
// tracks view (40 items) and in the albums view (8 albums of 5), the numbers
// of runs taking turns within a round so that a machine that slows down
// slows them all. Prints the best and median time of each and their ratios to
// one run at a time, and the cost of starting the tool on no file against a
// run on one track.
#include "JobFixture.h"
#include "RunAACGain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTracks = 40;
constexpr int kAlbumSize = 5;
constexpr int kRunCounts[] = {1, 2, 4, 8};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// An Analyze job over the real tool; its Run is a Test body, used here
// outside GoogleTest's runner.
class TimedJob : public JobTest {
public:
    TimedJob() : JobTest(realToolPath()) {}
    void TestBody() override {}

    // Fresh copies of the tracks (the tool would otherwise read its own tags),
    // in albums of five, analysed with this many runs at once.
    double analyze(const fs::path& audio, JobScope scope, int runs) {
        preferences.setPrefInt(PrefIndex::ToolRuns, runs);
        for (int i = 0; i < kTracks; ++i) {
            const fs::path source = audio / trackName(i);
            const fs::path copy = dir.path() / trackName(i);
            fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
            addTrack(toText(copy), L"Album " + std::to_wstring(i / kAlbumSize));
        }
        const int rows = scope == JobScope::TracksView ? kTracks : kTracks / kAlbumSize;
        std::set<int> selected;
        for (int row = 0; row < rows; ++row) {
            selected.insert(row);
        }
        const Clock::time_point start = Clock::now();
        runJob(JobKind::Analyze, scope, selected);
        const double seconds = secondsSince(start);
        for (int i = 0; i < kTracks; ++i) {
            if (!fileOf(toText(dir.path() / trackName(i))).trackGain.present) {
                std::fprintf(stderr, "ToolRunsTiming: track %d was not analysed\n", i);
                std::exit(1);
            }
        }
        return seconds;
    }

    // The mean time of one tool run over these arguments.
    double toolRun(const std::wstring& arguments, int times) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < times; ++i) {
            RunAACGain tool(toolPath);
            readAllBytes(tool.run(OpAnalyze, 0, arguments, 0));
            tool.terminate();
            tool.close();
        }
        return secondsSince(start) / times;
    }

    fs::path folder() const { return dir.path(); }

    static std::wstring trackName(int i) {
        return std::wstring(L"track") + (i < 10 ? L"0" : L"") + std::to_wstring(i) + L".mp3";
    }
};

struct Timings {
    std::vector<double> seconds;
    double best() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double median() const {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

void timeJobs(const fs::path& audio, int rounds) {
    for (JobScope scope : {JobScope::TracksView, JobScope::AlbumsView}) {
        std::map<int, Timings> byRuns;
        for (int round = 0; round < rounds; ++round) {
            for (int runs : kRunCounts) {
                byRuns[runs].seconds.push_back(TimedJob().analyze(audio, scope, runs));
            }
        }
        std::printf("%s\n", scope == JobScope::TracksView ? "Analyze, 40 tracks of 30 s"
                                                          : "Analyze, 8 albums of 5 tracks");
        const Timings& one = byRuns[1];
        for (int runs : kRunCounts) {
            const Timings& these = byRuns[runs];
            std::printf("  %d at once: best %6.2f s, median %6.2f s; %4.2f times as fast as "
                        "one at a time (medians %4.2f)\n",
                        runs, these.best(), these.median(), one.best() / these.best(),
                        one.median() / these.median());
        }
    }
}

void timeProcessStart(const fs::path& audio) {
    TimedJob job;
    const fs::path copy = job.folder() / TimedJob::trackName(0);
    fs::copy_file(audio / TimedJob::trackName(0), copy);
    const double empty = job.toolRun(L"", 20);
    const double track = job.toolRun(quotedPath(toText(copy)), 5);
    std::printf("one tool run: on no file %.3f s, on one track of 30 s %.3f s (%.0f%% of it "
                "starting the process)\n",
                empty, track, 100.0 * empty / track);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ToolRunsTiming AUDIO_DIR [ROUNDS]\n");
        return 2;
    }
    RecordingReporter reporter;
    const fs::path audio = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    timeProcessStart(audio);
    timeJobs(audio, rounds);
    return 0;
}
