#pragma once

#include "FileScreen.h"
#include "JobParameters.h"
#include "ToolFileArguments.h"
#include "ToolOp.h"

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class ItemSource;
class JobHost;
class JobProgress;
struct JobState;
class ParseAACGain;
class Preferences;
class ToolStopper;
class TrackSource;
class VeltoDatabase;

// What a job does to one item: for each job kind, which gain tool runs to
// make on the loaded item and in which order, how the tool's output becomes
// stored values, how the bars move within a run, how a tool error is shown
// and may stop the job, and when the iTunes comment is stamped. One per
// thread that works on items; the threads of a job share its JobState.
class GainOperations {
public:
    struct Context {
        JobHost& host;
        VeltoDatabase& database;
        const Preferences& preferences;
        const TrackSource& tracksView; // copied to name the files of an album run
        const std::wstring& gainToolPath;
        std::atomic<bool>& cancelRequested;
        ToolStopper& stopper;
        // How files are named to the tool; by default as the tool at
        // gainToolPath takes them.
        const ToolFileArguments* toolArguments = nullptr;
    };

    // Writes the iTunes timestamp into the comments of these tracks.
    using Stamp = std::function<void(const std::vector<int>& trackIds)>;

    // stamp is empty when the job writes no timestamps; progress gets this
    // worker's reports for the window.
    GainOperations(const Context& context, const JobParameters& job, JobState& state,
                   JobProgress& progress, Stamp stamp);

    // The kind's work for the item, which the caller has loaded from the row
    // with data index itemIndex. done and total count the job's finished and
    // total tracks, for the total bar.
    void process(ItemSource& item, int itemIndex, int done, int total);

    // One selected row's item as a job walks the list: loads it, does the
    // kind's work when it has tracks, then shows the new values and scrolls
    // its row (rowPosition; none for a selection taken as one album) into
    // view. False when the job stops at this item, the program closing or a
    // cancel having come: its row then stays selected.
    bool processRow(ItemSource& item, int key, std::optional<int> rowPosition, int done, int total);

    // Runs the tool once over those of the item's files that it can take and
    // stores what it reports; true when it ran and reported no error. Files
    // held back are noted in the report.
    bool runGainTool(ToolOp op, int steps, int done, int total, ItemSource& item);

private:
    // Whether a run stops reading at a cancel: a read-back after a change
    // reads to the end, so that the stored values follow the files.
    enum class OnCancel { StopReading, ReadToEnd };

    void doKindsWork(ItemSource& item, int itemIndex, int done, int total);
    void analyze(ItemSource& item, int done, int total);
    void clearData(ItemSource& item);
    void applyGain(ItemSource& item, int itemIndex, int done, int total);
    void constantGain(ItemSource& item, int itemIndex, int done, int total);
    void undoGain(ItemSource& item, int done, int total);
    void removeTags(ItemSource& item, int done, int total);

    // One file of an item that may go to the tool: its path, the database's
    // name of it, and the text that names it on the tool's command line (the
    // path, or its short form for a tool that speaks only the ANSI code page).
    struct ToolFile {
        int trackId = 0;
        std::wstring path;
        std::wstring argument;
    };
    // The files of one run and their command-line arguments.
    struct RunPlan {
        std::vector<ToolFile> files;
        std::wstring fileArgs;
    };
    struct RunResult {
        bool ran = false; // some file could go to the tool
        bool errorSeen = false;
        std::vector<int> changedTrackIds; // whose files the tool reported changed

        bool succeeded() const { return ran && !errorSeen; }
    };

    void undoFirst(ItemSource& item, int done, int total);
    RunResult runChange(ToolOp op, int steps, int done, int total, ItemSource& item);
    bool readBack(int done, int total, ItemSource& item);
    void forgetStoredValues(const RunPlan& plan);
    void stamp(const std::vector<int>& trackIds);
    void noteLimit(ItemSource& item, int steps);
    void setStatus(ItemSource& item, int stringId);
    bool inAlbumScope() const;

    std::optional<RunPlan> planRun(ItemSource& item);
    void markScreened(const std::wstring& path, FileProblem problem);
    void holdBack(int trackId, const FileScreen::Verdict& verdict);
    void failUnnameable(int trackId, const std::wstring& path);
    std::wstring argumentsFor(const std::vector<ToolFile>& files) const;

    struct ToolRun;
    RunResult runTool(ToolOp op, int steps, int done, int total, ItemSource& item,
                      OnCancel onCancel);
    RunResult runPlanned(const RunPlan& plan, ToolOp op, int steps, int done, int total,
                         OnCancel onCancel);
    void nameNextFile(ToolRun& run);
    void showProgress(ToolRun& run, int percent);
    void storeDataRow(ToolRun& run, const ParseAACGain& parser);
    void noteApplying(ToolRun& run, const std::wstring& line);
    void noteUndoRow(ToolRun& run, const ParseAACGain& parser);
    void noteToolError(ToolRun& run, const std::wstring& errorText);
    void recordFailures(const ToolRun& run);
    void restoreNames(ToolRun& run);
    void showToolError(std::wstring errorText);

    Context context;
    JobParameters job;
    JobState& state;
    JobProgress& progress;
    Stamp stampComments;
    bool itemWorked = false; // some run of the current item did what it was asked
    int notDoneNoted = 0;    // skips and failures this worker noted
    const ToolFileArguments toolArguments;
};
