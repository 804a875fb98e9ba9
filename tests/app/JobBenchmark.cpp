// Timings of the job core, run by hand (natively):
//   JobBenchmark
// 1. Velto's overhead on the gain tool: an Analyze job over 50 tracks (tracks
//    view) and over 5 albums of 10 tracks (albums view), against the same tool
//    runs made directly (the same command lines, the output read to its end).
// 2. One screen of the list (50 rows x 9 columns) from a playlist of 10,000
//    tracks while a job thread stores values under the database's lock.
#include "JobFixture.h"
#include "ParseAACGain.h"
#include "RunAACGain.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const wchar_t* const kAudio[] = {L"quiet.mp3",  L"loud.mp3",    L"album1.mp3", L"album2.mp3",
                                 L"album3.mp3", L"unequal.mp3", L"peaky.mp3"};

// The job control over the real tool; its Run is a Test body, used here
// outside GoogleTest's runner.
class OverheadRun : public JobTest {
public:
    OverheadRun() : JobTest(realToolPath()) {}
    void TestBody() override {}

    // Fresh untagged copies: the tool would otherwise read its own tags.
    std::vector<std::wstring> freshFiles(const std::wstring& prefix, int count) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < count; ++i) {
            const std::wstring name = prefix + std::to_wstring(i) + L".mp3";
            paths.push_back(toText(freshAudio(dir.path(), kAudio[i % 7], name)));
        }
        return paths;
    }
    double timeJob(JobScope scope, const std::vector<std::wstring>& paths, int albumSize) {
        for (size_t i = 0; i < paths.size(); ++i) {
            addTrack(paths[i], L"Album " + std::to_wstring(i / size_t(albumSize)));
        }
        const int rows = scope == JobScope::TracksView ? database.currentTrackCount()
                                                       : database.currentAlbumCount();
        std::set<int> selected;
        for (int row = 0; row < rows; ++row) {
            selected.insert(row);
        }
        const Clock::time_point start = Clock::now();
        runJob(JobKind::Analyze, scope, selected);
        return secondsSince(start);
    }
    double timeDirect(const std::vector<std::wstring>& paths, int albumSize) {
        const Clock::time_point start = Clock::now();
        for (size_t first = 0; first < paths.size(); first += size_t(albumSize)) {
            std::wstring args;
            for (size_t i = first; i < first + size_t(albumSize); ++i) {
                args += albumSize == 1 ? quotedPath(paths[i]) : quotedPath(paths[i]) + L" ";
            }
            for (ToolOp op : {OpAnalyze, OpCheckTags}) {
                RunAACGain tool(toolPath);
                readAllBytes(tool.run(op, 0, args, 0));
                tool.terminate();
                tool.close();
            }
        }
        return secondsSince(start);
    }
};

void measureOverhead() {
    struct Case {
        const char* name;
        JobScope scope;
        int albumSize;
    };
    constexpr int kRounds = 7;
    for (const Case& test : {Case{"50 tracks, tracks view", JobScope::TracksView, 1},
                             Case{"5 albums of 10, albums view", JobScope::AlbumsView, 10}}) {
        std::vector<double> jobTimes, directTimes, ratios;
        for (int round = 0; round < kRounds; ++round) {
            OverheadRun run;
            const std::vector<std::wstring> jobFiles = run.freshFiles(L"j", 50);
            const std::vector<std::wstring> directFiles = run.freshFiles(L"d", 50);
            // Alternating which goes first evens out a machine that speeds up or slows down.
            double job = 0, direct = 0;
            if (round % 2 == 0) {
                direct = run.timeDirect(directFiles, test.albumSize);
                job = run.timeJob(test.scope, jobFiles, test.albumSize);
            } else {
                job = run.timeJob(test.scope, jobFiles, test.albumSize);
                direct = run.timeDirect(directFiles, test.albumSize);
            }
            jobTimes.push_back(job);
            directTimes.push_back(direct);
            ratios.push_back(job / direct);
        }
        // Other work on the machine only ever adds time: the fastest rounds
        // are the truest, and the median ratio shows the spread.
        std::sort(jobTimes.begin(), jobTimes.end());
        std::sort(directTimes.begin(), directTimes.end());
        std::sort(ratios.begin(), ratios.end());
        std::printf("%-28s fastest through the job %.3f s, direct %.3f s: ratio %.4f "
                    "(median of %d rounds %.4f)\n",
                    test.name, jobTimes.front(), directTimes.front(),
                    jobTimes.front() / directTimes.front(), kRounds, ratios[kRounds / 2]);
    }
}

// Screens of the list from a playlist of 10,000 analysed tracks, with or
// without a job thread storing values as fast as it can beside them.
void measurePaint(bool withJob) {
    constexpr int kTracks = 10000;
    constexpr int kRows = 50;
    constexpr int kScreens = 2000;
    VeltoDatabase database;
    Preferences preferences(database);
    preferences.fillMissingDefaults();
    FixedTrackbar trackbar;
    CompiledStringTable strings;
    TrackSource tracksView(database, preferences, trackbar, strings);
    database.addPlaylist(std::wstring(L"Library"), kTracks, true, 1);
    std::vector<std::wstring> paths;
    for (int i = 0; i < kTracks; ++i) {
        paths.push_back(L"C:\\Music\\Artist\\Album " + std::to_wstring(i / 10) + L"\\Track " +
                        std::to_wstring(i) + L".mp3");
        database.addTrack(0, paths.back(), L"Track " + std::to_wstring(i), std::wstring(L"Artist"),
                          L"Album " + std::to_wstring(i / 10));
        database.setTrackResult(paths.back(), 20000.0 + i, (i % 200) / 10.0 - 10.0);
        database.setAlbumResult(paths.back(), 30000.0, 1.5);
    }

    std::atomic<bool> stop{false};
    std::atomic<long> stores{0};
    std::thread job([&] {
        std::mt19937 random(1);
        while (withJob && !stop) {
            const std::wstring& path = paths[random() % kTracks];
            database.setTrackResult(path, 21000.0, 2.5);
            database.clearAlbumResult(path);
            ++stores;
        }
    });
    std::mt19937 random(2);
    std::vector<double> screens;
    wchar_t text[260];
    for (int screen = 0; screen < kScreens; ++screen) {
        const int first = static_cast<int>(random() % (kTracks - kRows));
        const Clock::time_point start = Clock::now();
        for (int row = first; row < first + kRows; ++row) {
            for (int column = 0; column < TrackSource::kColumnCount; ++column) {
                CellColour colour = 0;
                tracksView.getCellText(row, column, text, 259, colour);
            }
        }
        screens.push_back(secondsSince(start) * 1000.0);
    }
    stop = true;
    job.join();
    std::sort(screens.begin(), screens.end());
    double sum = 0;
    for (double ms : screens) {
        sum += ms;
    }
    std::printf("one screen of %d x %d cells of %d tracks, %8ld stores beside it: mean %.3f ms, "
                "median %.3f ms, 99%% %.3f ms, max %.3f ms\n",
                kRows, TrackSource::kColumnCount, kTracks, stores.load(), sum / kScreens,
                screens[kScreens / 2], screens[kScreens * 99 / 100], screens.back());
}

} // namespace

int main() {
    RecordingReporter reporter;
    measurePaint(false);
    measurePaint(true);
    measureOverhead();
    return 0;
}
