#pragma once

#include "AlbumSource.h"
#include "AlbumStats.h"
#include "CompiledStringTable.h"
#include "GainToolTestSupport.h"
#include "JobControl.h"
#include "PositionSource.h"
#include "Preferences.h"
#include "RecordingJobHost.h"
#include "RecordingReporter.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"
#include "database/MemoryFileStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

class FixedTrackbar : public PositionSource {
public:
    int getPosition() override { return 89; }
};

// The main window's part in the routines: a database in memory with one
// library playlist, the views, a recording host and the job control over a
// gain tool (the fake one unless the test names another).
class JobTest : public ::testing::Test {
protected:
    // Without the library, the database stays empty for a test's own load.
    explicit JobTest(std::wstring tool = fakeToolPath(), bool withLibrary = true)
        : toolPath(std::move(tool)) {
        if (withLibrary) {
            database.setPath(L"Velto.db");
            database.addPlaylist(std::wstring(L"Library"), 0, true, 1);
            preferences.fillMissingDefaults();
            preferences.setPrefInt(PrefIndex::ToolRuns, 1);
        }
    }
    ~JobTest() override { host.waitForWorkers(); }

    // A track of the library playlist; its row is the number added before it.
    int addTrack(const std::wstring& path, const std::wstring& album = L"Album") {
        database.addTrack(0, path, L"Song " + path.substr(path.size() - 5), L"Artist", album);
        return database.playlistAt(0).trackIds.back();
    }
    // A track whose file is a script for the fake tool, named name in dir.
    std::wstring scriptedTrack(const std::wstring& name, const FakeToolScript& script,
                               const std::wstring& album = L"Album") {
        std::wstring path = toText(dir / name);
        script.write(toPath(path));
        addTrack(path, album);
        return path;
    }
    void runJob(JobKind kind, JobScope scope, std::set<int> rows) {
        host.select(std::move(rows));
        jobs.startJob(kind, scope);
        host.waitForWorkers();
    }
    std::wstring cellOf(int row, int column) {
        wchar_t text[100];
        CellColour colour = 0;
        tracksView.getCellText(row, column, text, 99, colour);
        return text;
    }
    const AACGainRecord& fileOf(const std::wstring& path) {
        return *database.findAACGainRecord(database.contents().fileIndex.at(path));
    }
    // The fake tool's runs with this script, each as its switches ("/s c",
    // "/c /g 2", "/u"; "analyze" for none).
    std::vector<std::string> runsOf(const std::wstring& scriptPath) const {
        std::ifstream log(toPath(scriptPath + L".log"));
        std::vector<std::string> runs;
        for (std::string line; std::getline(log, line);) {
            const size_t files = line.find(toolBytesOf(toText(dir.path())));
            std::string switches = files > 7 ? line.substr(6, files - 7) : "";
            runs.push_back(switches.empty() ? "analyze" : switches);
        }
        return runs;
    }

    RecordingReporter reporter; // the program's own messages
    TempDir dir;
    MemoryFileStore files;
    VeltoDatabase database{files};
    Preferences preferences{database};
    FixedTrackbar trackbar;
    CompiledStringTable strings;
    TrackSource tracksView{database, preferences, trackbar, strings};
    AlbumStats albumStats{database, tracksView};
    AlbumSource albumsView{database, preferences, albumStats, strings};
    FakeLibrary library;
    RecordingJobHost host{library};
    std::wstring toolPath;
    JobControl jobs{host, database, preferences, tracksView, albumsView, albumStats, toolPath};
};

// Names the cases of a suite run with several numbers of tool runs at once.
inline std::string runsAtOnceName(const ::testing::TestParamInfo<int>& info) {
    return std::to_string(info.param) + "AtOnce";
}

// Rows of the gain tool's output, as the fake tool prints them.
inline std::string analysisRow(const std::wstring& path, const std::string& gain,
                               const std::string& maxAmplitude) {
    return toolBytesOf(path) + "\t0\t" + gain + "\t" + maxAmplitude + "\t210\t120\r\n";
}
inline std::string tagsRow(const std::wstring& path, const std::string& gain,
                           const std::string& maxAmplitude, const std::string& albumGain = "NA",
                           const std::string& albumMaxAmplitude = "NA") {
    return toolBytesOf(path) + "\t0\t" + gain + "\t" + maxAmplitude + "\t210\t120\t0\t" +
           albumGain + "\t" + albumMaxAmplitude + "\t210\t120\r\n";
}
// What the tool prints when it changes a file, and an undo's row (the changes
// the undo made to each channel; 0 when there was nothing to undo).
inline std::string applyingLines(const std::wstring& path, int steps) {
    return "Applying gain change of " + std::to_string(steps) + " to " + toolBytesOf(path) +
           "...\r\n\r\ndone\r\n";
}
inline std::string undoRow(const std::wstring& path, int left, int right) {
    return toolBytesOf(path) + "\t" + std::to_string(left) + "\t" + std::to_string(right) + "\r\n";
}
inline const std::string kHeader = "File\tMP3 gain\tdB gain\tMax Amplitude\tMax global_gain\tMin "
                                   "global_gain\r\n";
